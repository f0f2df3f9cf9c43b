#include <gmock/gmock.h>

#include <algorithm>
#include <random>

#include "process/expected_lines.h"
#include "process/program.h"
#include "process/scenarios.h"

using nlohmann::json;
using namespace std::string_literals;
using scenarios::endingAtStop;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

const char* const finalDone = R"({"text":"Done.","final":true})";

// Sends the input once listening has begun and expects it to stop the dictation.
void expectStopsOn(std::string_view input) {
  Program program(endingAtStop());
  ASSERT_EQ(program.nextLine(), expected::listening);
  program.send(input);
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone))
      << testing::PrintToString(std::string(input));
  auto records = program.records();
  EXPECT_EQ(std::count(records.begin(), records.end(), "audio ended"), 1);
}

TEST(StopCommand, IsAStopLineWithAnyWhitespaceAroundIt) {
  for (std::string_view input : {"stop\n", "stop\r\n", "  stop \t\n", "\tstop\n",
                                 "\xC2\xA0stop\xE3\x80\x80\n", "\xE2\x80\xAFstop\xE2\x80\x8A\n"}) {
    expectStopsOn(input);
  }
}

TEST(StopCommand, EndOfInputActsAsStop) {
  Program program(endingAtStop());
  ASSERT_EQ(program.nextLine(), expected::listening);
  program.send("sto");
  program.closeInput();
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone));
}

TEST(StopCommand, OtherLinesAreIgnored) {
  Program program(endingAtStop());
  ASSERT_EQ(program.nextLine(), expected::listening);
  program.send("STOP\nStop\nstop now\nst op\n\n\rstop\nstop\r\r\nstop\v\nstop.\n\xC2\x85stop\n");
  std::this_thread::sleep_for(300ms);
  EXPECT_THAT(program.records(), Not(Contains("audio ended")));
  program.send("stop\n");
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone));
}

TEST(StopCommand, ArrivingByteByByteStillStops) {
  Program program(endingAtStop());
  ASSERT_EQ(program.nextLine(), expected::listening);
  for (char byte : std::string_view(" stop\r\n")) {
    program.send(std::string_view(&byte, 1));
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone));
}

TEST(StopCommand, FoundAfterEndlessLinesAndAmidEndlessWhitespace) {
  std::string input(1 << 20, 'x');
  input += "\n\x01\x02\0\xff\n"s + std::string(1 << 20, ' ') + "stop" + std::string(1 << 20, '\t') +
           "\n";
  expectStopsOn(input);
}

TEST(StopCommand, SentBeforeListeningWaitsForIt) {
  Program program(endingAtStop({{"authorizationDelayMs", 200}}));
  program.send("stop\n");
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone));
}

TEST(StopCommand, LinesAfterTheFirstStopAreNotActedOn) {
  expectStopsOn("stop\nstop\nstop\n");
}

TEST(Shutdown, StopsCaptureAndEndsTheAudioInThatOrder) {
  Program program(endingAtStop());
  ASSERT_EQ(program.nextLine(), expected::listening);
  program.send("stop\n");
  program.finish();
  auto records = program.records();
  auto engineStopped = std::find(records.begin(), records.end(), "engine stopped");
  ASSERT_NE(engineStopped, records.end());
  EXPECT_THAT(std::vector(engineStopped, records.end()),
              ElementsAre("engine stopped", "tap removed bus 0", "audio ended"));
}

TEST(Shutdown, EndsQuietlyThreeSecondsAfterTheStopWhenNoFinalResultComes) {
  Program program(json{{"deliveries", {{{"afterMs", 50}, {"text", "go"}}}}});
  ASSERT_EQ(program.nextLine(), expected::listening);
  ASSERT_EQ(program.nextLine(), R"({"text":"go","final":false})");
  auto stoppedAt = Clock::now();
  program.send("stop\n");
  auto outcome = program.finish();
  EXPECT_THAT(linesOfExit(outcome, 0),
              ElementsAre(expected::listening, R"({"text":"go","final":false})"));
  auto waited = outcome.endedAt - stoppedAt;
  EXPECT_GE(waited, 3000ms);
  EXPECT_LT(waited, 4500ms);
}

TEST(Soak, DictationsStoppedAtRandomMomentsAllEndWell) {
  std::mt19937 random(20261208);
  for (int run = 0; run < SOAK_DICTATIONS; ++run) {
    json deliveries = json::array();
    for (int partial = 0; partial < 5; ++partial) {
      deliveries.push_back({{"afterMs", random() % 10}, {"text", std::string(partial + 1, 'a')}});
    }
    deliveries.push_back({{"afterEndAudio", true}, {"text", "Done."}, {"final", true}});
    Program program(json{{"deliveries", deliveries},
                         {"authorizationDelayMs", random() % 20},
                         {"bufferIntervalMs", 1 + random() % 5}});
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 60));
    program.send("stop\n");
    auto lines = linesOfExit(program.finish(), 0);
    ASSERT_GE(lines.size(), 2u) << "run " << run;
    EXPECT_EQ(lines.front(), expected::listening) << "run " << run;
    EXPECT_EQ(lines.back(), finalDone) << "run " << run;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
      EXPECT_EQ(json::parse(lines[i])["final"], false) << "run " << run;
    }
  }
}

}  // namespace
