// Any byte stream, split into reads of any sizes: the stop command is found exactly when a whole
// line says "stop", and a line in progress never takes more than its fixed room.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <regex>
#include <string>

#include "dictation/stop_line.h"

namespace {

// The rule written out again, as a pattern: "stop" between any tabs and Unicode space
// separators, and perhaps the carriage return of a CR LF.
bool saysStop(const std::string& line) {
  static const std::regex stopLine(
      "(?:\t| |\xC2\xA0|\xE1\x9A\x80|\xE2\x80[\x80-\x8A\xAF]|\xE2\x81\x9F|\xE3\x80\x80)*stop"
      "(?:\t| |\xC2\xA0|\xE1\x9A\x80|\xE2\x80[\x80-\x8A\xAF]|\xE2\x81\x9F|\xE3\x80\x80)*\r?");
  return std::regex_match(line, stopLine);
}

bool anyWholeLineSaysStop(const std::string& input) {
  for (std::size_t start = 0, end; (end = input.find('\n', start)) != std::string::npos;
       start = end + 1) {
    if (saysStop(input.substr(start, end - start))) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  auto pieceSize = provider.ConsumeIntegralInRange<std::size_t>(1, 300);
  std::string input = provider.ConsumeRemainingBytesAsString();

  std::string held;
  held.reserve(stopLineCapacity);
  bool found = false;
  for (std::size_t at = 0; at < input.size() && !found; at += pieceSize) {
    found = scanForStopLine(held, std::string_view(input).substr(at, pieceSize));
    if (held.capacity() != stopLineCapacity) __builtin_trap();
  }
  if (found != anyWholeLineSaysStop(input)) __builtin_trap();
  return 0;
}
