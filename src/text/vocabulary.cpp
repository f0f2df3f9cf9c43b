#include "text/vocabulary.h"

#include <array>
#include <string>
#include <unordered_map>
#include <utility>

namespace vocabulary {
namespace {

constexpr std::array<std::string_view, 20> units = {
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<std::string_view, 20> unitOrdinals = {
    "zeroth",     "first",     "second",    "third",       "fourth",     "fifth",     "sixth",
    "seventh",    "eighth",    "ninth",     "tenth",       "eleventh",   "twelfth",   "thirteenth",
    "fourteenth", "fifteenth", "sixteenth", "seventeenth", "eighteenth", "nineteenth"};
constexpr std::array<std::string_view, 8> tensWords = {"twenty", "thirty",  "forty",  "fifty",
                                                       "sixty",  "seventy", "eighty", "ninety"};
constexpr std::array<std::string_view, 8> tensOrdinals = {"twentieth", "thirtieth", "fortieth",
                                                          "fiftieth",  "sixtieth",  "seventieth",
                                                          "eightieth", "ninetieth"};
constexpr std::array<std::string_view, 8> tensPlurals = {
    "twenties", "thirties", "forties", "fifties", "sixties", "seventies", "eighties", "nineties"};

constexpr std::array<Scale, 4> scaleTable = {{
    {"trillion", "trillionth", "trillions", 1'000'000'000'000},
    {"billion", "billionth", "billions", 1'000'000'000},
    {"million", "millionth", "millions", 1'000'000},
    {"thousand", "thousandth", "thousands", 1'000},
}};

constexpr std::array<std::pair<std::string_view, std::string_view>, 12> months = {{
    {"january", "January"},
    {"february", "February"},
    {"march", "March"},
    {"april", "April"},
    {"may", "May"},
    {"june", "June"},
    {"july", "July"},
    {"august", "August"},
    {"september", "September"},
    {"october", "October"},
    {"november", "November"},
    {"december", "December"},
}};

// "Pounds" are left to the units of measure: "10 pounds" is right for money and weight alike.
constexpr std::array<std::pair<std::string_view, Currency>, 7> currencies = {{
    {"dollar", {"$", true}},
    {"dollars", {"$", true}},
    {"bucks", {"$", true}},
    {"euro", {"€", true}},
    {"euros", {"€", true}},
    {"yen", {"¥", false}},
    {"rupees", {"₹", false}},
}};

constexpr std::array<std::string_view, 64> measureUnits = {
    "meter",     "meters",     "metre",      "metres",      "kilometer",   "kilometers",
    "kilometre", "kilometres", "centimeter", "centimeters", "millimeter",  "millimeters",
    "mile",      "miles",      "feet",       "inch",        "inches",      "yard",
    "yards",     "gram",       "grams",      "kilogram",    "kilograms",   "kilo",
    "kilos",     "milligram",  "milligrams", "pound",       "pounds",      "ounce",
    "ounces",    "ton",        "tons",       "tonne",       "tonnes",      "liter",
    "liters",    "litre",      "litres",     "milliliter",  "milliliters", "gallon",
    "gallons",   "degree",     "degrees",    "volt",        "volts",       "watt",
    "watts",     "kilowatt",   "kilowatts",  "hertz",       "kilohertz",   "megahertz",
    "gigahertz", "kilobytes",  "megabytes",  "gigabytes",   "terabytes",   "acres",
    "hectares",  "calories",   "mph",        "kph"};

constexpr std::array<std::pair<std::string_view, Title>, 10> titles = {{
    {"mr", {"Mr.", true}},
    {"mister", {"Mr.", true}},
    {"mrs", {"Mrs.", true}},
    {"missus", {"Mrs.", true}},
    {"misses", {"Mrs.", false}},
    {"ms", {"Ms.", true}},
    {"dr", {"Dr.", true}},
    {"doctor", {"Dr.", false}},
    {"saint", {"St.", false}},
    {"st", {"St.", true}},
}};

constexpr std::array<std::string_view, 32> functionWords = {
    "and", "or",   "but",  "nor",  "the",   "a",   "an",    "of",  "to",   "in",  "on",
    "at",  "for",  "with", "by",   "from",  "is",  "are",   "was", "were", "has", "have",
    "had", "said", "says", "will", "would", "can", "could", "who", "that", "as"};

constexpr std::array<std::string_view, 22> topLevelDomains = {
    "com",  "org", "net", "edu", "gov", "io", "co", "uk", "us", "de",  "fr",
    "info", "biz", "me",  "ai",  "ca",  "au", "jp", "eu", "tv", "app", "dev"};

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> addressSeparators = {{
    {"dot", "."},
    {"underscore", "_"},
    {"dash", "-"},
    {"hyphen", "-"},
    {"slash", "/"},
}};

// Words that begin a written form, beyond those of the tables above.
constexpr std::array<std::string_view, 12> otherFormStarts = {
    "oh",    "o",        "point", "plus",    "double", "triple",
    "minus", "negative", "half",  "quarter", "a",      "cubic"};

// Everything the tables say of one word, gathered so that a lookup is one hash-table probe: a
// dictation's every word passes through several.
struct Entry {
  std::optional<int> unit, unitOrdinal, tens, tensOrdinal, tensPlural;
  const Scale* scale = nullptr;
  std::optional<std::string_view> month, separator;
  const Currency* currency = nullptr;
  const Title* title = nullptr;
  bool measureUnit = false, topLevelDomain = false, functionWord = false;
};

// FNV-1a: the words are short, and a general-purpose hash costs more than the probe.
struct WordHash {
  std::size_t operator()(std::string_view word) const {
    std::size_t hash = 14695981039346656037u;
    for (char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return hash;
  }
};
using Index = std::unordered_map<std::string_view, Entry, WordHash>;

template <std::size_t N, typename Set>
void index(Index& entries, const std::array<std::string_view, N>& list, Set set) {
  for (std::size_t i = 0; i < N; ++i) set(entries[list[i]], static_cast<int>(i));
}

Index indexTables() {
  Index entries;
  index(entries, units, [](Entry& e, int i) { e.unit = i; });
  index(entries, unitOrdinals, [](Entry& e, int i) { e.unitOrdinal = i; });
  index(entries, tensWords, [](Entry& e, int i) { e.tens = 20 + 10 * i; });
  index(entries, tensOrdinals, [](Entry& e, int i) { e.tensOrdinal = 20 + 10 * i; });
  index(entries, tensPlurals, [](Entry& e, int i) { e.tensPlural = 20 + 10 * i; });
  index(entries, measureUnits, [](Entry& e, int) { e.measureUnit = true; });
  index(entries, functionWords, [](Entry& e, int) { e.functionWord = true; });
  index(entries, topLevelDomains, [](Entry& e, int) { e.topLevelDomain = true; });
  index(entries, otherFormStarts, [](Entry&, int) {});
  for (const Scale& scale : scaleTable) {
    entries[scale.cardinal].scale = &scale;
    entries[scale.ordinal].scale = &scale;
  }
  for (const auto& [word, typed] : months) entries[word].month = typed;
  for (const auto& [word, typed] : addressSeparators) entries[word].separator = typed;
  for (const auto& [word, currency] : currencies) entries[word].currency = &currency;
  for (const auto& [word, title] : titles) entries[word].title = &title;
  return entries;
}

const Index indexed = indexTables();

const Index& entries() {
  return indexed;
}

// The rules ask after the same word many times in a row: the last answer is kept.
const Entry& entry(std::string_view word) {
  static const Entry none;
  thread_local std::string lastWord;
  thread_local const Entry* lastEntry = &none;
  if (word == lastWord) return *lastEntry;
  auto found = entries().find(word);
  lastWord = word;
  lastEntry = found == entries().end() ? &none : &found->second;
  return *lastEntry;
}

}  // namespace

bool isListed(std::string_view word) {
  return entries().contains(word);
}

std::optional<int> unit(std::string_view word) {
  return entry(word).unit;
}
std::optional<int> unitOrdinal(std::string_view word) {
  return entry(word).unitOrdinal;
}
std::optional<int> tens(std::string_view word) {
  return entry(word).tens;
}
std::optional<int> tensOrdinal(std::string_view word) {
  return entry(word).tensOrdinal;
}
std::optional<int> tensPlural(std::string_view word) {
  return entry(word).tensPlural;
}

std::span<const Scale> scales() {
  return scaleTable;
}
const Scale* scale(std::string_view word) {
  return entry(word).scale;
}

std::optional<int> digit(std::string_view word) {
  if (word == "oh" || word == "o") return 0;
  auto value = unit(word);
  if (value && *value <= 9) return value;
  return std::nullopt;
}

std::optional<std::string_view> month(std::string_view word) {
  return entry(word).month;
}
const Currency* currency(std::string_view word) {
  return entry(word).currency;
}
bool isMinorUnit(std::string_view word) {
  return word == "cents" || word == "cent";
}
bool isMeasureUnit(std::string_view word) {
  return entry(word).measureUnit;
}
bool isUnitPrefix(std::string_view word) {
  return word == "square" || word == "cubic";
}

std::optional<DayHalf> dayHalf(std::string_view first, std::string_view second) {
  for (std::string_view typed : {"a.m.", "p.m."}) {
    std::string_view letter = typed.substr(0, 1);
    bool joined = first.size() == 2 && first.substr(0, 1) == letter && first[1] == 'm';
    if (first == typed || joined) return DayHalf{typed, 1};
    if (letter == spelledLetter(first) && spelledLetter(second) == "m") return DayHalf{typed, 2};
  }
  return std::nullopt;
}

std::optional<std::string_view> spelledLetter(std::string_view word) {
  bool letter = !word.empty() && word[0] >= 'a' && word[0] <= 'z';
  if (letter && (word.size() == 1 || (word.size() == 2 && word[1] == '.'))) {
    return word.substr(0, 1);
  }
  return std::nullopt;
}

const Title* title(std::string_view word) {
  return entry(word).title;
}
bool isFunctionWord(std::string_view word) {
  return entry(word).functionWord;
}
bool isTopLevelDomain(std::string_view word) {
  return entry(word).topLevelDomain;
}
std::optional<std::string_view> addressSeparator(std::string_view word) {
  return entry(word).separator;
}
bool isMinusSign(std::string_view word) {
  return word == "minus" || word == "negative";
}

}  // namespace vocabulary
