#include <gmock/gmock.h>

#include "process/expected_lines.h"
#include "process/program.h"

using nlohmann::json;
using testing::ElementsAre;

namespace {

json transcripts(int count, std::size_t length, int firstAfterMs = 0) {
  json deliveries = json::array();
  for (int i = 0; i < count; ++i) {
    deliveries.push_back({{"afterMs", i == 0 ? firstAfterMs : 0},
                          {"text", std::string(length, static_cast<char>('a' + i % 26))}});
  }
  deliveries.push_back({{"afterMs", 0}, {"text", "Done."}, {"final", true}});
  return {{"deliveries", deliveries}};
}

TEST(Output, ANonBlockingPipeIsWaitedOnNotGivenUp) {
  Program program(transcripts(8, 200'000), {.nonBlockingOutput = true});
  ASSERT_EQ(program.nextLine(), expected::listening);
  std::this_thread::sleep_for(300ms);  // let the pipe fill up
  auto lines = linesOfExit(program.finish(), 0);
  ASSERT_EQ(lines.size(), 10u);
  for (std::size_t i = 1; i < 9; ++i)
    EXPECT_EQ(json::parse(lines[i])["text"].get<std::string>().size(), 200'000u);
  EXPECT_EQ(lines.back(), R"({"text":"Done.","final":true})");
}

TEST(Output, AHostThatStopsReadingDoesNotKillTheProgram) {
  Program program(transcripts(3, 100, 300));
  ASSERT_EQ(program.nextLine(), expected::listening);
  program.closeOutput();
  auto outcome = program.finish();
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(outcome.errorOutput, "");
}

}  // namespace
