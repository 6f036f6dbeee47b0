#include "core/ini/ini_document.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace kivo {
namespace {

TEST(IniDocumentTest, FindsSectionsAndKeysWithoutRegardToCase) {
  auto ini = IniDocument::Parse("[Settings]\nMode=2\n[Last.FM]\nuser=ann\n");
  EXPECT_EQ(ini.GetText("settings", "MODE", "x"), "2");
  EXPECT_EQ(ini.GetText("last.fm", "User", "x"), "ann");
  EXPECT_EQ(ini.GetText("settings", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.GetText("nosection", "Mode", "dflt"), "dflt");
}

TEST(IniDocumentTest, FirstMatchWinsForKeysAndSections) {
  auto ini = IniDocument::Parse(
      "[a]\nk=first\nK=second\n[A]\nk=other section\n");
  EXPECT_EQ(ini.GetText("a", "k", ""), "first");
}

TEST(IniDocumentTest, ValuesLoseBlanksAndOnePairOfQuotes) {
  auto ini = IniDocument::Parse(
      "[s]\n a = spaced  \nq=\"quoted\"\nsq='single'\nodd=\"open\nin=a\"b\"\n"
      "two=\"\"x\"\"\nempty=\n");
  EXPECT_EQ(ini.GetText("s", "a", ""), "spaced");
  EXPECT_EQ(ini.GetText("s", "q", ""), "quoted");
  EXPECT_EQ(ini.GetText("s", "sq", ""), "single");
  EXPECT_EQ(ini.GetText("s", "odd", ""), "\"open");
  EXPECT_EQ(ini.GetText("s", "in", ""), "a\"b\"");
  EXPECT_EQ(ini.GetText("s", "two", ""), "\"x\"");
  EXPECT_EQ(ini.GetText("s", "empty", "dflt"), "");
}

TEST(IniDocumentTest, ReadsAtMost2047Characters) {
  std::string huge(1 << 20, 'v');
  auto ini = IniDocument::Parse("[s]\nk=" + huge + "\n");
  EXPECT_EQ(ini.GetText("s", "k", "").size(), 2047u);
}

TEST(IniDocumentTest, AcceptsCrLfAndCrAndLfMixed) {
  auto ini = IniDocument::Parse("[s]\r\na=1\rb=2\nc=3\r\n");
  EXPECT_EQ(ini.GetInt("s", "a", 0), 1);
  EXPECT_EQ(ini.GetInt("s", "b", 0), 2);
  EXPECT_EQ(ini.GetInt("s", "c", 0), 3);
}

TEST(IniDocumentTest, WriteReplacesInPlaceAndKeepsEverythingElse) {
  auto ini = IniDocument::Parse(
      "; my notes\n[settings]\nMode=2\n; keep me\nunknown=yes\n\n[Size]\n"
      "Width=10\n");
  ini.Set("SETTINGS", "mode", "4");
  EXPECT_EQ(ini.Serialize(),
            "; my notes\r\n[settings]\r\nMode=4\r\n; keep me\r\nunknown=yes\r\n"
            "\r\n[Size]\r\nWidth=10\r\n");
}

TEST(IniDocumentTest, NewKeyGoesToTheEndOfItsSectionNewSectionToTheEnd) {
  auto ini = IniDocument::Parse("[a]\nx=1\n\n[b]\ny=2\n");
  ini.Set("a", "z", "3");
  ini.Set("c", "w", "4");
  EXPECT_EQ(ini.Serialize(),
            "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n[c]\r\nw=4\r\n");
  EXPECT_EQ(ini.GetText("c", "w", ""), "4");
  ini.Set("c", "w", "5");
  EXPECT_EQ(ini.GetText("C", "W", ""), "5");
}

TEST(IniDocumentTest, IntegersReadLikeTheProfileFunctions) {
  EXPECT_EQ(ParseIniInt("42"), 42);
  EXPECT_EQ(ParseIniInt("-7"), -7);
  EXPECT_EQ(ParseIniInt("0x10"), 16);
  EXPECT_EQ(ParseIniInt("0X1f"), 31);
  EXPECT_EQ(ParseIniInt("0x"), std::nullopt);
  EXPECT_EQ(ParseIniInt(""), std::nullopt);
  EXPECT_EQ(ParseIniInt("true"), std::nullopt);
  EXPECT_EQ(ParseIniInt("12abc"), std::nullopt);
  EXPECT_EQ(ParseIniInt("0xFFFFFFFF"), -1);
  auto ini = IniDocument::Parse("[s]\nh=0x70\nbad=five\n");
  EXPECT_EQ(ini.GetInt("s", "h", 0), 0x70);
  EXPECT_EQ(ini.GetInt("s", "bad", 9), 9);
}

TEST(IniDocumentTest, NumbersDoNotFollowTheLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
  }
  EXPECT_EQ(ParseIniInt("1234"), 1234);
  EXPECT_EQ(ParseIniInt("1.234"), std::nullopt);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(IniDocumentTest, ManyNewKeysStayInOrder) {
  IniDocument ini = IniDocument::Parse("[playlist]\nFile1=old\n\n");
  for (int i = 1; i <= 1000; ++i) {
    ini.Set("playlist", "File" + std::to_string(i), std::to_string(i));
  }
  auto keys = ini.Keys("playlist");
  ASSERT_EQ(keys.size(), 1000u);
  EXPECT_EQ(keys[0], "File1");
  EXPECT_EQ(keys[999], "File1000");
  EXPECT_EQ(ini.GetText("playlist", "file500", ""), "500");
}

}  // namespace
}  // namespace kivo
