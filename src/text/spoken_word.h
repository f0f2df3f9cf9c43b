#pragma once

#include <cstdint>
#include <string>

// Times in a dictation are counted in frames of 10 ms from its start.
inline constexpr std::int64_t framesPerSecond = 100;

// A word as the recognizer heard it: its dictionary spelling, in lower case, and the frames it
// spans, first and last inclusive.
struct SpokenWord {
  std::string spelling;
  std::int64_t firstFrame = 0;
  std::int64_t lastFrame = 0;

  bool operator==(const SpokenWord&) const = default;
};
