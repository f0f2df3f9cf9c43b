#include "platform/linux/number_words.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 20> units = {
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<std::string_view, 20> unitOrdinals = {
    "zeroth",     "first",     "second",    "third",       "fourth",     "fifth",     "sixth",
    "seventh",    "eighth",    "ninth",     "tenth",       "eleventh",   "twelfth",   "thirteenth",
    "fourteenth", "fifteenth", "sixteenth", "seventeenth", "eighteenth", "nineteenth"};
constexpr std::array<std::string_view, 8> tens = {"twenty", "thirty",  "forty",  "fifty",
                                                  "sixty",  "seventy", "eighty", "ninety"};
constexpr std::array<std::string_view, 8> tenOrdinals = {"twentieth", "thirtieth", "fortieth",
                                                         "fiftieth",  "sixtieth",  "seventieth",
                                                         "eightieth", "ninetieth"};

struct Scale {
  std::string_view cardinal, ordinal;
  std::int64_t value;
};
constexpr std::array<Scale, 3> scales = {Scale{"billion", "billionth", 1'000'000'000},
                                         Scale{"million", "millionth", 1'000'000},
                                         Scale{"thousand", "thousandth", 1'000}};

template <std::size_t N>
std::optional<std::int64_t> indexIn(const std::array<std::string_view, N>& list,
                                    std::string_view word) {
  for (std::size_t i = 0; i < N; ++i) {
    if (list[i] == word) return static_cast<std::int64_t>(i);
  }
  return std::nullopt;
}

// Reads a number from the front of the words; each rule returns the number it read, with the
// count of words it took from `at` on.
class Reader {
 public:
  explicit Reader(std::span<const std::string> words) : words_(words) {}

  std::optional<SpokenNumber> number() {
    auto group = hundreds(0, true);
    if (!group) return std::nullopt;
    std::int64_t total = 0, smallestScale = 0;
    for (;;) {
      std::size_t at = group->words;
      const Scale* scale = group->ordinal ? nullptr : scaleAt(at);
      if (!scale || (smallestScale != 0 && scale->value >= smallestScale) || group->value == 0) {
        return SpokenNumber{total + group->value, group->ordinal, group->words};
      }
      total += group->value * scale->value;
      smallestScale = scale->value;
      bool ordinal = words_[at] == scale->ordinal;
      SpokenNumber sofar{total, ordinal, at + 1};
      if (ordinal) return sofar;
      auto next = afterConnector(at + 1, [&](std::size_t from) { return hundreds(from, false); });
      if (!next) return sofar;
      group = next;
    }
  }

 private:
  // 0 to 999: "seven", "forty two", "three hundred and twelve". Zero only alone.
  std::optional<SpokenNumber> hundreds(std::size_t at, bool zeroAllowed) {
    auto unit = valueAt(units, at);
    if (unit && *unit >= 1 && *unit <= 9 && at + 1 < words_.size()) {
      const std::string& word = words_[at + 1];
      if (word == "hundredth") return SpokenNumber{*unit * 100, true, at + 2};
      if (word == "hundred") {
        SpokenNumber hundred{*unit * 100, false, at + 2};
        auto rest = afterConnector(at + 2, [&](std::size_t from) { return belowHundred(from); });
        if (!rest || rest->value == 0) return hundred;
        return SpokenNumber{hundred.value + rest->value, rest->ordinal, rest->words};
      }
    }
    auto below = belowHundred(at);
    if (below && below->value == 0 && !zeroAllowed) return std::nullopt;
    return below;
  }

  // 0 to 99: "seven", "seventeen", "seventy", "seventy seven", "seventy seventh".
  std::optional<SpokenNumber> belowHundred(std::size_t at) {
    if (auto unit = valueAt(units, at)) return SpokenNumber{*unit, false, at + 1};
    if (auto unit = valueAt(unitOrdinals, at)) return SpokenNumber{*unit, true, at + 1};
    if (auto ten = valueAt(tenOrdinals, at)) return SpokenNumber{20 + 10 * *ten, true, at + 1};
    auto ten = valueAt(tens, at);
    if (!ten) return std::nullopt;
    std::int64_t value = 20 + 10 * *ten;
    auto unit = valueAt(units, at + 1);
    if (unit && *unit >= 1 && *unit <= 9) return SpokenNumber{value + *unit, false, at + 2};
    auto ordinal = valueAt(unitOrdinals, at + 1);
    if (ordinal && *ordinal >= 1 && *ordinal <= 9) {
      return SpokenNumber{value + *ordinal, true, at + 2};
    }
    return SpokenNumber{value, false, at + 1};
  }

  // What `rule` reads at `at`, or after an "and" there: "hundred and twelve".
  template <typename Rule>
  std::optional<SpokenNumber> afterConnector(std::size_t at, Rule rule) {
    if (at < words_.size() && words_[at] == "and") return rule(at + 1);
    return rule(at);
  }

  template <std::size_t N>
  std::optional<std::int64_t> valueAt(const std::array<std::string_view, N>& list,
                                      std::size_t at) const {
    return at < words_.size() ? indexIn(list, words_[at]) : std::nullopt;
  }

  const Scale* scaleAt(std::size_t at) const {
    if (at >= words_.size()) return nullptr;
    for (const Scale& scale : scales) {
      if (words_[at] == scale.cardinal || words_[at] == scale.ordinal) return &scale;
    }
    return nullptr;
  }

  std::span<const std::string> words_;
};

}  // namespace

std::optional<SpokenNumber> readNumber(std::span<const std::string> words) {
  return Reader(words).number();
}

bool isNumberWord(const std::string& word) {
  if (indexIn(units, word) || indexIn(unitOrdinals, word) || indexIn(tens, word) ||
      indexIn(tenOrdinals, word) || word == "hundred" || word == "hundredth") {
    return true;
  }
  for (const Scale& scale : scales) {
    if (word == scale.cardinal || word == scale.ordinal) return true;
  }
  return false;
}

std::string digits(const SpokenNumber& number) {
  std::string text = std::to_string(number.value);
  if (!number.ordinal) return text;
  std::int64_t lastTwo = number.value % 100, last = number.value % 10;
  if (lastTwo >= 11 && lastTwo <= 13) return text + "th";
  if (last == 1) return text + "st";
  if (last == 2) return text + "nd";
  if (last == 3) return text + "rd";
  return text + "th";
}
