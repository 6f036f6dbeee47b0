#include "core/integrations/lastfm.h"

#include <gtest/gtest.h>

#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;

const std::string kSessionId(32, 'a');

class LastFmTest : public ::testing::Test {
 protected:
  LastFmTest() {
    h.Start();
    h.loop.AddTimer("FMTime", 1000, [] {});
    lastfm = std::make_unique<LastFm>(
        h.player->context(), state, [] { return std::time_t{1000}; },
        [this] { return now_ms; });
  }
  ~LastFmTest() override {
    h.loop.Drain();
    lastfm.reset();
  }

  MenuModel& menus() { return h.player->context().menus; }

  void Connect() {
    menus().SetChecked("LastFM1", true);
    h.WriteSettings(
        "[settings]\r\nDonationMsg=0\r\n[Last.fm]\r\nuser=ann\r\n"
        "pass=" +
        lastfm::ScramblePassword("pw") + "\r\n");
    h.http.replies.push_back(
        {true, 200, "OK\n" + kSessionId + "\nhttp://np/\nhttp://sub/\n", ""});
    lastfm->StartHandshake();
    h.loop.Drain();
    h.http.requests.clear();
  }

  AudioLibrary::Handle OpenTrack(double length_seconds,
                                 std::map<std::string, std::string> tags = {
                                     {"%ARTI", "AC;DC"},
                                     {"%TITL", "Thunder$"}}) {
    FakeAudioLibrary::Media media;
    media.length_seconds = length_seconds;
    media.tags = std::move(tags);
    std::string path = h.AddFile("t" + std::to_string(++files) + ".mp3", media);
    return h.audio.StreamCreateFile(path, 0, 0, 0);
  }

  // What the player does when a local track opens.
  void Open(AudioLibrary::Handle channel) {
    state.played_seconds = 0;
    state.track_played = false;
    state.track_start_time = lastfm::UtcTimestamp(1000);
    lastfm->ScrobbleNowPlaying(channel);
  }

  // Ticks until the track is marked; the number of ticks before that.
  int TicksUntilMarked(AudioLibrary::Handle channel, int limit = 700) {
    for (int ticks = 0; ticks < limit; ++ticks) {
      lastfm->Tick(channel);
      if (state.track_played) return ticks;
    }
    return -1;
  }

  PlayerHarness h;
  PlayerState state;
  int64_t now_ms = 0;
  std::unique_ptr<LastFm> lastfm;
  int files = 0;
};

TEST_F(LastFmTest, HandshakeSendsTheExactQueryAndKeepsTheSession) {
  menus().SetChecked("LastFM1", true);
  h.WriteSettings(
      "[settings]\r\nDonationMsg=0\r\n[Last.FM]\r\nuser=ann\r\n"
      "pass=" +
      lastfm::ScramblePassword("pw") + "\r\nserver=http://127.0.0.1:9\r\n");
  h.http.replies.push_back(
      {true, 200, "OK\n" + kSessionId + "\nhttp://np/\nhttp://sub/\n", ""});
  lastfm->StartHandshake();
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 1u);
  int64_t t = lastfm::UtcTimestamp(1000);
  EXPECT_EQ(h.http.requests[0].method, "GET");
  EXPECT_EQ(h.http.requests[0].url,
            "http://127.0.0.1:9/?hs=true&p=1.2&c=kiv&v=0.1&u=ann&t=" +
                std::to_string(t) + "&a=" + lastfm::HandshakeToken("pw", t));
  EXPECT_EQ(lastfm->session().id, kSessionId);
  EXPECT_TRUE(menus().Checked("LastFM1"));
}

TEST_F(LastFmTest, AFailedHandshakeUnchecksTheOptionAndSaysWhy) {
  for (auto [body, shown] : {std::pair{"BADAUTH\n", "BADAUTH"},
                             {"FAILED clock wrong\n", "FAILED"}}) {
    menus().SetChecked("LastFM1", true);
    h.http.replies.push_back({true, 200, body, ""});
    lastfm->StartHandshake();
    h.loop.Drain();
    EXPECT_FALSE(menus().Checked("LastFM1"));
    EXPECT_EQ(h.dialogs.messages.back().text, shown);
  }
  menus().SetChecked("LastFM1", true);
  lastfm->StartHandshake();  // no reply: the client's error text
  h.loop.Drain();
  EXPECT_EQ(h.dialogs.messages.back().text, "no reply");
  EXPECT_FALSE(lastfm->session().Valid());
}

TEST_F(LastFmTest, ABadProxyPortFailsLikeAFailedHandshake) {
  menus().SetChecked("LastFM1", true);
  menus().SetChecked("Proxy1", true);
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nProxy=host:port\r\n");
  lastfm->StartHandshake();
  h.loop.Drain();
  EXPECT_TRUE(h.http.requests.empty());
  EXPECT_FALSE(menus().Checked("LastFM1"));
  EXPECT_FALSE(h.dialogs.messages.empty());
}

