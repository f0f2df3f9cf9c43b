#include "text/transcript.h"

#include <array>
#include <cctype>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "text/written_forms.h"

namespace {

// A pause this long ends a sentence. In the read speech of pocketsphinx-testdata (five LibriVox
// sentences), the longest pause the decoder places between two words of a sentence is 0.09 s;
// joined by pauses of 0.3 to 1.5 s, with the silence each recording has at its ends, every
// sentence was closed and nothing else (bench/sentence_pauses). Dictation is slower than reading
// aloud, with pauses to think inside a sentence, so the length stays well above both.
constexpr std::int64_t sentencePause = 60 * framesPerSecond / 100;
// A spoken command counts when a pause this long, or the end, follows it: "comma" then carries
// on as a word in "a comma splice".
constexpr std::int64_t commandPause = 15 * framesPerSecond / 100;

// How a piece meets its neighbours: a word has spaces on both sides, a mark only after it, an
// opening quote only before it, a hyphen none.
enum class Kind { word, mark, opening, joiner, lineBreak, scratch };

struct Piece {
  Kind kind;
  std::string text;
  bool closesSentence = false;
  bool verbatim = false;  // no capital at the start of a sentence
};

struct Command {
  std::string_view first, second;  // the words, the second empty for one word
  std::string_view text;
  Kind kind;
  bool closesSentence = false;
};

constexpr std::array<Command, 25> commands = {{
    {"full", "stop", ".", Kind::mark, true},
    {"question", "mark", "?", Kind::mark, true},
    {"exclamation", "mark", "!", Kind::mark, true},
    {"exclamation", "point", "!", Kind::mark, true},
    {"new", "line", "\n", Kind::lineBreak},
    {"new", "paragraph", "\n\n", Kind::lineBreak, true},
    {"semi", "colon", ";", Kind::mark},
    {"open", "quote", "\"", Kind::opening},
    {"close", "quote", "\"", Kind::mark},
    {"end", "quote", "\"", Kind::mark},
    {"open", "parenthesis", "(", Kind::opening},
    {"open", "paren", "(", Kind::opening},
    {"close", "parenthesis", ")", Kind::mark},
    {"close", "paren", ")", Kind::mark},
    {"scratch", "that", "", Kind::scratch},
    {"period", "", ".", Kind::mark, true},
    {"comma", "", ",", Kind::mark},
    {"colon", "", ":", Kind::mark},
    {"semicolon", "", ";", Kind::mark},
    {"exclamation", "", "!", Kind::mark, true},
    {"unquote", "", "\"", Kind::mark},
    {"ellipsis", "", "…", Kind::mark},
    {"dash", "", "–", Kind::word},
    {"hyphen", "", "-", Kind::joiner},
}};

// Marks after which a sentence may end with no mark of its own: a quotation or an aside closes
// and the sentence's mark follows it.
bool isClosingQuoteOrParenthesis(const Piece& piece) {
  return piece.kind == Kind::mark && (piece.text == "\"" || piece.text == ")");
}

constexpr std::array<std::string_view, 9> interrogatives = {
    "what", "why", "how", "who", "whom", "whose", "when", "where", "which"};
constexpr std::array<std::string_view, 21> auxiliaries = {
    "is",    "are",   "was",    "were", "am",    "do",   "does", "did", "can", "could", "will",
    "would", "shall", "should", "may",  "might", "must", "have", "has", "had", "isn't"};
constexpr std::array<std::string_view, 12> pronouns = {
    "i", "you", "he", "she", "it", "we", "they", "there", "this", "that", "these", "those"};
// "Had he known, …", "Should you need help, …", "Were it not for …": conditions, not questions,
// when a clause of their own follows.
constexpr std::array<std::string_view, 3> conditionalOpeners = {"had", "should", "were"};
constexpr std::array<std::string_view, 12> modals = {"would", "might",    "could",    "will",
                                                     "can",   "should",   "may",      "must",
                                                     "shall", "would've", "might've", "could've"};
constexpr std::array<std::string_view, 8> requests = {"please", "call",  "contact", "let",
                                                      "ask",    "email", "write",   "feel"};

template <std::size_t N>
bool isOneOf(const std::array<std::string_view, N>& list, std::string_view word) {
  for (std::string_view entry : list) {
    if (entry == word) return true;
  }
  return false;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string capitalised(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

class Formatter {
 public:
  Formatter(const HeardSpeech& heard, const ProperNames& names) : heard_(heard), names_(names) {
    spellings_.reserve(heard.words.size());
    for (const SpokenWord& word : heard.words) spellings_.push_back(word.spelling);
  }

  std::string text() {
    std::size_t start = 0;
    for (std::size_t word = 0; word < spellings_.size(); ++word) {
      bool closed = settled(word) && pauseAfter(word) >= sentencePause;
      if (!closed && word + 1 < spellings_.size()) continue;
      readUtterance(start, word + 1);
      if (closed || heard_.isFinal) closeSentence(heard_.isFinal && word + 1 == spellings_.size());
      start = word + 1;
    }
    return joined();
  }

 private:
  // The pause after a word, in frames: up to the next word, or up to what has been heard.
  std::int64_t pauseAfter(std::size_t word) const {
    if (word + 1 < heard_.words.size()) {
      return heard_.words[word + 1].firstFrame - heard_.words[word].lastFrame - 1;
    }
    if (heard_.isFinal) return std::numeric_limits<std::int64_t>::max();
    return word < heard_.settledWords ? heard_.heardFrames - heard_.words[word].lastFrame - 1 : 0;
  }

  bool settled(std::size_t word) const { return heard_.isFinal || word < heard_.settledWords; }

  // The words from `begin` to `end`, spoken without a sentence's pause: commands carried out,
  // the words between them in their written forms.
  void readUtterance(std::size_t begin, std::size_t end) {
    // One that a "scratch that" left empty has its start on the list already.
    if (utteranceStarts_.empty() || utteranceStarts_.back() != pieces_.size()) {
      utteranceStarts_.push_back(pieces_.size());
    }
    std::size_t run = begin;
    for (std::size_t word = begin; word < end;) {
      auto command = commandAt(word, end, run < word);
      if (!command) {
        ++word;
        continue;
      }
      addWords(run, word);
      carryOut(*command);
      word += command->second.empty() ? 1 : 2;
      run = word;
    }
    addWords(run, end);
  }

  // A spoken command, when it follows a word and a pause follows it.
  std::optional<Command> commandAt(std::size_t word, std::size_t end, bool afterWords) const {
    bool afterWord = afterWords || endsInWords();
    for (const Command& command : commands) {
      if (spellings_[word] != command.first) continue;
      std::size_t last = word;
      if (!command.second.empty()) {
        if (word + 1 >= end || spellings_[word + 1] != command.second) continue;
        last = word + 1;
      }
      bool scratchesAnUtterance = command.kind == Kind::scratch && !pieces_.empty();
      if (!(afterWord || scratchesAnUtterance) || pauseAfter(last) < commandPause) continue;
      return command;
    }
    return std::nullopt;
  }

  void addWords(std::size_t begin, std::size_t end) {
    if (begin == end) return;
    for (WrittenWord& written :
         writtenForms(std::span(spellings_).subspan(begin, end - begin), names_)) {
      pieces_.push_back({Kind::word, std::move(written.text), false, written.verbatim});
    }
  }

  void carryOut(const Command& command) {
    if (command.kind == Kind::scratch) return scratchUtterance();
    // A new paragraph closes the sentence before it.
    if (command.closesSentence && command.kind == Kind::lineBreak && endsInWords()) {
      pieces_.push_back(sentenceMark());
    }
    pieces_.push_back({command.kind, std::string(command.text), command.closesSentence});
  }

  // "Scratch that" takes back what this utterance said before it, or the utterance before it
  // when this one has said nothing yet.
  void scratchUtterance() {
    if (utteranceStarts_.back() == pieces_.size() && utteranceStarts_.size() > 1) {
      utteranceStarts_.pop_back();  // this one then begins where the one it takes back did
    }
    pieces_.resize(utteranceStarts_.back());
  }

  bool endsInWords() const {
    return !pieces_.empty() &&
           (pieces_.back().kind == Kind::word || isClosingQuoteOrParenthesis(pieces_.back()));
  }

  // A pause ends the sentence, unless a spoken mark stands in its place. At the end of the final
  // text every sentence closes, and a mark left open there becomes a closing one.
  void closeSentence(bool endOfText) {
    if (!endOfText) {
      if (endsInWords()) pieces_.push_back(sentenceMark());
      return;
    }
    std::size_t end = pieces_.size();
    while (end > 0 && pieces_[end - 1].kind == Kind::lineBreak) --end;
    if (end == 0 || pieces_[end - 1].closesSentence) return;
    Piece mark = sentenceMark();
    const Piece& last = pieces_[end - 1];
    if (last.kind == Kind::mark && !isClosingQuoteOrParenthesis(last) && last.text != "…") {
      pieces_[end - 1] = mark;
    } else if (last.text != "…") {
      pieces_.insert(pieces_.begin() + static_cast<long>(end), mark);
    }
  }

  Piece sentenceMark() const { return {Kind::mark, isQuestion() ? "?" : ".", true}; }

  std::size_t sentenceStart() const {
    std::size_t start = pieces_.size();
    while (start > 0 && !pieces_[start - 1].closesSentence) --start;
    return start;
  }

  // A piece of the sentence being closed as the rules read it: a word in lower case.
  std::string readPiece(std::size_t piece) const {
    const Piece& read = pieces_[piece];
    return read.kind == Kind::word ? lowerCase(read.text) : read.text;
  }

  // "What…", "Why…", or an auxiliary verb and then a pronoun or a name: "Is it…", "Can John…",
  // unless the auxiliary opens a condition that a clause of its own follows.
  bool isQuestion() const {
    std::size_t start = sentenceStart();
    if (start >= pieces_.size()) return false;
    std::string first = readPiece(start);
    if (isOneOf(interrogatives, first)) return true;
    if (!isOneOf(auxiliaries, first) || start + 1 >= pieces_.size()) return false;
    std::string second = readPiece(start + 1);
    if (!isOneOf(pronouns, second) && !names_.spelling(second)) return false;
    return !(isOneOf(conditionalOpeners, first) && readsAsACondition(start));
  }

  // "Had he married …, he might …", "Should you need help, call …".
  bool readsAsACondition(std::size_t start) const {
    for (std::size_t i = start + 2; i < pieces_.size(); ++i) {
      std::string piece = readPiece(i);
      if (piece == ",") return true;
      if (i + 1 < pieces_.size() && isOneOf(pronouns, piece) && isOneOf(modals, readPiece(i + 1))) {
        return true;
      }
      if (i >= start + 3 && isOneOf(requests, piece)) return true;
    }
    return false;
  }

  std::string joined() const {
    std::string text;
    bool capitalise = true, spaceAllowed = false;
    for (const Piece& piece : pieces_) {
      bool spaced = piece.kind == Kind::word || piece.kind == Kind::opening;
      if (spaced && spaceAllowed) text += ' ';
      if (piece.kind == Kind::word) {
        text += capitalise && !piece.verbatim ? capitalised(piece.text) : piece.text;
        capitalise = false;
      } else if (!(piece.text == "." && text.ends_with('.'))) {
        text += piece.text;  // "Dr." and "p.m." take no second point
      }
      spaceAllowed = piece.kind == Kind::word || piece.kind == Kind::mark;
      capitalise = capitalise || piece.closesSentence;
    }
    return text;
  }

  const HeardSpeech& heard_;
  const ProperNames& names_;
  std::vector<std::string> spellings_;
  std::vector<Piece> pieces_;
  std::vector<std::size_t> utteranceStarts_;
};

}  // namespace

std::string transcriptText(const HeardSpeech& heard, const ProperNames& names) {
  return Formatter(heard, names).text();
}
