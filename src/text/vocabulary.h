#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The words that written forms are read from, as tables: what each word says and how it is
// typed. Every lookup takes a word as the recognizer spells it, in lower case.
namespace vocabulary {

struct Scale {
  std::string_view cardinal, ordinal;
  std::int64_t value;
};

struct Currency {
  std::string_view symbol;  // "$", typed before the amount
  bool hasCents;            // "five dollars and ten cents" is "$5.10"
};

struct Title {
  std::string_view typed;
  bool alwaysTitle;  // "mister" always is one; "doctor" only before a name
};

// Everything the tables say of one word.
struct Word {
  std::optional<int> unit;         // "zero" … "nineteen"
  std::optional<int> unitOrdinal;  // "zeroth" … "nineteenth"
  std::optional<int> tens;         // "twenty" … "ninety"
  std::optional<int> tensOrdinal;  // "twentieth" … "ninetieth"
  std::optional<int> tensPlural;   // "twenties" … "nineties"
  std::optional<int> digit;        // read out one by one: "zero", "oh", "o", "one" … "nine"
  const Scale* scale = nullptr;    // "thousand" … "trillion", and their ordinals
  bool scaleOrdinal = false;
  bool hundred = false, hundredth = false, connector = false;  // "hundred", "hundredth", "and"
  std::optional<std::string_view> month;                       // typed with a capital: "July"
  const Currency* currency = nullptr;
  bool measureUnit = false;   // after which a count is typed in digits: "3 kilograms"
  bool namesANumber = false;  // before which a number is a name, in digits: "room 404"
  const Title* title = nullptr;
  std::optional<std::string_view> letter;     // spelled out, "w" or "w.": "w"
  std::optional<std::string_view> separator;  // inside an address: "dot" is "."
  bool topLevelDomain = false;                // "com", "org", "uk" …
  bool functionWord = false;  // joins or governs others, never a name: "and", "of", "said"
  // Whether the word can begin a written form at all: one that cannot is an ordinary word,
  // unless it is part of an address.
  bool listed = false;
};

// What the tables say of a word as the recognizer spells it, in lower case.
const Word& lookup(std::string_view word);

// A unit's abbreviation spelled letter by letter, "km" or "gb", as typed: "km", "GB".
std::optional<std::string_view> spelledUnit(std::string_view letters);

// "a m", "p m" and their other spellings, as typed after a clock time, with the count of words.
struct DayHalf {
  std::string_view typed;
  std::size_t words;
};
std::optional<DayHalf> dayHalf(std::string_view first, std::string_view second);

inline bool isMinusSign(std::string_view word) {
  return word == "minus" || word == "negative";
}
inline bool isMinorUnit(std::string_view word) {
  return word == "cents" || word == "cent" || word == "pence";
}
inline bool isPound(std::string_view word) {
  return word == "pounds" || word == "pound";
}
// "square", "cubic": a unit may follow.
inline bool isUnitPrefix(std::string_view word) {
  return word == "square" || word == "cubic";
}

}  // namespace vocabulary
