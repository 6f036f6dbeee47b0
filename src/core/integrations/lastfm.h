#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/integrations/lastfm_protocol.h"

namespace kivo {

// Last.fm submission: the handshake, now-playing notices, the play-time count
// and the persistent queue of played tracks.
//
// Requests run on workers ("kivo-net"); the window never waits for the
// network. The session is shared with those workers under session_mutex_; the
// queue and its file under queue_mutex_, with at most one submission pass at a
// time. User-visible results are posted to the GUI thread.
class LastFm {
 public:
  using Clock = std::function<std::time_t()>;
  // Milliseconds of a clock that only moves forward.
  using SteadyClock = std::function<int64_t()>;

  // Uses the player's play-time counters and submission queue.
  LastFm(
      Context& context, PlayerState& state,
      Clock clock = [] { return std::time(nullptr); },
      SteadyClock steady_ms = SteadyMs);
  ~LastFm();

  // The `LastFM1` click, after its check mark has toggled.
  void OptionClicked();
  void StartHandshake();

  // A local track was opened on `channel` (the counters were reset): the
  // now-playing notice.
  void ScrobbleNowPlaying(AudioLibrary::Handle channel);
  // Counters back to zero and the count stopped, as after a submission.
  void ResetTrack();
  // Starts (a track opened or resumed) or stops the play-time count. The
  // count only matters while the option is on: until then `FMTime` rests and
  // the seconds played are taken from the clock when the option comes on.
  void CountPlayTime(bool counting);
  bool CountingPlayTime() const { return counting_; }
  // The FMTime tick.
  void Tick(AudioLibrary::Handle channel);
  // The natural end of the track on `channel`: queue it when it played long
  // enough, then start a submission pass.
  void SubmitPlayed(AudioLibrary::Handle channel);

  lastfm::Session session() const;
  // Waits until no worker of this object runs (tests and shutdown).
  void WaitForWorkers();

 private:
  static int64_t SteadyMs();
  bool SessionReady() const;
  // The option came on: seconds played meanwhile join the count, and the
  // timer takes over.
  void ResumeCountTimer();
  lastfm::Track ReadTrack(AudioLibrary::Handle channel) const;
  std::optional<HttpProxy> ProxyForRequests() const;
  void Handshake(std::string user, std::string password, std::string server,
                 std::optional<HttpProxy> proxy, bool proxy_valid);
  void HandshakeFailed(const std::string& why);
  void RunSubmissionPasses();
  void SubmissionPass();
  void StartWorker(std::function<void()> work);

  Context& context_;
  PlayerState& state_;  // its submission_queue guarded by queue_mutex_
  Clock clock_;
  SteadyClock steady_ms_;
  bool counting_ = false;
  // While counting with the timer at rest: when the untimed stretch began.
  int64_t untimed_since_ms_ = 0;
  std::string queue_path_;

  mutable std::mutex session_mutex_;
  lastfm::Session session_;
  std::optional<HttpProxy> proxy_;

  std::mutex queue_mutex_;
  bool pass_running_ = false;
  bool pass_wanted_ = false;

  std::mutex workers_mutex_;
  std::condition_variable workers_done_;
  int running_workers_ = 0;
};

}  // namespace kivo
