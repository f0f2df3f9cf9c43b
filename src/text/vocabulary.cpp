#include "text/vocabulary.h"

#include <array>
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
    {"trillion", "trillionth", 1'000'000'000'000},
    {"billion", "billionth", 1'000'000'000},
    {"million", "millionth", 1'000'000},
    {"thousand", "thousandth", 1'000},
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
constexpr std::array<std::pair<std::string_view, Currency>, 9> currencies = {{
    {"dollar", {"$", true}},
    {"dollars", {"$", true}},
    {"bucks", {"$", true}},
    {"euro", {"€", true}},
    {"euros", {"€", true}},
    {"yen", {"¥", false}},
    {"rupees", {"₹", false}},
    {"rupee", {"₹", false}},
    {"yuan", {"¥", false}},
}};

constexpr std::array<std::string_view, 96> measureUnits = {
    "meter",     "meters",      "metre",       "metres",      "kilometer",   "kilometers",
    "kilometre", "kilometres",  "centimeter",  "centimeters", "millimeter",  "millimeters",
    "mile",      "miles",       "feet",        "inch",        "inches",      "yard",
    "yards",     "gram",        "grams",       "kilogram",    "kilograms",   "kilo",
    "kilos",     "milligram",   "milligrams",  "pound",       "pounds",      "ounce",
    "ounces",    "ton",         "tons",        "tonne",       "tonnes",      "liter",
    "liters",    "litre",       "litres",      "milliliter",  "milliliters", "gallon",
    "gallons",   "degree",      "degrees",     "volt",        "volts",       "watt",
    "watts",     "kilowatt",    "kilowatts",   "hertz",       "kilohertz",   "megahertz",
    "gigahertz", "kilobytes",   "megabytes",   "gigabytes",   "terabytes",   "acres",
    "hectares",  "calories",    "mph",         "kph",         "hours",       "minutes",
    "seconds",   "millimetres", "centimetres", "micrometers", "nanometers",  "megawatts",
    "gigawatts", "joules",      "kilojoules",  "decibels",    "bytes",       "kilobyte",
    "megabyte",  "gigabyte",    "terabyte",    "kelvin",      "amps",        "amperes",
    "milliamps", "ohms",        "pixels",      "megapixels",  "knots",       "pints",
    "quarts",    "cups",        "tablespoons", "teaspoons",   "micrograms",  "milliseconds"};

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

constexpr std::array<std::string_view, 35> topLevelDomains = {
    "com", "org", "net", "edu", "gov", "io", "co",  "uk",  "us",     "de",   "fr",  "info",
    "biz", "me",  "ai",  "ca",  "au",  "jp", "eu",  "tv",  "app",    "dev",  "xyz", "ly",
    "ru",  "cn",  "nl",  "es",  "ch",  "se", "int", "mil", "online", "site", "tech"};

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> addressSeparators = {{
    {"dot", "."},
    {"underscore", "_"},
    {"dash", "-"},
    {"hyphen", "-"},
    {"slash", "/"},
}};

// Nouns that a number after them names rather than counts, typed in digits whatever its size:
// "room 404", "page 5", "flight 212".
constexpr std::array<std::string_view, 30> numberedThings = {
    "room",  "page",    "pages",      "flight", "gate",   "apartment", "suite", "channel",
    "bus",   "route",   "platform",   "track",  "exit",   "chapter",   "model", "version",
    "level", "highway", "interstate", "box",    "unit",   "seat",      "row",   "terminal",
    "lane",  "section", "episode",    "season", "volume", "figure"};

// Words that begin a written form, beyond those of the tables above.
constexpr std::array<std::string_view, 14> otherFormStarts = {
    "oh",       "o",    "point",   "plus", "double", "triple",  "minus",
    "negative", "half", "quarter", "a",    "cubic",  "hundred", "hundredth"};

// FNV-1a: the words are short, and a general-purpose hash costs more than the probe.
struct WordHash {
  std::size_t operator()(std::string_view word) const {
    std::size_t hash = 14695981039346656037u;
    for (char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return hash;
  }
};
using Index = std::unordered_map<std::string_view, Word, WordHash>;

template <std::size_t N, typename Set>
void index(Index& words, const std::array<std::string_view, N>& list, Set set) {
  for (std::size_t i = 0; i < N; ++i) set(words[list[i]], static_cast<int>(i));
}

// Units that are spelled out letter by letter, and how they are typed.
constexpr std::array<std::pair<std::string_view, std::string_view>, 19> spelledUnits = {{
    {"km", "km"},   {"kg", "kg"},   {"cm", "cm"},   {"mm", "mm"},   {"ml", "ml"},
    {"mg", "mg"},   {"kb", "KB"},   {"mb", "MB"},   {"gb", "GB"},   {"tb", "TB"},
    {"mph", "mph"}, {"kph", "kph"}, {"hz", "Hz"},   {"khz", "kHz"}, {"mhz", "MHz"},
    {"ghz", "GHz"}, {"kw", "kW"},   {"kwh", "kWh"}, {"ft", "ft"},
}};

// The letters a to z, alone and with a point, as the dictionary spells them.
constexpr std::array<char[3], 26> letterSpellings = [] {
  std::array<char[3], 26> letters{};
  for (int i = 0; i < 26; ++i) {
    letters[static_cast<std::size_t>(i)][0] = static_cast<char>('a' + i);
    letters[static_cast<std::size_t>(i)][1] = '.';
  }
  return letters;
}();

void indexLetters(Index& words) {
  for (const char* letter : letterSpellings) {
    std::string_view withPoint(letter, 2), alone(letter, 1);
    words[alone].letter = alone;
    words[withPoint].letter = alone;
  }
}

Index indexTables() {
  Index words;
  index(words, units, [](Word& w, int i) {
    w.unit = i;
    if (i <= 9) w.digit = i;
  });
  index(words, unitOrdinals, [](Word& w, int i) { w.unitOrdinal = i; });
  index(words, tensWords, [](Word& w, int i) { w.tens = 20 + 10 * i; });
  index(words, tensOrdinals, [](Word& w, int i) { w.tensOrdinal = 20 + 10 * i; });
  index(words, tensPlurals, [](Word& w, int i) { w.tensPlural = 20 + 10 * i; });
  index(words, measureUnits, [](Word& w, int) { w.measureUnit = true; });
  index(words, numberedThings, [](Word& w, int) { w.namesANumber = true; });
  index(words, topLevelDomains, [](Word& w, int) { w.topLevelDomain = true; });
  index(words, otherFormStarts, [](Word&, int) {});
  for (const Scale& scale : scaleTable) {
    words[scale.cardinal].scale = &scale;
    words[scale.ordinal].scale = &scale;
    words[scale.ordinal].scaleOrdinal = true;
  }
  for (const auto& [word, typed] : months) words[word].month = typed;
  for (const auto& [word, currency] : currencies) words[word].currency = &currency;
  for (const auto& [word, title] : titles) words[word].title = &title;
  indexLetters(words);
  words["oh"].digit = 0;
  words["o"].digit = 0;
  words["nought"].digit = 0;
  words["naught"].digit = 0;
  words["hundred"].hundred = true;
  words["hundredth"].hundredth = true;
  for (auto& [word, entry] : words) entry.listed = true;
  // Not forms of their own, but read by the rules around them.
  for (const auto& [word, typed] : addressSeparators) words[word].separator = typed;
  index(words, functionWords, [](Word& w, int) { w.functionWord = true; });
  words["and"].connector = true;
  return words;
}

// Never destroyed: a recognizer's thread may still be formatting while the process exits.
const Index& indexed() {
  static const Index* index = new Index(indexTables());
  return *index;
}

}  // namespace

const Word& lookup(std::string_view word) {
  static const Word none;
  auto found = indexed().find(word);
  return found == indexed().end() ? none : found->second;
}

std::optional<std::string_view> spelledUnit(std::string_view letters) {
  for (const auto& [spelled, typed] : spelledUnits) {
    if (letters == spelled) return typed;
  }
  return std::nullopt;
}

std::optional<DayHalf> dayHalf(std::string_view first, std::string_view second) {
  for (std::string_view typed : {"a.m.", "p.m."}) {
    std::string_view letter = typed.substr(0, 1);
    bool joined = first.size() == 2 && first.substr(0, 1) == letter && first[1] == 'm';
    if (first == typed || joined) return DayHalf{typed, 1};
    if (lookup(first).letter == letter && lookup(second).letter == "m") {
      return DayHalf{typed, 2};
    }
  }
  return std::nullopt;
}

}  // namespace vocabulary
