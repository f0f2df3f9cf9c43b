#include "platform/dispatch/serial_queue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = SerialQueue::Clock;

// Runs the queue on a thread of its own, as the main thread would.
class QueueTest : public testing::Test {
 protected:
  ~QueueTest() override {
    queue.async([this] { serving = false; });
    server.join();
  }

  void record(int item) {
    std::lock_guard lock(mutex);
    ran.push_back(item);
    changed.notify_all();
  }

  std::vector<int> waitForItems(std::size_t count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return ran.size() >= count; });
    return ran;
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> ran;
  SerialQueue queue;
  bool serving = true;  // only touched by the queue's own items
  std::thread server{[this] {
    while (serving) queue.runNext();
  }};
};

TEST_F(QueueTest, RunsItemsInTheOrderTheyWereSubmitted) {
  for (int i = 0; i < 100; ++i) queue.async([this, i] { record(i); });
  std::vector<int> expected(100);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(waitForItems(100), expected);
}

TEST_F(QueueTest, RunsADelayedItemAtItsDeadlineAfterEverythingDueEarlier) {
  auto submitted = Clock::now();
  Clock::time_point ranAt;
  queue.asyncAt(submitted + 200ms, [&] {
    ranAt = Clock::now();
    record(3);
  });
  queue.asyncAt(submitted + 100ms, [this] { record(2); });
  queue.async([this] { record(1); });
  EXPECT_EQ(waitForItems(3), (std::vector<int>{1, 2, 3}));
  EXPECT_GE(ranAt - submitted, 200ms);
}

TEST_F(QueueTest, ItemsMaySubmitMoreItems) {
  queue.async([this] {
    queue.async([this] { record(2); });
    record(1);
  });
  EXPECT_EQ(waitForItems(2), (std::vector<int>{1, 2}));
}

TEST_F(QueueTest, AnItemSubmittedFromAnotherThreadWakesAWaitingQueue) {
  queue.asyncAt(Clock::now() + 1h, [this] { record(99); });
  std::thread([this] { queue.async([this] { record(1); }); }).join();
  EXPECT_EQ(waitForItems(1), std::vector<int>{1});
}

}  // namespace
