#include "events/output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <thread>
#include <vector>

#include "events/emit.h"

namespace {

// Points event output at a non-blocking pipe, as a host might hand one over, and gives the
// test runner its own standard output and error back afterwards.
int claimPipe() {
  int savedOut = dup(STDOUT_FILENO), savedErr = dup(STDERR_FILENO);
  std::array<int, 2> ends{};
  EXPECT_EQ(pipe(ends.data()), 0);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  dup2(ends[1], STDOUT_FILENO);
  claimStandardOutput();
  dup2(savedOut, STDOUT_FILENO);
  dup2(savedErr, STDERR_FILENO);
  for (int fd : {savedOut, savedErr, ends[1]}) close(fd);
  return ends[0];
}

// Reads as a slow host would until `lines` line feeds have come.
std::string readLines(int fd, long lines) {
  std::string all;
  std::array<char, 4096> chunk;
  while (std::count(all.begin(), all.end(), '\n') < lines) {
    ssize_t count = read(fd, chunk.data(), chunk.size());
    if (count <= 0) break;
    all.append(chunk.data(), static_cast<std::size_t>(count));
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  return all;
}

TEST(Output, LinesFromManyThreadsArriveWholeThroughAFullNonBlockingPipe) {
  int host = claimPipe();
  constexpr int threads = 4, linesEach = 5;
  std::string all;
  std::thread reader([&] { all = readLines(host, threads * linesEach); });
  std::vector<std::thread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([t] {
      std::string text(150'000 + t, static_cast<char>('a' + t));
      for (int i = 0; i < linesEach; ++i) emit(transcriptEvent(text, false));
    });
  }
  for (auto& writer : writers) writer.join();
  reader.join();

  std::vector<int> seen(threads);
  std::size_t start = 0;
  for (auto end = all.find('\n'); end != std::string::npos; end = all.find('\n', start)) {
    auto text = nlohmann::json::parse(all.substr(start, end - start))["text"].get<std::string>();
    int t = text[0] - 'a';
    ASSERT_EQ(text, std::string(150'000 + t, static_cast<char>('a' + t)));
    ++seen[t];
    start = end + 1;
  }
  EXPECT_EQ(start, all.size());
  EXPECT_EQ(seen, std::vector<int>(threads, linesEach));
}

}  // namespace
