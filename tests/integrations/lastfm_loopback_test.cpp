// Last.fm submission through the real libcurl client against a loopback
// Audioscrobbler 1.2 server.
#include <gtest/gtest.h>

#include "core/integrations/lastfm.h"
#include "desktop/integrations/curl_http_client.h"
#include "fakes/player_harness.h"
#include "support/loopback_http_server.h"

namespace kivo {
namespace {

using loopback::HttpReply;
using loopback::LoopbackHttpServer;
using testing::FakeAudioLibrary;
using testing::PlayerHarness;

const std::string kSession = "0123456789abcdef0123456789abcdef";

class LastFmLoopbackTest : public ::testing::Test {
 protected:
  LastFmLoopbackTest()
      : server(8),
        http(desktop::HttpTimeouts{2000, 2000}),
        context(Platform{h.audio, h.loop, h.window, h.tray, h.dialogs,
                         h.desktop, http, h.hotkeys, h.now_playing,
                         h.associations, h.search_windows, h.tag_window},
                h.dir.path()),
        lastfm(context, state, [] { return std::time_t{1700000000}; }) {
    h.loop.AddTimer("FMTime", 1000, [] {});
    context.settings.WriteText("Last.fm", "user", "j\xC3\xB6rg");
    context.settings.WriteText("Last.fm", "pass",
                               lastfm::ScramblePassword("secret"));
    context.settings.WriteText("Last.fm", "server", server.BaseUrl());
    context.menus.SetChecked("LastFM1", true);
  }

  void Handshake(const std::string& body) {
    server.QueueReply(HttpReply("200 OK", body));
    lastfm.StartHandshake();
    h.loop.Drain();
  }

  void Connect() {
    Handshake("OK\n" + kSession + "\n" + server.BaseUrl() + "/np\n" +
              server.BaseUrl() + "/sub\n");
    ASSERT_EQ(lastfm.session().id, kSession);
  }

  void Open(AudioLibrary::Handle channel) {
    state.track_start_time = lastfm::UtcTimestamp(1700000000);
    lastfm.ScrobbleNowPlaying(channel);
  }

  AudioLibrary::Handle Track(std::map<std::string, std::string> tags) {
    FakeAudioLibrary::Media media;
    media.length_seconds = 200;
    media.tags = std::move(tags);
    return h.audio.StreamCreateFile(h.AddFile("t.mp3", media), 0, 0, 0);
  }

