#include "dictation/stop_line.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_view_literals;

TEST(StopLine, IsStopWithOnlySpacesAndTabsAround) {
  for (std::string_view line :
       {"stop", "stop\r", " stop", "stop\t", " \t stop \t ", "\xC2\xA0stop\xE1\x9A\x80",
        "\xE2\x80\x80stop\xE2\x80\x8A", "\xE2\x80\xAF\xE2\x81\x9F\xE3\x80\x80stop"}) {
    EXPECT_TRUE(isStopLine(line)) << testing::PrintToString(std::string(line));
  }
}

TEST(StopLine, AnythingElseIsNot) {
  const std::string_view others[] = {"",
                                     "Stop",
                                     "STOP",
                                     "stop now",
                                     "stop stop",
                                     "st op",
                                     "stop\r\r",
                                     "\rstop",
                                     "stop\n",
                                     "\vstop",
                                     "stop\f",
                                     "\xC2\x85stop",
                                     "\xE2\x80\x8Bstop",
                                     "\xE2\x80\xA8stop",
                                     "stop\xE2\x80",
                                     "stop\0"sv};
  for (std::string_view line : others) {
    EXPECT_FALSE(isStopLine(line)) << testing::PrintToString(std::string(line));
  }
}

// Feeds input in pieces of the given size, as reads would; true once a stop line has come.
bool scanInPieces(std::string_view input, std::size_t piece) {
  std::string held;
  held.reserve(stopLineCapacity);
  for (std::size_t at = 0; at < input.size(); at += piece) {
    if (scanForStopLine(held, input.substr(at, piece))) return true;
    EXPECT_LE(held.size(), stopLineCapacity);
    EXPECT_EQ(held.capacity(), stopLineCapacity) << "the held line must never grow";
  }
  return false;
}

TEST(ScanForStopLine, AnswersAsTheWholeLineWouldInBoundedMemory) {
  std::string spaces(10'000, ' '), tabs(5'000, '\t'), noBreak;
  for (int i = 0; i < 3'000; ++i) noBreak += "\xE3\x80\x80";
  for (std::string line :
       {std::string("stop"), spaces + "stop" + tabs, noBreak + "stop" + noBreak + "\r",
        spaces + "stop" + tabs + "x", "x" + spaces + "stop", spaces + "st" + tabs + "op",
        std::string(100'000, 'x'), std::string(100'000, 'x') + "stop", "stop" + spaces + "\r",
        "stop" + spaces + "\r\r", std::string(63, ' ') + "stop"}) {
    for (std::size_t piece : {1, 3, 64, 4096}) {
      EXPECT_EQ(scanInPieces(line + "\n", piece), isStopLine(line))
          << line.size() << " bytes in pieces of " << piece;
    }
  }
}

TEST(ScanForStopLine, NeedsTheLineFeed) {
  EXPECT_FALSE(scanInPieces("stop", 1));
  EXPECT_FALSE(scanInPieces("go\nstop\r", 2));
  EXPECT_TRUE(scanInPieces("go\n\nstop\r\nmore", 3));
}

}  // namespace
