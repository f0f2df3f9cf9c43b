#include "dictation/commands.h"
#include "dictation/permissions.h"
#include "dictation/state.h"
#include "events/emit.h"
#include "events/output.h"
#include "platform/dispatch.h"

int main() {
  watchTerminationSignals(handleTerminationSignal);
  guardAgainstForeignExit();
  claimStandardOutput();
  engine = std::make_unique<AudioEngine>();
  request = std::make_unique<RecognitionRequest>();
  task = nullptr;
  requestSpeechAuthorization(handleSpeechAuthorization);
  dispatchMain();
}
