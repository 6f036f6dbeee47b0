#include "core/ui/window_modes.h"

#include <functional>

namespace kivo {
namespace {

constexpr TransparencyStep kTransparencySteps[] = {{20, "Trans20", 204},
                                                   {40, "Trans40", 153},
                                                   {50, "Trans50", 128},
                                                   {60, "Trans60", 102},
                                                   {80, "Trans80", 51}};

void SelectPlayingLine(Context& context, const PlayerState& state) {
  int playing = state.playlist.playing_index;
  if (playing != -1) context.platform.window.SelectLine(playing);
}

void ApplyTaskbarButton(Context& context) {
  context.platform.window.SetTaskbarButtonVisible(
      context.menus.Checked("Taskbar1"));
}

void WireGeneral(Context& context, PlayerState& state) {
  MenuModel& menus = context.menus;
  SettingsStore& settings = context.settings;
  MainWindow& window = context.platform.window;
  Tray& tray = context.platform.tray;
  // Taskbar1 stores before it acts; the others act first.
  auto on_toggle = [&](const char* item, const char* key,
                       std::function<void(bool)> apply,
                       bool store_first = false) {
    menus.OnClick(item, [&menus, &settings, item, key, apply, store_first] {
      bool checked = menus.Checked(item);
      if (store_first) settings.WriteBool("settings", key, checked);
      apply(checked);
      if (!store_first) settings.WriteBool("settings", key, checked);
    });
  };
  on_toggle("AlwaysOnTop", "OnTop",
            [&window](bool on) { window.SetTopMost(on); });
  on_toggle("ShowTrayIcon", "ShowTray",
            [&tray](bool on) { tray.SetIconVisible(on); });
  on_toggle("MinimizeToTray", "MinimizeToTray",
            [&context](bool) { ApplyMinimizeToTray(context); });
  on_toggle(
      "Taskbar1", "ShowTaskbar",
      [&window](bool on) { window.SetTaskbarButtonVisible(on); }, true);
  on_toggle("Vis", "VUmeter", [&context](bool) { ApplyLevelMeter(context); });
  on_toggle("Seekbar1", "Seekbar",
            [&window](bool on) { window.SetSeekbarVisible(on); });
  menus.OnClick("SlimMode",
                [&context, &state] { ApplySlimMode(context, state); });
}

void WireRadioGroups(Context& context) {
  MenuModel& menus = context.menus;
  SettingsStore& settings = context.settings;
  for (const TransparencyStep& step : kTransparencySteps) {
    menus.OnClick(step.item,
                  [&context, step] { ApplyTransparency(context, step); });
  }
  menus.OnClick("Trans100", [&context, &menus, &settings] {
    settings.WriteInt("settings", "Transparent", 100);
    context.platform.window.SetAlphaBlend(false, 255);
    menus.SetChecked("Trans100", true);
  });
  for (auto choice : {std::pair{"UP", true}, {"Down", false}}) {
    menus.OnClick(choice.first, [&menus, &settings, choice] {
      settings.WriteBool("settings", "TimeDisplay", choice.second);
      menus.SetChecked(choice.first, true);
    });
  }
  for (auto choice : {std::pair{"MinimizeKivoPlayer1", 1},
                      {"ExitKivoPlayer1", 2},
                      {"NoFunction1", 3}}) {
    menus.OnClick(choice.first, [&menus, &settings, choice] {
      menus.SetChecked(choice.first, true);
      settings.WriteInt("settings", "ESCKey", choice.second);
    });
  }
}

}  // namespace

std::string SlimCommandText(const std::string& slim_mode_text) {
  return slim_mode_text + "\tF8";
}

std::optional<TransparencyStep> TransparencyOf(long long percent) {
  for (const TransparencyStep& step : kTransparencySteps) {
    if (step.percent == percent) return step;
  }
  return std::nullopt;
}

void WireWindowModes(Context& context, PlayerState& state) {
  WireGeneral(context, state);
  WireRadioGroups(context);
  context.menus.OnClick("Close1", [&context] {
    // Only for this run: the stored option stays as it was.
    context.menus.SetChecked("CloseToTray1", false);
    context.platform.window.RequestClose();
  });
}

void ApplySlimMode(Context& context, PlayerState& state) {
  MainWindow& window = context.platform.window;
  if (window.ClientHeight() != 0) {
    state.saved_client_height = window.ClientHeight();
  }
  bool slim = context.menus.Checked("SlimMode");
  window.SetClientSize(window.ClientWidth(),
                       slim ? 0 : state.saved_client_height);
  context.settings.WriteBool("Settings", "SlimMode", slim);
  state.ui.slim_command_checked = slim;
  window.SetSlimModeCommand(
      SlimCommandText(context.Text("Options", "06", "Slim Mode")), slim);
}

void SlimModeCommand(Context& context, PlayerState& state) {
  bool slim = !state.ui.slim_command_checked;
  state.ui.slim_command_checked = slim;
  context.menus.SetChecked("SlimMode", slim);
  ApplySlimMode(context, state);
}

void ApplyTransparency(Context& context, const TransparencyStep& step) {
  context.settings.WriteInt("settings", "Transparent", step.percent);
  context.platform.window.SetAlphaBlend(true, step.alpha_0_255);
  context.menus.SetChecked(step.item, true);
}

void ApplyLevelMeter(Context& context) {
  bool on = context.menus.Checked("Vis");
  MainWindow& window = context.platform.window;
  context.platform.loop.SetTimerEnabled("VisTime", on);
  if (!on) window.SetLevels(0, 0);
  window.SetLevelBarsVisible(on);
}

void ApplyMinimizeToTray(Context& context) {
  // Whether a tray host is there is decided when the window is minimized: at
  // login the host often comes after the player.
  context.platform.tray.SetMinimizeToTray(
      context.menus.Checked("MinimizeToTray"));
}

void TrayToggle(Context& context, PlayerState& state) {
  MainWindow& window = context.platform.window;
  Tray& tray = context.platform.tray;
  bool to_tray = context.menus.Checked("MinimizeToTray") && tray.Available();
  if (state.window_hidden) {
    tray.ShowMainWindow();
    ApplyTaskbarButton(context);
    state.window_hidden = false;
    if (!to_tray) window.RestoreApplication();
  } else {
    if (to_tray) {
      tray.HideMainWindow();
    } else {
      window.MinimizeApplication();
    }
    state.window_hidden = true;
  }
  SelectPlayingLine(context, state);
  // An icon that only the close request showed goes away again.
  tray.SetIconVisible(context.menus.Checked("ShowTrayIcon"));
  ApplyLevelMeter(context);
}

void WindowFirstShown(Context& context) { ApplyTaskbarButton(context); }

void ApplicationRestored(Context& context, PlayerState& state) {
  state.window_hidden = false;
  SelectPlayingLine(context, state);
  ApplyTaskbarButton(context);
}

}  // namespace kivo
