#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// A lock-free ring of samples from one writer thread to one reader thread. The writer never
// blocks, allocates, waits or wakes anyone: what does not fit is refused, and the refusal is
// remembered. The reader looks again when it finds the ring empty.
class SampleRing {
 public:
  explicit SampleRing(std::size_t capacity);

  // On the writer's thread. False, and nothing written, when the samples do not all fit.
  bool write(std::span<const float> samples);
  // On the reader's thread: copies out up to `into.size()` samples and returns how many.
  std::size_t read(std::span<float> into);

  // No more writes will come.
  void close();
  bool isClosed() const { return closed_.load(std::memory_order_acquire); }

  // Whether a write was ever refused.
  bool overflowed() const { return overflowed_.load(std::memory_order_acquire); }
  // How many samples were ever written.
  std::uint64_t written() const { return written_.load(std::memory_order_acquire); }

 private:
  std::size_t capacity_;
  std::unique_ptr<float[]> samples_;
  std::atomic<std::uint64_t> written_{0};
  std::atomic<std::uint64_t> read_{0};
  std::atomic<bool> overflowed_{false};
  std::atomic<bool> closed_{false};
};
