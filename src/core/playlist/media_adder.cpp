#include "core/playlist/media_adder.h"

#include <cstdio>

#include "core/playlist/autosave.h"
#include "core/playlist/entry_names.h"
#include "core/playlist/folder_scan.h"
#include "core/playlist/playlist_files.h"
#include "core/playlist/pls_format.h"
#include "core/util/atomic_file.h"

namespace kivo {
namespace {

constexpr char kMediaPatterns[] =
    "|*.mp3;*.mp2;*.mp1;*.ogg;*.wma;*.flac;*.wav;*.m4a;*.m4p;*.m4v;*.aac;*.xm;"
    "*.it;*.s3m;*.mod;*.mtm;*.umx;*.mo3;*.aif;*.iff;*.aiff;*.ac3;*.ape;*.mpc;"
    "*.ofr;*.spx;*.tta;*.wv;*.wvc;*.fla;*.opus;*.oga;|";

}  // namespace

void MediaAdder::Autosave() {
  context_.platform.window.PlaylistChanged();
  AutosavePlaylist(context_, model_);
}

void MediaAdder::AddMediaClick() {
  std::string filter =
      context_.Text("strings", "05", "All Supported Types") + kMediaPatterns +
      context_.Text("strings", "06", "All Files (*.*)") + "|*.*";
  std::vector<std::string> chosen = context_.platform.dialogs.OpenFiles(
      context_.Text("add", "01", "Add Media"), filter, true);
  if (chosen.empty()) return;
  bool was_empty = model_.Empty();
  for (const std::string& path : chosen) {
    model_.AppendEntry(path, was_empty ? std::string() : BaseTitle(path), true);
  }
  Autosave();
  if (was_empty) PlaylistFiles(context_, model_).RefreshLines();
}

bool MediaAdder::ScanWithProgress(const std::string& folder, bool skip_known) {
  Progress progress(context_.platform.dialogs, context_.work_gate,
                    "Scanning " + folder, 0);
  return FolderScan(model_, skip_known, &progress).Scan(folder);
}

void MediaAdder::AddDirectoryClick() {
  std::string folder = context_.platform.dialogs.PickFolder(
      context_.Text("strings", "07", "Select a Directory"));
  if (folder.empty()) return;
  ScanWithProgress(folder, false);
  Autosave();
}

void MediaAdder::AddUrlClick() {
  std::string text = context_.platform.dialogs.InputBox(
      context_.Text("strings", "08", "Open URL"),
      context_.Text("strings", "09", "Enter a URL to open here:"), "");
  if (!text.empty()) {
    // Only the exact ".pls" is fetched; ".PLS" is an ordinary address.
    if (ExtensionOf(text) == ".pls") {
      AddFetchedPls(text);
    } else {
      AddStreamAddress(text);
    }
  }
  Autosave();
}

void MediaAdder::AddStreamAddress(const std::string& address) {
  model_.AppendEntry(address, address, false);
}

void MediaAdder::AddFetchedPls(const std::string& address) {
  const std::string temp = context_.program_dir + "URL.tmp";
  std::string content;
  bool fetched = context_.platform.desktop.DownloadToFile(address, temp) &&
                 ReadWholeFile(temp, &content);
  std::remove(temp.c_str());
  if (!fetched) {
    context_.ShowMessage(
        context_.Text("strings", "10", "Unable to add stream!"));
    return;
  }
  for (PlsEntry& entry : ParsePls(content, "File Not Found")) {
    model_.AppendEntry(entry.file, entry.title, false);
  }
}

void MediaAdder::DroppedFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) AddDroppedPath(path);
  Autosave();
}

void MediaAdder::AddDroppedPath(const std::string& path) {
  if (ScanWithProgress(path, false)) return;
  if (IsSupportedMedia(path)) model_.AppendEntry(path, BaseTitle(path), true);
}

void MediaAdder::OpenFolder1Click() {
  std::string folder = context_.platform.dialogs.PickFolder(
      context_.Text("strings", "14", "Select Your Music Folder"));
  if (folder.empty()) return;
  ScanWithProgress(folder, true);
  context_.settings.WriteText("settings", "MusicFolder", folder);
  Autosave();
}

void MediaAdder::Refresh1Click() {
  std::string folder =
      context_.settings.ReadSettingText("settings", "MusicFolder", "");
  if (folder.empty() || !DirectoryExists(folder)) return;
  ScanWithProgress(folder, true);
  Autosave();
}

}  // namespace kivo
