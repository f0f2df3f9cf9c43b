#pragma once

#include <chrono>
#include <functional>

using WorkItem = std::function<void()>;

// The main queue is serial and served by the main thread once it calls `dispatchMain`.
void asyncOnMainQueue(WorkItem item);
void asyncOnMainQueueAfter(std::chrono::steady_clock::duration delay, WorkItem item);

// Each item gets a thread of its own, so it may block for the life of the process.
void asyncOnBackgroundQueue(WorkItem item);

// From now on SIGTERM, SIGINT and SIGHUP no longer end the process: each one runs `handler` on a
// thread that watches for them. Call before any other thread starts, so that all of them
// inherit the blocked signals.
void watchTerminationSignals(WorkItem handler);

[[noreturn]] void dispatchMain();
