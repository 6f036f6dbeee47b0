#include "core/playlist/playlist_files.h"

#include "core/ini/ini_file.h"
#include "core/playlist/entry_checks.h"
#include "core/playlist/entry_names.h"
#include "core/playlist/kpp_format.h"
#include "core/playlist/length_probe.h"
#include "core/playlist/m3u_format.h"
#include "core/playlist/pls_format.h"
#include "core/util/atomic_file.h"
#include "core/util/progress.h"

namespace kivo {

bool PlaylistFiles::ReadOrReport(const std::string& path,
                                 std::string* content) {
  std::string reason;
  if (ReadWholeFile(path, content, &reason)) return true;
  ReportUnreadable(path, reason);
  return false;
}

void PlaylistFiles::ReportUnreadable(const std::string& path,
                                     const std::string& reason) {
  context_.ShowMessage("Cannot open file \"" + path + "\". " + reason);
}

bool PlaylistFiles::WriteOrReport(const std::string& path,
                                  const std::string& content) {
  std::string reason;
  if (WriteFileAtomically(path, content, 0644, &reason)) return true;
  context_.ShowMessage("Cannot create file \"" + path + "\". " + reason);
  return false;
}

bool PlaylistFiles::LoadKpp(const std::string& path) {
  LocationList locations;
  std::string reason;
  if (!ReadKppFile(path, &locations, &reason)) {
    ReportUnreadable(path, reason);
    return false;
  }
  ReplaceWith(std::move(locations), path);
  return true;
}

bool PlaylistFiles::LoadM3u(const std::string& path) {
  std::string content;
  if (!ReadOrReport(path, &content)) return false;
  ReplaceWith(ParseM3u(content), path);
  return true;
}

bool PlaylistFiles::LoadPls(const std::string& path) {
  std::string content;
  ReadWholeFile(path, &content);  // unreadable: no entries
  LocationList locations;
  for (const PlsEntry& entry : ParsePls(content, "")) {
    locations.push_back(entry.file);
  }
  ReplaceWith(std::move(locations), path);
  return true;
}

bool PlaylistFiles::SaveKpp(const std::string& path) {
  if (!WriteOrReport(path, FormatKpp(model_.file_list))) return false;
  context_.settings.WriteText("settings", "LastPlayed", path);
  return true;
}

bool PlaylistFiles::SaveM3u(const std::string& path) {
  std::string content = FormatM3u(model_.file_list, MeasureLengths());
  if (!WriteOrReport(path, content)) return false;
  context_.settings.WriteText("settings", "LastPlayed", path);
  return true;
}

bool PlaylistFiles::SavePls(const std::string& path) {
  // One read and one write however long the list: the keys of an existing
  // file are replaced in place and its other lines kept.
  IniFile file(path);
  IniDocument ini = file.Load();
  WritePls(&ini, model_.file_list, MeasureLengths());
  if (!file.Store(ini)) {
    context_.ShowMessage("Unable to write to " + path);
    return false;
  }
  context_.settings.WriteText("settings", "LastPlayed", path);
  return true;
}

std::vector<long long> PlaylistFiles::MeasureLengths() const {
  std::vector<long long> lengths;
  lengths.reserve(model_.file_list.size());
  Progress progress(context_.platform.dialogs, context_.work_gate,
                    "Measuring the playlist", model_.Count());
  for (std::string_view location : model_.file_list) {
    lengths.push_back(
        MeasureLengthSeconds(context_.platform.audio, std::string(location)));
    progress.Step();
  }
  return lengths;
}

bool PlaylistFiles::LoadByExtension(const std::string& path, bool accept_tmp) {
  std::string ext = ExtensionOf(path);
  if (ext == ".kpp" || (accept_tmp && ext == ".tmp")) return LoadKpp(path);
  if (ext == ".m3u") return LoadM3u(path);
  if (ext == ".pls") return LoadPls(path);
  return false;
}

void PlaylistFiles::ReplaceWith(LocationList locations,
                                const std::string& path) {
  model_.ReplaceLocations(std::move(locations));
  model_.playing_index = -1;
  // The old selection would name a line of the new list the user never
  // picked, for Delete, Queue and Enter.
  context_.platform.window.SelectLine(-1);
  RefreshLines();
  // Last: a settings file that cannot be written abandons the command with
  // the new list whole.
  context_.settings.WriteText("settings", "LastPlayed", path);
}

void PlaylistFiles::RefreshLines() {
  model_.MarkAllUnchecked(context_.Text("strings", "03", "Error"));
  CheckEntryFiles(context_, model_);
  context_.platform.window.PlaylistChanged();
}

}  // namespace kivo
