#include "text/number_words.h"

#include <vector>

namespace {

using vocabulary::Word;

// Reads a number from the front of the words; each rule returns the number it read, with the
// count of words it took from the front.
class Reader {
 public:
  explicit Reader(std::span<const Word* const> words) : words_(words) {}

  std::optional<SpokenNumber> number() const {
    auto group = hundreds(0, true);
    if (!group) return std::nullopt;
    std::int64_t total = 0, smallestScale = 0;
    for (;;) {
      std::size_t at = group->words;
      const vocabulary::Scale* scale = group->ordinal ? nullptr : word(at).scale;
      if (!scale || (smallestScale != 0 && scale->value >= smallestScale) || group->value == 0) {
        return SpokenNumber{total + group->value, group->ordinal, group->words};
      }
      SpokenNumber sofar{total + group->value * scale->value, word(at).scaleOrdinal, at + 1};
      if (total == 0 && scale->value >= 1'000'000 && !sofar.ordinal) {
        sofar.countOfScale = group->value;
        sofar.scaleWord = scale->cardinal;
      }
      total = sofar.value;
      smallestScale = scale->value;
      if (sofar.ordinal) return sofar;
      auto next = afterConnector(at + 1, [&](std::size_t from) { return hundreds(from, false); });
      if (!next) return sofar;
      group = next;
    }
  }

  // 0 to 99: "seven", "seventeen", "seventy", "seventy seven", "seventy seventh".
  std::optional<SpokenNumber> belowHundred(std::size_t at) const {
    const Word& first = word(at);
    if (first.unit) return SpokenNumber{*first.unit, false, at + 1};
    if (first.unitOrdinal) return SpokenNumber{*first.unitOrdinal, true, at + 1};
    if (first.tensOrdinal) return SpokenNumber{*first.tensOrdinal, true, at + 1};
    if (!first.tens) return std::nullopt;
    const Word& second = word(at + 1);
    if (second.unit && *second.unit >= 1 && *second.unit <= 9) {
      return SpokenNumber{*first.tens + *second.unit, false, at + 2};
    }
    if (second.unitOrdinal && *second.unitOrdinal >= 1 && *second.unitOrdinal <= 9) {
      return SpokenNumber{*first.tens + *second.unitOrdinal, true, at + 2};
    }
    return SpokenNumber{*first.tens, false, at + 1};
  }

 private:
  // 0 to 999: "seven", "forty two", "three hundred and twelve"; at the front of a number also
  // 1100 to 9999 by hundreds, "twenty one hundred and eleven". Zero only alone.
  std::optional<SpokenNumber> hundreds(std::size_t at, bool front) const {
    auto count = belowHundred(at);
    if (!count || count->ordinal) return count;
    bool byHundreds = count->value >= 1 && (count->value <= 9 || (front && count->value % 10));
    const Word& next = word(count->words);
    if (byHundreds && next.hundredth) {
      return SpokenNumber{count->value * 100, true, count->words + 1};
    }
    if (byHundreds && next.hundred) {
      SpokenNumber hundred{count->value * 100, false, count->words + 1};
      auto rest =
          afterConnector(hundred.words, [&](std::size_t from) { return belowHundred(from); });
      if (!rest || rest->value == 0) return hundred;
      return SpokenNumber{hundred.value + rest->value, rest->ordinal, rest->words};
    }
    if (count->value == 0 && !front) return std::nullopt;
    return count;
  }

  // What `rule` reads at `at`, or after an "and" there: "hundred and twelve".
  template <typename Rule>
  std::optional<SpokenNumber> afterConnector(std::size_t at, Rule rule) const {
    if (word(at).connector) return rule(at + 1);
    return rule(at);
  }

  const Word& word(std::size_t at) const {
    static const Word none;
    return at < words_.size() ? *words_[at] : none;
  }

  std::span<const Word* const> words_;
};

}  // namespace

std::optional<SpokenNumber> readNumber(std::span<const Word* const> words) {
  return Reader(words).number();
}

std::optional<SpokenNumber> readNumber(std::span<const std::string> words) {
  std::vector<const Word*> known;
  for (const std::string& word : words) known.push_back(&vocabulary::lookup(word));
  return readNumber(known);
}

std::optional<SpokenNumber> readBelowHundred(std::span<const Word* const> words) {
  return Reader(words).belowHundred(0);
}

bool isNumberWord(const Word& word) {
  return word.unit || word.unitOrdinal || word.tens || word.tensOrdinal || word.hundred ||
         word.hundredth || word.scale;
}

std::string groupedDigits(std::int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 5) return (value < 0 ? "-" : "") + digits;
  std::string grouped = value < 0 ? "-" : "";
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string digits(const SpokenNumber& number) {
  if (number.countOfScale != 0) {
    return std::to_string(number.countOfScale) + " " + std::string(number.scaleWord);
  }
  std::string text = groupedDigits(number.value);
  if (!number.ordinal) return text;
  std::int64_t lastTwo = number.value % 100, last = number.value % 10;
  if (lastTwo >= 11 && lastTwo <= 13) return text + "th";
  if (last == 1) return text + "st";
  if (last == 2) return text + "nd";
  if (last == 3) return text + "rd";
  return text + "th";
}
