#include "desktop/integrations/xdg_associations.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "desktop/integrations/mime_types.h"
#include "integrations/temp_dir.h"

namespace kivo::desktop {
namespace {

using kivo::testing::ReadWholeFile;
using kivo::testing::TempDir;
using kivo::testing::WriteWholeFile;

const std::string kOwnEntry = "kivo-player-associations.desktop";

constexpr const char* kUserList =
    "# chosen by hand\n"
    "[Added Associations]\n"
    "audio/mpeg=vlc.desktop;\n"
    "\n"
    "[Default Applications]\n"
    "text/plain=gedit.desktop\r\n"
    "audio/mpeg=previous-player.desktop\n"
    "image/png = eog.desktop\n"
    "\n"
    "[Removed Associations]\n"
    "video/mp4=totem.desktop;\n";

class XdgAssociationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", (dir_ / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    // No system MIME database: the player's own table answers.
    setenv("XDG_DATA_DIRS", (dir_ / "system").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (dir_ / "system-config").c_str(), 1);
    std::filesystem::create_directories(dir_ / "data/applications");
  }

  std::string ListPath() const { return dir_ / "config/mimeapps.list"; }
  std::string List() const { return ReadWholeFile(ListPath()); }
  std::string DesktopFile() const {
    return ReadWholeFile(dir_ / "data/applications/" + kOwnEntry);
  }
  bool On(const std::string& type) {
    return associations_.Register(type, &failed_);
  }
  bool Off(const std::string& type) {
    return associations_.Restore(type, &failed_);
  }

  TempDir dir_;
  XdgAssociations associations_{"/opt/kivo/kivo-player"};
  std::string failed_;
};

TEST_F(XdgAssociationsTest, OnNamesUsDefaultAndOffGivesBackTheFileAsItWas) {
  WriteWholeFile(ListPath(), kUserList);
  ASSERT_TRUE(On("MP3"));

  EXPECT_EQ(List(),
            "# chosen by hand\n"
            "[Added Associations]\n"
            "audio/mpeg=vlc.desktop;\n"
            "\n"
            "[Default Applications]\n"
            "text/plain=gedit.desktop\r\n"
            "audio/mpeg=kivo-player-associations.desktop\n"
            "image/png = eog.desktop\n"
            "\n"
            "[Removed Associations]\n"
            "video/mp4=totem.desktop;\n"
            "\n"
            "[X-Kivo Player Backup]\n"
            "audio/mpeg=previous-player.desktop\n"
            "\n"
            "[X-Kivo Player Types]\n"
            "audio/mpeg=MP3;\n");
  const std::string desktop = DesktopFile();
  for (const char* line :
       {"[Desktop Entry]\n", "\nType=Application\n", "\nName=Kivo Player\n",
        "\nExec=/opt/kivo/kivo-player %f\n", "\nIcon=kivo-player\n",
        "\nTerminal=false\n", "\nMimeType=audio/mpeg;\n"}) {
    EXPECT_NE(desktop.find(line), std::string::npos) << line;
  }

  ASSERT_TRUE(On("MP3")) << "an on for a type already ours";
  ASSERT_TRUE(Off("MP3"));
  EXPECT_EQ(List(), kUserList);
  EXPECT_FALSE(
      std::filesystem::exists(dir_ / "data/applications/" + kOwnEntry));
}

TEST_F(XdgAssociationsTest, OffForATypeNeverOnLeavesEverythingAlone) {
  ASSERT_TRUE(Off("FLAC"));
  EXPECT_FALSE(std::filesystem::exists(ListPath()));

  WriteWholeFile(ListPath(), kUserList);
  ASSERT_TRUE(Off("MP3"));
  ASSERT_TRUE(Off("OGG"));
  EXPECT_EQ(List(), kUserList);
}

