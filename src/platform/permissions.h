#pragma once

#include <functional>

// The speech-recognition authorization status. Only `speechAuthorizationAuthorized` grants
// access; every other value, known or not, is a refusal.
using SpeechAuthorizationStatus = int;
inline constexpr SpeechAuthorizationStatus speechAuthorizationAuthorized = 3;

// Each completion is called exactly once, on a thread other than the caller's.
void requestSpeechAuthorization(std::function<void(SpeechAuthorizationStatus)> completion);
void requestMicrophoneAccess(std::function<void(bool granted)> completion);
