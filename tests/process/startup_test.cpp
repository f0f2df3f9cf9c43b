#include <gmock/gmock.h>

#include <algorithm>

#include "process/expected_lines.h"
#include "process/program.h"
#include "process/scenarios.h"

using nlohmann::json;
using testing::Contains;
using testing::ElementsAre;
using testing::IsSupersetOf;
using testing::Not;

namespace {

using scenarios::endingAtStop;
using scenarios::endingSoon;

TEST(Permissions, AnyStatusButAuthorizedIsRefusedWithoutAskingForTheMicrophone) {
  for (int status : {0, 1, 2, 4, -1, 1000}) {
    Program program(json{{"authorization", status}});
    program.closeInput();
    EXPECT_THAT(linesOfExit(program.finish(), 1),
                ElementsAre(expected::speechRecognitionNotAllowed))
        << "status " << status;
    EXPECT_THAT(program.records(), Not(Contains("microphone access requested")));
  }
}

TEST(Permissions, RefusedMicrophoneEndsBeforeAnythingStarts) {
  Program program(json{{"microphone", false}, {"microphoneDelayMs", 50}});
  program.closeInput();
  EXPECT_THAT(linesOfExit(program.finish(), 1), ElementsAre(expected::microphoneNotAllowed));
  EXPECT_THAT(program.records(),
              ElementsAre("speech authorization requested", "microphone access requested"));
}

TEST(Permissions, LateAnswersStillLeadToListening) {
  auto outcome =
      runProgram(endingSoon({{"authorizationDelayMs", 150}, {"microphoneDelayMs", 150}}));
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"Done.","final":true})"));
}

TEST(Recognizer, UsesTheCurrentLocaleWhenItHasOne) {
  Program program(endingSoon({{"locale", "fr-FR"}, {"recognizers", {{"fr-FR", json::object()}}}}));
  program.finish();
  auto records = program.records();
  EXPECT_THAT(records, Contains("task started fr-FR"));
  EXPECT_THAT(records, Not(Contains("recognizer requested en-US")));
}

TEST(Recognizer, FallsBackToUsEnglishWhenTheLocaleHasNone) {
  Program program(endingSoon({{"locale", "tlh"}, {"recognizers", {{"en-US", json::object()}}}}));
  EXPECT_THAT(linesOfExit(program.finish(), 0), Contains(expected::listening));
  auto records = program.records();
  EXPECT_THAT(records, IsSupersetOf({"recognizer requested tlh", "recognizer requested en-US",
                                     "task started en-US"}));
}

TEST(Recognizer, NoneForTheLocaleNorUsEnglishIsUnavailable) {
  Program program(json{{"locale", "tlh"}, {"recognizers", {{"de-DE", json::object()}}}});
  program.closeInput();
  EXPECT_THAT(linesOfExit(program.finish(), 1),
              ElementsAre(expected::speechRecognitionUnavailable));
  EXPECT_THAT(program.records(), Not(Contains("engine started")));
}

TEST(Recognizer, AnUnavailableOneIsNotReplacedByUsEnglish) {
  Program program(
      json{{"locale", "fr-FR"},
           {"recognizers", {{"fr-FR", {{"available", false}}}, {"en-US", json::object()}}}});
  program.closeInput();
  EXPECT_THAT(linesOfExit(program.finish(), 1),
              ElementsAre(expected::speechRecognitionUnavailable));
  EXPECT_THAT(program.records(), Not(Contains("recognizer requested en-US")));
}

TEST(Recognizer, AnUnavailableFallbackIsUnavailable) {
  auto outcome =
      runProgram(json{{"locale", "tlh"}, {"recognizers", {{"en-US", {{"available", false}}}}}});
  EXPECT_THAT(linesOfExit(outcome, 1), ElementsAre(expected::speechRecognitionUnavailable));
}

TEST(Request, AsksForPartialResultsPunctuationAndOnDeviceExactlyWhenSupported) {
  for (bool onDevice : {true, false}) {
    Program program(endingSoon({{"recognizers", {{"en-US", {{"onDevice", onDevice}}}}}}));
    program.finish();
    auto records = program.records();
    EXPECT_THAT(records, IsSupersetOf({"request partial results on", "request punctuation on"}));
    EXPECT_EQ(std::count(records.begin(), records.end(), "request on-device on"), onDevice ? 1 : 0);
  }
}

TEST(Microphone, ARateNotAboveZeroMeansNoMicrophone) {
  for (json rate : {json(0), json(-44100), json("nan")}) {
    Program program(json{{"sampleRate", rate}});
    program.closeInput();
    EXPECT_THAT(linesOfExit(program.finish(), 1), ElementsAre(expected::noMicrophone)) << rate;
    auto records = program.records();
    EXPECT_THAT(records, Not(Contains(testing::StartsWith("tap installed"))));
    EXPECT_THAT(records, Not(Contains("engine started")));
  }
}

TEST(Microphone, AFailedStartIsReportedWithTheEnginesOwnWords) {
  Program program(json{{"engineStartError", "Device \"hw:0\" is busy \\ in use"}});
  program.closeInput();
  EXPECT_THAT(
      linesOfExit(program.finish(), 1),
      ElementsAre(
          R"({"error":"Couldn't start the microphone: Device \"hw:0\" is busy \\ in use"})"));
  EXPECT_THAT(program.records(), IsSupersetOf({"tap installed bus 0 size 1024", "engine prepared",
                                               "engine start failed"}));
}

TEST(Listening, PrintedOnceAndOnlyAfterTheEngineHasStarted) {
  constexpr auto engineStartTime = 300ms;
  Program program(endingSoon({{"engineStartDelayMs", 300}}));
  EXPECT_EQ(program.nextLine(), expected::listening);
  EXPECT_GE(Clock::now() - program.startedAt(), engineStartTime);
  auto lines = linesOfExit(program.finish(), 0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), expected::listening), 1);
  EXPECT_THAT(program.records(), IsSupersetOf({"tap installed bus 0 size 1024", "engine prepared",
                                               "engine started", "task started en-US"}));
}

TEST(Listening, CapturedBuffersGoToTheRequest) {
  Program program(endingAtStop({{"buffers", 4}, {"bufferIntervalMs", 10}}));
  EXPECT_EQ(program.nextLine(), expected::listening);
  EXPECT_TRUE(program.awaitRecord("buffer appended 1024", 4));
  program.closeInput();
  program.finish();
  auto records = program.records();
  EXPECT_EQ(std::count(records.begin(), records.end(), "buffer appended 1024"), 4);
}

TEST(Arguments, ChangeNothing) {
  auto plain = runProgram(endingSoon());
  auto withArguments = runProgram(endingSoon(), "", {.arguments = {"--help", "stop", "-v", ""}});
  EXPECT_EQ(linesOfExit(withArguments, 0), linesOfExit(plain, 0));
}

}  // namespace
