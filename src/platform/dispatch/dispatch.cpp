#include "platform/dispatch.h"

#include <thread>

#include "platform/dispatch/serial_queue.h"

namespace {

// Never destroyed: the process ends by `_exit` while other threads may still submit work.
SerialQueue& mainQueue() {
  static auto* queue = new SerialQueue;
  return *queue;
}

}  // namespace

void asyncOnMainQueue(WorkItem item) {
  mainQueue().async(std::move(item));
}

void asyncOnMainQueueAfter(std::chrono::steady_clock::duration delay, WorkItem item) {
  mainQueue().asyncAt(SerialQueue::Clock::now() + delay, std::move(item));
}

void asyncOnBackgroundQueue(WorkItem item) {
  std::thread(std::move(item)).detach();
}

void dispatchMain() {
  for (;;) mainQueue().runNext();
}
