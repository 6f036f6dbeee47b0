#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ini/ini_file.h"
#include "core/ui/theme.h"

namespace kivo {
namespace {

// The shipped data folder. __FILE__ is relative in a build tree inside the
// sources, and ctest runs the tests from another folder.
std::string DataFile(const std::string& name) {
  return std::string(KIVO_DATA_DIR) + "/" + name;
}

struct LanguageSection {
  const char* section;
  std::vector<const char*> english;  // keys "01", "02", ...
};

// Every key a language file can hold, with its English text.
const std::vector<LanguageSection> kLanguageTable = {
    {"menu", {"Play",   "Pause",     "Resume",  "Stop",   "Previous",
              "Next",   "Record",    "Shuffle", "Add",    "Playlist",
              "Remove", "Options",   "History", "Repeat", "Repeat All",
              "Mode",   "No Repeat", "Tags",    "Search", "Queue"}},
    {"add", {"Add Media", "Add URL", "Add Directory"}},
    {"playlist", {"New Playlist", "Load Playlist", "Save Playlist"}},
    {"options",
     {"Always On Top",
      "Show Tray Icon",
      "Minimize To tray",
      "Show In Taskbar",
      "VU-Meter",
      "Slim Mode",
      "Time Display",
      "Transparency",
      "Audio Device",
      "Language",
      "Time Elapsed",
      "Time Remaining",
      "Disable",
      "Global Hotkeys",
      "Seekbar",
      "MSN Now Playing",
      "General",
      "Close To Tray",
      "Volume",
      "Up (5%)",
      "Down (5%)",
      "Plug-ins",
      "No Plug-ins",
      "History Menu",
      "Music Folder",
      "Open Folder",
      "Refresh",
      "File Association",
      "Select All",
      "Miscellaneous",
      "Sort Playlist",
      "Theme",
      "Clear History",
      "Minimize Kivo Player",
      "Exit Kivo Player",
      "No Function",
      "ESC Key Function",
      "Proxy",
      "Passive Mode FTP",
      "Remember Playlist",
      "Show Balloon Hints",
      "Last.FM"}},
    {"tray", {"Now Playing:", "Playback", "About", "Close", "Donate"}},
    {"strings",
     {"BASS version 2.4 not loaded!",
      "Can\xC2\xB4t initialize audio device",
      "Error",
      "Successfully Saved!",
      "All Supported Types",
      "All Files (*.*)",
      "Select a Directory",
      "Open URL",
      "Enter a URL to open here:",
      "Unable to add stream!",
      "(none)",
      "Translation by",
      "Empty",
      "Select Your Music Folder",
      "Unable to delete file!",
      "Proxy Settings",
      "Example: user:pass@server:port or server:port",
      "Last.fm Settings",
      "Username:",
      "Password:",
      "Modified by"}},
    {"Tags",
     {"File", "Tags", "Track #", "Title", "Artist", "Album", "Year", "Genre",
      "Comment"}},
};

std::string KeyOf(size_t index) {
  std::string key = std::to_string(index + 1);
  return key.size() == 1 ? "0" + key : key;
}

TEST(UiLanguageFilesTest, EnglishHoldsEveryKeyWithItsEnglishText) {
  IniDocument english = IniFile(DataFile("language/English.lng")).Load();
  for (const LanguageSection& section : kLanguageTable) {
    for (size_t i = 0; i < section.english.size(); ++i) {
      auto value = english.Get(section.section, KeyOf(i));
      ASSERT_TRUE(value) << section.section << "/" << KeyOf(i) << " missing";
      EXPECT_EQ(*value, section.english[i])
          << section.section << "/" << KeyOf(i);
    }
  }
  EXPECT_FALSE(english.GetText("Kivo.Info", "Author", "").empty());
}

TEST(UiLanguageFilesTest, TranslationsAreCompleteAndCredited) {
  for (const char* name : {"German", "French"}) {
    IniDocument file =
        IniFile(DataFile("language/" + std::string(name) + ".lng")).Load();
    for (const LanguageSection& section : kLanguageTable) {
      for (size_t i = 0; i < section.english.size(); ++i) {
        auto value = file.Get(section.section, KeyOf(i));
        EXPECT_TRUE(value && !value->empty())
            << name << " lacks " << section.section << "/" << KeyOf(i);
      }
    }
    EXPECT_FALSE(file.GetText("Kivo.Info", "Translator", "").empty()) << name;
  }
}

TEST(UiLanguageFilesTest, ShippedThemesReadWithoutError) {
  for (const char* name : {"Default", "Light", "High Contrast", "Dark Blue"}) {
    IniDocument theme =
        IniFile(DataFile("Theme/" + std::string(name) + ".ini")).Load();
    ASSERT_TRUE(theme.HasSection("Theme")) << name;
    ThemeLooks looks;
    ThemeColors colors;
    EXPECT_EQ(ReadTheme(theme, &looks, &colors), std::nullopt) << name;
  }
}

}  // namespace
}  // namespace kivo
