#include "dictation/commands.h"

#include <unistd.h>

#include <array>
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

}  // namespace

void readCommands() {
  waitForStopLine();
  asyncOnMainQueue(stopListening);
}

void stopListening() {
  if (engine->isRunning()) {
    engine->stop();
    engine->inputNode().removeTap(inputBus);
  }
  request->endAudio();
  asyncOnMainQueueAfter(stopGracePeriod, [] { exitQuietly(exitSuccess); });
}
