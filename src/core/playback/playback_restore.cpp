#include "core/playback/playback_restore.h"

#include <algorithm>

#include "core/playback/audio_options.h"
#include "core/playback/plugins.h"
#include "core/playback/seekbar.h"
#include "core/playback/volume_meter.h"

namespace kivo {

void RestoreProxy(Context& context) { ApplyProxyOption(context); }

void RestorePlugins(Context& context, PlayerState& state) {
  BuildPluginMenu(context, state);
  LoadEnabledPlugins(context, state);
}

void RestoreDevices(Context& context, PlayerState& state) {
  BuildDeviceMenu(context, state);
}

void RestorePassiveFtp(Context& context) { ApplyPassiveFtpOption(context); }

void RestoreSeekbar(Context& context, PlayerState& state) {
  Seekbar seekbar(context.platform.window, state.playback.seekbar);
  seekbar.SetPosition(0);
  seekbar.SetEnabled(false);
}

void RestoreVolume(Context& context, PlayerState& state) {
  long long volume =
      context.settings.ReadSettingInt("settings", "volume", 5000);
  state.playback.volume_level =
      static_cast<int>(std::clamp<long long>(volume, 0, kVolumeMax));
  ApplyVolume(context.platform.audio, state.playback.volume_level);
}

}  // namespace kivo
