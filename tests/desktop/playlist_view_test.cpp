#include "desktop/shell/playlist_view.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "desktop/fake_shell.h"
#include "desktop/menu_test_util.h"
#include "desktop/shell/drop_paths.h"

namespace kivo::desktop {
namespace {

using testing::FakePlaylistSource;
using testing::FakeShellEvents;

struct Ink {
  int pixels = 0;  // pixels that are not the brush
  int first_column = -1;
  QColor strongest;  // the inked pixel farthest from the brush
};

Ink RenderLine(const FakePlaylistSource& source, LineStyle style,
               QImage* image) {
  FakePlaylistSource styled = source;
  styled.style = style;
  PlaylistModel model;
  model.SetSource(&styled);
  LineDelegate delegate(&model);
  delegate.SetLook(QFont(QStringLiteral("DejaVu Sans"), 10), 16);
  image->fill(Qt::magenta);
  {
    QPainter painter(image);
    QStyleOptionViewItem option;
    option.rect = image->rect();
    option.state = QStyle::State_Enabled;
    delegate.paint(&painter, option, model.index(0));
  }
  const QRgb brush = image->pixel(image->width() - 1, image->height() / 2);
  Ink ink;
  int best_distance = -1;
  for (int x = 0; x < image->width(); ++x) {
    for (int y = 1; y < image->height() - 1; ++y) {
      const QRgb pixel = image->pixel(x, y);
      if (pixel == brush) continue;
      ++ink.pixels;
      if (ink.first_column < 0) ink.first_column = x;
      const int distance = std::abs(qRed(pixel) - qRed(brush)) +
                           std::abs(qGreen(pixel) - qGreen(brush)) +
                           std::abs(qBlue(pixel) - qBlue(brush));
      if (distance > best_distance) {
        best_distance = distance;
        ink.strongest = QColor(pixel);
      }
    }
  }
  return ink;
}

TEST(LineDelegateTest, DrawsTheCoresBrushTextColourAndWeight) {
  FakePlaylistSource source;
  source.lines = {"MMMM Kivo"};
  QImage image(200, 16, QImage::Format_RGB32);
  // 0x00BBGGRR: a red brush and blue text.
  const Ink regular =
      RenderLine(source, {0x0000FF, 0xFF0000, false, false}, &image);
  EXPECT_EQ(QColor(image.pixel(199, 8)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(199, 0)), QColor(255, 0, 0));
  EXPECT_GT(regular.strongest.blue(), 200);
  EXPECT_LT(regular.strongest.red(), 60);
  EXPECT_LE(regular.first_column, 2);  // no margin before the text

  const Ink bold =
      RenderLine(source, {0x0000FF, 0xFF0000, true, false}, &image);
  EXPECT_GT(bold.pixels, regular.pixels * 11 / 10);
}

TEST(LineDelegateTest, FocusRectangleOnlyWhenAsked) {
  FakePlaylistSource source;
  source.lines = {""};
  QImage image(100, 16, QImage::Format_RGB32);
  auto top_row_inverted = [&image] {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
      if (QColor(image.pixel(x, 0)) == QColor(255, 255, 255)) ++count;
    }
    return count;
  };
  RenderLine(source, {0x000000, 0x00FF00, false, false}, &image);
  EXPECT_EQ(top_row_inverted(), 0);
  RenderLine(source, {0x000000, 0x00FF00, false, true}, &image);
  EXPECT_GT(top_row_inverted(), 10);
}

TEST(DropPathsTest, FileUrlsDecodeToTheirBytes) {
  const std::vector<std::string> paths = LocalPathsOfUriList(
      "# from a file manager\r\n"
      "file:///music/caf%E9.mp3\r\n"
      "file://localhost/music/a%20b.ogg\r\n"
      "file://elsewhere.example/music/c.mp3\r\n"
      "http://host/stream\r\n"
      "file:///music/x%23y.flac");
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(paths[0], "/music/caf\xE9.mp3");
  EXPECT_EQ(paths[1], "/music/a b.ogg");
  EXPECT_EQ(paths[2], "/music/x#y.flac");
}

class PlaylistViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_.lines = {"zero", "one", "two", "three"};
    view_.SetSource(&source_);
    view_.SetEvents(&events_);
    PlaylistLook look;
    look.line_height = 20;
    view_.SetLook(look);
    view_.resize(200, 200);
    view_.show();
  }

  QPoint LinePoint(int line) const { return {5, line * 20 + 10}; }

  void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button,
             Qt::MouseButtons held) {
    QMouseEvent event(type, pos, view_.viewport()->mapToGlobal(pos), button,
                      held, Qt::NoModifier);
    QCoreApplication::sendEvent(view_.viewport(), &event);
  }

  FakeShellEvents events_;
  FakePlaylistSource source_;
  PlaylistView view_;
};