TEST_F(XdgAssociationsTest, WithoutPreviousDefaultOffRemovesOurs) {
  ASSERT_TRUE(On("FLAC"));
  ASSERT_TRUE(On("M3U"));
  EXPECT_NE(DesktopFile().find("\nMimeType=audio/flac;audio/x-mpegurl;\n"),
            std::string::npos);
  ASSERT_TRUE(Off("FLAC"));
  EXPECT_EQ(List(),
            "[Default Applications]\n"
            "audio/x-mpegurl=kivo-player-associations.desktop\n"
            "\n"
            "[X-Kivo Player Backup]\n"
            "audio/x-mpegurl=\n"
            "\n"
            "[X-Kivo Player Types]\n"
            "audio/x-mpegurl=M3U;\n");
  EXPECT_NE(DesktopFile().find("\nMimeType=audio/x-mpegurl;\n"),
            std::string::npos);
}

TEST_F(XdgAssociationsTest, DefaultTakenByAnotherProgramSinceIsKept) {
  WriteWholeFile(ListPath(), "[Default Applications]\naudio/ogg=old.desktop\n");
  ASSERT_TRUE(On("OGG"));
  std::string list = List();
  const std::string ours = "audio/ogg=" + kOwnEntry;
  list.replace(list.find(ours), ours.size(), "audio/ogg=newer.desktop");
  WriteWholeFile(ListPath(), list);

  ASSERT_TRUE(Off("OGG"));
  EXPECT_EQ(List(), "[Default Applications]\naudio/ogg=newer.desktop\n");
}

TEST_F(XdgAssociationsTest, TypesSharingAMimeTypeGiveItBackWithTheLast) {
  WriteWholeFile(ListPath(),
                 "[Default Applications]\naudio/x-mod=tracker.desktop\n");
  ASSERT_TRUE(On("MOD"));
  ASSERT_TRUE(On("MTM"));
  ASSERT_TRUE(Off("UMX")) << "never on, shares the MIME type";
  ASSERT_TRUE(Off("MTM"));
  EXPECT_NE(List().find("audio/x-mod=" + kOwnEntry), std::string::npos);
  EXPECT_NE(DesktopFile().find("\nMimeType=audio/x-mod;\n"), std::string::npos);
  ASSERT_TRUE(Off("MOD"));
  EXPECT_EQ(List(), "[Default Applications]\naudio/x-mod=tracker.desktop\n");
}

TEST_F(XdgAssociationsTest, FailedWriteNamesTheValue) {
  // A file where the folder should be stops the write even for root.
  WriteWholeFile(dir_ / "blocked", "");
  setenv("XDG_CONFIG_HOME", (dir_ / "blocked").c_str(), 1);
  EXPECT_FALSE(On("MP3"));
  EXPECT_EQ(failed_, "audio/mpeg");

  setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir_ / "blocked").c_str(), 1);
  EXPECT_FALSE(On("WAV"));
  EXPECT_EQ(failed_, "MimeType");
  EXPECT_FALSE(std::filesystem::exists(ListPath())) << "nothing half done";
}

// The launcher a user-local install puts into $XDG_DATA_HOME/applications.
constexpr const char* kInstalledLauncher =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Kivo Player\n"
    "Comment=Play local music, tracker modules and internet radio\n"
    "Exec=kivo-player %F\n"
    "Icon=kivo-player\n"
    "Categories=AudioVideo;Audio;Player;\n"
    "MimeType=audio/mpeg;audio/flac;audio/ogg;\n"
    "Keywords=music;audio;radio;playlist;\n";

TEST_F(XdgAssociationsTest, TheInstalledLauncherIsNeverRewrittenOrRemoved) {
  const std::string launcher = dir_ / "data/applications/kivo-player.desktop";
  WriteWholeFile(launcher, kInstalledLauncher);
  ASSERT_TRUE(On("MP3"));
  ASSERT_TRUE(On("FLAC"));
  EXPECT_EQ(ReadWholeFile(launcher), kInstalledLauncher);
  EXPECT_NE(List().find("\naudio/mpeg=" + kOwnEntry + "\n"), std::string::npos)
      << List();
  const std::string own =
      ReadWholeFile(dir_ / "data/applications" + "/" + kOwnEntry);
  for (const char* line :
       {"\nName=Kivo Player\n", "\nExec=/opt/kivo/kivo-player %f\n",
        "\nNoDisplay=true\n", "\nMimeType=audio/mpeg;audio/flac;\n"}) {
    EXPECT_NE(own.find(line), std::string::npos) << line << own;
  }
  ASSERT_TRUE(Off("MP3"));
  ASSERT_TRUE(Off("FLAC"));
  EXPECT_EQ(ReadWholeFile(launcher), kInstalledLauncher);
  EXPECT_FALSE(
      std::filesystem::exists(dir_ / "data/applications/" + kOwnEntry));
}

