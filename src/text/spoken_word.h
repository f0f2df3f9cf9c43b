#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A word as the decoder heard it: its dictionary spelling and the frames it spans, counted from
// the start of the dictation, first and last inclusive.
struct SpokenWord {
  std::string spelling;
  std::int64_t firstFrame = 0;
  std::int64_t lastFrame = 0;

  bool operator==(const SpokenWord&) const = default;
};

// The spelling of a word of the decoder's segmentation, without the mark of an alternative
// pronunciation ("read(2)" is "read"); none for silences, fillers and noises ("<sil>",
// "[NOISE]", "++UM++"), which are the decoder's, not the speaker's.
std::optional<std::string> dictionarySpelling(std::string_view segment);
