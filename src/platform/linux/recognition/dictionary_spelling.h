#pragma once

#include <optional>
#include <string>
#include <string_view>

// The spelling of a word of the decoder's segmentation, without the mark of an alternative
// pronunciation ("read(2)" is "read"); none for silences, fillers and noises ("<sil>",
// "[NOISE]", "++UM++"), which are the decoder's, not the speaker's.
std::optional<std::string> dictionarySpelling(std::string_view segment);
