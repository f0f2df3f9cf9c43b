#include "text/vocabulary.h"

#include <algorithm>
#include <array>
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

template <std::size_t N>
std::optional<int> indexIn(const std::array<std::string_view, N>& list, std::string_view word) {
  auto found = std::find(list.begin(), list.end(), word);
  if (found == list.end()) return std::nullopt;
  return static_cast<int>(found - list.begin());
}

template <typename Value, std::size_t N>
const Value* valueIn(const std::array<std::pair<std::string_view, Value>, N>& table,
                     std::string_view word) {
  for (const auto& [key, value] : table) {
    if (key == word) return &value;
  }
  return nullptr;
}

std::optional<int> twentyOnwards(std::optional<int> index) {
  if (!index) return std::nullopt;
  return 20 + 10 * *index;
}

}  // namespace

std::optional<int> unit(std::string_view word) {
  return indexIn(units, word);
}
std::optional<int> unitOrdinal(std::string_view word) {
  return indexIn(unitOrdinals, word);
}
std::optional<int> tens(std::string_view word) {
  return twentyOnwards(indexIn(tensWords, word));
}
std::optional<int> tensOrdinal(std::string_view word) {
  return twentyOnwards(indexIn(tensOrdinals, word));
}
std::optional<int> tensPlural(std::string_view word) {
  return twentyOnwards(indexIn(tensPlurals, word));
}

std::span<const Scale> scales() {
  return scaleTable;
}

const Scale* scale(std::string_view word) {
  for (const Scale& entry : scaleTable) {
    if (word == entry.cardinal || word == entry.ordinal) return &entry;
  }
  return nullptr;
}

std::optional<int> digit(std::string_view word) {
  if (word == "oh" || word == "o") return 0;
  auto value = unit(word);
  if (value && *value <= 9) return value;
  return std::nullopt;
}

std::optional<std::string_view> month(std::string_view word) {
  const std::string_view* typed = valueIn(months, word);
  return typed ? std::optional(*typed) : std::nullopt;
}

const Currency* currency(std::string_view word) {
  return valueIn(currencies, word);
}

bool isMinorUnit(std::string_view word) {
  return word == "cents" || word == "cent";
}

bool isMeasureUnit(std::string_view word) {
  return indexIn(measureUnits, word).has_value();
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
  return valueIn(titles, word);
}

bool isFunctionWord(std::string_view word) {
  return indexIn(functionWords, word).has_value();
}

bool isTopLevelDomain(std::string_view word) {
  return indexIn(topLevelDomains, word).has_value();
}

std::optional<std::string_view> addressSeparator(std::string_view word) {
  const std::string_view* typed = valueIn(addressSeparators, word);
  return typed ? std::optional(*typed) : std::nullopt;
}

bool isMinusSign(std::string_view word) {
  return word == "minus" || word == "negative";
}

}  // namespace vocabulary
