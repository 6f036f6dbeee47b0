#include "core/playback/audio_options.h"

#include <optional>

#include "core/playback/seekbar.h"
#include "core/playback/time_display.h"
#include "core/ui/menu_trees.h"
#include "core/util/text.h"

namespace kivo {
namespace {

constexpr uint32_t kOutputFrequency = 44100;

void SetProxy(Context& context, const std::string& proxy) {
  std::optional<std::string> text;
  if (!proxy.empty()) text = proxy;
  context.platform.audio.SetConfigPtr(AudioLibrary::kConfigNetProxy, text);
}

}  // namespace

void BuildDeviceMenu(Context& context, PlayerState& state) {
  MenuModel& menus = context.menus;
  MenuItem& parent = menus.Item("AudioDevice1");
  menus.ClearChildren(parent);
  AudioLibrary::DeviceInfo info;
  for (int n = 1; context.platform.audio.GetDeviceInfo(n, &info); ++n) {
    MenuItem& item = menus.AddChild(parent, info.name);
    item.auto_check = true;
    item.radio_group = kRuntimeGroup;
    item.on_click = [&context, &state, name = item.name] {
      SelectDevice(context, state, name);
    };
  }
  long long device = context.settings.ReadSettingInt("settings", "device", 1);
  if (device >= 1 && device <= static_cast<long long>(parent.children.size())) {
    menus.SetChecked(*parent.children[device - 1], true);
  }
}

void SelectDevice(Context& context, PlayerState& state,
                  const std::string& item_name) {
  MenuItem* item = context.menus.Find(item_name);
  if (!item) return;
  context.menus.SetChecked(*item, true);
  std::string name = ReplaceAll(item->caption, "&", "");
  AudioLibrary& audio = context.platform.audio;
  AudioLibrary::DeviceInfo info;
  // The walk goes on after a match: of two devices with one name, the last
  // one is used.
  for (int n = 1; audio.GetDeviceInfo(n, &info); ++n) {
    if (info.name != name) continue;
    context.settings.WriteInt("settings", "device", n);
    audio.ChannelStop(state.playback.current_channel);
    Seekbar(context.platform.window, state.playback.seekbar).SetPosition(0);
    context.platform.loop.SetTimerEnabled("Time", false);
    context.platform.window.SetCaption(kPlayerName);
    audio.Free();
    // Every channel went with the old device; a later Play finds none and
    // starts the entry again.
    state.playback.current_channel = 0;
    state.playback.end_sync = 0;
    if (!audio.Init(n, kOutputFrequency, 0)) {
      context.ShowMessage(context.Text("strings", "02",
                                       "Can\xC2\xB4t initialize audio device"));
      context.platform.loop.Quit(1);
      return;
    }
  }
}

void ApplyProxyOption(Context& context) {
  std::string proxy =
      context.settings.ReadSettingText("settings", "Proxy", std::string());
  SetProxy(context, proxy);
  if (!proxy.empty()) context.menus.SetChecked("Proxy1", true);
}

void ApplyPassiveFtpOption(Context& context) {
  context.platform.audio.SetConfig(AudioLibrary::kConfigNetPassive,
                                   context.menus.Checked("Ftp1") ? 1 : 0);
}

void ApplyNetworkOptions(Context& context) {
  ApplyProxyOption(context);
  ApplyPassiveFtpOption(context);
}

void ProxyClick(Context& context) {
  if (!context.menus.Checked("Proxy1")) {
    SetProxy(context, std::string());
    context.settings.WriteText("settings", "Proxy", std::string());
    return;
  }
  // The item stays checked even with an empty answer; the next start reads
  // the empty `Proxy` and leaves it unchecked.
  std::string proxy = context.platform.dialogs.InputBox(
      context.Text("strings", "16", "Proxy Settings"),
      context.Text("strings", "17",
                   "Example: user:pass@server:port or server:port"),
      context.settings.ReadSettingText("settings", "Proxy", std::string()));
  context.settings.WriteText("settings", "Proxy", proxy);
  SetProxy(context, proxy);
}

void FtpClick(Context& context) {
  bool passive = context.menus.Checked("Ftp1");
  context.platform.audio.SetConfig(AudioLibrary::kConfigNetPassive,
                                   passive ? 1 : 0);
  context.settings.WriteBool("settings", "FTPPassive", passive);
}

}  // namespace kivo
