#include "platform/linux/capture/recovery.h"

#include <cerrno>

Reopening reopenOnSchedule(const ReopenSchedule& schedule, const std::function<bool()>& open,
                           const WaitOrStop& waitOrStop,
                           const std::function<std::chrono::steady_clock::time_point()>& now) {
  auto deadline = now() + schedule.limit;
  for (;;) {
    if (waitOrStop(schedule.interval)) return Reopening::stopped;
    if (open()) return Reopening::reopened;
    if (now() >= deadline) return Reopening::gaveUp;
  }
}

Resumption resumeAfterSuspend(const SuspendedDevice& device, const WaitOrStop& waitOrStop,
                              std::chrono::milliseconds interval, std::chrono::milliseconds limit) {
  for (auto waited = std::chrono::milliseconds(0); waited < limit; waited += interval) {
    int error = device.resume();
    if (error == 0) return Resumption::resumed;
    if (error != -EAGAIN) break;
    if (waitOrStop(interval)) return Resumption::stopped;
  }
  // A driver that cannot resume, or will not yet: start from a fresh prepare.
  if (device.prepare() < 0 || device.start() < 0) return Resumption::lost;
  return Resumption::resumed;
}
