#include "dictation/commands.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>

#include "dictation/state.h"
#include "dictation/stop_line.h"
#include "events/emit.h"
#include "platform/dispatch.h"

namespace {

using namespace std::chrono_literals;

constexpr auto stopGracePeriod = 3000ms;

// Set by whichever comes first: the stop line, the end of input or a signal.
std::atomic_flag stopAsked;
// Main queue only.
bool listening = false;
bool stopOnceListening = false;

// Returns at the stop line, at the end of input or when reading fails.
void waitForStopLine() {
  std::array<char, 4096> chunk;
  std::string line;
  line.reserve(stopLineCapacity);
  for (;;) {
    ssize_t count = read(STDIN_FILENO, chunk.data(), chunk.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    if (scanForStopLine(line, {chunk.data(), static_cast<std::size_t>(count)})) return;
  }
}

void readCommands() {
  waitForStopLine();
  if (!stopAsked.test_and_set()) asyncOnMainQueue(stopListening);
}

}  // namespace

void beginTakingCommands() {
  listening = true;
  if (stopOnceListening) stopListening();
  asyncOnBackgroundQueue(readCommands);
}

void handleTerminationSignal() {
  if (stopAsked.test_and_set()) exitQuietly(exitSuccess);
  asyncOnMainQueue([] {
    if (listening) {
      stopListening();
    } else {
      stopOnceListening = true;
    }
  });
}

void stopListening() {
  if (engine->isRunning()) {
    engine->stop();
    engine->inputNode().removeTap(inputBus);
  }
  request->endAudio();
  asyncOnMainQueueAfter(stopGracePeriod, [] { exitQuietly(exitSuccess); });
}