TEST_F(LastFmTest, TheProxyServesTheLaterRequests) {
  menus().SetChecked("Proxy1", true);
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nProxy=u:p@px:3128\r\n");
  menus().SetChecked("LastFM1", true);
  h.http.replies.push_back(
      {true, 200, "OK\n" + kSessionId + "\nhttp://np/\nhttp://sub/\n", ""});
  lastfm->StartHandshake();
  h.loop.Drain();
  Open(OpenTrack(100));
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 2u);
  for (const auto& request : h.http.requests) {
    ASSERT_TRUE(request.proxy);
    EXPECT_EQ(request.proxy->host, "px");
    EXPECT_EQ(request.proxy->port, 3128);
    EXPECT_EQ(request.proxy->user, "u");
  }
}

TEST_F(LastFmTest, TracksAreMarkedAtHalfTheirLengthOr240Seconds) {
  Connect();
  EXPECT_EQ(TicksUntilMarked(OpenTrack(200)), 100);
  lastfm->ResetTrack();
  EXPECT_EQ(TicksUntilMarked(OpenTrack(600)), 240);
  lastfm->ResetTrack();
  EXPECT_EQ(TicksUntilMarked(OpenTrack(40)), 30);
  lastfm->ResetTrack();
  // It ends after 20 ticks, before the count reaches 30.
  EXPECT_EQ(TicksUntilMarked(OpenTrack(20), 20), -1);
}

// With the option off nothing ticks, yet turning it on during a track counts
// what was played before, pauses left out, as ticking all along would have.
TEST_F(LastFmTest, TurnedOnDuringATrackItCountsWhatWasPlayedBefore) {
  AudioLibrary::Handle channel = OpenTrack(200);
  Open(channel);
  lastfm->CountPlayTime(true);
  EXPECT_FALSE(h.loop.TimerEnabled("FMTime"));
  now_ms += 50'400;
  lastfm->CountPlayTime(false);  // paused
  now_ms += 100'000;
  lastfm->CountPlayTime(true);
  now_ms += 40'700;
  EXPECT_FALSE(h.loop.TimerEnabled("FMTime"));
  Connect();
  EXPECT_TRUE(h.loop.TimerEnabled("FMTime"));
  EXPECT_EQ(state.played_seconds, 90);
  EXPECT_EQ(TicksUntilMarked(channel), 10);  // 200 s: marked at 100
}

TEST_F(LastFmTest, WithTheOptionOnTheTimerCountsAndStopsWithTheTrack) {
  Connect();
  AudioLibrary::Handle channel = OpenTrack(200);
  Open(channel);
  lastfm->CountPlayTime(true);
  EXPECT_TRUE(h.loop.TimerEnabled("FMTime"));
  now_ms += 70'000;  // the ticks count here, not the clock
  lastfm->CountPlayTime(false);
  EXPECT_FALSE(h.loop.TimerEnabled("FMTime"));
  EXPECT_EQ(state.played_seconds, 0);
}

TEST_F(LastFmTest, NowPlayingIsSentForEveryTrackWithItsBody) {
  Connect();
  Open(OpenTrack(125, {{"%TITL", "Only title"}, {"%TRCK", "7"}}));
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 1u);
  EXPECT_EQ(h.http.requests[0].url, "http://np/");
  EXPECT_EQ(h.http.requests[0].body,
            "s=" + kSessionId + "&a=&t=Only+title&b=&l=125&n=7&m=");
}

TEST_F(LastFmTest, APlayedTrackIsQueuedSubmittedAndRemovedOnOk) {
  Connect();
  AudioLibrary::Handle channel = OpenTrack(100);
  Open(channel);
  h.loop.Drain();
  h.http.requests.clear();
  TicksUntilMarked(channel);
  h.http.replies.push_back({true, 200, " OK\r\n", ""});
  lastfm->SubmitPlayed(channel);
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 1u);
  int64_t start = lastfm::UtcTimestamp(1000);
  EXPECT_EQ(h.http.requests[0].url, "http://sub/");
  EXPECT_EQ(h.http.requests[0].body,
            "s=" + kSessionId +
                "&a[0]=AC+DC&t[0]=Thunder+&i[0]=" + std::to_string(start) +
                "&o[0]=P&r[0]=&l[0]=100&b[0]=&n[0]=&m[0]=");
  EXPECT_TRUE(state.submission_queue.empty());
  EXPECT_EQ(h.dir.Read("LastFM.Queue"), "");
  EXPECT_FALSE(h.loop.TimerEnabled("FMTime"));
}

