#include "text/written_forms.h"

#include <optional>
#include <string_view>

#include "text/number_words.h"
#include "text/vocabulary.h"

namespace {

struct Match {
  std::string text;
  std::size_t end;  // one past the last word taken
  bool verbatim = false;
};

// A number as typed, with what the rules around it need to know.
struct Amount {
  std::string text;  // "12", "5.2 million", "-60", "0.26"
  std::size_t end = 0;
  bool decimal = false, negative = false;
  bool article = false;  // "a hundred", "a million": a count only before money or a unit
  SpokenNumber number;
};

std::string capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

std::string twoDigits(std::int64_t value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

class Grammar {
 public:
  Grammar(std::span<const std::string> words, const ProperNames& names)
      : words_(words), names_(names), amounts_(words.size()) {
    known_.reserve(words.size());
    for (const std::string& word : words) known_.push_back(&vocabulary::lookup(word));
  }

  std::vector<WrittenWord> forms() {
    std::vector<WrittenWord> written;
    for (std::size_t at = 0; at < words_.size();) {
      Match match = formAt(at);
      written.push_back({std::move(match.text), match.verbatim});
      at = match.end;
    }
    return written;
  }

 private:
  using Rule = std::optional<Match> (Grammar::*)(std::size_t) const;

  Match formAt(std::size_t at) const {
    if (!mayBeginForm(at)) return {typed(at), at + 1};
    for (Rule rule :
         {&Grammar::address, &Grammar::numbered, &Grammar::telephone, &Grammar::money,
          &Grammar::date, &Grammar::year, &Grammar::clock, &Grammar::quantity, &Grammar::titled}) {
      if (auto match = (this->*rule)(at)) return *match;
    }
    return {typed(at), at + 1};
  }

  // Most words are just words: only a listed word, or one that an address goes on from, can
  // begin a form; a spelled letter only where an address or "a quarter past" goes on.
  bool mayBeginForm(std::size_t at) const {
    auto goesOnAsAddress = [&](std::size_t next) {
      return word(next) == "at" || known(next).separator || known(next).digit || known(next).letter;
    };
    const vocabulary::Word& entry = known(at);
    if (entry.letter && !entry.digit) {
      const vocabulary::Word& next = known(at + 1);
      return goesOnAsAddress(at + 1) || word(at + 1) == "quarter" || next.hundred || next.scale;
    }
    return entry.listed || goesOnAsAddress(at + 1);
  }

  // What the vocabulary says of the word at `at`; nothing past the end.
  const vocabulary::Word& known(std::size_t at) const {
    static const vocabulary::Word none;
    return at < known_.size() ? *known_[at] : none;
  }

  std::string_view word(std::size_t at) const {
    return at < words_.size() ? std::string_view(words_[at]) : std::string_view();
  }

  bool isNumberWordAt(std::size_t at) const {
    return at < words_.size() && (isNumberWord(known(at)) || word(at) == "point");
  }

  std::optional<SpokenNumber> numberAt(std::size_t at) const {
    if (at >= words_.size()) return std::nullopt;
    auto number = readNumber(std::span(known_).subspan(at));
    if (number) number->words += at;
    return number;
  }

  std::optional<SpokenNumber> belowHundredAt(std::size_t at) const {
    if (at >= words_.size()) return std::nullopt;
    auto number = readBelowHundred(std::span(known_).subspan(at));
    if (number) number->words += at;
    return number;
  }

  // Several rules begin with an amount: each is read once.
  const std::optional<Amount>& amount(std::size_t at) const {
    if (!amounts_[at]) amounts_[at] = readAmount(at);
    return *amounts_[at];
  }

  // Cardinals, decimals and negatives: "twelve", "eighteen point five", "point two six",
  // "five point two million", "minus sixty".
  std::optional<Amount> readAmount(std::size_t at) const {
    Amount result;
    if (vocabulary::isMinusSign(word(at)) && !(at > 0 && isNumberWord(known(at - 1)))) {
      result.negative = true;
      ++at;
    }
    // "point five", "oh point five" and "nought point five" are 0.5; "oh" alone is no number.
    bool zeroAsLetter = known(at).digit == 0 && !known(at).unit;
    bool noWhole = word(at) == "point" || zeroAsLetter;
    result.article = !result.negative && word(at) == "a";
    std::optional<SpokenNumber> number =
        noWhole          ? SpokenNumber{0, false, at + (word(at) == "point" ? 0 : 1)}
        : result.article ? numberAfterArticle(at)
                         : numberAt(at);
    if (!number || (noWhole && fractionDigits(number->words).empty())) return std::nullopt;
    result.number = *number;
    result.end = number->words;
    std::string fraction = number->ordinal ? "" : fractionDigits(result.end);
    if (!fraction.empty()) {
      result.decimal = true;
      result.end += 1 + fraction.size();
      result.text = groupedDigits(number->value) + "." + fraction;
      if (const vocabulary::Scale* scale = known(result.end).scale;
          scale && word(result.end) == scale->cardinal) {
        result.text += " " + std::string(scale->cardinal);
        ++result.end;
      }
    } else {
      result.text = digits(*number);
    }
    if (result.negative) result.text = "-" + result.text;
    return result;
  }

  // "a hundred and twenty", "a thousand", "a million": read as if "one" stood for "a".
  std::optional<SpokenNumber> numberAfterArticle(std::size_t at) const {
    const vocabulary::Word& next = known(at + 1);
    if (!next.hundred && !(next.scale && !next.scaleOrdinal)) return std::nullopt;
    std::vector<const vocabulary::Word*> counted{&vocabulary::lookup("one")};
    counted.insert(counted.end(), known_.begin() + static_cast<long>(at) + 1, known_.end());
    auto number = readNumber(counted);
    if (number) number->words += at;
    return number;
  }

  // The digits after "point": "five", "two six", "oh five".
  std::string fractionDigits(std::size_t at) const {
    if (word(at) != "point") return "";
    std::string fraction;
    for (std::size_t next = at + 1; auto digit = known(next).digit; ++next) {
      fraction += static_cast<char>('0' + *digit);
    }
    return fraction;
  }

  // After "room", "page", "flight" …: digits read one by one, or a cardinal, in digits.
  std::optional<Match> numbered(std::size_t at) const {
    if (at == 0 || !known(at - 1).namesANumber) return std::nullopt;
    std::string digits;
    std::size_t end = at;
    for (; known(end).digit; ++end) digits += static_cast<char>('0' + *known(end).digit);
    if (end - at >= 2 && !isNumberWordAt(end)) return Match{digits, end};
    auto number = numberAt(at);
    if (!number || number->ordinal || isNumberWordAt(number->words)) return std::nullopt;
    return Match{groupedDigits(number->value), number->words};
  }

  // A plain count, or one with a unit, a percent sign or a scale: digits from 10 on, and for
  // any number that measures, is a decimal or is signed.
  std::optional<Match> quantity(std::size_t at) const {
    const auto& number = amount(at);
    if (!number) return std::nullopt;
    std::size_t end = number->end;
    if (auto percent = percentAt(end); percent && !number->number.ordinal) {
      return Match{number->text + "%", *percent};
    }
    if (auto unit = unitAt(end); unit && !number->number.ordinal) {
      return Match{number->text + " " + unit->text, unit->end};
    }
    // "a hundred and fifty people": no count, and so no digits, for any of it.
    if (number->article) return Match{spokenWords(at, end), end};
    if (isNumberWordAt(end)) return wordsOfNumbers(at);
    bool typedInDigits = number->decimal || number->negative || number->number.value >= 10 ||
                         number->number.countOfScale != 0;
    if (!typedInDigits) return std::nullopt;
    return Match{number->text, end};
  }

  // "percent", "per cent": where the sign's words end.
  std::optional<std::size_t> percentAt(std::size_t at) const {
    if (word(at) == "percent") return at + 1;
    if (word(at) == "per" && word(at + 1) == "cent") return at + 2;
    return std::nullopt;
  }

  // "kilograms", "square meters", "cents", "k m".
  std::optional<Match> unitAt(std::size_t at) const {
    if (auto spelled = spelledUnitAt(at)) return spelled;
    std::size_t unit = vocabulary::isUnitPrefix(word(at)) ? at + 1 : at;
    if (!known(unit).measureUnit && !vocabulary::isMinorUnit(word(unit))) {
      return std::nullopt;
    }
    std::string text(word(at));
    if (unit != at) text += " " + std::string(word(unit));
    return Match{text, unit + 1};
  }

  // "k m", "g b": typed "km", "GB".
  std::optional<Match> spelledUnitAt(std::size_t at) const {
    std::string letters;
    std::size_t end = at;
    for (; known(end).letter && !known(end).digit; ++end) letters += *known(end).letter;
    auto typed = vocabulary::spelledUnit(letters);
    if (!typed) return std::nullopt;
    return Match{std::string(*typed), end};
  }

  // A run of number words that is not one number stays as spoken: "one two three".
  std::optional<Match> wordsOfNumbers(std::size_t at) const {
    std::size_t end = at + 1;
    while (isNumberWordAt(end) || vocabulary::isMinusSign(word(end))) ++end;
    return Match{spokenWords(at, end), end};
  }

  std::string spokenWords(std::size_t from, std::size_t to) const {
    std::string text(word(from));
    for (std::size_t at = from + 1; at < to; ++at) text += " " + std::string(word(at));
    return text;
  }

  // "$4.69", "€5", "$2.5 billion", "¥500".
  std::optional<Match> money(std::size_t at) const {
    const auto& number = amount(at);
    if (!number || number->number.ordinal) return std::nullopt;
    const vocabulary::Currency* currency = known(number->end).currency;
    if (vocabulary::isPound(word(number->end))) return pounds(*number);
    if (!currency) return std::nullopt;
    std::string sign = number->negative ? "-" : "";
    std::string value = number->negative ? number->text.substr(1) : number->text;
    std::size_t end = number->end + 1;
    if (auto cents = centsAt(end);
        cents && currency->hasCents && !number->decimal && number->number.countOfScale == 0) {
      value += "." + twoDigits(cents->first);
      end = cents->second;
    }
    return Match{sign + std::string(currency->symbol) + value, end};
  }

  // Pounds are money only with pence after them: "three pounds fifty" is "£3.50", while
  // "three pounds" may weigh, and stays "3 pounds".
  std::optional<Match> pounds(const Amount& number) const {
    auto pence = centsAt(number.end + 1);
    if (!pence || number.decimal || number.negative || number.number.countOfScale != 0) {
      return std::nullopt;
    }
    return Match{"£" + number.text + "." + twoDigits(pence->first), pence->second};
  }

  // "and sixty nine cents", "sixty nine cents", "sixty nine": the cents and where they end.
  std::optional<std::pair<std::int64_t, std::size_t>> centsAt(std::size_t at) const {
    std::size_t from = word(at) == "and" ? at + 1 : at;
    auto cents = belowHundredAt(from);
    if (!cents || cents->ordinal || cents->value == 0) return std::nullopt;
    std::size_t end = cents->words;
    if (vocabulary::isMinorUnit(word(end))) return std::pair{cents->value, end + 1};
    if (from != at || isNumberWordAt(end) || unitAt(end)) return std::nullopt;
    return std::pair{cents->value, end};
  }

  // "July 4", "July 25, 2012", "October 1905", "4th of July".
  std::optional<Match> date(std::size_t at) const {
    if (auto month = known(at).month) {
      std::string name(*month);
      // "July the fourth" is July 4 too.
      bool article = word(at + 1) == "the";
      auto day = dayAt(article ? at + 2 : at + 1);
      if (article && !(day && day->ordinal)) return std::nullopt;
      if (day) {
        if (auto year = yearAt(day->end)) {
          return Match{name + " " + day->text + ", " + year->text, year->end};
        }
      }
      if (auto year = yearAt(at + 1); year && !article) {
        return Match{name + " " + year->text, year->end};
      }
      if (day && (word(at) != "may" || day->ordinal)) {
        return Match{name + " " + day->text, day->end};
      }
      return std::nullopt;
    }
    // "the fourth of july", and "the fourth july" as the British say it: "4th July".
    auto day = dayAt(at);
    if (!day || !day->ordinal) return std::nullopt;
    bool of = word(day->end) == "of";
    auto month = known(of ? day->end + 1 : day->end).month;
    if (!month) return std::nullopt;
    std::string text = digits(day->number) + (of ? " of " : " ") + std::string(*month);
    std::size_t end = of ? day->end + 2 : day->end + 1;
    if (auto year = yearAt(end)) {
      text += " " + year->text;
      end = year->end;
    }
    return Match{text, end};
  }

  struct Day {
    std::string text;
    SpokenNumber number;
    std::size_t end;
    bool ordinal;
  };

  std::optional<Day> dayAt(std::size_t at) const {
    auto day = belowHundredAt(at);
    if (!day || day->value < 1 || day->value > 31) return std::nullopt;
    return Day{std::to_string(day->value), *day, day->words, day->ordinal};
  }

  // "nineteen eighty four", "twenty twelve", "nineteen oh five", "two thousand and nine".
  std::optional<Match> yearAt(std::size_t at) const {
    if (auto pairs = yearInPairs(at)) return pairs;
    auto number = numberAt(at);
    if (!number || number->ordinal || number->value < 1000 || number->value > 2099 ||
        isNumberWordAt(number->words)) {
      return std::nullopt;
    }
    return Match{std::to_string(number->value), number->words};
  }

  std::optional<Match> yearInPairs(std::size_t at) const {
    auto century = belowHundredAt(at);
    if (!century || century->ordinal || century->value < 13 || century->value > 20) {
      return std::nullopt;
    }
    std::size_t next = century->words;
    std::string prefix = std::to_string(century->value);
    if (auto decade = known(next).tensPlural) {
      return Match{prefix + std::to_string(*decade) + "s", next + 1};
    }
    if (word(next) == "hundreds") return Match{prefix + "00s", next + 1};
    std::optional<std::int64_t> rest;
    std::size_t end = next;
    if ((word(next) == "oh" || word(next) == "o") && known(next + 1).digit) {
      rest = *known(next + 1).digit;
      end = next + 2;
    } else if (auto pair = belowHundredAt(next); pair && !pair->ordinal && pair->value >= 10) {
      rest = pair->value;
      end = pair->words;
    }
    if (!rest || isNumberWordAt(end)) return std::nullopt;
    return Match{prefix + twoDigits(*rest), end};
  }

  // A year standing alone, and decades: "1984", "the 1980s", "the 80s".
  std::optional<Match> year(std::size_t at) const {
    if (auto decade = known(at).tensPlural) {
      return Match{std::to_string(*decade) + "s", at + 1};
    }
    return yearInPairs(at);
  }

  // "3 o'clock", "11:55 p.m.", "2:30", "3 p.m.", "quarter past 3" as "3:15".
  std::optional<Match> clock(std::size_t at) const {
    if (auto past = pastOrTo(at)) return past;
    auto hour = belowHundredAt(at);
    if (!hour || hour->ordinal || hour->value < 1 || hour->value > 12) return std::nullopt;
    std::string text = std::to_string(hour->value);
    std::size_t end = hour->words;
    if (word(end) == "o'clock" || word(end) == "oclock") return Match{text + " o'clock", end + 1};
    auto minutes = minutesAt(end);
    if (minutes) {
      text += ":" + twoDigits(minutes->first);
      end = minutes->second;
    }
    if (auto half = vocabulary::dayHalf(word(end), word(end + 1))) {
      return Match{text + " " + std::string(half->typed), end + half->words};
    }
    bool followedByMore =
        isNumberWordAt(end) || unitAt(end) || known(end).currency || word(end) == "percent";
    if (!minutes || followedByMore) return std::nullopt;
    return Match{text, end};
  }

  std::optional<std::pair<std::int64_t, std::size_t>> minutesAt(std::size_t at) const {
    if ((word(at) == "oh" || word(at) == "o") && known(at + 1).digit) {
      int digit = *known(at + 1).digit;
      if (digit > 0) return std::pair{std::int64_t{digit}, at + 2};
    }
    auto minutes = belowHundredAt(at);
    if (!minutes || minutes->ordinal || minutes->value < 10 || minutes->value > 59) {
      return std::nullopt;
    }
    return std::pair{minutes->value, minutes->words};
  }

  // "half past three", "quarter past three", "quarter to four".
  std::optional<Match> pastOrTo(std::size_t at) const {
    std::int64_t minutes = word(at) == "half" ? 30 : word(at) == "quarter" ? 15 : -1;
    std::size_t relation = at + 1;
    // "five past six", "twenty five past nine": the minutes a clock's face is read in.
    if (auto counted = belowHundredAt(at); counted && !counted->ordinal &&
                                           counted->value % 5 == 0 && counted->value > 0 &&
                                           counted->value < 30 && word(counted->words) == "past") {
      minutes = counted->value;
      relation = counted->words;
    }
    if (word(at) == "a" && word(at + 1) == "quarter") {
      minutes = 15;
      relation = at + 2;
    }
    bool past = word(relation) == "past", to = word(relation) == "to" && minutes == 15;
    if (minutes < 0 || !(past || to)) return std::nullopt;
    auto hour = belowHundredAt(relation + 1);
    if (!hour || hour->ordinal || hour->value < 1 || hour->value > 12 ||
        isNumberWordAt(hour->words)) {
      return std::nullopt;
    }
    std::int64_t shown = past ? hour->value : (hour->value == 1 ? 12 : hour->value - 1);
    std::string text = std::to_string(shown) + ":" + twoDigits(past ? minutes : 60 - minutes);
    std::size_t end = hour->words;
    if (auto half = vocabulary::dayHalf(word(end), word(end + 1))) {
      text += " " + std::string(half->typed);
      end += half->words;
    }
    return Match{text, end};
  }

  // Read digit by digit, seven digits or more: "123-456-7890", "+44 20 7946 0958".
  std::optional<Match> telephone(std::size_t at) const {
    bool international = word(at) == "plus";
    std::string number;
    std::size_t end = international ? at + 1 : at;
    for (;;) {
      std::size_t next = end;
      if (!number.empty() && word(next) == "dash") ++next;  // "five five five dash one …"
      int repeat = word(next) == "double" ? 2 : word(next) == "triple" ? 3 : 1;
      std::size_t digitAt = repeat > 1 ? next + 1 : next;
      auto digit = known(digitAt).digit;
      if (!digit) break;
      number.append(static_cast<std::size_t>(repeat), static_cast<char>('0' + *digit));
      end = digitAt + 1;
      // "one eight hundred …": a digit's hundred is two zeros after it.
      if (repeat == 1 && *digit > 0 && known(end).hundred) {
        number += "00";
        ++end;
      }
    }
    if (number.size() < 7 || isNumberWordAt(end)) return std::nullopt;
    return Match{international ? internationalNumber(number) : nationalNumber(number), end};
  }

  static std::string nationalNumber(const std::string& number) {
    switch (number.size()) {
      case 7:
        return number.substr(0, 3) + "-" + number.substr(3);
      case 10:
        return number.substr(0, 3) + "-" + number.substr(3, 3) + "-" + number.substr(6);
      case 11:
        if (number[0] == '1') return "1-" + nationalNumber(number.substr(1));
        return number;
      default:
        return number;
    }
  }

  // The country code is one digit for North America and Russia, else two; only North American
  // numbers have one grouping.
  static std::string internationalNumber(const std::string& number) {
    std::size_t code = number[0] == '1' || number[0] == '7' ? 1 : 2;
    std::string national = number.substr(code);
    if (number[0] == '1' && national.size() == 10) national = nationalNumber(national);
    return "+" + number.substr(0, code) + " " + national;
  }

  // "john at gmail dot com", "w w w dot example dot com", "h t t p s colon slash slash …".
  std::optional<Match> address(std::size_t at) const {
    std::string text;
    std::size_t end = at;
    if (auto scheme = schemeAt(at)) {
      text = scheme->text;
      end = scheme->end;
    } else if (auto local = labelsAt(at, false); local && word(local->end) == "at") {
      if (auto domain = domainAt(local->end + 1)) {
        return Match{local->text + "@" + domain->text, domain->end, true};
      }
      return std::nullopt;
    }
    auto domain = domainAt(end);
    if (!domain) return std::nullopt;
    text += domain->text;
    end = domain->end;
    while (word(end) == "slash") {
      auto label = labelAt(end + 1);
      if (!label) break;
      text += "/" + label->text;
      end = label->end;
    }
    return Match{text, end, true};
  }

  std::optional<Match> schemeAt(std::size_t at) const {
    auto letters = labelAt(at);
    if (!letters || (letters->text != "http" && letters->text != "https")) return std::nullopt;
    std::size_t end = letters->end;
    if (word(end) != "colon" || word(end + 1) != "slash" || word(end + 2) != "slash") {
      return std::nullopt;
    }
    return Match{letters->text + "://", end + 3};
  }

  // Labels joined by dots and ending in a top-level domain: "gmail dot com".
  std::optional<Match> domainAt(std::size_t at) const {
    auto domain = labelsAt(at, true);
    if (!domain || domain->text.find('.') == std::string::npos) return std::nullopt;
    std::string_view last = std::string_view(domain->text).substr(domain->text.rfind('.') + 1);
    if (!vocabulary::lookup(last).topLevelDomain) return std::nullopt;
    return domain;
  }

  // Labels and the separators between them; a domain's only by dots and hyphens.
  std::optional<Match> labelsAt(std::size_t at, bool domain) const {
    auto label = labelAt(at);
    if (!label) return std::nullopt;
    Match labels = *label;
    for (;;) {
      auto separator = known(labels.end).separator;
      if (!separator || *separator == "/") return labels;
      if (domain && *separator != "." && *separator != "-") return labels;
      auto next = labelAt(labels.end + 1);
      if (!next) return labels;
      labels.text += std::string(*separator) + next->text;
      labels.end = next->end;
    }
  }

  // One word, with spelled letters before it and digits around it: "john", "j o h n",
  // "g mail", "john one two".
  std::optional<Match> labelAt(std::size_t at) const {
    std::string text;
    std::size_t end = at;
    bool hasWord = false;
    for (;; ++end) {
      std::string_view spoken = word(end);
      const vocabulary::Word& entry = known(end);
      if (spoken.empty() || spoken == "at" || entry.separator || spoken == "colon") break;
      if (entry.letter && !hasWord) {
        text += *entry.letter;
      } else if (entry.digit && spoken != "o") {
        text += static_cast<char>('0' + *entry.digit);
      } else if (!hasWord && isPlainWord(spoken) && !entry.functionWord) {
        text += spoken;
        hasWord = true;
      } else {
        break;
      }
    }
    if (end == at) return std::nullopt;
    return Match{text, end};
  }

  static bool isPlainWord(std::string_view word) {
    for (char c : word) {
      if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
  }

  // "mister john dashwood" as "Mr. John Dashwood"; "doctor" and "saint" only before a name.
  std::optional<Match> titled(std::size_t at) const {
    const vocabulary::Title* title = known(at).title;
    if (!title || at + 1 >= words_.size()) return std::nullopt;
    std::string_view first = word(at + 1);
    bool beforeName = (title->alwaysTitle ? !known(at + 1).functionWord : looksLikeName(first)) &&
                      !isNumberWord(known(at + 1));
    if (!beforeName) {
      if (!title->alwaysTitle) return std::nullopt;
      return Match{std::string(title->typed), at + 1};
    }
    if (!title->alwaysTitle && at > 0 && isSubject(word(at - 1))) return std::nullopt;
    std::string text = std::string(title->typed) + " " + nameSpelling(first);
    std::size_t end = at + 2;
    if (end < words_.size() && looksLikeName(word(end)) && !isNumberWord(known(end))) {
      text += " " + nameSpelling(word(end));
      ++end;
    }
    return Match{text, end};
  }

  bool looksLikeName(std::string_view word) const {
    return names_.spelling(word).has_value() || !names_.isCommonWord(word);
  }

  // "she misses john": a verb after its subject, not a title.
  bool isSubject(std::string_view word) const {
    for (std::string_view pronoun : {"i", "you", "he", "she", "it", "we", "they", "who", "that"}) {
      if (word == pronoun) return true;
    }
    return names_.spelling(word).has_value();
  }

  std::string nameSpelling(std::string_view word) const {
    if (auto name = names_.spelling(word)) return *name;
    return capitalised(std::string(word));
  }

  // The word as typed: "I", "I'm", names, titles and spelled letters in their capitals.
  std::string typed(std::size_t at) const {
    const std::string& spoken = words_[at];
    if (spoken == "i" || spoken.starts_with("i'")) return "I" + spoken.substr(1);
    if (const vocabulary::Title* title = known(at).title; title && title->alwaysTitle) {
      return std::string(title->typed);
    }
    if (spoken.size() == 2 && spoken[1] == '.') return capitalised(spoken);
    if (auto name = names_.spelling(spoken)) return *name;
    return spoken;
  }

  std::span<const std::string> words_;
  std::vector<const vocabulary::Word*> known_;
  const ProperNames& names_;
  mutable std::vector<std::optional<std::optional<Amount>>> amounts_;
};

}  // namespace

std::vector<WrittenWord> writtenForms(std::span<const std::string> words,
                                      const ProperNames& names) {
  return Grammar(words, names).forms();
}
