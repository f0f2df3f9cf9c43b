#include "process/program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

std::filesystem::path makeTemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pilto-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::array<int, 2> makePipe() {
  std::array<int, 2> ends{};
  if (pipe2(ends.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  return ends;
}

// Sanitizer reports would go to the program's stderr, which it sends to /dev/null.
std::string sanitizerOptions(const std::filesystem::path& directory) {
  return "log_path=" + (directory / "sanitizer").string() + ":exitcode=66";
}

std::vector<std::string> environmentFor(const nlohmann::json& scenario,
                                        const std::filesystem::path& directory) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable; ++variable) environment.emplace_back(*variable);
  auto scenarioPath = directory / "scenario.json";
  std::ofstream(scenarioPath) << scenario.dump();
  environment.push_back("PILTO_SIMULATION=" + scenarioPath.string());
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
    environment.push_back(std::string(name) + "=" + sanitizerOptions(directory));
  }
  // The program ends by _exit while its threads still run; that is by design, not a leak.
  environment.push_back("TSAN_OPTIONS=" + sanitizerOptions(directory) + ":report_thread_leaks=0");
  return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& string : strings) pointers.push_back(string.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

Program::Program(nlohmann::json scenario, const Options& options)
    : directory_(makeTemporaryDirectory()) {
  scenario["record"] = (directory_ / "record").string();
  auto input = makePipe(), output = makePipe(), errors = makePipe();
  if (options.nonBlockingOutput) fcntl(output[1], F_SETFL, O_NONBLOCK);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);

  std::vector<std::string> argv{SIMULATED_PROGRAM};
  argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
  auto environment = environmentFor(scenario, directory_);
  startedAt_ = Clock::now();
  int spawned = posix_spawn(&pid_, SIMULATED_PROGRAM, &actions, nullptr, pointersTo(argv).data(),
                            pointersTo(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  close(errors[1]);
  input_ = input[1];
  output_ = output[0];
  errors_ = errors[0];
  if (spawned != 0) throw std::runtime_error("posix_spawn failed");
}

Program::~Program() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {input_, output_, errors_}) {
    if (fd >= 0) close(fd);
  }
  std::filesystem::remove_all(directory_);
}

std::optional<std::string> Program::nextLine(Clock::duration timeout) {
  auto deadline = Clock::now() + timeout;
  while (linesHandedOut_ == outcome_.lines.size()) {
    if (!readOutputUntil(deadline)) return std::nullopt;
  }
  return outcome_.lines[linesHandedOut_++];
}

void Program::send(std::string_view input) {
  while (!input.empty()) {
    ssize_t written = write(input_, input.data(), input.size());
    if (written <= 0) return;
    input.remove_prefix(static_cast<std::size_t>(written));
  }
}

void Program::closeInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

void Program::closeOutput() {
  if (output_ >= 0) close(output_);
  output_ = -1;
}

// Reads what is there by the deadline; false at the end of standard output or the deadline.
bool Program::readOutputUntil(Clock::time_point deadline) {
  if (output_ < 0) return false;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  std::array<pollfd, 2> streams{{{output_, POLLIN, 0}, {errors_, POLLIN, 0}}};
  if (left.count() <= 0 ||
      poll(streams.data(), streams.size(), static_cast<int>(left.count())) <= 0) {
    return false;
  }
  std::array<char, 65536> buffer;
  if (streams[1].revents) {
    ssize_t count = read(errors_, buffer.data(), buffer.size());
    if (count > 0) outcome_.errorOutput.append(buffer.data(), static_cast<std::size_t>(count));
  }
  if (!streams[0].revents) return true;
  ssize_t count = read(output_, buffer.data(), buffer.size());
  if (count <= 0) {
    close(output_);
    output_ = -1;
    outcome_.unterminated = pending_;
    return false;
  }
  pending_.append(buffer.data(), static_cast<std::size_t>(count));
  for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
    outcome_.lines.push_back(pending_.substr(0, end));
    pending_.erase(0, end + 1);
  }
  return true;
}

Outcome Program::finish(Clock::duration limit) {
  auto deadline = startedAt_ + limit;
  while (readOutputUntil(deadline)) {
  }
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(1ms);
  }
  outcome_.endedAt = Clock::now();
  pid_ = -1;
  outcome_.exited = WIFEXITED(status);
  if (WIFEXITED(status)) outcome_.exitStatus = WEXITSTATUS(status);
  std::array<char, 65536> buffer;
  for (ssize_t count; (count = read(errors_, buffer.data(), buffer.size())) > 0;) {
    outcome_.errorOutput.append(buffer.data(), static_cast<std::size_t>(count));
  }
  collectSanitizerReports();
  return outcome_;
}

void Program::collectSanitizerReports() {
  for (const auto& entry : std::filesystem::directory_iterator(directory_)) {
    if (entry.path().filename().string().starts_with("sanitizer")) {
      std::ifstream report(entry.path());
      outcome_.sanitizerReports.append(std::istreambuf_iterator<char>(report), {});
    }
  }
}

std::vector<std::string> Program::records() const {
  return readLines(directory_ / "record");
}

void Program::sendSignal(int signal) {
  kill(pid_, signal);
}

bool Program::awaitWatchedSignals(Clock::duration timeout) const {
  constexpr unsigned long watched =
      (1ul << (SIGHUP - 1)) | (1ul << (SIGINT - 1)) | (1ul << (SIGTERM - 1));
  auto deadline = Clock::now() + timeout;
  for (;;) {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("SigBlk:") &&
          (std::stoul(line.substr(7), nullptr, 16) & watched) == watched) {
        return true;
      }
    }
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
}

bool Program::awaitRecord(std::string_view record, std::size_t count,
                          Clock::duration timeout) const {
  auto deadline = Clock::now() + timeout;
  while (std::ranges::count(records(), record) < static_cast<std::ptrdiff_t>(count)) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

Outcome runProgram(const nlohmann::json& scenario, std::string_view input, const Options& options) {
  Program program(scenario, options);
  program.send(input);
  program.closeInput();
  return program.finish();
}

void expectClean(const Outcome& outcome) {
  EXPECT_EQ(outcome.errorOutput, "");
  EXPECT_EQ(outcome.sanitizerReports, "");
  EXPECT_EQ(outcome.unterminated, "");
}

std::vector<std::string> linesOfExit(const Outcome& outcome, int status) {
  expectClean(outcome);
  EXPECT_TRUE(outcome.exited) << "killed by a signal or past the time limit";
  EXPECT_EQ(outcome.exitStatus, status);
  return outcome.lines;
}