TEST_F(PlaylistViewTest, RowsFollowTheSourceAndKeepTheSelection) {
  EXPECT_EQ(view_.visualRect(view_.model()->index(0, 0)).height(), 20);
  view_.SelectLine(2);
  source_.lines.push_back("four");
  view_.Refresh();
  EXPECT_EQ(view_.model()->rowCount(), 5);
  EXPECT_EQ(view_.SelectedLine(), 2);
  // Removed lines may take the selection with them, as in a list box.
  source_.lines.resize(2);
  view_.Refresh();
  EXPECT_EQ(view_.model()->rowCount(), 2);
  EXPECT_EQ(view_.SelectedLine(), -1);
  view_.SelectLine(1);
  view_.SelectLine(-1);
  EXPECT_EQ(view_.SelectedLine(), -1);
}

TEST_F(PlaylistViewTest, TheSelectedBrushSpansTheWholeRow) {
  PlaylistLook look;
  look.line_height = 20;
  look.background = 0x808080;
  view_.SetLook(look);
  view_.SelectLine(1);
  const QImage image = view_.viewport()->grab().toImage();
  const int right = image.width() - 1;
  EXPECT_EQ(QColor(image.pixel(right, 30)), QColor(0x0A, 0x24, 0x6A));
  EXPECT_EQ(QColor(image.pixel(right, 10)), QColor(0, 0, 0));
  // Below the last line the list's background shows.
  EXPECT_EQ(QColor(image.pixel(right, 150)), QColor(0x80, 0x80, 0x80));
}

TEST_F(PlaylistViewTest, AHundredThousandLinesAreVirtual) {
  source_.lines.assign(100000, "line");
  view_.Refresh();
  EXPECT_EQ(view_.model()->rowCount(), 100000);
  view_.SelectLine(99999);
  EXPECT_EQ(view_.SelectedLine(), 99999);
  EXPECT_EQ(view_.visualRect(view_.model()->index(99999, 0)).height(), 20);
}

TEST_F(PlaylistViewTest, RightClickReportsTheLineAndOpensTheCoresMenu) {
  testing::AddMenuItem(&events_.playlist_menu, "Play", "&Play");
  testing::AddMenuItem(&events_.playlist_menu, "Stop", "Stop");
  view_.SelectLine(0);
  Mouse(QEvent::MouseButtonPress, LinePoint(2), Qt::RightButton,
        Qt::RightButton);
  ASSERT_EQ(events_.mouse_downs.size(), 1u);
  EXPECT_EQ(events_.mouse_downs[0].first, MouseButton::kRight);
  EXPECT_EQ(events_.mouse_downs[0].second, 2);
  EXPECT_EQ(view_.SelectedLine(), 0);  // selecting is the core's decision

  testing::ChooseInNextPopup("Stop");
  QContextMenuEvent menu_event(QContextMenuEvent::Mouse, LinePoint(2),
                               view_.viewport()->mapToGlobal(LinePoint(2)));
  QCoreApplication::sendEvent(view_.viewport(), &menu_event);
  EXPECT_EQ(events_.log,
            (std::vector<std::string>{"PlaylistMenuPopup", "Clicked Stop"}));
}

TEST_F(PlaylistViewTest, LeftDragReportsLinesAndLeavesSelectionToTheCore) {
  Mouse(QEvent::MouseButtonPress, LinePoint(0), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(view_.SelectedLine(), 0);
  Mouse(QEvent::MouseMove, LinePoint(1), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(view_.SelectedLine(), 0);  // the list does not follow by itself
  events_.on_drag_over = [this](int line) {
    if (line >= 0) view_.SelectLine(line);  // as the core's reorder does
  };
  Mouse(QEvent::MouseMove, LinePoint(3), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, QPoint(5, 190), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(5, 190), Qt::LeftButton,
        Qt::NoButton);
  EXPECT_EQ(events_.drag_overs, (std::vector<int>{1, 3, -1}));
  EXPECT_EQ(view_.SelectedLine(), 3);
  // After the release, moving reports nothing.
  Mouse(QEvent::MouseMove, LinePoint(1), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(events_.drag_overs.size(), 3u);
}

TEST_F(PlaylistViewTest, DoubleClickIsReported) {
  Mouse(QEvent::MouseButtonPress, LinePoint(1), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, LinePoint(1), Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, LinePoint(1), Qt::LeftButton,
        Qt::LeftButton);
  EXPECT_EQ(events_.log, std::vector<std::string>{"DoubleClick"});
  EXPECT_EQ(view_.SelectedLine(), 1);
}

TEST_F(PlaylistViewTest, ADropOfThreeFilesIsReportedOnce) {
  QMimeData mime;
  mime.setData(QStringLiteral("text/uri-list"),
               "file:///a/one.mp3\r\nfile:///b/t%C3%A9st.ogg\r\n"
               "file:///c/three%20x.flac\r\n");
  // Qt delivers a drop only to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
  QCoreApplication::sendEvent(view_.viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(view_.viewport(), &drop);
  ASSERT_EQ(events_.drops.size(), 1u);
  EXPECT_EQ(events_.drops[0],
            (std::vector<std::string>{"/a/one.mp3", "/b/tést.ogg",
                                      "/c/three x.flac"}));
}

}  // namespace
}  // namespace kivo::desktop
