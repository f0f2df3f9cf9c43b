#include "platform/linux/transcript.h"

#include <gtest/gtest.h>

namespace {

TEST(Transcript, ReadsAsTypedText) {
  Transcript transcript;
  EXPECT_EQ(transcript.text(""), "");
  EXPECT_EQ(transcript.text("go  forward   ten meters"), "Go forward ten meters");
  EXPECT_EQ(transcript.text("<s> [NOISE] hello <sil> ++UM++ there </s>"), "Hello there");
  EXPECT_EQ(transcript.text("read(2) the record(3)"), "Read the record");
  EXPECT_EQ(transcript.text("yes i think i'm sure i'd say it's icy"),
            "Yes I think I'm sure I'd say it's icy");
  EXPECT_EQ(transcript.text("<sil> [NOISE]"), "");
}

TEST(Transcript, FinishedUtterancesStayInFront) {
  Transcript transcript;
  transcript.finishUtterance("go forward ten meters");
  transcript.finishUtterance("<sil>");
  EXPECT_EQ(transcript.text(), "Go forward ten meters");
  EXPECT_EQ(transcript.text("and i stop"), "Go forward ten meters and I stop");
  transcript.finishUtterance("turn left");
  EXPECT_EQ(transcript.text("now"), "Go forward ten meters turn left now");
}

}  // namespace
