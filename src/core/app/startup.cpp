#include <cstdio>
#include <string>
#include <vector>

#include "core/app/expand_argument.h"
#include "core/app/player.h"
#include "core/integrations/now_playing_notice.h"
#include "core/playback/time_display.h"
#include "core/playlist/autosave.h"
#include "core/playlist/entry_names.h"
#include "core/ui/about.h"
#include "core/ui/option_restore.h"
#include "core/util/atomic_file.h"
#include "core/util/text.h"

namespace kivo {
namespace {

constexpr const char kDonationText[] =
    "Please support Kivo Player by donating a few \r\nbucks to the "
    "development of Kivo Player.\r\nAny amount is greatly appreciated!\r\n"
    "\r\nDo you want to make a donation right now?";

}  // namespace

bool Player::Startup(const std::vector<std::string>& arguments,
                     const std::string& cwd) {
  context_.menus.SetVisible("SortByABC", false);
  if (!context_.platform.tray.BalloonsSupported()) {
    context_.menus.SetEnabled("ShowBalloonHints1", false);
  }
  std::string queue;
  state_.submission_queue.clear();
  if (ReadWholeFile(context_.program_dir + "LastFM.Queue", &queue)) {
    state_.submission_queue = SplitLines(queue);
  }
  state_.playlist.playing_index = -1;
  if (!CheckAudioLibrary()) return false;
  HandleCommandLine(arguments, cwd);
  Guarded([&] { OptionRestore(context_, state_); });
  playlist_files_.RefreshLines();
  if (arguments.size() == 1) ResetSeekbar(context_, state_.playback);
  const PlaylistModel& model = state_.playlist;
  // The open of a command-line file may still be on its way: it is about to
  // play, and the desktop should hear of it now.
  bool playing = playback_.ChannelState() == AudioLibrary::kActivePlaying ||
                 playback_.OpenPending();
  if (playing && model.playing_index >= 0 &&
      model.playing_index < model.Count()) {
    SendNowPlaying(context_, model, model.Line(model.playing_index),
                   context_.menus.Checked("MSNSong1"));
  }
  AskForDonation();
  return true;
}

bool Player::CheckAudioLibrary() {
  AudioLibrary& audio = context_.platform.audio;
  auto fail = [&](const char* key, const char* text) {
    context_.ShowMessage(context_.Text("strings", key, text));
    context_.platform.tray.SetIconVisible(false);
    return false;
  };
  if ((audio.GetVersion() >> 16) != 0x0204) {
    return fail("01", "BASS version 2.4 not loaded!");
  }
  int device = static_cast<int>(
      context_.settings.ReadSettingInt("settings", "device", 1));
  if (!audio.Init(device, 44100, 0)) {
    return fail("02", "Can\xC2\xB4t initialize audio device");
  }
  audio.SetConfig(AudioLibrary::kConfigNetTimeout, 10000);
  audio.SetConfigPtr(AudioLibrary::kConfigNetAgent, std::string(kVersionText));
  return true;
}

void Player::HandleCommandLine(const std::vector<std::string>& arguments,
                               const std::string& cwd) {
  if (arguments.size() == 1 &&
      OpenArgument(ExpandArgument(arguments.front(), cwd))) {
    return;
  }
  Guarded([&] { RestorePlaylist(context_, state_.playlist, playlist_files_); });
  if (arguments.size() == 1) {
    // Said where it was typed; an empty list would soon be autosaved over
    // the remembered one.
    std::fprintf(stderr,
                 "kivo-player: not used: %s (no playlist, media file, "
                 "folder with media or stream address that could be "
                 "opened); the remembered playlist is restored\n",
                 arguments.front().c_str());
  } else if (arguments.size() > 1) {
    Guarded([&] {
      AddHandedFiles(BuildHandOffText(arguments, cwd), kHandOffSeparator);
    });
  }
}

bool Player::OpenArgument(const std::string& expanded) {
  bool used = false;
  Guarded([&] {
    std::string ext = ExtensionOf(expanded);
    // By the absolute path, so that LastPlayed names it from anywhere.
    if (ext == ".kpp" || ext == ".m3u" || ext == ".pls") {
      used = playlist_files_.LoadByExtension(expanded, false);
    } else if (IsSupportedMedia(expanded) || IsStreamAddress(expanded)) {
      state_.playlist.AppendEntry(expanded, std::string(), false);
      used = true;
    } else if (DirectoryExists(expanded)) {
      // A folder is its media, as Add Directory finds them.
      playlist_commands_.adder().AddDroppedPath(expanded);
      used = !state_.playlist.Empty();
      if (used) AutosavePlaylist(context_, state_.playlist);
    }
    if (!used) return;
    state_.playlist.playing_index = 0;
    playback_.PlayEntry();
  });
  return used;
}

void Player::AskForDonation() {
  Guarded([&] {
    if (context_.settings.ReadSettingInt("settings", "DonationMsg", 1) == 0) {
      return;
    }
    MessageResult answer = context_.platform.dialogs.MessageBox(
        kDonationText, "Donation", MessageIcon::kInformation,
        MessageButtons::kYesNo);
    if (answer == MessageResult::kYes) OpenDonationPage(context_);
    context_.settings.WriteSetting("settings", "DonationMsg", "0",
                                   SettingKind::kBoolean);
  });
}

void Player::AddHandedFiles(const std::string& text, char separator) {
  PlaylistModel& model = state_.playlist;
  size_t start = 0;
  size_t end;
  while ((end = text.find(separator, start)) != std::string::npos) {
    std::string piece = text.substr(start, end - start);
    start = end + 1;
    const int first_new = model.Count();
    if (IsSupportedMedia(piece) || IsStreamAddress(piece)) {
      model.AppendEntry(piece, BaseTitle(piece), false);
    } else if (DirectoryExists(piece)) {
      // A folder adds its media as a dropped one does; its first plays.
      playlist_commands_.adder().AddDroppedPath(piece);
    }
    if (model.Count() == first_new) continue;
    context_.platform.window.PlaylistChanged();
    model.playing_index = first_new;
    playback_.PlayEntry();
    AutosavePlaylist(context_, model);
  }
}

}  // namespace kivo