TEST_F(XdgAssociationsTest, ASystemWideLauncherIsNotShadowed) {
  WriteWholeFile(dir_ / "system/applications/kivo-player.desktop",
                 kInstalledLauncher);
  ASSERT_TRUE(On("WAV"));
  EXPECT_FALSE(
      std::filesystem::exists(dir_ / "data/applications/kivo-player.desktop"));
}

// What an earlier version left: its types named the launcher itself.
TEST_F(XdgAssociationsTest, TypesTurnedOnByAnEarlierVersionGoBackWhole) {
  const std::string launcher = dir_ / "data/applications/kivo-player.desktop";
  WriteWholeFile(launcher, kInstalledLauncher);
  WriteWholeFile(ListPath(),
                 "[Default Applications]\n"
                 "audio/mpeg=kivo-player.desktop\n"
                 "\n"
                 "[X-Kivo Player Backup]\n"
                 "audio/mpeg=previous-player.desktop\n"
                 "\n"
                 "[X-Kivo Player Types]\n"
                 "audio/mpeg=MP3;\n");
  ASSERT_TRUE(On("MP3"));
  ASSERT_TRUE(Off("MP3"));
  EXPECT_EQ(List(),
            "[Default Applications]\n"
            "audio/mpeg=previous-player.desktop\n");
  EXPECT_EQ(ReadWholeFile(launcher), kInstalledLauncher);
}

// An extension several MIME types claim: each audio type is taken and given
// back; a video or an object file of the same extension is not ours.
TEST_F(XdgAssociationsTest, EveryAudioTypeOfTheExtensionIsTakenAndGivenBack) {
  WriteWholeFile(dir_ / "system/mime/globs2",
                 "50:audio/ogg:*.ogg\n50:video/ogg:*.ogg\n"
                 "50:audio/x-vorbis+ogg:*.ogg\n50:audio/x-speex+ogg:*.spx\n"
                 "50:audio/x-speex:*.spx\n"
                 "40:application/x-apple-systemprofiler+xml:*.spx\n");
  const std::string before =
      "[Default Applications]\n"
      "audio/ogg=first.desktop\n"
      "audio/x-vorbis+ogg=second.desktop\n"
      "video/ogg=video.desktop\n";
  WriteWholeFile(ListPath(), before);
  ASSERT_TRUE(On("OGG"));
  ASSERT_TRUE(On("SPX"));
  const std::string list = List();
  for (const char* type : {"audio/ogg", "audio/x-vorbis+ogg",
                           "audio/x-speex+ogg", "audio/x-speex"}) {
    EXPECT_NE(list.find(std::string("\n") + type + "=" + kOwnEntry + "\n"),
              std::string::npos)
        << type << "\n"
        << list;
  }
  EXPECT_NE(list.find("\nvideo/ogg=video.desktop\n"), std::string::npos);
  EXPECT_EQ(list.find("systemprofiler"), std::string::npos);
  ASSERT_TRUE(Off("SPX"));
  ASSERT_TRUE(Off("OGG"));
  EXPECT_EQ(List(), before);
}

// A folder nobody may write into, root included (root ignores the mode bits,
// not the immutable attribute).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) {
    std::filesystem::create_directories(path_);
    chmod(path_.c_str(), 0555);
    immutable_ =
        geteuid() == 0 &&
        std::system(("chattr +i " + path_ + " 2>/dev/null").c_str()) == 0;
  }
  ~ReadOnlyFolder() {
    if (immutable_) std::system(("chattr -i " + path_).c_str());
    chmod(path_.c_str(), 0755);
  }
  bool read_only() const { return geteuid() != 0 || immutable_; }

 private:
  std::string path_;
  bool immutable_ = false;
};

