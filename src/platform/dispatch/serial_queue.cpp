#include "platform/dispatch/serial_queue.h"

void SerialQueue::asyncAt(Clock::time_point due, WorkItem item) {
  {
    std::lock_guard lock(mutex_);
    entries_.push(Entry{due, submitted_++, std::move(item)});
  }
  changed_.notify_one();
}

void SerialQueue::runNext() {
  takeNextWhenDue()();
}

WorkItem SerialQueue::takeNextWhenDue() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (entries_.empty()) {
      changed_.wait(lock);
    } else if (auto due = entries_.top().due; Clock::now() < due) {
      // A copy: the heap may move its entries while this thread waits.
      changed_.wait_until(lock, due);
    } else {
      // The heap hands out const references; the entry is popped right after the move.
      WorkItem item = std::move(const_cast<Entry&>(entries_.top()).item);
      entries_.pop();
      return item;
    }
  }
}
