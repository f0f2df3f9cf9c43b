#include "text/number_words.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> all;
  for (std::string word; stream >> word;) all.push_back(word);
  return all;
}

// The digits of the number the words begin with and how many words it took, or "-".
std::string read(const std::string& text) {
  auto spoken = words(text);
  auto number = readNumber(spoken);
  return number ? digits(*number) + "/" + std::to_string(number->words) : "-";
}

TEST(NumberWords, ReadsCardinals) {
  EXPECT_EQ(read("zero"), "0/1");
  EXPECT_EQ(read("seven"), "7/1");
  EXPECT_EQ(read("nineteen"), "19/1");
  EXPECT_EQ(read("forty two"), "42/2");
  EXPECT_EQ(read("three hundred"), "300/2");
  EXPECT_EQ(read("three hundred and twelve"), "312/4");
  EXPECT_EQ(read("three hundred twelve"), "312/3");
  EXPECT_EQ(read("two thousand twenty six"), "2026/4");
  EXPECT_EQ(read("two thousand and five"), "2005/4");
  EXPECT_EQ(read("one million two hundred thousand and one"), "1,200,001/7");
  EXPECT_EQ(read("nine hundred ninety nine thousand nine hundred ninety nine"), "999,999/9");
}

TEST(NumberWords, ReadsOrdinals) {
  EXPECT_EQ(read("first"), "1st/1");
  EXPECT_EQ(read("twelfth"), "12th/1");
  EXPECT_EQ(read("twenty first"), "21st/2");
  EXPECT_EQ(read("twenty second"), "22nd/2");
  EXPECT_EQ(read("seventy third"), "73rd/2");
  EXPECT_EQ(read("one hundred eleventh"), "111th/3");
  EXPECT_EQ(read("one hundredth"), "100th/2");
  EXPECT_EQ(read("two thousandth"), "2000th/2");
  EXPECT_EQ(read("thirtieth"), "30th/1");
  // Nothing goes on after an ordinal.
  EXPECT_EQ(read("first five"), "1st/1");
}

TEST(NumberWords, StopsWhereTheNumberEnds) {
  EXPECT_EQ(read("one two three"), "1/1");
  EXPECT_EQ(read("twenty five six"), "25/2");
  EXPECT_EQ(read("ten twenty"), "10/1");
  EXPECT_EQ(read("five hundred and"), "500/2");
  EXPECT_EQ(read("five and twenty"), "5/1");
  EXPECT_EQ(read("zero five"), "0/1");
  EXPECT_EQ(read("thousand thousand"), "-");
  EXPECT_EQ(read("two thousand three thousand"), "2003/3");
  EXPECT_EQ(read("one thousand two million"), "1002/3");
  EXPECT_EQ(read("twelve hundred"), "1200/2");
}

TEST(NumberWords, NeedsACountBeforeAHundred) {
  EXPECT_EQ(read("hundred"), "-");
  EXPECT_EQ(read("a hundred"), "-");
  EXPECT_EQ(read("hundredth"), "-");
  EXPECT_EQ(read("and ten"), "-");
  EXPECT_EQ(read(""), "-");
}

TEST(NumberWords, KnowsTheWordsOfNumbers) {
  for (const char* word : {"zero", "eleven", "ninety", "hundred", "thousandth", "billion"}) {
    EXPECT_TRUE(isNumberWord(vocabulary::lookup(word))) << word;
  }
  for (const char* word : {"and", "a", "dozen", "tens", "percent"}) {
    EXPECT_FALSE(isNumberWord(vocabulary::lookup(word))) << word;
  }
}

}  // namespace
