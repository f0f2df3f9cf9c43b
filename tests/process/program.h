#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How a run of the program ended, and everything it printed.
struct Outcome {
  bool exited = false;  // false when killed by a signal or still running at the time limit
  int exitStatus = -1;
  std::vector<std::string> lines;  // every line of standard output, line feeds removed
  std::string unterminated;        // bytes after the last line feed
  std::string errorOutput;
  std::string sanitizerReports;
  Clock::time_point endedAt;
};

struct Options {
  std::vector<std::string> arguments;
  bool nonBlockingOutput = false;  // as some hosts leave their end of the pipe
};

// The simulated program, started with a scenario, its standard streams on pipes.
class Program {
 public:
  explicit Program(nlohmann::json scenario, const Options& options = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The next line of standard output, or none at its end or after the timeout.
  std::optional<std::string> nextLine(Clock::duration timeout = 5s);
  void send(std::string_view input);
  void closeInput();
  void sendSignal(int signal);
  // Waits until the program has blocked the termination signals it watches, before which they
  // would still end it; false at the timeout.
  bool awaitWatchedSignals(Clock::duration timeout = 10s) const;
  // As a host that goes away without waiting for the program.
  void closeOutput();
  // Reads the rest of the output and waits for the exit; kills the program at the time limit.
  Outcome finish(Clock::duration limit = 10s);
  // What the program asked of the simulated platform, in order.
  std::vector<std::string> records() const;
  // Waits until the platform has been asked `record` `count` times; false at the timeout.
  bool awaitRecord(std::string_view record, std::size_t count, Clock::duration timeout = 10s) const;

  Clock::time_point startedAt() const { return startedAt_; }

 private:
  bool readOutputUntil(Clock::time_point deadline);
  void collectSanitizerReports();

  std::filesystem::path directory_;
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
  std::string pending_;
  std::size_t linesHandedOut_ = 0;
  Outcome outcome_;
  Clock::time_point startedAt_;
};

// Runs the program to its end with the given standard input, closed afterwards.
Outcome runProgram(const nlohmann::json& scenario, std::string_view input = "",
                   const Options& options = {});

// Nothing on stderr, no sanitizer report, no half-written line.
void expectClean(const Outcome& outcome);

// The lines of a run that exited with `status`, checked clean.
std::vector<std::string> linesOfExit(const Outcome& outcome, int status);

std::vector<std::string> readLines(const std::filesystem::path& path);
