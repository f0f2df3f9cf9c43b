#include "text/number_words.h"

#include "text/vocabulary.h"

namespace {

// Reads a number from the front of the words; each rule returns the number it read, with the
// count of words it took from the front.
class Reader {
 public:
  explicit Reader(std::span<const std::string> words) : words_(words) {}

  std::optional<SpokenNumber> number() {
    auto group = hundreds(0, true);
    if (!group) return std::nullopt;
    std::int64_t total = 0, smallestScale = 0;
    for (;;) {
      std::size_t at = group->words;
      const vocabulary::Scale* scale = group->ordinal ? nullptr : scaleAt(at);
      if (!scale || (smallestScale != 0 && scale->value >= smallestScale) || group->value == 0) {
        return SpokenNumber{total + group->value, group->ordinal, group->words};
      }
      SpokenNumber sofar{total + group->value * scale->value, words_[at] == scale->ordinal, at + 1};
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
    if (auto unit = valueAt(vocabulary::unit, at)) return SpokenNumber{*unit, false, at + 1};
    if (auto unit = valueAt(vocabulary::unitOrdinal, at)) return SpokenNumber{*unit, true, at + 1};
    if (auto ten = valueAt(vocabulary::tensOrdinal, at)) return SpokenNumber{*ten, true, at + 1};
    auto ten = valueAt(vocabulary::tens, at);
    if (!ten) return std::nullopt;
    auto unit = valueAt(vocabulary::unit, at + 1);
    if (unit && *unit >= 1 && *unit <= 9) return SpokenNumber{*ten + *unit, false, at + 2};
    auto ordinal = valueAt(vocabulary::unitOrdinal, at + 1);
    if (ordinal && *ordinal >= 1 && *ordinal <= 9) {
      return SpokenNumber{*ten + *ordinal, true, at + 2};
    }
    return SpokenNumber{*ten, false, at + 1};
  }

 private:
  // 0 to 999: "seven", "forty two", "three hundred and twelve"; at the front of a number also
  // 1100 to 9999 by hundreds, "twenty one hundred and eleven". Zero only alone.
  std::optional<SpokenNumber> hundreds(std::size_t at, bool front) const {
    auto count = belowHundred(at);
    if (!count || count->ordinal) return count;
    bool byHundreds = count->value >= 1 && (count->value <= 9 || (front && count->value % 10));
    if (byHundreds && count->words < words_.size()) {
      const std::string& word = words_[count->words];
      if (word == "hundredth") return SpokenNumber{count->value * 100, true, count->words + 1};
      if (word == "hundred") {
        SpokenNumber hundred{count->value * 100, false, count->words + 1};
        auto rest =
            afterConnector(hundred.words, [&](std::size_t from) { return belowHundred(from); });
        if (!rest || rest->value == 0) return hundred;
        return SpokenNumber{hundred.value + rest->value, rest->ordinal, rest->words};
      }
    }
    if (count->value == 0 && !front) return std::nullopt;
    return count;
  }

  // What `rule` reads at `at`, or after an "and" there: "hundred and twelve".
  template <typename Rule>
  std::optional<SpokenNumber> afterConnector(std::size_t at, Rule rule) const {
    if (at < words_.size() && words_[at] == "and") return rule(at + 1);
    return rule(at);
  }

  template <typename Lookup>
  std::optional<int> valueAt(Lookup lookup, std::size_t at) const {
    return at < words_.size() ? lookup(words_[at]) : std::nullopt;
  }

  const vocabulary::Scale* scaleAt(std::size_t at) const {
    return at < words_.size() ? vocabulary::scale(words_[at]) : nullptr;
  }

  std::span<const std::string> words_;
};

}  // namespace

std::optional<SpokenNumber> readNumber(std::span<const std::string> words) {
  return Reader(words).number();
}

std::optional<SpokenNumber> readBelowHundred(std::span<const std::string> words) {
  return Reader(words).belowHundred(0);
}

bool isNumberWord(std::string_view word) {
  return vocabulary::unit(word) || vocabulary::unitOrdinal(word) || vocabulary::tens(word) ||
         vocabulary::tensOrdinal(word) || word == "hundred" || word == "hundredth" ||
         vocabulary::scale(word);
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
