#include "text/transcript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "scratch_directory.h"

namespace {

// Words spoken 30 frames each, 2 frames apart. "_" stands for a short pause (0.2 s), "/" for a
// long one (1 s).
std::vector<SpokenWord> spoken(const std::string& script) {
  std::vector<SpokenWord> words;
  std::istringstream tokens(script);
  std::int64_t frame = 0;
  for (std::string token; tokens >> token;) {
    if (token == "_") {
      frame += 20;
    } else if (token == "/") {
      frame += 100;
    } else {
      words.push_back({token, frame, frame + 29});
      frame += 32;
    }
  }
  return words;
}

ProperNames names() {
  static const ProperNames loaded = ProperNames::loadSystemLists();
  return loaded;
}

std::string finalText(const std::string& script) {
  auto words = spoken(script);
  return transcriptText({words, words.size(), 0, true}, names());
}

// A partial result: the last `unsettled` words are still being decoded, and `silence` frames
// have been heard after the last word.
std::string partialText(const std::string& script, std::size_t unsettled, std::int64_t silence) {
  auto words = spoken(script);
  std::int64_t heard = words.empty() ? silence : words.back().lastFrame + 1 + silence;
  return transcriptText({words, words.size() - unsettled, heard, false}, names());
}

struct Case {
  const char* spoken;
  const char* typed;
};

void expectFinalTexts(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(finalText(c.spoken), c.typed) << c.spoken;
}

TEST(Transcript, ClosesSentencesAtLongPausesAndAtTheEnd) {
  expectFinalTexts({
      {"", ""},
      {"go forward", "Go forward."},
      {"go forward / turn left", "Go forward. Turn left."},
      {"go forward _ turn left", "Go forward turn left."},
      {"go / / forward", "Go. Forward."},
  });
}

TEST(Transcript, EndsQuestionShapedSentencesWithAQuestionMark) {
  expectFinalTexts({
      {"what time is it", "What time is it?"},
      {"is it late / where are we", "Is it late? Where are we?"},
      {"can you hear me", "Can you hear me?"},
      {"do we go", "Do we go?"},
      {"is john there", "Is John there?"},
      // An auxiliary alone does not make a question, nor does an interrogative later on.
      {"is late", "Is late."},
      {"can openers rust", "Can openers rust."},
      {"tell me what time it is", "Tell me what time it is."},
  });
}

TEST(Transcript, TurnsSpokenPunctuationIntoMarks) {
  expectFinalTexts({
      {"hello comma _ world", "Hello, world."},
      {"hello comma", "Hello."},
      {"stop period _ go on", "Stop. Go on."},
      {"stop full stop _ go on", "Stop. Go on."},
      {"really question mark _ yes", "Really? Yes."},
      {"wow exclamation mark _ wow exclamation point", "Wow! Wow!"},
      {"dear sir colon _ hello semicolon _ bye", "Dear sir: hello; bye."},
      {"first new line _ second", "First\nsecond."},
      {"first new paragraph _ second", "First.\n\nSecond."},
      // A spoken mark takes the place of the one a pause would have made.
      {"hello comma / world", "Hello, world."},
      {"is it period / yes", "Is it. Yes."},
  });
}

TEST(Transcript, CarriesOutQuotesParenthesesDashesAndEllipses) {
  expectFinalTexts({
      {"he said _ open quote _ hello close quote", "He said \"hello\"."},
      {"see above open parenthesis _ page ten close parenthesis", "See above (page 10)."},
      {"wait open paren _ briefly close paren _ then go", "Wait (briefly) then go."},
      {"well hyphen _ known", "Well-known."},
      {"yes dash _ no", "Yes – no."},
      {"and then ellipsis", "And then…"},
      {"and then ellipsis _ nothing", "And then… nothing."},
      // Without the pause after it, a command is a word.
      {"the open quote key", "The open quote key."},
  });
}

TEST(Transcript, ScratchThatTakesBackTheUtteranceBeforeIt) {
  expectFinalTexts({
      {"go left / scratch that / go right", "Go right."},
      {"go left scratch that _ go right", "Go right."},
      {"stay / go left / scratch that", "Stay."},
      {"stay / go left / scratch that / scratch that / turn", "Turn."},
      {"scratch that", "Scratch that."},
      {"scratch that / go", "Scratch that. Go."},
      {"they scratch that itch", "They scratch that itch."},
  });
}

TEST(Transcript, TellsConditionsFromQuestions) {
  expectFinalTexts({
      {"had he married a more amiable woman he might have been respected",
       "Had he married a more amiable woman he might have been respected."},
      {"should you need help comma _ call me", "Should you need help, call me."},
      {"should you need any help please call us", "Should you need any help please call us."},
      {"were it not for you we would be lost", "Were it not for you we would be lost."},
      {"should i go", "Should I go?"},
      {"had you seen it before", "Had you seen it before?"},
      {"should we call him", "Should we call him?"},
      {"is it true that he might come", "Is it true that he might come?"},
  });
}

TEST(Transcript, KeepsPunctuationWordsThatAreNotCommands) {
  expectFinalTexts({
      {"a period of time", "A period of time."},
      {"comma _ then", "Comma then."},
      {"the comma rule", "The comma rule."},
      {"a new line of work", "A new line of work."},
      {"the question mark key", "The question mark key."},
  });
}

TEST(Transcript, CapitalisesIAndNames) {
  expectFinalTexts({
      {"yes i think i'm sure i'd say", "Yes I think I'm sure I'd say."},
      {"see you on monday in june", "See you on Monday in June."},
      {"ask john's sister in paris", "Ask John's sister in Paris."},
      // Words the list also spells in lower case stay as they are.
      {"pay the bill in may", "Pay the bill in may."},
  });
}

TEST(Transcript, WritesNumbersOfTenAndMoreInDigits) {
  expectFinalTexts({
      {"go forward ten meters", "Go forward 10 meters."},
      {"twenty five", "25."},
      {"three hundred and twelve", "312."},
      {"two thousand twenty six", "2026."},
      {"one million two hundred thousand", "1,200,000."},
      {"nine hundred ninety nine", "999."},
      {"fifty percent", "50%."},
      {"five percent", "5%."},
      {"the twenty first", "The 21st."},
      {"the one hundredth", "The 100th."},
      {"the tenth", "The 10th."},
      {"the third", "The third."},
      {"seven", "Seven."},
      {"one of them", "One of them."},
  });
}

TEST(Transcript, LeavesNumberWordsThatAreNotOneNumber) {
  expectFinalTexts({
      {"a hundred times better", "A hundred times better."},
      {"one two three", "One two three."},
      {"twenty five six", "Twenty five six."},
      {"five five", "Five five."},
      {"thousand", "Thousand."},
      {"rock and roll", "Rock and roll."},
      {"ten and eleven", "10 and 11."},
  });
}

TEST(Transcript, WritesTitlesAndSpelledLetters) {
  expectFinalTexts({
      {"mr john", "Mr. John."},
      {"ask dr brown", "Ask Dr. Brown."},
      {"mrs and ms", "Mrs. and Ms."},
      {"plan s. now", "Plan S. now."},
  });
}

TEST(Transcript, ShowsMarksInPartialsOnlyForClosedSentences) {
  // The words still being decoded close nothing, however long the silence after them.
  EXPECT_EQ(partialText("go forward", 2, 200), "Go forward");
  // A settled sentence closes once its pause has been heard.
  EXPECT_EQ(partialText("go forward", 0, 20), "Go forward");
  EXPECT_EQ(partialText("go forward", 0, 100), "Go forward.");
  EXPECT_EQ(partialText("go forward / turn", 1, 0), "Go forward. Turn");
  // A spoken mark at the end waits for the pause after it.
  EXPECT_EQ(partialText("hello comma", 0, 5), "Hello comma");
  EXPECT_EQ(partialText("hello comma", 0, 30), "Hello,");
}

TEST(Transcript, LetsAWrittenFormChangeUntilItsPhraseEnds) {
  std::vector<std::string> partials;
  auto words = spoken("it costs twenty five dollars");
  for (std::size_t heard = 1; heard <= words.size(); ++heard) {
    std::vector<SpokenWord> sofar(words.begin(), words.begin() + static_cast<long>(heard));
    partials.push_back(transcriptText({sofar, 0, sofar.back().lastFrame + 1, false}, names()));
  }
  EXPECT_EQ(partials, (std::vector<std::string>{"It", "It costs", "It costs 20", "It costs 25",
                                                "It costs $25"}));
}

TEST(Transcript, NeverChangesAClosedSentenceAsSpeechGoesOn) {
  std::string script = "is it ten / yes it is / twenty five comma _ more";
  auto words = spoken(script);
  std::string earlier;
  for (std::size_t heard = 1; heard <= words.size(); ++heard) {
    std::vector<SpokenWord> sofar(words.begin(), words.begin() + static_cast<long>(heard));
    std::string text =
        transcriptText({sofar, heard - 1, sofar.back().lastFrame + 1, false}, names());
    std::size_t end = earlier.find_last_of(".?");
    if (end != std::string::npos) {
      EXPECT_EQ(text.substr(0, end + 1), earlier.substr(0, end + 1));
    }
    earlier = text;
  }
  EXPECT_EQ(finalText(script), "Is it 10? Yes it is. 25, more.");
}

TEST(ProperNames, ComeFromTheWordListOnly) {
  ScratchDirectory scratch;
  const std::string full = scratch.file("words"), common = scratch.file("common");
  std::ofstream(full) << "Alice\nalice's\nBob\nbob\nCarol\ncarol\nNASA\nx y\nErin\n";
  std::ofstream(common) << "bob\nDave\n";
  ProperNames list = ProperNames::load(full, common);
  // A rare lower-case sense in the full list does not hide the name; a common one does.
  EXPECT_EQ(list.spelling("carol"), "Carol");
  EXPECT_EQ(list.spelling("carol's"), "Carol's");
  EXPECT_EQ(list.spelling("bob"), std::nullopt);
  EXPECT_EQ(list.spelling("nasa"), "NASA");
  EXPECT_EQ(list.spelling("alice"), "Alice");
  EXPECT_EQ(list.spelling("dave"), "Dave");
  EXPECT_EQ(list.spelling("x"), std::nullopt);
  EXPECT_EQ(list.spelling("eve"), std::nullopt);
  EXPECT_EQ(ProperNames::load("/nonexistent", "/nonexistent").spelling("carol"), std::nullopt);
}

}  // namespace
