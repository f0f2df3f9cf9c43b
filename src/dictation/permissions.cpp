#include "dictation/permissions.h"

#include "dictation/start.h"
#include "events/emit.h"
#include "events/messages.h"
#include "platform/dispatch.h"

void handleSpeechAuthorization(SpeechAuthorizationStatus status) {
  if (status != speechAuthorizationAuthorized) fail(messages::speechRecognitionNotAllowed);
  requestMicrophoneAccess(handleMicrophoneAccess);
}

void handleMicrophoneAccess(bool granted) {
  if (!granted) fail(messages::microphoneNotAllowed);
  asyncOnMainQueue(start);
}