TEST_F(LastFmTest, RejectedLinesStayNewestFirstAndShortLinesAreKept) {
  Connect();
  state.submission_queue = {"A;T;1;100;;", "short;line", "B$;U;2;100;;"};
  h.http.replies.push_back({true, 200, "OK\n", ""});
  h.http.replies.push_back({true, 200, "BADSESSION\n", ""});
  lastfm->SubmitPlayed(0);
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 2u);
  EXPECT_NE(h.http.requests[0].body.find("a[0]=B+"), std::string::npos);
  EXPECT_EQ(state.submission_queue,
            (std::vector<std::string>{"A;T;1;100;;", "short;line"}));
  EXPECT_EQ(h.dir.Read("LastFM.Queue"), "A;T;1;100;;\r\nshort;line\r\n");
}

TEST_F(LastFmTest, EmptyArtistIsNotQueuedAndAnUnplayedTrackNeither) {
  Connect();
  AudioLibrary::Handle untagged = OpenTrack(100, {{"%TITL", "t"}});
  TicksUntilMarked(untagged);
  lastfm->SubmitPlayed(untagged);
  h.loop.Drain();
  EXPECT_TRUE(state.submission_queue.empty());
  AudioLibrary::Handle skipped = OpenTrack(100);
  Open(skipped);
  lastfm->SubmitPlayed(skipped);  // ended after no ticks
  h.loop.Drain();
  EXPECT_TRUE(state.submission_queue.empty());
}

TEST_F(LastFmTest, WithTheOptionOffTheQueueFileIsStillRewritten) {
  state.submission_queue = {"A;T;1;100;;"};
  lastfm->SubmitPlayed(0);
  h.loop.Drain();
  EXPECT_TRUE(h.http.requests.empty());
  EXPECT_EQ(h.dir.Read("LastFM.Queue"), "A;T;1;100;;\r\n");
}

TEST_F(LastFmTest, TheOptionDialogStoresTheScrambledPasswordOrUnchecks) {
  menus().SetChecked("LastFM1", true);
  h.dialogs.input_answers = {std::string("bob"), std::string("pw")};
  h.http.replies.push_back({true, 200, "BADAUTH", ""});
  lastfm->OptionClicked();
  h.loop.Drain();
  EXPECT_EQ(h.Setting("Last.FM", "user"), "bob");
  EXPECT_EQ(h.Setting("Last.fm", "pass"), lastfm::ScramblePassword("pw"));
  EXPECT_EQ(h.Setting("settings", "LastFM"), "1");
  EXPECT_EQ(h.dialogs.titles.back(), "Last.fm Settings");

  menus().SetChecked("LastFM1", true);
  h.dialogs.input_answers = {std::string("bob"), std::nullopt};
  lastfm->OptionClicked();
  EXPECT_FALSE(menus().Checked("LastFM1"));

  lastfm->OptionClicked();  // now unchecked: switched off
  EXPECT_EQ(h.Setting("settings", "LastFM"), "0");
}

// What the user types in the dialog must reach the token unchanged after a
// trip through settings.ini: every byte a keyboard or an input method gives,
// at either end of the password, with blanks and quotes around it.
TEST_F(LastFmTest, EveryTypedPasswordComesBackWholeFromSettings) {
  std::vector<std::string> passwords = {"letmein",
                                        "football",
                                        "monkey",
                                        "  padded  ",
                                        "\"quoted\"",
                                        "'single'",
                                        "p\xC3\xA4ss w\xC3\xB6rd",
                                        "[section]",
                                        "a=b;c#d",
                                        std::string(255, 'f')};
  std::string every_byte;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    std::string b(1, static_cast<char>(byte));
    passwords.push_back(b + "x" + b);
    every_byte += b;
  }
  passwords.push_back(every_byte);
  int64_t t = lastfm::UtcTimestamp(1000);
  for (const std::string& password : passwords) {
    SCOPED_TRACE(::testing::PrintToString(password));
    menus().SetChecked("LastFM1", true);
    h.dialogs.input_answers = {std::string("ann"), password};
    h.http.requests.clear();
    lastfm->OptionClicked();
    h.loop.Drain();
    ASSERT_EQ(h.http.requests.size(), 1u);
    const std::string& url = h.http.requests[0].url;
    EXPECT_EQ(url.substr(url.rfind("&a=") + 3),
              lastfm::HandshakeToken(password, t));
  }
}

// A password stored by an earlier version (each byte XOR 0x66, written as it
// is) still logs in when it survived the file.
TEST_F(LastFmTest, APasswordStoredByAnEarlierVersionStillLogsIn) {
  menus().SetChecked("LastFM1", true);
  std::string legacy = "secret";
  for (char& c : legacy) c = static_cast<char>(c ^ 0x66);
  h.WriteSettings("[Last.fm]\r\nuser=ann\r\npass=" + legacy + "\r\n");
  lastfm->StartHandshake();
  h.loop.Drain();
  ASSERT_EQ(h.http.requests.size(), 1u);
  const std::string& url = h.http.requests[0].url;
  EXPECT_EQ(url.substr(url.rfind("&a=") + 3),
            lastfm::HandshakeToken("secret", lastfm::UtcTimestamp(1000)));
}

}  // namespace
}  // namespace kivo
