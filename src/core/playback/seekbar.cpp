#include "core/playback/seekbar.h"

#include <algorithm>

namespace kivo {

void Seekbar::SetRange(int max) {
  state_.max = std::max(0, max);
  window_.SetSeekbarRange(state_.max);
  SetPosition(state_.position);
}

void Seekbar::SetPosition(int position) {
  state_.position = std::clamp(position, 0, state_.max);
  window_.SetSeekbarPosition(state_.position);
}

void Seekbar::SetEnabled(bool enabled) {
  state_.enabled = enabled;
  window_.SetSeekbarEnabled(enabled);
}

}  // namespace kivo
