#include "platform/linux/recognition/language_models.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ModelTag, IsTheLocaleInLowerCase) {
  EXPECT_EQ(modelTag("en-US"), "en-us");
  EXPECT_EQ(modelTag("de"), "de");
  EXPECT_EQ(modelTag("zh-Hans-CN"), "zh-hans-cn");
}

TEST(ModelTag, NeverComesFromAnythingButAPlainLanguageTag) {
  for (const char* hostile :
       {"", "C", "POSIX", "..", ".", "../../etc", "en-US/..", "/tmp", "en/../../x", "en-US\n",
        "en US", "en-", "en--us", "e", "en_US", "en-US.UTF-8", "en-\xC3\xA9t\xC3\xA9"}) {
    EXPECT_EQ(modelTag(hostile), std::nullopt) << testing::PrintToString(std::string(hostile));
  }
}

// The locale comes from the environment the POSIX way, codeset and modifier left off.
TEST(CurrentLocale, FollowsLcAllThenLcMessagesThenLang) {
  auto currentWith = [](const char* all, const char* messages, const char* lang) {
    for (auto [name, value] :
         {std::pair{"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}}) {
      value ? setenv(name, value, 1) : unsetenv(name);
    }
    return Locale::current().identifier;
  };
  EXPECT_EQ(currentWith("fr_FR.UTF-8", "de_DE", "it_IT"), "fr-FR");
  EXPECT_EQ(currentWith("", "de_DE@euro", "it_IT"), "de-DE");
  EXPECT_EQ(currentWith(nullptr, nullptr, "pt_BR.ISO-8859-1"), "pt-BR");
  EXPECT_EQ(currentWith(nullptr, nullptr, nullptr), "C");
}

}  // namespace
