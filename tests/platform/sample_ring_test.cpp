#include "platform/linux/capture/sample_ring.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

namespace {

std::vector<float> counting(std::size_t count, float from = 0) {
  std::vector<float> samples(count);
  std::iota(samples.begin(), samples.end(), from);
  return samples;
}

TEST(SampleRing, WrapsAroundKeepingTheOrder) {
  SampleRing ring(8);
  std::vector<float> out(8);
  for (float start = 0; start < 100; start += 5) {
    ASSERT_TRUE(ring.write(counting(5, start)));
    ASSERT_EQ(ring.read(out), 5u);
    EXPECT_EQ(std::vector(out.begin(), out.begin() + 5), counting(5, start));
  }
  EXPECT_FALSE(ring.overflowed());
}

TEST(SampleRing, RefusesWhatDoesNotFitAndRemembersIt) {
  SampleRing ring(8);
  ASSERT_TRUE(ring.write(counting(6)));
  EXPECT_FALSE(ring.write(counting(3, 6)));
  EXPECT_TRUE(ring.overflowed());
  std::vector<float> out(8);
  ASSERT_EQ(ring.read(out), 6u) << "a refused write must leave nothing behind";
  EXPECT_EQ(std::vector(out.begin(), out.begin() + 6), counting(6));
  EXPECT_TRUE(ring.write(counting(8)));
}

TEST(SampleRing, CarriesEverySampleFromOneThreadToAnother) {
  SampleRing ring(1000);
  constexpr std::size_t total = 200'000, buffer = 97;
  std::thread writer([&] {
    for (std::size_t sent = 0; sent < total; sent += buffer) {
      auto samples = counting(buffer, static_cast<float>(sent));
      while (!ring.write(samples)) std::this_thread::yield();
    }
    ring.close();
  });
  std::vector<float> received, chunk(64);
  for (;;) {
    bool closed = ring.isClosed();
    std::size_t count = ring.read(chunk);
    received.insert(received.end(), chunk.begin(), chunk.begin() + count);
    if (count == 0 && closed) break;
    if (count == 0) std::this_thread::yield();
  }
  writer.join();
  EXPECT_EQ(received, counting(received.size()));
  EXPECT_GE(received.size(), total);
}

}  // namespace
