#include "core/integrations/lastfm.h"

#include <chrono>

#include "core/playback/time_display.h"
#include "core/util/atomic_file.h"
#include "core/util/text.h"

namespace kivo {

LastFm::LastFm(Context& context, PlayerState& state, Clock clock,
               SteadyClock steady_ms)
    : context_(context),
      state_(state),
      clock_(std::move(clock)),
      steady_ms_(std::move(steady_ms)),
      queue_path_(context.program_dir + "LastFM.Queue") {}

LastFm::~LastFm() { WaitForWorkers(); }

int64_t LastFm::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void LastFm::WaitForWorkers() {
  std::unique_lock lock(workers_mutex_);
  workers_done_.wait_for(lock, std::chrono::seconds(40),
                         [this] { return running_workers_ == 0; });
}

void LastFm::StartWorker(std::function<void()> work) {
  {
    std::lock_guard lock(workers_mutex_);
    ++running_workers_;
  }
  context_.platform.loop.RunAsync("kivo-net", [this, work = std::move(work)] {
    work();
    std::lock_guard lock(workers_mutex_);
    --running_workers_;
    workers_done_.notify_all();
  });
}

lastfm::Session LastFm::session() const {
  std::lock_guard lock(session_mutex_);
  return session_;
}

bool LastFm::SessionReady() const {
  return context_.menus.Checked("LastFM1") && session().Valid();
}

void LastFm::OptionClicked() {
  SettingsStore& settings = context_.settings;
  if (!context_.menus.Checked("LastFM1")) {
    settings.WriteBool("Settings", "LastFM", false);
    {
      std::lock_guard lock(session_mutex_);
      session_ = lastfm::Session{};
    }
    CountPlayTime(false);
    state_.played_seconds = 0;
    return;
  }
  std::string caption = context_.Text("strings", "18", "Last.fm Settings");
  Dialogs& dialogs = context_.platform.dialogs;
  std::string user =
      dialogs.InputBox(caption, context_.Text("strings", "19", "Username:"),
                       settings.ReadSettingText("Last.FM", "user", ""));
  std::string password = dialogs.InputBox(
      caption, context_.Text("strings", "20", "Password:"), "");
  if (user.empty() || password.empty()) {
    context_.menus.SetChecked("LastFM1", false);
    return;
  }
  settings.WriteBool("Settings", "LastFM", true);
  settings.WriteText("Last.fm", "user", user);
  settings.WriteText("Last.fm", "pass", lastfm::ScramblePassword(password));
  StartHandshake();
}

void LastFm::StartHandshake() {
  ResumeCountTimer();
  const SettingsStore& settings = context_.settings;
  std::string user = settings.ReadSettingText("Last.fm", "user", "");
  std::string password = lastfm::UnscramblePassword(
      settings.ReadSettingText("Last.fm", "pass", ""));
  std::string server =
      settings.ReadSettingText("Last.fm", "server", lastfm::kDefaultServer);
  std::optional<HttpProxy> proxy;
  bool proxy_valid = true;
  if (context_.menus.Checked("Proxy1")) {
    std::string text = settings.ReadSettingText("settings", "Proxy", "");
    proxy = lastfm::ParseProxy(text);
    proxy_valid = proxy.has_value();
  }
  StartWorker(
      [=, this] { Handshake(user, password, server, proxy, proxy_valid); });
}

void LastFm::Handshake(std::string user, std::string password,
                       std::string server, std::optional<HttpProxy> proxy,
                       bool proxy_valid) {
  if (!proxy_valid) {
    context_.platform.loop.Post(
        [this] { HandshakeFailed("Invalid proxy setting"); });
    return;
  }
  int64_t t = lastfm::UtcTimestamp(clock_());
  std::string url = lastfm::HandshakeUrl(server, user, t,
                                         lastfm::HandshakeToken(password, t));
  lastfm::HandshakeResult result =
      lastfm::ParseHandshakeReply(context_.platform.http.Get(url, proxy));
  if (result.session) {
    std::lock_guard lock(session_mutex_);
    session_ = *result.session;
    proxy_ = proxy;
    return;
  }
  context_.platform.loop.Post(
      [this, why = result.error] { HandshakeFailed(why); });
}

void LastFm::HandshakeFailed(const std::string& why) {
  context_.menus.SetChecked("LastFM1", false);
  context_.ShowMessage(why);
}

std::optional<HttpProxy> LastFm::ProxyForRequests() const {
  std::lock_guard lock(session_mutex_);
  return proxy_;
}

lastfm::Track LastFm::ReadTrack(AudioLibrary::Handle channel) const {
  AudioLibrary& audio = context_.platform.audio;
  lastfm::Track track;
  track.artist = audio.TagsRead(channel, "%ARTI");
  track.title = audio.TagsRead(channel, "%TITL");
  track.album = audio.TagsRead(channel, "%ALBM");
  track.track_number = audio.TagsRead(channel, "%TRCK");
  track.length_seconds = LengthSeconds(audio, channel);
  track.start_time = state_.track_start_time;
  return track;
}

void LastFm::ScrobbleNowPlaying(AudioLibrary::Handle channel) {
  if (!SessionReady()) return;
  lastfm::Session current = session();
  std::string body = lastfm::NowPlayingBody(current.id, ReadTrack(channel));
  std::optional<HttpProxy> proxy = ProxyForRequests();
  StartWorker([this, url = current.now_playing_url, body, proxy] {
    context_.platform.http.PostForm(url, body, proxy);
  });
}

void LastFm::ResetTrack() {
  CountPlayTime(false);
  state_.played_seconds = 0;
  state_.track_played = false;
}

void LastFm::CountPlayTime(bool counting) {
  EventLoop& loop = context_.platform.loop;
  const bool timed = loop.TimerEnabled("FMTime");
  if (counting_ && !counting && !timed) {
    state_.played_seconds +=
        static_cast<int>((steady_ms_() - untimed_since_ms_) / 1000);
  }
  counting_ = counting;
  untimed_since_ms_ = steady_ms_();
  loop.SetTimerEnabled("FMTime", counting && context_.menus.Checked("LastFM1"));
}

void LastFm::ResumeCountTimer() {
  if (!counting_ || context_.platform.loop.TimerEnabled("FMTime")) return;
  CountPlayTime(false);
  CountPlayTime(true);
}

void LastFm::Tick(AudioLibrary::Handle channel) {
  if (SessionReady() && state_.played_seconds >= 30) {
    double length = static_cast<double>(ReadTrack(channel).length_seconds);
    if (state_.played_seconds >= length / 2 || state_.played_seconds >= 240) {
      state_.track_played = true;
    }
  }
  ++state_.played_seconds;
}

void LastFm::SubmitPlayed(AudioLibrary::Handle channel) {
  if (context_.menus.Checked("LastFM1") && state_.track_played) {
    lastfm::Track track = ReadTrack(channel);
    if (!track.artist.empty() && !track.title.empty()) {
      std::lock_guard lock(queue_mutex_);
      state_.submission_queue.push_back(lastfm::QueueLine(track));
    }
    ResetTrack();
  }
  std::lock_guard lock(queue_mutex_);
  if (pass_running_) {
    pass_wanted_ = true;
    return;
  }
  pass_running_ = true;
  StartWorker([this] { RunSubmissionPasses(); });
}

void LastFm::RunSubmissionPasses() {
  while (true) {
    SubmissionPass();
    std::lock_guard lock(queue_mutex_);
    if (!pass_wanted_) {
      pass_running_ = false;
      return;
    }
    pass_wanted_ = false;
  }
}

void LastFm::SubmissionPass() {
  std::vector<std::string> snapshot;
  {
    std::lock_guard lock(queue_mutex_);
    snapshot = state_.submission_queue;
  }
  lastfm::Session current = session();
  std::optional<HttpProxy> proxy = ProxyForRequests();
  std::vector<bool> keep(snapshot.size(), true);
  for (size_t i = snapshot.size(); i-- > 0;) {
    auto track = lastfm::ParseQueueLine(snapshot[i]);
    if (!track) continue;  // hand-edited: kept as it is
    snapshot[i] = ReplaceAll(snapshot[i], "$", " ");
    track = lastfm::ParseQueueLine(snapshot[i]);
    if (!current.Valid()) continue;
    HttpResponse reply = context_.platform.http.PostForm(
        current.submission_url, lastfm::SubmissionBody(current.id, *track),
        proxy);
    if (reply.ok && TrimWhitespace(reply.body) == "OK") keep[i] = false;
  }
  std::lock_guard lock(queue_mutex_);
  std::vector<std::string> remaining;
  for (size_t i = 0; i < snapshot.size(); ++i) {
    if (keep[i]) remaining.push_back(snapshot[i]);
  }
  // Lines queued while this pass ran follow, untouched.
  for (size_t i = snapshot.size(); i < state_.submission_queue.size(); ++i) {
    remaining.push_back(state_.submission_queue[i]);
  }
  state_.submission_queue = std::move(remaining);
  WriteFileAtomically(queue_path_, JoinLinesCrLf(state_.submission_queue));
}

}  // namespace kivo
