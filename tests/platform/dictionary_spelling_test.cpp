#include "platform/linux/recognition/dictionary_spelling.h"

#include <gtest/gtest.h>

namespace {

TEST(SpokenWord, DropsFillersAndPronunciationMarks) {
  EXPECT_EQ(dictionarySpelling("read(2)"), "read");
  EXPECT_EQ(dictionarySpelling("hello"), "hello");
  EXPECT_EQ(dictionarySpelling("(2)"), "(2)");
  for (const char* filler : {"<sil>", "<s>", "</s>", "[NOISE]", "++UM++", ""}) {
    EXPECT_EQ(dictionarySpelling(filler), std::nullopt) << filler;
  }
}

}  // namespace
