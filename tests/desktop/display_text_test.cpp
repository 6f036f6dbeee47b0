#include "desktop/shell/display_text.h"

#include <gtest/gtest.h>

namespace kivo::desktop {
namespace {

TEST(DisplayTextTest, ValidUtf8IsShownAsUtf8) {
  EXPECT_EQ(DisplayText("Motörhead – Ace"),
            QString::fromUtf8("Motörhead – Ace"));
  EXPECT_EQ(DisplayText(""), QString());
}

TEST(DisplayTextTest, InvalidUtf8FallsBackToWindows1252) {
  // Latin-1 "café" and CP1252's euro sign and curly quotes.
  EXPECT_EQ(DisplayText("caf\xE9"), QString::fromUtf8("café"));
  EXPECT_EQ(DisplayText("\x80 \x93hi\x94"), QString::fromUtf8("€ “hi”"));
  // One bad byte decides for the whole text, valid sequences included.
  EXPECT_EQ(DisplayText("\xC3\xA9 \xE9"), QString::fromUtf8("Ã© é"));
  // The bytes Windows leaves undefined keep their code points.
  EXPECT_EQ(DisplayText("\x81").at(0).unicode(), 0x81);
}

TEST(DisplayTextTest, TypedTextAndPathsKeepTheirBytes) {
  EXPECT_EQ(CoreText(QString::fromUtf8("Björk")), "Björk");
  EXPECT_EQ(PathBytes(PathFromBytes("/music/ä.mp3")), "/music/ä.mp3");
}

}  // namespace
}  // namespace kivo::desktop

namespace kivo::desktop {
namespace {

TEST(DisplayTextTest, LineBreaksOfAnyKindBecomeLineFeeds) {
  EXPECT_EQ(MultiLineText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
}

}  // namespace
}  // namespace kivo::desktop
