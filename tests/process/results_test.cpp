#include <gmock/gmock.h>

#include "process/expected_lines.h"
#include "process/program.h"

using nlohmann::json;
using testing::ElementsAre;

namespace {

json partial(const std::string& text, int afterMs = 20) {
  return {{"afterMs", afterMs}, {"text", text}, {"final", false}};
}
json final(const std::string& text, int afterMs = 20) {
  return {{"afterMs", afterMs}, {"text", text}, {"final", true}};
}
json error(const std::string& description, int afterMs = 20) {
  return {{"afterMs", afterMs}, {"error", description}};
}
json afterEndAudio(json delivery) {
  delivery["afterEndAudio"] = true;
  return delivery;
}

// Runs the deliveries with standard input left open, so only the recognizer can end the run.
Outcome recognize(const json& deliveries) {
  Program program(json{{"deliveries", deliveries}});
  return program.finish();
}

TEST(Transcripts, EveryPartialIsPrintedWholeAndTheFinalEndsTheRun) {
  auto outcome = recognize({partial("go"), partial("go forward"), partial("go forward"),
                            partial(""), final("Go forward ten meters.")});
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"go","final":false})",
                          R"({"text":"go forward","final":false})",
                          R"({"text":"go forward","final":false})", R"({"text":"","final":false})",
                          R"({"text":"Go forward ten meters.","final":true})"));
}

TEST(Transcripts, NothingFollowsTheFinalOne) {
  auto outcome = recognize({final("Done.", 20), partial("late", 0), error("late", 0)});
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"Done.","final":true})"));
}

TEST(Transcripts, TextStaysOnOneLineAndReadsBackUnchanged) {
  std::string text =
      "She said \"hi\"\\\n\r\ttab \x01 caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x8E\xA4 </script>";
  auto lines = linesOfExit(recognize(json::array({final(text)})), 0);
  ASSERT_EQ(lines.size(), 2u);
  auto event = json::parse(lines[1]);
  EXPECT_EQ(event["text"], text);
  EXPECT_EQ(event["final"], true);
}

TEST(Transcripts, ALongOneArrivesWhole) {
  std::string text(300'000, 'a');
  auto lines = linesOfExit(recognize({partial(text), final(text)}), 0);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(json::parse(lines[1])["text"], text);
  EXPECT_EQ(json::parse(lines[2])["text"], text);
}

TEST(Deliveries, NeitherResultNorErrorChangesNothing) {
  auto outcome = recognize({json::object(), partial("still here"), final("Done.")});
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"still here","final":false})",
                          R"({"text":"Done.","final":true})"));
}

TEST(Deliveries, AnErrorBesideAResultIsIgnored) {
  json both = partial("go");
  both["error"] = "ignored";
  json bothFinal = final("Go.");
  bothFinal["error"] = "ignored";
  auto outcome = recognize({both, bothFinal});
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"go","final":false})",
                          R"({"text":"Go.","final":true})"));
}

TEST(Errors, WhileCapturingAreFailuresInTheRecognizersWords) {
  auto outcome = recognize(
      {partial("go"), error("Recognition stopped: \"model\" lost."), partial("never printed")});
  EXPECT_THAT(linesOfExit(outcome, 1),
              ElementsAre(expected::listening, R"({"text":"go","final":false})",
                          R"({"error":"Recognition stopped: \"model\" lost."})"));
}

TEST(Errors, AfterTheStopEndTheRunQuietly) {
  Program program(
      json{{"deliveries",
            {afterEndAudio(error("Recognition was cancelled.")), partial("never printed")}}});
  EXPECT_EQ(program.nextLine(), expected::listening);
  program.send("stop\n");
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening));
}

TEST(Transcripts, TheFinalOneAfterTheStopIsStillPrinted) {
  Program program(json{{"deliveries", {partial("go"), afterEndAudio(final("Go forward."))}}});
  EXPECT_EQ(program.nextLine(), expected::listening);
  EXPECT_EQ(program.nextLine(), R"({"text":"go","final":false})");
  program.send("stop\n");
  EXPECT_THAT(linesOfExit(program.finish(), 0),
              ElementsAre(expected::listening, R"({"text":"go","final":false})",
                          R"({"text":"Go forward.","final":true})"));
}

}  // namespace