TEST_F(XdgAssociationsTest, ReadOnlyConfigFolderFails) {
  WriteWholeFile(ListPath(), kUserList);
  ReadOnlyFolder folder(dir_ / "config");
  if (!folder.read_only()) GTEST_SKIP() << "cannot make a read-only folder";
  EXPECT_FALSE(On("AIFF"));
  EXPECT_EQ(failed_, "audio/x-aiff");
  EXPECT_EQ(List(), kUserList);
}

std::string QueryDefault(const TempDir& dir, const std::string& mime_type,
                         const std::string& data_dirs = "") {
  const std::string command =
      "env -i PATH=/usr/bin:/bin HOME=" + (dir / "home") +
      " XDG_CONFIG_HOME=" + (dir / "config") +
      " XDG_DATA_HOME=" + (dir / "data") +
      " XDG_DATA_DIRS=" + (data_dirs.empty() ? dir / "system" : data_dirs) +
      " XDG_CONFIG_DIRS=" + (dir / "system-config") +
      " xdg-mime query default " + mime_type + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "(no xdg-mime)";
  std::array<char, 256> buffer{};
  std::string output;
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr)
    output += buffer.data();
  pclose(pipe);
  return output;
}

TEST(XdgMimeTest, XdgMimeSeesUsAfterOnAndThePreviousHandlerAfterOff) {
  if (system("command -v xdg-mime >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xdg-mime is not installed";
  }
  TempDir dir;
  setenv("HOME", (dir / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  setenv("XDG_DATA_DIRS", (dir / "system").c_str(), 1);
  // xdg-mime only names handlers whose program exists.
  WriteWholeFile(dir / "data/applications/previous-player.desktop",
                 "[Desktop Entry]\nType=Application\nName=Old\n"
                 "Exec=/bin/true %f\nMimeType=audio/mpeg;\n");
  WriteWholeFile(
      dir / "config/mimeapps.list",
      "[Default Applications]\naudio/mpeg=previous-player.desktop\n");
  ASSERT_EQ(QueryDefault(dir, "audio/mpeg"), "previous-player.desktop\n");

  XdgAssociations associations(std::filesystem::read_symlink("/proc/self/exe"));
  std::string failed;
  ASSERT_TRUE(associations.Register("MP3", &failed));
  EXPECT_EQ(QueryDefault(dir, "audio/mpeg"), kOwnEntry + "\n");
  ASSERT_TRUE(associations.Restore("MP3", &failed));
  EXPECT_EQ(QueryDefault(dir, "audio/mpeg"), "previous-player.desktop\n");
}

// The MIME type a desktop using shared-mime-info gives the file, from its
// content.
std::string ContentType(const std::string& path) {
  const std::string command =
      "env -i PATH=/usr/bin:/bin XDG_DATA_DIRS=/usr/share gio info -a "
      "standard::content-type " +
      path + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::array<char, 512> buffer{};
  std::string output;
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr)
    output += buffer.data();
  pclose(pipe);
  const std::string label = "standard::content-type: ";
  const size_t at = output.find(label);
  if (at == std::string::npos) return {};
  const size_t start = at + label.size();
  return output.substr(start, output.find('\n', start) - start);
}

TEST(XdgMimeTest, FilesOfEveryKindOpenWithUsAndGoBackAfterOff) {
  if (system(
          "command -v xdg-mime >/dev/null && command -v gio >/dev/null && "
          "command -v ffmpeg >/dev/null && test -f /usr/share/mime/globs2") !=
      0) {
    GTEST_SKIP() << "xdg-mime, gio, ffmpeg or the MIME database is missing";
  }
  TempDir dir;
  setenv("HOME", (dir / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  setenv("XDG_DATA_DIRS", "/usr/share", 1);
  struct Sample {
    const char* type_name;
    const char* file;
    const char* codec;
  };
  const Sample samples[] = {{"OGG", "vorbis.ogg", "libvorbis"},
                            {"OGG", "flac.ogg", "flac"},
                            {"SPX", "speex.spx", "libspeex"},
                            {"MP2", "layer2.mp2", "mp2"}};
  XdgAssociations associations(std::filesystem::read_symlink("/proc/self/exe"));
  std::string failed;
  std::string previous_list = "[Default Applications]\n";
  std::vector<std::string> detected;
  for (const Sample& sample : samples) {
    const std::string path = dir / sample.file;
    ASSERT_EQ(system(("ffmpeg -v error -y -f lavfi -i sine=duration=0.5 -ar "
                      "16000 -c:a " +
                      std::string(sample.codec) + " " + path)
                         .c_str()),
              0);
    detected.push_back(ContentType(path));
    ASSERT_FALSE(detected.back().empty()) << sample.file;
    previous_list += detected.back() + "=previous-player.desktop\n";
  }
  WriteWholeFile(dir / "data/applications/previous-player.desktop",
                 "[Desktop Entry]\nType=Application\nName=Old\n"
                 "Exec=/bin/true %f\n");
  WriteWholeFile(dir / "config/mimeapps.list", previous_list);
  for (const Sample& sample : samples) {
    ASSERT_TRUE(associations.Register(sample.type_name, &failed));
  }
  for (const std::string& type : detected) {
    EXPECT_EQ(QueryDefault(dir, type, "/usr/share"), kOwnEntry + "\n") << type;
  }
  for (const Sample& sample : samples) {
    ASSERT_TRUE(associations.Restore(sample.type_name, &failed));
  }
  for (const std::string& type : detected) {
    EXPECT_EQ(QueryDefault(dir, type, "/usr/share"),
              "previous-player.desktop\n")
        << type;
  }
}

TEST(MimeTypesTest, EveryAudioTypeOfTheGlobDatabaseElseThePlayersTable) {
  TempDir dir;
  WriteWholeFile(dir / "user/mime/globs2", "50:audio/x-user-mp3:*.mp3\n");
  WriteWholeFile(dir / "system/mime/globs2",
                 "# comment\n60:audio/x-heavy:*.MP3\n50:audio/x-light:*.mp3\n"
                 "50:audio/x-user-mp3:*.mp3\n40:application/x-object:*.mod\n"
                 "50:audio/x-exact:*.WV:cs\n");
  WriteWholeFile(dir / "old/mime/globs", "audio/x-old:*.ape\n");
  const std::vector<std::string> system_only{dir / "system", dir / "old"};
  using Types = std::vector<std::string>;

  EXPECT_EQ(MimeTypesForExtension(".mp3", {dir / "user", dir / "system"}),
            (Types{"audio/x-user-mp3", "audio/x-heavy", "audio/x-light"}));
  EXPECT_EQ(MimeTypesForExtension(".mod", system_only), Types{"audio/x-mod"})
      << "object files are not ours; the player's table answers";
  EXPECT_EQ(MimeTypesForExtension(".wv", system_only), Types{"audio/x-wavpack"})
      << "a case-sensitive glob does not match another case";
  EXPECT_EQ(MimeTypesForExtension(".ape", system_only), Types{"audio/x-old"});
  EXPECT_TRUE(MimeTypesForExtension(".kpp", system_only).empty());

  for (const char* extension :
       {".mp3", ".mp2", ".mp1", ".ogg",  ".wma", ".flac", ".wav",
        ".m4a", ".aac", ".cda", ".it",   ".xm",  ".s3m",  ".mtm",
        ".umx", ".mo3", ".mod", ".aiff", ".ac3", ".ape",  ".mpc",
        ".ofr", ".spx", ".tta", ".wv",   ".m3u", ".pls"}) {
    EXPECT_FALSE(MimeTypesForExtension(extension, {}).empty()) << extension;
  }
}

TEST(DesktopExecLineTest, QuotesAndEscapesReservedCharacters) {
  EXPECT_EQ(DesktopExecLine("/usr/bin/kivo-player"), "/usr/bin/kivo-player %f");
  EXPECT_EQ(DesktopExecLine("/opt/My Player/kivo"),
            "\"/opt/My Player/kivo\" %f");
  EXPECT_EQ(DesktopExecLine("/opt/a$b\\c"), "\"/opt/a\\\\$b\\\\\\\\c\" %f");
  EXPECT_EQ(DesktopExecLine("/opt/100%/kivo"), "/opt/100%%/kivo %f");
}

}  // namespace
}  // namespace kivo::desktop
