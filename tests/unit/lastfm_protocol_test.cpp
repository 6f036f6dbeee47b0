#include "core/integrations/lastfm_protocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace kivo::lastfm {
namespace {

TEST(LastFmProtocolTest, FormEncodeKeepsOnlyItsSafeSet) {
  EXPECT_EQ(FormEncode("a b"), "a+b");
  EXPECT_EQ(FormEncode("*-.@_AZaz"), "*-.@_AZaz");
  EXPECT_EQ(FormEncode("5"), "%35");
  EXPECT_EQ(FormEncode("\xC3\xA9"), "%c3%a9");
  EXPECT_EQ(FormEncode("a&b=c/"), "a%26b%3dc%2f");
  EXPECT_EQ(FormEncode(std::string("\0", 1)), "%00");
}

TEST(LastFmProtocolTest, StoredPasswordIsScrambledPlainTextAndCut) {
  std::string stored = ScramblePassword("secret");
  EXPECT_EQ(stored.find("secret"), std::string::npos);
  EXPECT_EQ(stored.find_first_not_of("hex:0123456789abcdef"),
            std::string::npos);
  EXPECT_EQ(UnscramblePassword(stored), "secret");
  EXPECT_EQ(UnscramblePassword(ScramblePassword(std::string(300, 'x'))),
            std::string(255, 'x'));
  // Hand-edited: no password rather than a wrong one.
  EXPECT_EQ(UnscramblePassword("hex:4"), "");
  EXPECT_EQ(UnscramblePassword("hex:zz"), "");
}

TEST(LastFmProtocolTest, TokenIsMd5OfMd5PasswordAndTime) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("p"), "83878c91171338902e0fe0fb97a8c47a");
  EXPECT_EQ(HandshakeToken("p", 1234), Md5Hex(Md5Hex("p") + "1234"));
  EXPECT_EQ(HandshakeUrl("http://h/", "ann lee", 7, "tok"),
            "http://h/?hs=true&p=1.2&c=kiv&v=0.1&u=ann%20lee&t=7&a=tok");
}

class ZoneTest : public ::testing::Test {
 protected:
  void SetZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  // Seconds the local clock shows, as if they were UTC.
  static int64_t LocalClockSeconds(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return static_cast<int64_t>(timegm(&local));
  }
  std::optional<std::string> saved_ =
      std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ"))
                        : std::nullopt;
};

TEST_F(ZoneTest, UtcTimestampSubtractsTheZoneOffset) {
  const std::time_t winter = 1700000000;  // November 2023
  const std::time_t summer = 1690000000;  // July 2023
  SetZone("Asia/Kolkata");
  EXPECT_EQ(UtcTimestamp(winter), LocalClockSeconds(winter) - 19800);
  EXPECT_EQ(UtcTimestamp(winter), winter);
  SetZone("Europe/Berlin");
  EXPECT_EQ(UtcTimestamp(summer), LocalClockSeconds(summer) - 7200);
  EXPECT_EQ(UtcTimestamp(winter), LocalClockSeconds(winter) - 3600);
  EXPECT_EQ(UtcTimestamp(summer), summer);
}

TEST(LastFmProtocolTest, ReplyItemsSplitOnBlanksAndKeepQuotes) {
  EXPECT_EQ(SplitReplyItems("OK\nabc\r\nhttp://a\nhttp://b\n"),
            (std::vector<std::string>{"OK", "abc", "http://a", "http://b"}));
  EXPECT_EQ(SplitReplyItems("FAILED \"bad thing\"  x\t"),
            (std::vector<std::string>{"FAILED", "bad thing", "x"}));
  EXPECT_TRUE(SplitReplyItems("  \r\n").empty());
}

TEST(LastFmProtocolTest, HandshakeRepliesGiveASessionOrTheTextShown) {
  std::string id(32, 'f');
  auto ok = ParseHandshakeReply(
      {true, 200, "OK\n" + id + "\nhttp://np\nhttp://sub\n", ""});
  ASSERT_TRUE(ok.session);
  EXPECT_EQ(ok.session->id, id);
  EXPECT_EQ(ok.session->now_playing_url, "http://np");
  EXPECT_EQ(ok.session->submission_url, "http://sub");
  EXPECT_EQ(ParseHandshakeReply({true, 200, "BADAUTH\n", ""}).error, "BADAUTH");
  EXPECT_EQ(ParseHandshakeReply({true, 200, "FAILED Time off\n", ""}).error,
            "FAILED");
  EXPECT_FALSE(ParseHandshakeReply({true, 200, "OK\nabc\n", ""}).session);
  EXPECT_FALSE(ParseHandshakeReply({true, 200, "", ""}).session);
  EXPECT_EQ(ParseHandshakeReply({false, 0, "", "timed out"}).error,
            "timed out");
  EXPECT_FALSE(ParseHandshakeReply({true, 500, "OK a b c", ""}).session);
}

TEST(LastFmProtocolTest, BodiesHaveTheirFieldsInOrder) {
  Track track{"AC;DC", "T$1", "Alb", "3", 200, 1234};
  EXPECT_EQ(NowPlayingBody("S", track),
            "s=S&a=AC+DC&t=T%24%31&b=Alb&l=200&n=3&m=");
  EXPECT_EQ(SubmissionBody("S", Track{"A", "T", "", "", 61, 99}),
            "s=S&a[0]=A&t[0]=T&i[0]=99&o[0]=P&r[0]=&l[0]=61&b[0]=&n[0]=&m[0]=");
  EXPECT_EQ(QueueLine(track), "AC DC;T$1;1234;200;Alb;3");
  auto parsed = ParseQueueLine("A;T;5;6;B;7");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->start_time, 5);
  EXPECT_EQ(parsed->album, "B");
  EXPECT_FALSE(ParseQueueLine("A;T;5;6;B"));
}

TEST(LastFmProtocolTest, LatinTagsAreSentAsUtf8) {
  EXPECT_EQ(NowPlayingBody("S", Track{"Caf\xE9", "x", "", "", 1, 0}),
            "s=S&a=Caf%c3%a9&t=x&b=&l=1&n=&m=");
}

TEST(LastFmProtocolTest, ProxyForms) {
  auto full = ParseProxy("me:pw@proxy.local:3128");
  ASSERT_TRUE(full);
  EXPECT_EQ(full->user, "me");
  EXPECT_EQ(full->password, "pw");
  EXPECT_EQ(full->host, "proxy.local");
  EXPECT_EQ(full->port, 3128);
  auto plain = ParseProxy("proxy:8080");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->user, "");
  EXPECT_FALSE(ParseProxy("proxy"));
  EXPECT_FALSE(ParseProxy("proxy:80x"));
  EXPECT_FALSE(ParseProxy(":80"));
}

}  // namespace
}  // namespace kivo::lastfm
