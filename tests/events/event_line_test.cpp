#include <gtest/gtest.h>

#include "events/event.h"

namespace {

std::string lineOf(const Event& event) {
  return eventLine(event).value_or("<dropped>");
}

TEST(EventLine, KindsAreCompactJsonLines) {
  EXPECT_EQ(lineOf(listeningEvent()), "{\"listening\":true}\n");
  EXPECT_EQ(lineOf(errorEvent("No microphone found.")), "{\"error\":\"No microphone found.\"}\n");
  EXPECT_EQ(lineOf(transcriptEvent("Go forward.", true)),
            "{\"text\":\"Go forward.\",\"final\":true}\n");
  EXPECT_EQ(lineOf(transcriptEvent("", false)), "{\"text\":\"\",\"final\":false}\n");
}

TEST(EventLine, EscapesWhatJsonDemandsAndStaysOnOneLine) {
  EXPECT_EQ(lineOf(transcriptEvent("a \"b\" \\ c\nd\re\tf\x01g\x1f", false)),
            "{\"text\":\"a \\\"b\\\" \\\\ c\\nd\\re\\tf\\u0001g\\u001f\",\"final\":false}\n");
}

TEST(EventLine, WritesNonAsciiAsUtf8) {
  EXPECT_EQ(lineOf(errorEvent("Settings \xE2\x86\x92 Privacy \xF0\x9F\x8E\xA4 caf\xC3\xA9")),
            "{\"error\":\"Settings \xE2\x86\x92 Privacy \xF0\x9F\x8E\xA4 caf\xC3\xA9\"}\n");
}

TEST(EventLine, DropsTextThatIsNotUtf8) {
  for (const char* text : {"\xff", "caf\xC3", "\xC0\xAF", "\xED\xA0\x80", "ok \x80 ok"}) {
    EXPECT_EQ(eventLine(transcriptEvent(text, false)), std::nullopt) << text;
  }
}

}  // namespace
