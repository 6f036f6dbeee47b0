// A title from a station or a tag that looks like HTML reaches every surface
// that shows outside text; Qt would render it as rich text (an image, bold)
// wherever a widget guesses the format. Each surface must show it literally.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include "desktop/fake_shell.h"
#include "desktop/menu_test_util.h"
#include "desktop/shell/playlist_model.h"
#include "desktop/shell/qt_dialogs.h"
#include "desktop/shell/qt_main_window.h"
#include "desktop/shell/qt_search_window.h"
#include "desktop/shell/qt_tag_window.h"
#include "desktop/shell/qt_tray.h"

namespace kivo::desktop {
namespace {

const char kTitle[] = "<img src=\"/usr/share/pixmaps/x.png\"><b>X</b>";
const QString kShown = QString::fromUtf8(kTitle);

// What a reader sees of `text` in a widget that takes `format`: the rich
// text's plain content when Qt renders it as HTML, else the characters
// themselves without the zero-width ones that print nothing.
QString Readable(const QString& text, Qt::TextFormat format = Qt::AutoText) {
  bool rich = format == Qt::RichText ||
              (format == Qt::AutoText && Qt::mightBeRichText(text));
  if (rich) {
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
  }
  return QString(text).remove(QChar(0x2060));
}

class NoSearchEvents final : public SearchEvents {
 public:
  void EditChange(const std::string&) override {}
  bool EditKeyDown(int) override { return false; }
  void ListKeyDown(int) override {}
  void ListDoubleClick() override {}
  void FormClose() override {}
};

TEST(PlainTextSurfacesTest, TrayTooltipAndBalloon) {
  QtMainWindow window;
  QtTray tray(&window);
  tray.SetTooltip(std::string("Kivo Player - ") + kTitle);
  EXPECT_EQ(Readable(tray.tooltip_shown()), "Kivo Player - " + kShown);
  tray.SetTooltip(kTitle);
  EXPECT_EQ(Readable(tray.tooltip_shown()), kShown);
  // Qt reads an escaped "<" as a sign of rich text too.
  tray.SetTooltip("Tom &lt; Jerry");
  EXPECT_EQ(Readable(tray.tooltip_shown()), QStringLiteral("Tom &lt; Jerry"));
  tray.ShowBalloon(kTitle, kTitle, 1);
  // The title is a label that guesses; the message a plain label or a
  // notification body, where markup is interpreted too.
  EXPECT_EQ(Readable(tray.balloon_shown().first), kShown);
  EXPECT_EQ(Readable(tray.balloon_shown().second), kShown);
}

TEST(PlainTextSurfacesTest, MenusCaptionsAndPlaylistLines) {
  testing::FakeShellEvents events;
  testing::AddMenuItem(&events.tray_menu, "Title1", kTitle);
  QtMainWindow window;
  QtTray tray(&window);
  tray.SetEvents(&events);
  QString action_text;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    action_text = menu->actions().value(0)->text();
    menu->close();
  });
  tray.Activated(QSystemTrayIcon::Context);
  // A menu shows its text plainly (an "&" would mark a shortcut).
  EXPECT_EQ(action_text, kShown);

  window.SetCaption(kTitle);
  EXPECT_EQ(window.windowTitle(), kShown);

  testing::FakePlaylistSource source;
  source.lines = {std::string("1. ") + kTitle};
  PlaylistModel model;
  model.SetSource(&source);
  // The delegate draws the display text with QPainter::drawText: plain.
  EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(),
            "1. " + kShown);
}

TEST(PlainTextSurfacesTest, MessageBox) {
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown = Readable(box->text(), box->textFormat()) + "|" +
            Readable(box->windowTitle(), Qt::PlainText);
    box->button(QMessageBox::Ok)->click();
  });
  QtDialogs dialogs(nullptr);
  dialogs.MessageBox(kTitle, kTitle, MessageIcon::kWarning,
                     MessageButtons::kOk);
  EXPECT_EQ(shown, kShown + "|" + kShown);
}

TEST(PlainTextSurfacesTest, SearchWindow) {
  NoSearchEvents events;
  QtSearchWindow view(&events, nullptr);
  view.SetCaption(kTitle);
  view.SetResults({kTitle});
  EXPECT_EQ(view.dialog()->list()->item(0)->text(), kShown);
  EXPECT_EQ(view.dialog()->windowTitle(), kShown);
}

// Every text a widget of the tag window shows, as a reader sees it.
QStringList TagWindowTexts(QWidget* dialog) {
  QStringList texts = {dialog->windowTitle()};
  for (auto* label : dialog->findChildren<QLabel*>()) {
    texts << Readable(label->text(), label->textFormat());
  }
  for (auto* edit : dialog->findChildren<QLineEdit*>()) texts << edit->text();
  for (auto* box : dialog->findChildren<QGroupBox*>()) texts << box->title();
  for (auto* memo : dialog->findChildren<QPlainTextEdit*>()) {
    texts << memo->toPlainText();
  }
  return texts;
}

TEST(PlainTextSurfacesTest, TagWindowLabelsFieldsAndMemo) {
  TagWindowContent content;
  // Labels and captions come from language files, which users edit too.
  for (std::string* text :
       {&content.title, &content.file_caption, &content.tags_caption,
        &content.track_label, &content.title_label, &content.artist_label,
        &content.album_label, &content.year_label, &content.genre_label,
        &content.comment_label, &content.file_name, &content.track,
        &content.song_title, &content.artist, &content.album, &content.year,
        &content.genre, &content.comment}) {
    *text = kTitle;
  }
  QStringList texts;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    texts = TagWindowTexts(dialog);
    dialog->close();
  });
  QtTagWindow window(nullptr);
  window.ShowModal(content, nullptr, nullptr);
  ASSERT_EQ(texts.size(), 18);  // caption, 7 labels, 7 fields, 2 boxes, memo
  for (const QString& text : texts) EXPECT_EQ(text, kShown);
}

}  // namespace
}  // namespace kivo::desktop
