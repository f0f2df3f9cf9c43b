#include "platform/linux/transcript.h"

#include <array>
#include <cctype>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/linux/feature_stream.h"
#include "platform/linux/number_words.h"

namespace {

// A pause this long ends a sentence. In the read speech of pocketsphinx-testdata (five LibriVox
// sentences), the longest pause the decoder places between two words of a sentence is 0.09 s;
// joined by pauses of 0.3 to 1.5 s, with the silence each recording has at its ends, every
// sentence was closed and nothing else (bench/sentence_pauses). Dictation is slower than reading
// aloud, with pauses to think inside a sentence, so the length stays well above both.
constexpr std::int64_t sentencePause = 60 * FeatureStream::frameRate / 100;
// A spoken mark is a command when a pause this long, or the end, follows it: "comma" then
// carries on as a word in "a comma splice".
constexpr std::int64_t commandPause = 15 * FeatureStream::frameRate / 100;

enum class Kind { word, mark, lineBreak };

struct Piece {
  Kind kind;
  std::string text;
  std::size_t lastWord;  // the last of the spoken words it stands for
  bool closesSentence = false;
};

struct Command {
  std::string_view first, second;  // the words, the second empty for one word
  std::string_view text;
  Kind kind;
  bool closesSentence;
};

constexpr std::array<Command, 12> commands = {{
    {"full", "stop", ".", Kind::mark, true},
    {"question", "mark", "?", Kind::mark, true},
    {"exclamation", "mark", "!", Kind::mark, true},
    {"exclamation", "point", "!", Kind::mark, true},
    {"new", "line", "\n", Kind::lineBreak, false},
    {"new", "paragraph", "\n\n", Kind::lineBreak, true},
    {"period", "", ".", Kind::mark, true},
    {"comma", "", ",", Kind::mark, false},
    {"colon", "", ":", Kind::mark, false},
    {"semicolon", "", ";", Kind::mark, false},
    {"semi", "colon", ";", Kind::mark, false},
    {"exclamation", "", "!", Kind::mark, true},
}};

constexpr std::array<std::string_view, 9> interrogatives = {
    "what", "why", "how", "who", "whom", "whose", "when", "where", "which"};
constexpr std::array<std::string_view, 21> auxiliaries = {
    "is",    "are",   "was",    "were", "am",    "do",   "does", "did", "can", "could", "will",
    "would", "shall", "should", "may",  "might", "must", "have", "has", "had", "isn't"};
constexpr std::array<std::string_view, 12> pronouns = {
    "i", "you", "he", "she", "it", "we", "they", "there", "this", "that", "these", "those"};

template <std::size_t N>
bool isOneOf(const std::array<std::string_view, N>& list, std::string_view word) {
  for (std::string_view entry : list) {
    if (entry == word) return true;
  }
  return false;
}

class Formatter {
 public:
  Formatter(const HeardSpeech& heard, const ProperNames& names) : heard_(heard), names_(names) {
    for (const SpokenWord& word : heard.words) spellings_.push_back(word.spelling);
  }

  std::string text() {
    readCommandsAndNumbers();
    closeSentences();
    return joined();
  }

 private:
  const std::string& spelling(std::size_t word) const { return spellings_[word]; }

  // The pause after a word, in frames: up to the next word, or up to what has been heard.
  std::int64_t pauseAfter(std::size_t word) const {
    if (word + 1 < heard_.words.size()) {
      return heard_.words[word + 1].firstFrame - heard_.words[word].lastFrame - 1;
    }
    if (heard_.isFinal) return std::numeric_limits<std::int64_t>::max();
    return word < heard_.settledWords ? heard_.heardFrames - heard_.words[word].lastFrame - 1 : 0;
  }

  bool settled(std::size_t word) const { return heard_.isFinal || word < heard_.settledWords; }

  void readCommandsAndNumbers() {
    for (std::size_t word = 0; word < heard_.words.size();) {
      if (auto command = commandAt(word)) {
        std::size_t last = word + (command->second.empty() ? 0 : 1);
        pieces_.push_back(
            {command->kind, std::string(command->text), last, command->closesSentence});
        word = last + 1;
      } else {
        word = readWords(word);
      }
    }
  }

  // A spoken mark, when it follows a word and a pause follows it.
  std::optional<Command> commandAt(std::size_t word) const {
    if (pieces_.empty() || pieces_.back().kind != Kind::word) return std::nullopt;
    for (const Command& command : commands) {
      if (spelling(word) != command.first) continue;
      std::size_t last = word;
      if (!command.second.empty()) {
        if (word + 1 >= heard_.words.size() || spelling(word + 1) != command.second) continue;
        last = word + 1;
      }
      if (pauseAfter(last) >= commandPause) return command;
    }
    return std::nullopt;
  }

