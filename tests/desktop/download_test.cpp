#include "desktop/shell/download.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "desktop/shell/qt_desktop_services.h"
#include "support/loopback_http_server.h"

namespace kivo::desktop {
namespace {

using loopback::HttpReply;
using loopback::LoopbackHttpServer;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

constexpr char kPls[] =
    "[playlist]\r\nNumberOfEntries=1\r\nFile1=http://radio/live\r\n";

TEST(DownloadTest, FetchesFollowingRedirectsAndFailsOnHttpErrors) {
  LoopbackHttpServer server(4);
  server.Route("/list.pls", HttpReply("200 OK", kPls));
  server.Route("/moved", HttpReply("302 Found", "", "Location: /list.pls\r\n"));
  server.Route("/missing", HttpReply("404 Not Found", ""));
  ASSERT_NE(server.port(), 0);
  QTemporaryDir folder;
  const std::string target =
      folder.filePath(QStringLiteral("URL.tmp")).toStdString();

  EXPECT_TRUE(DownloadUrlToFile(server.Url("/list.pls"), target));
  EXPECT_EQ(ReadFile(target), kPls);

  std::ofstream(target, std::ios::binary) << "old";
  EXPECT_TRUE(DownloadUrlToFile(server.Url("/moved"), target));
  EXPECT_EQ(ReadFile(target), kPls);

  std::ofstream(target, std::ios::binary) << "old";
  EXPECT_FALSE(DownloadUrlToFile(server.Url("/missing"), target));
  EXPECT_EQ(ReadFile(target), "old");  // a failure leaves the file as it was
  // No temporary files are left behind.
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST(DownloadTest, UnreachableOrUnsupportedAddressesFail) {
  QTemporaryDir folder;
  const std::string target = folder.filePath(QStringLiteral("x")).toStdString();
  EXPECT_FALSE(DownloadUrlToFile("file:///etc/passwd", target));
  EXPECT_FALSE(DownloadUrlToFile("", target));
  EXPECT_FALSE(DownloadUrlToFile("http://127.0.0.1:1/none", target));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
}

TEST(DesktopServicesTest, OnlyExistingFilesGoToTheTrash) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME",
          (home.path() + QStringLiteral("/data")).toLocal8Bit());
  QDir(home.path()).mkdir(QStringLiteral("data"));
  const QString file = home.filePath(QStringLiteral("song.mp3"));
  std::ofstream(file.toStdString()) << "tone";
  QtDesktopServices services;
  EXPECT_FALSE(services.MoveToTrash("http://radio/live"));
  EXPECT_FALSE(services.MoveToTrash(home.path().toStdString()));
  EXPECT_FALSE(services.MoveToTrash(file.toStdString() + ".missing"));
  EXPECT_TRUE(services.MoveToTrash(file.toStdString()));
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_TRUE(QFile::exists(home.path() +
                            QStringLiteral("/data/Trash/files/song.mp3")));
}

}  // namespace
}  // namespace kivo::desktop
