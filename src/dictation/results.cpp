#include "dictation/results.h"

#include "dictation/state.h"
#include "events/emit.h"

void handleRecognitionResult(const std::optional<RecognitionResult>& result,
                             const std::optional<Error>& error) {
  if (result) {
    Event transcript = transcriptEvent(result->bestTranscription.formattedString, result->isFinal);
    if (result->isFinal) emitAndExit(transcript, exitSuccess);
    emit(transcript);
  } else if (error) {
    if (engine->isRunning()) fail(error->localizedDescription);
    exitQuietly(exitSuccess);
  }
}
