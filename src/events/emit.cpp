#include "events/emit.h"

#include <cstdlib>

#include "events/messages.h"
#include "events/output.h"

void emit(const Event& event) {
  if (auto line = eventLine(event)) writeLine(*line);
}

void emitAndExit(const Event& event, int status) {
  exitAfterLine(eventLine(event), status);
}

void fail(std::string_view message) {
  emitAndExit(errorEvent(message), exitFailure);
}

void exitQuietly(int status) {
  exitAfterLine(std::nullopt, status);
}

// Only the speech library is known to exit on its own, on a model it cannot read. The line is
// made beforehand: the heap may not be fit for use by then.
void guardAgainstForeignExit() {
  static const auto line = eventLine(errorEvent(messages::speechRecognitionUnavailable));
  auto report = [] { exitAfterLine(line, exitFailure); };
  std::atexit(report);
  std::at_quick_exit(report);
}