  // Takes the word at `word`, or the number that starts there; returns where to go on.
  std::size_t readWords(std::size_t word) {
    auto number = readNumber(std::span(spellings_).subspan(word));
    if (!number) {
      pieces_.push_back({Kind::word, typed(word), word});
      return word + 1;
    }
    std::size_t end = word + number->words;
    bool ambiguous = end < heard_.words.size() && isNumberWord(spelling(end));
    if (ambiguous) {
      for (; word < heard_.words.size() && isNumberWord(spelling(word)); ++word) {
        pieces_.push_back({Kind::word, typed(word), word});
      }
      return word;
    }
    if (end < heard_.words.size() && spelling(end) == "percent" && !number->ordinal) {
      pieces_.push_back({Kind::word, digits(*number) + "%", end});
      return end + 1;
    }
    if (number->value < 10) {
      for (; word < end; ++word) pieces_.push_back({Kind::word, typed(word), word});
      return end;
    }
    pieces_.push_back({Kind::word, digits(*number), end - 1});
    return end;
  }

  // The word as typed: "I", "I'm", names, titles and spelled letters in their capitals.
  std::string typed(std::size_t word) const {
    const std::string& spoken = spelling(word);
    if (spoken == "i" || spoken.starts_with("i'")) return "I" + spoken.substr(1);
    if (spoken == "mr" || spoken == "mrs" || spoken == "ms" || spoken == "dr") {
      return capitalised(spoken) + ".";
    }
    if (spoken.size() == 2 && spoken[1] == '.') return capitalised(spoken);
    if (auto name = names_.spelling(spoken)) return *name;
    return spoken;
  }

  static std::string capitalised(std::string text) {
    if (!text.empty())
      text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
  }

  // Puts a mark at the end of every sentence that a pause has closed, and at the end of the
  // final text.
  void closeSentences() {
    std::vector<Piece> closed;
    std::size_t sentenceStart = 0;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
      closed.push_back(pieces_[i]);
      if (pieces_[i].closesSentence) sentenceStart = closed.size();
      if (pieces_[i].kind != Kind::word) continue;
      std::size_t last = pieces_[i].lastWord;
      if (!endsSentenceHere(i)) continue;
      closed.push_back({Kind::mark, isQuestion(closed, sentenceStart) ? "?" : ".", last, true});
      sentenceStart = closed.size();
    }
    pieces_ = std::move(closed);
    if (heard_.isFinal) closeLastSentence(sentenceStart);
  }

  // A pause closes a sentence, unless a spoken mark stands in its place; a new paragraph closes
  // one too.
  bool endsSentenceHere(std::size_t piece) const {
    if (piece + 1 < pieces_.size() && pieces_[piece + 1].kind != Kind::word) {
      const Piece& next = pieces_[piece + 1];
      return next.kind == Kind::lineBreak && next.closesSentence;
    }
    std::size_t last = pieces_[piece].lastWord;
    return settled(last) && pauseAfter(last) >= sentencePause;
  }

  // The final text ends with a closing mark, before any line breaks at its end.
  void closeLastSentence(std::size_t sentenceStart) {
    std::size_t end = pieces_.size();
    while (end > 0 && pieces_[end - 1].kind == Kind::lineBreak) --end;
    if (end == 0 || pieces_[end - 1].closesSentence) return;
    Piece mark{Kind::mark, isQuestion(pieces_, sentenceStart) ? "?" : ".", 0, true};
    if (pieces_[end - 1].kind == Kind::mark) {
      pieces_[end - 1] = mark;
    } else {
      pieces_.insert(pieces_.begin() + static_cast<long>(end), mark);
    }
  }

  // "What…", "Why…", or an auxiliary verb and then a pronoun or a name: "Is it…", "Can John…".
  bool isQuestion(const std::vector<Piece>& pieces, std::size_t start) const {
    if (start >= pieces.size() || pieces[start].kind != Kind::word) return false;
    std::string first = lowerCase(pieces[start].text);
    if (isOneOf(interrogatives, first)) return true;
    if (!isOneOf(auxiliaries, first) || start + 1 >= pieces.size()) return false;
    const Piece& second = pieces[start + 1];
    if (second.kind != Kind::word) return false;
    std::string word = lowerCase(second.text);
    return isOneOf(pronouns, word) || names_.spelling(word).has_value();
  }

  static std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }

  std::string joined() const {
    std::string text;
    bool capitalise = true, spaceBefore = false;
    for (const Piece& piece : pieces_) {
      if (piece.kind == Kind::word) {
        if (spaceBefore) text += ' ';
        text += capitalise ? capitalised(piece.text) : piece.text;
        capitalise = false;
      } else if (!(piece.text == "." && text.ends_with('.'))) {
        text += piece.text;  // "Dr." takes no second point
      }
      spaceBefore = piece.kind != Kind::lineBreak;
      capitalise = capitalise || piece.closesSentence;
    }
    return text;
  }

  const HeardSpeech& heard_;
  const ProperNames& names_;
  std::vector<std::string> spellings_;
  std::vector<Piece> pieces_;
};

}  // namespace

std::string transcriptText(const HeardSpeech& heard, const ProperNames& names) {
  return Formatter(heard, names).text();
}
