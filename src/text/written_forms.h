#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "text/proper_names.h"

// One piece of typed text.
struct WrittenWord {
  std::string text;
  bool verbatim = false;  // typed as it is, even where a sentence begins: "john@example.com"
};

// The words of one stretch of speech without a pause or a spoken mark in it, in their written
// forms: numbers, money, clock times, dates, telephone numbers, addresses, titles and names as
// a person types them. Where a rule is unsure the words stay as spoken.
std::vector<WrittenWord> writtenForms(std::span<const std::string> words, const ProperNames& names);
