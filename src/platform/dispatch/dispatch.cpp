#include "platform/dispatch.h"

#include <signal.h>

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

void watchTerminationSignals(WorkItem handler) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, handler = std::move(handler)] {
    for (;;) {
      int received = 0;
      if (sigwait(&signals, &received) == 0) handler();
    }
  }).detach();
}

void dispatchMain() {
  for (;;) mainQueue().runNext();
}
