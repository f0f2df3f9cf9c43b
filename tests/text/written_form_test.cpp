#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/transcript.h"

namespace {

struct Case {
  std::string category, spoken, typed;
};

// The development set: "# category" lines, then "spoken<TAB>typed" lines.
std::vector<Case> developmentSet() {
  std::ifstream file(DEVELOPMENT_SET);
  std::vector<Case> cases;
  std::string category;
  for (std::string line; std::getline(file, line);) {
    if (line.starts_with("# ")) {
      category = line.substr(2);
    } else if (auto tab = line.find('\t'); tab != std::string::npos) {
      cases.push_back({category, line.substr(0, tab), line.substr(tab + 1)});
    }
  }
  return cases;
}

// Each utterance as one final result, its words spoken without a pause.
std::string finalText(const std::string& spoken, const ProperNames& names) {
  std::vector<SpokenWord> words;
  std::istringstream stream(spoken);
  std::int64_t frame = 0;
  for (std::string word; stream >> word; frame += 32) words.push_back({word, frame, frame + 29});
  return transcriptText({words, words.size(), frame, true}, names);
}

TEST(WrittenForms, TypeTheDevelopmentSetAsAPersonWould) {
  const ProperNames names = ProperNames::loadSystemLists();
  auto cases = developmentSet();
  ASSERT_GE(cases.size(), 300u);
  for (const Case& c : cases) {
    EXPECT_EQ(finalText(c.spoken, names), c.typed) << c.category << ": " << c.spoken;
  }
}

}  // namespace
