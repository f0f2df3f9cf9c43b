#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// A number read from spoken words: "three hundred and twelve" is 312 (cardinal), "twenty first"
// is 21 (ordinal).
struct SpokenNumber {
  std::int64_t value = 0;
  bool ordinal = false;
  std::size_t words = 0;  // how many of the words it took
};

// The longest number the words begin with, if they begin with one. A count is needed before
// "hundred", "thousand" and the like, so "a hundred" and "hundredth" are not numbers here.
std::optional<SpokenNumber> readNumber(std::span<const std::string> words);

// Whether the word is one that can stand in a spoken number.
bool isNumberWord(const std::string& word);

// "312", "21st", "100th".
std::string digits(const SpokenNumber& number);
