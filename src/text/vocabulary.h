#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The words that written forms are read from, as tables: what each word says and how it is
// typed. Every lookup takes a word as the recognizer spells it, in lower case.
namespace vocabulary {

// Whether any table lists the word, or it can begin a written form: a word that is not listed
// is an ordinary word, unless it is part of an address.
bool isListed(std::string_view word);

// "zero" … "nineteen" and their ordinals "zeroth" … "nineteenth", by value.
std::optional<int> unit(std::string_view word);
std::optional<int> unitOrdinal(std::string_view word);
// "twenty" … "ninety", "twentieth" … "ninetieth", "twenties" … "nineties", by value.
std::optional<int> tens(std::string_view word);
std::optional<int> tensOrdinal(std::string_view word);
std::optional<int> tensPlural(std::string_view word);

struct Scale {
  std::string_view cardinal, ordinal, plural;
  std::int64_t value;
};
// "thousand" … "trillion", largest first.
std::span<const Scale> scales();
const Scale* scale(std::string_view word);

// A digit as it is read out one by one: "zero", "oh", "o", "one" … "nine".
std::optional<int> digit(std::string_view word);

// "january" … "december", typed with a capital.
std::optional<std::string_view> month(std::string_view word);

struct Currency {
  std::string_view symbol;  // "$", typed before the amount
  bool hasCents;            // "five dollars and ten cents" is "$5.10"
};
const Currency* currency(std::string_view word);
bool isMinorUnit(std::string_view word);

// Units of measure after which a count is typed in digits: "3 kilograms", "5 degrees".
bool isMeasureUnit(std::string_view word);
// "square", "cubic": a unit may follow.
bool isUnitPrefix(std::string_view word);

// "a m", "p m" and their other spellings, as typed after a clock time, with the count of words.
struct DayHalf {
  std::string_view typed;
  std::size_t words;
};
std::optional<DayHalf> dayHalf(std::string_view first, std::string_view second);

// A letter spelled out, as the recognizer spells it: "w" or "w.".
std::optional<std::string_view> spelledLetter(std::string_view word);

struct Title {
  std::string_view typed;
  bool alwaysTitle;  // "mister" always is one; "doctor" only before a name
};
const Title* title(std::string_view word);

// Words that join or govern others, never a name after a title: "and", "of", "said".
bool isFunctionWord(std::string_view word);

// The last label of a web or e-mail address: "com", "org", "uk" ….
bool isTopLevelDomain(std::string_view word);
// What a word is typed as inside an address: "dot" is ".", "underscore" "_" ….
std::optional<std::string_view> addressSeparator(std::string_view word);

// Words that sign a negative number when they come before one.
bool isMinusSign(std::string_view word);

}  // namespace vocabulary
