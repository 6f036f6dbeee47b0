#pragma once

#include "core/platform/main_window.h"
#include "core/playback/playback_state.h"

namespace kivo {

// The seek bar as the core drives it: every change goes to the window and to
// the core's copy, so that clicks and keys can read the range back. Whoever
// changes the bar (the volume display too) goes through here.
class Seekbar {
 public:
  Seekbar(MainWindow& window, SeekbarState& state)
      : window_(window), state_(state) {}

  int Max() const { return state_.max; }
  int Position() const { return state_.position; }
  bool Enabled() const { return state_.enabled; }

  void SetRange(int max);
  // Clamped to 0..max, as the bar itself does.
  void SetPosition(int position);
  void SetEnabled(bool enabled);

 private:
  MainWindow& window_;
  SeekbarState& state_;
};

}  // namespace kivo
