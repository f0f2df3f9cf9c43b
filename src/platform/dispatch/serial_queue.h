#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <queue>
#include <vector>

#include "platform/dispatch.h"

// Work items run one at a time, in order of their due time; items due at the same time run in
// the order they were submitted.
class SerialQueue {
 public:
  using Clock = std::chrono::steady_clock;

  void async(WorkItem item) { asyncAt(Clock::now(), std::move(item)); }
  void asyncAt(Clock::time_point due, WorkItem item);

  // Waits until the earliest item is due, then runs it on the calling thread.
  void runNext();

 private:
  struct Entry {
    Clock::time_point due;
    std::uint64_t order;
    WorkItem item;
  };
  struct RunsLater {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.due != b.due ? a.due > b.due : a.order > b.order;
    }
  };

  WorkItem takeNextWhenDue();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::priority_queue<Entry, std::vector<Entry>, RunsLater> entries_;
  std::uint64_t submitted_ = 0;
};
