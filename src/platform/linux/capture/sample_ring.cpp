#include "platform/linux/capture/sample_ring.h"

#include <algorithm>

SampleRing::SampleRing(std::size_t capacity)
    : capacity_(capacity), samples_(std::make_unique<float[]>(capacity)) {}

bool SampleRing::write(std::span<const float> samples) {
  std::uint64_t head = written_.load(std::memory_order_relaxed);
  std::uint64_t tail = read_.load(std::memory_order_acquire);
  if (capacity_ - (head - tail) < samples.size()) {
    overflowed_.store(true, std::memory_order_release);
    return false;
  }
  std::size_t start = head % capacity_;
  std::size_t first = std::min(samples.size(), capacity_ - start);
  std::copy_n(samples.begin(), first, samples_.get() + start);
  std::copy(samples.begin() + first, samples.end(), samples_.get());
  written_.store(head + samples.size(), std::memory_order_release);
  return true;
}

std::size_t SampleRing::read(std::span<float> into) {
  std::uint64_t tail = read_.load(std::memory_order_relaxed);
  std::uint64_t head = written_.load(std::memory_order_acquire);
  std::size_t count = std::min<std::uint64_t>(into.size(), head - tail);
  std::size_t start = tail % capacity_;
  std::size_t first = std::min(count, capacity_ - start);
  std::copy_n(samples_.get() + start, first, into.begin());
  std::copy_n(samples_.get(), count - first, into.begin() + first);
  read_.store(tail + count, std::memory_order_release);
  return count;
}

void SampleRing::close() {
  closed_.store(true, std::memory_order_release);
}
