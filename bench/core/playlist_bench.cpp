// Playlist operations at 100,000 entries. Every figure is printed beside a
// peer doing the bare work on the same data in the same run, as a ratio.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/ini/ini_file.h"
#include "core/playlist/entry_checks.h"
#include "core/playlist/folder_scan.h"
#include "core/playlist/kpp_format.h"
#include "core/playlist/m3u_format.h"
#include "core/playlist/playlist_model.h"
#include "core/playlist/pls_format.h"
#include "core/playlist/search_window.h"
#include "core/util/atomic_file.h"

namespace kivo {
namespace {

constexpr int kEntries = 100000;
constexpr int kFolderFiles = 50000;

// Best of a few runs, in milliseconds.
double TimeMs(const std::function<void()>& work, int runs = 5) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void Report(const char* what, double ms, const char* peer, double peer_ms) {
  std::printf("%-44s %9.2f ms   %-28s %9.2f ms   ratio %6.2f\n", what, ms, peer,
              peer_ms, ms / std::max(peer_ms, 1e-6));
}

std::string ReadPlain(const std::string& path) {
  std::string data;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      data.append(buffer, got);
    }
    std::fclose(file);
  }
  return data;
}

void WritePlain(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fflush(file);
  ::fsync(::fileno(file));
  std::fclose(file);
}

struct Bench {
  std::string dir;
  std::vector<std::string> locations;  // half of them exist
  PlaylistModel model;

  Bench() {
    char pattern[] = "/tmp/kivo-bench-XXXXXX";
    dir = std::string(::mkdtemp(pattern)) + "/";
    std::filesystem::create_directories(dir + "music");
    for (int i = 0; i < kEntries; ++i) {
      std::string name = "music/Artist " + std::to_string(i % 700) +
                         " - Track " + std::to_string(i) + ".mp3";
      if (i % 2 == 0 && i < 2 * kFolderFiles) {
        WritePlain(dir + name, "");
      }
      locations.push_back(dir + name);
    }
  }
  ~Bench() {
    std::error_code error;
    std::filesystem::remove_all(dir, error);
  }

  void Append() {
    double ms = TimeMs([&] {
      PlaylistModel fresh;
      for (const std::string& location : locations) {
        fresh.AppendEntry(location, location, true);
      }
    });
    double peer = TimeMs([&] {
      std::vector<std::string> a, b, c;
      for (const std::string& location : locations) {
        a.push_back(location);
        b.push_back(location);
        c.push_back(location);
      }
    });
    Report("append 100k entries", ms, "three push_backs", peer);
    for (const std::string& location : locations) {
      model.AppendEntry(location, "", true);
    }
  }

  void Refresh() {
    double ms = TimeMs(
        [&] {
          model.MarkAllUnchecked("Error");
          FinishEntryChecks(model);
        },
        3);
    double peer = TimeMs(
        [&] {
          struct stat info {};
          int found = 0;
          for (const std::string& location : locations) {
            found += ::stat(location.c_str(), &info) == 0;
          }
          if (found < 0) std::puts("");
        },
        3);
    Report("file check on the spot, half existing", ms, "bare stat() loop",
           peer);
  }

  void AutosaveAndRestore() {
    std::string path = dir + "temp.tmp";
    double ms = TimeMs(
        [&] { WriteFileAtomically(path, FormatKpp(model.file_list)); }, 3);
    std::string bytes = FormatKpp(model.file_list);
    double peer = TimeMs([&] { WritePlain(dir + "plain.tmp", bytes); }, 3);
    Report("autosave (KPP, atomic)", ms, "fwrite+fsync same bytes", peer);

    double load_ms = TimeMs([&] {
      LocationList read;
      ReadKppFile(path, &read, nullptr);
      PlaylistModel restored;
      restored.ReplaceLocations(std::move(read));
    });
    double read_ms = TimeMs([&] { ReadPlain(path); });
    Report("restore (KPP read+parse+fill)", load_ms, "plain read", read_ms);
  }

  void M3uAndPls() {
    std::string m3u = dir + "list.m3u";
    WritePlain(m3u,
               FormatM3u(model.file_list,
                         std::vector<long long>(model.file_list.size(), 200)));
    double ms = TimeMs([&] {
      std::string content;
      ReadWholeFile(m3u, &content);
      ParseM3u(content);
    });
    Report("M3U load (read+parse)", ms, "plain read",
           TimeMs([&] { ReadPlain(m3u); }));

    std::vector<long long> lengths(model.file_list.size(), 200);
    std::string pls = dir + "list.pls";
    auto write_pls = [&] {
      IniFile file(pls);
      IniDocument ini = file.Load();
      WritePls(&ini, model.file_list, lengths);
      file.Store(ini);
    };
    double new_ms = TimeMs(
        [&] {
          std::remove(pls.c_str());
          write_pls();
        },
        3);
    write_pls();
    double over_ms = TimeMs(write_pls, 3);
    Report("PLS write over an existing 100k PLS", over_ms,
           "PLS write to a new file", new_ms);
    double load_ms = TimeMs([&] {
      std::string content;
      ReadWholeFile(pls, &content);
      ParsePls(content, "");
    });
    Report("PLS load (read+parse)", load_ms, "plain read",
           TimeMs([&] { ReadPlain(pls); }));
  }

  void Search() {
    std::vector<std::string> lines;
    for (const std::string& location : locations) {
      lines.push_back(location.substr(dir.size() + 6));
    }
    double ms = TimeMs([&] { MatchingLines(lines, "track 4"); });
    double peer = TimeMs([&] {
      std::vector<int> hits;
      for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("Track 4") != std::string::npos) {
          hits.push_back(static_cast<int>(i));
        }
      }
    });
    Report("search filter, one keystroke", ms, "case-exact find loop", peer);
  }

  void MusicFolderRefresh() {
    // The folder holds 50,000 files; the playlist already holds them all.
    PlaylistModel known;
    for (int i = 0; i < 2 * kFolderFiles; i += 2) {
      known.AppendEntry(locations[i], "", true);
    }
    std::string folder = dir + "music";
    double ms = TimeMs(
        [&] {
          PlaylistModel copy = known;
          FolderScan(copy, true).Scan(folder);
          if (copy.Count() != kFolderFiles) std::puts("scan added entries!");
        },
        3);
    double peer = TimeMs(
        [&] {
          DIR* listing = ::opendir(folder.c_str());
          int count = 0;
          while (const dirent* entry = ::readdir(listing)) {
            count += entry->d_name[0] != '.';
          }
          ::closedir(listing);
          if (count != kFolderFiles) std::puts("odd folder");
        },
        3);
    Report("Refresh: 50k files against 50k entries", ms, "bare readdir loop",
           peer);
  }
};

}  // namespace
}  // namespace kivo

int main() {
  std::printf("playlist at %d entries (best of several runs)\n",
              kivo::kEntries);
  kivo::Bench bench;
  bench.Append();
  bench.Refresh();
  bench.AutosaveAndRestore();
  bench.M3uAndPls();
  bench.Search();
  bench.MusicFolderRefresh();
  return 0;
}
