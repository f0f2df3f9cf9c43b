#pragma once

#include <chrono>
#include <functional>

// How capture gets a device back: the steps are ALSA's, the schedule is ours, so that it can be
// tested without a device.

// Waits up to the given time; true if capture was stopped meanwhile.
using WaitOrStop = std::function<bool(std::chrono::milliseconds)>;

// A device lost for good (the server stopped, an error that recovery cannot mend, a hang-up) is
// opened again: every `interval`, for up to `limit` after the loss. Each wait is also the time in
// which the dictation hears silence.
struct ReopenSchedule {
  std::chrono::milliseconds interval{100};
  std::chrono::milliseconds limit{5000};
};

enum class Reopening { reopened, stopped, gaveUp };

// Tries `open` until it succeeds, the schedule runs out or capture is stopped. `now` is the
// clock the schedule counts on.
Reopening reopenOnSchedule(const ReopenSchedule& schedule, const std::function<bool()>& open,
                           const WaitOrStop& waitOrStop,
                           const std::function<std::chrono::steady_clock::time_point()>& now);

// What resuming a suspended PCM needs of it; each returns 0 or a negative error, as ALSA does.
struct SuspendedDevice {
  std::function<int()> resume, prepare, start;
};

enum class Resumption { resumed, stopped, lost };

// After a system suspend: resumes the PCM where the driver can (retrying while it answers that it
// is not ready yet, for up to `limit`), and prepares and starts it afresh where it cannot.
Resumption resumeAfterSuspend(const SuspendedDevice& device, const WaitOrStop& waitOrStop,
                              std::chrono::milliseconds interval, std::chrono::milliseconds limit);
