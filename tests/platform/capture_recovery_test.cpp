#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include "platform/linux/capture/recovery.h"
#include "platform/linux/capture/resampler.h"

namespace {

using std::chrono::milliseconds;

// A clock that moves only when capture waits, and a record of what capture did.
struct FakeCapture {
  std::chrono::steady_clock::time_point now{};
  std::vector<milliseconds> waits;
  int opens = 0, opensUntilBack = -1, waitsUntilStop = -1;

  bool open() { return ++opens == opensUntilBack; }
  bool waitOrStop(milliseconds wait) {
    waits.push_back(wait);
    now += wait;
    return static_cast<int>(waits.size()) == waitsUntilStop;
  }
  Reopening reopen() {
    return reopenOnSchedule(
        ReopenSchedule{milliseconds(100), milliseconds(5000)}, [this] { return open(); },
        [this](milliseconds wait) { return waitOrStop(wait); }, [this] { return now; });
  }
};

TEST(CaptureRecovery, LooksForALostDeviceEveryTenthOfASecondForFiveSeconds) {
  FakeCapture back;
  back.opensUntilBack = 8;
  EXPECT_EQ(back.reopen(), Reopening::reopened);
  EXPECT_EQ(back.opens, 8);
  EXPECT_EQ(back.waits, std::vector<milliseconds>(8, milliseconds(100)));

  FakeCapture gone;
  EXPECT_EQ(gone.reopen(), Reopening::gaveUp);
  EXPECT_EQ(gone.opens, 50);
  EXPECT_EQ(gone.now - std::chrono::steady_clock::time_point{}, milliseconds(5000));

  FakeCapture stopped;
  stopped.waitsUntilStop = 3;
  EXPECT_EQ(stopped.reopen(), Reopening::stopped);
  EXPECT_EQ(stopped.opens, 2);  // no try after the stop
}

// A suspended PCM whose resume answers from a script; what was called, in order.
struct FakeSuspended {
  std::vector<int> resumeAnswers;
  int prepareAnswer = 0;
  std::vector<std::string> calls;
  int waitsUntilStop = -1;

  Resumption resume() {
    std::size_t resumes = 0;
    SuspendedDevice device{[&] {
                             calls.push_back("resume");
                             return resumeAnswers[std::min(resumes++, resumeAnswers.size() - 1)];
                           },
                           [&] {
                             calls.push_back("prepare");
                             return prepareAnswer;
                           },
                           [&] {
                             calls.push_back("start");
                             return 0;
                           }};
    int waits = 0;
    return resumeAfterSuspend(
        device,
        [&](milliseconds) {
          calls.push_back("wait");
          return ++waits == waitsUntilStop;
        },
        milliseconds(100), milliseconds(300));
  }
};

TEST(CaptureRecovery, ResumesASuspendedDeviceOrStartsItAfresh) {
  struct Case {
    const char* what;
    FakeSuspended device;
    Resumption outcome;
    std::vector<std::string> calls;
  };
  std::vector<Case> cases = {
      {"resumes at once", {{0}}, Resumption::resumed, {"resume"}},
      {"resumes once the driver is ready",
       {{-EAGAIN, -EAGAIN, 0}},
       Resumption::resumed,
       {"resume", "wait", "resume", "wait", "resume"}},
      {"a driver that cannot resume is prepared",
       {{-ENOSYS}},
       Resumption::resumed,
       {"resume", "prepare", "start"}},
      {"one that never gets ready too",
       {{-EAGAIN}},
       Resumption::resumed,
       {"resume", "wait", "resume", "wait", "resume", "wait", "prepare", "start"}},
      {"a failed prepare loses the device",
       {{-ENOSYS}, -EIO},
       Resumption::lost,
       {"resume", "prepare"}},
      {"a stop while waiting", {{-EAGAIN}, 0, {}, 1}, Resumption::stopped, {"resume", "wait"}},
  };
  for (Case& c : cases) {
    EXPECT_EQ(c.device.resume(), c.outcome) << c.what;
    EXPECT_EQ(c.device.calls, c.calls) << c.what;
  }
}

// A device that comes back at 44.1 kHz in a dictation begun at 48 kHz: the same tone, at the
// dictation's rate.
TEST(CaptureRecovery, ConvertsADeviceThatCameBackAtAnotherRate) {
  constexpr double tone = 440, from = 44100, to = 48000;
  std::vector<float> input(44100);
  for (std::size_t i = 0; i < input.size(); ++i) {
    input[i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * tone * static_cast<double>(i) / from));
  }
  RateConverter converter(from, to);
  std::vector<float> output;
  for (auto part : {converter.process(input), converter.flush()}) {
    output.insert(output.end(), part.begin(), part.end());
  }
  ASSERT_NEAR(static_cast<double>(output.size()), to, 2);
  double error = 0;
  for (std::size_t i = 1000; i < output.size() - 1000; ++i) {
    double expected = 0.5 * std::sin(2 * M_PI * tone * static_cast<double>(i) / to);
    error = std::max(error, std::abs(output[i] - expected));
  }
  EXPECT_LT(error, 0.01);
}

}  // namespace
