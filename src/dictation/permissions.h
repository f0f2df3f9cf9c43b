#pragma once

#include "platform/permissions.h"

// Both run on whatever thread the platform answers on.
void handleSpeechAuthorization(SpeechAuthorizationStatus status);
void handleMicrophoneAccess(bool granted);
