#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/vocabulary.h"

// A number read from spoken words: "three hundred and twelve" is 312 (cardinal), "twenty first"
// is 21 (ordinal), "eleven hundred" 1100.
struct SpokenNumber {
  std::int64_t value = 0;
  bool ordinal = false;
  std::size_t words = 0;  // how many of the words it took
  // For a count of millions or more with nothing below it ("four hundred million"): the count
  // and the scale's word, to be typed as "400 million".
  std::int64_t countOfScale = 0;
  std::string_view scaleWord;
};

// The longest number the words begin with, if they begin with one. A count is needed before
// "hundred", "thousand" and the like, so "a hundred" and "hundredth" are not numbers here.
std::optional<SpokenNumber> readNumber(std::span<const vocabulary::Word* const> words);
std::optional<SpokenNumber> readNumber(std::span<const std::string> words);

// 0 to 99 from one or two words: "seven", "seventeen", "seventy seven", "seventy seventh".
std::optional<SpokenNumber> readBelowHundred(std::span<const vocabulary::Word* const> words);

// Whether the word is one that can stand in a spoken number.
bool isNumberWord(const vocabulary::Word& word);

// "312", "21st", "100th"; "12,345" from five digits on.
std::string digits(const SpokenNumber& number);
std::string groupedDigits(std::int64_t value);
