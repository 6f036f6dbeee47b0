#pragma once

#include <string>

#include "core/app/gated_event_loop.h"
#include "core/app/settings_store.h"
#include "core/app/shipped_folders.h"
#include "core/platform/associations.h"
#include "core/platform/audio_library.h"
#include "core/platform/desktop_services.h"
#include "core/platform/dialogs.h"
#include "core/platform/event_loop.h"
#include "core/platform/hotkey_service.h"
#include "core/platform/http_client.h"
#include "core/platform/main_window.h"
#include "core/platform/now_playing.h"
#include "core/platform/search_window.h"
#include "core/platform/tag_window.h"
#include "core/platform/tray.h"
#include "core/playlist/autosave_writer.h"
#include "core/ui/language.h"
#include "core/ui/menu_model.h"
#include "core/util/atomic_file.h"
#include "core/util/progress.h"

namespace kivo {

// The program's name: window caption, tray hint and message box caption.
constexpr char kPlayerName[] = "Kivo Player";

// The outside world, as the composition root hands it to the core.
struct Platform {
  AudioLibrary& audio;
  EventLoop& loop;
  MainWindow& window;
  Tray& tray;
  Dialogs& dialogs;
  DesktopServices& desktop;
  HttpClient& http;
  HotkeyService& hotkeys;
  NowPlaying& now_playing;
  Associations& associations;
  SearchWindowFactory& search_windows;
  TagWindow& tag_window;
};

// The same outside world with another event loop.
inline Platform WithLoop(const Platform& platform, EventLoop& loop) {
  return Platform{platform.audio,          loop,
                  platform.window,         platform.tray,
                  platform.dialogs,        platform.desktop,
                  platform.http,           platform.hotkeys,
                  platform.now_playing,    platform.associations,
                  platform.search_windows, platform.tag_window};
}

// What every subsystem of the core works with: the platform, the program
// folder, the settings, the language texts, the menus (which hold the
// options), the autosave writer and the gate that keeps work away from a long
// operation. The platform's loop posts through that gate.
struct Context {
  Context(const Platform& platform_in, const std::string& program_dir_in,
          const ShippedFolders& shipped_in = {})
      : gated_loop(platform_in.loop, work_gate),
        platform(WithLoop(platform_in, gated_loop)),
        program_dir(program_dir_in),
        shipped(shipped_in),
        settings(program_dir_in + "settings.ini"),
        language(program_dir_in, shipped_in.language, &settings),
        autosave(gated_loop, settings, program_dir_in + "temp.tmp",
                 [](const std::string& path, std::string_view content) {
                   return WriteFileAtomically(path, content);
                 }) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  std::string Text(const std::string& section, const std::string& key,
                   const std::string& fallback) const {
    return language.Text(section, key, fallback);
  }
  // A message box with the information icon and an OK button.
  void ShowMessage(const std::string& text) const {
    platform.dialogs.MessageBox(text, kPlayerName, MessageIcon::kInformation,
                                MessageButtons::kOk);
  }

  WorkGate work_gate;
  GatedEventLoop gated_loop;
  Platform platform;
  std::string program_dir;  // ends with "/"
  ShippedFolders shipped;
  SettingsStore settings;
  Language language;
  MenuModel menus;
  // Last: it flushes while the settings are still there.
  AutosaveWriter autosave;
};

}  // namespace kivo