  PlayerHarness h;
  LoopbackHttpServer server;
  desktop::CurlHttpClient http;
  Context context;
  PlayerState state;
  LastFm lastfm;
};

TEST_F(LastFmLoopbackTest, HandshakeQueryAndHeadersAreExact) {
  Connect();
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  int64_t t = lastfm::UtcTimestamp(1700000000);
  EXPECT_EQ(
      requests[0].request_line,
      "GET /?hs=true&p=1.2&c=kiv&v=0.1&u=j%C3%B6rg&t=" + std::to_string(t) +
          "&a=" + lastfm::HandshakeToken("secret", t) + " HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Accept"), "text/html, */*");
  EXPECT_EQ(requests[0].Header("User-Agent"),
            "Mozilla/3.0 (compatible; Indy Library)");
}

// "letmein" scrambled with the old constants held a line feed and a carriage
// return: settings.ini gave back an empty password and the server said BADAUTH.
TEST_F(LastFmLoopbackTest, APasswordTypedInTheDialogLogsIn) {
  context.menus.SetChecked("LastFM1", true);
  h.dialogs.input_answers = {std::string("j\xC3\xB6rg"),
                             std::string("letmein")};
  server.QueueReply(HttpReply("200 OK", "OK\n" + kSession + "\n" +
                                            server.BaseUrl() + "/np\n" +
                                            server.BaseUrl() + "/sub\n"));
  lastfm.OptionClicked();
  h.loop.Drain();
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  int64_t t = lastfm::UtcTimestamp(1700000000);
  EXPECT_NE(requests[0].request_line.find(
                "&a=" + lastfm::HandshakeToken("letmein", t) + " HTTP/1.1"),
            std::string::npos)
      << requests[0].request_line;
  EXPECT_EQ(lastfm.session().id, kSession);
  EXPECT_TRUE(context.menus.Checked("LastFM1"));
}

TEST_F(LastFmLoopbackTest, NowPlayingAndSubmissionBodiesAreExact) {
  Connect();
  AudioLibrary::Handle channel =
      Track({{"%ARTI", "AC;DC"}, {"%TITL", "Caf\xC3\xA9 $5"}, {"%ALBM", "x"}});
  Open(channel);
  h.loop.Drain();
  for (int i = 0; i <= 100; ++i) lastfm.Tick(channel);
  server.QueueReply(HttpReply("200 OK", "OK\n"));
  lastfm.SubmitPlayed(channel);
  h.loop.Drain();
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].request_line, "POST /np HTTP/1.1");
  EXPECT_EQ(requests[1].Header("Content-Type"),
            "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[1].body,
            "s=" + kSession + "&a=AC+DC&t=Caf%c3%a9+%24%35&b=x&l=200&n=&m=");
  int64_t start = lastfm::UtcTimestamp(1700000000);
  EXPECT_EQ(requests[2].request_line, "POST /sub HTTP/1.1");
  EXPECT_EQ(requests[2].body, "s=" + kSession +
                                  "&a[0]=AC+DC&t[0]=Caf%c3%a9++%35&i[0]=" +
                                  std::to_string(start) +
                                  "&o[0]=P&r[0]=&l[0]=200&b[0]=x&n[0]=&m[0]=");
  EXPECT_TRUE(state.submission_queue.empty());
  EXPECT_EQ(h.dir.Read("LastFM.Queue"), "");
}

TEST_F(LastFmLoopbackTest, RejectedSubmissionsStayInTheQueueFile) {
  Connect();
  state.submission_queue = {"A;T;1;100;;", "B;U;2;100;;"};
  server.QueueReply(HttpReply("200 OK", "BADSESSION\n"));
  server.QueueReply(HttpReply("200 OK", "FAILED Plugin bug\n"));
  lastfm.SubmitPlayed(0);
  h.loop.Drain();
  EXPECT_EQ(h.dir.Read("LastFM.Queue"), "A;T;1;100;;\r\nB;U;2;100;;\r\n");
}

TEST_F(LastFmLoopbackTest, FailedHandshakesShowTheirReason) {
  for (auto [body, shown] : {std::pair{"BADAUTH\n", "BADAUTH"},
                             {"FAILED Clock skew\n", "FAILED"},
                             {"\x01\x02 garbage", "garbage"}}) {
    context.menus.SetChecked("LastFM1", true);
    Handshake(body);
    EXPECT_FALSE(context.menus.Checked("LastFM1"));
    EXPECT_EQ(h.dialogs.messages.back().text, shown);
  }
  context.menus.SetChecked("LastFM1", true);
  Handshake("");
  EXPECT_FALSE(context.menus.Checked("LastFM1"));
  EXPECT_FALSE(lastfm.session().Valid());
}

TEST_F(LastFmLoopbackTest, ASilentServerEndsByTheTimeOutOffTheGuiThread) {
  server.SetBehaviour(LoopbackHttpServer::Behaviour::kSilent);
  lastfm.StartHandshake();
  // Nothing was sent from the GUI thread: the request waits on a worker.
  EXPECT_EQ(h.loop.waiting_workers(), 1u);
  EXPECT_TRUE(server.Requests().empty());
  h.loop.Drain();
  EXPECT_FALSE(context.menus.Checked("LastFM1"));
  ASSERT_FALSE(h.dialogs.messages.empty());
  EXPECT_FALSE(h.dialogs.messages.back().text.empty());
}

TEST_F(LastFmLoopbackTest, AClosedConnectionFailsTheHandshake) {
  server.SetBehaviour(LoopbackHttpServer::Behaviour::kClose);
  lastfm.StartHandshake();
  h.loop.Drain();
  EXPECT_FALSE(context.menus.Checked("LastFM1"));
}

}  // namespace
}  // namespace kivo
