#include <gtest/gtest.h>

#include <csignal>

int main(int argc, char** argv) {
  // A program that exits early closes its end of our pipes; writing to them must not kill us.
  signal(SIGPIPE, SIG_IGN);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
