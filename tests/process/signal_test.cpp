#include <gmock/gmock.h>
#include <signal.h>

#include <algorithm>

#include "process/expected_lines.h"
#include "process/program.h"
#include "process/scenarios.h"

using nlohmann::json;
using scenarios::endingAtStop;
using testing::ElementsAre;

namespace {

const char* const finalDone = R"({"text":"Done.","final":true})";
const char* const partialGo = R"({"text":"go","final":false})";

// A recognizer that never gives a final result, so that only the stop deadline would end it.
json withoutFinal() {
  return json{{"deliveries", {{{"afterMs", 50}, {"text", "go"}}}}};
}

TEST(Signals, EachTerminationSignalActsAsStop) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    Program program(endingAtStop());
    ASSERT_EQ(program.nextLine(), expected::listening);
    program.sendSignal(signal);
    EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone))
        << strsignal(signal);
    auto records = program.records();
    EXPECT_EQ(std::count(records.begin(), records.end(), "audio ended"), 1) << strsignal(signal);
  }
}

TEST(Signals, BeforeListeningStopsAsSoonAsItBegins) {
  Program program(endingAtStop({{"authorizationDelayMs", 300}}));
  ASSERT_TRUE(program.awaitWatchedSignals());
  program.sendSignal(SIGTERM);
  EXPECT_THAT(linesOfExit(program.finish(), 0), ElementsAre(expected::listening, finalDone));
}

TEST(Signals, AfterAnyStopEndTheProcessAtOnceWithNothingMore) {
  for (bool stopBySignal : {true, false}) {
    Program program(withoutFinal());
    ASSERT_EQ(program.nextLine(), expected::listening);
    ASSERT_EQ(program.nextLine(), partialGo);
    auto stoppedAt = Clock::now();
    if (stopBySignal) {
      program.sendSignal(SIGINT);
    } else {
      program.send("stop\n");
    }
    ASSERT_TRUE(program.awaitRecord("audio ended", 1));
    program.sendSignal(SIGTERM);
    auto outcome = program.finish();
    EXPECT_THAT(linesOfExit(outcome, 0), ElementsAre(expected::listening, partialGo));
    // Without the second signal it would have waited for the three-second deadline.
    EXPECT_LT(outcome.endedAt - stoppedAt, 3000ms) << "stop by signal: " << stopBySignal;
  }
}

}  // namespace
