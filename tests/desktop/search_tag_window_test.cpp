#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>

#include "desktop/shell/qt_search_window.h"
#include "desktop/shell/qt_tag_window.h"

namespace kivo::desktop {
namespace {

class FakeSearchEvents final : public SearchEvents {
 public:
  void EditChange(const std::string& text) override { changes.push_back(text); }
  bool EditKeyDown(int virtual_key) override {
    edit_keys.push_back(virtual_key);
    return consume;
  }
  void ListKeyDown(int virtual_key) override {
    list_keys.push_back(virtual_key);
  }
  void ListDoubleClick() override { ++double_clicks; }
  void FormClose() override { ++form_closes; }

  bool consume = false;
  std::vector<std::string> changes;
  std::vector<int> edit_keys;
  std::vector<int> list_keys;
  int double_clicks = 0;
  int form_closes = 0;
};

void SendKey(QWidget* widget, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

TEST(SearchWindowTest, ResultsShowDecodedTextButReturnTheCoresBytes) {
  FakeSearchEvents events;
  QtSearchWindow view(&events, nullptr);
  view.SetResults({"caf\xE9", "beat"});
  EXPECT_EQ(view.ResultCount(), 2);
  EXPECT_EQ(view.dialog()->list()->item(0)->text(), QString::fromUtf8("café"));
  EXPECT_EQ(view.ResultText(0), "caf\xE9");
  EXPECT_EQ(view.ResultText(7), "");
  view.SelectResult(1);
  EXPECT_EQ(view.SelectedResult(), 1);
  view.SelectResult(5);
  EXPECT_EQ(view.SelectedResult(), -1);
  EXPECT_EQ(view.dialog()->list()->size(), QSize(431, 208));
  view.SetPosition(30, 40);
  EXPECT_EQ(view.Left(), 30);
  EXPECT_EQ(view.Top(), 40);
}

TEST(SearchWindowTest, EditAndListEventsGoToTheCore) {
  FakeSearchEvents events;
  QtSearchWindow view(&events, nullptr);
  QLineEdit* edit = view.dialog()->edit();
  edit->setText(QStringLiteral("ab"));
  EXPECT_EQ(events.changes, std::vector<std::string>{"ab"});

  events.consume = true;
  SendKey(edit, Qt::Key_Left);
  EXPECT_EQ(edit->cursorPosition(), 2);  // consumed: the caret stays
  events.consume = false;
  SendKey(edit, Qt::Key_Left);
  EXPECT_EQ(edit->cursorPosition(), 1);
  EXPECT_EQ(events.edit_keys, (std::vector<int>{37, 37}));

  SendKey(view.dialog()->list(), Qt::Key_Return);
  EXPECT_EQ(events.list_keys, std::vector<int>{13});
}

TEST(SearchWindowTest, EscClosesOnlyWhenTheCoreSaysAndFormCloseRunsOnce) {
  FakeSearchEvents events;
  QtSearchWindow view(&events, nullptr);
  bool open_after_esc = false;
  QTimer::singleShot(0, [&] {
    SendKey(view.dialog()->edit(), Qt::Key_Escape);
    open_after_esc = view.dialog()->isVisible();
    view.Close();
  });
  view.ShowModal();
  EXPECT_TRUE(open_after_esc);
  EXPECT_EQ(events.edit_keys, std::vector<int>{27});
  EXPECT_EQ(events.form_closes, 1);
  view.Close();
  EXPECT_EQ(events.form_closes, 1);
}

TEST(TagWindowTest, ShowsTheContentReadOnlyAndEscClosesFromTheMemo) {
  TagWindowContent content;
  content.title = "Tags";
  content.file_caption = "File";
  content.tags_caption = "Tags";
  content.track_label = "Track #";
  content.file_name = "a.mp3";
  content.track = "7";
  content.song_title = "Caf\xE9";
  content.comment = "first\r\nsecond";
  content.left = 15;
  content.top = 25;
  QString title_shown;
  QString comment_shown;
  bool read_only = false;
  int track_width = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    title_shown =
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit3"))->text();
    track_width =
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->width();
    auto* memo = dialog->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    comment_shown = memo->toPlainText();
    read_only =
        memo->isReadOnly() &&
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->isReadOnly();
    SendKey(memo, Qt::Key_Escape);
  });
  QtTagWindow window(nullptr);
  int left = -1;
  int top = -1;
  window.ShowModal(content, &left, &top);
  EXPECT_EQ(title_shown, QString::fromUtf8("Café"));
  EXPECT_EQ(comment_shown.split(QLatin1Char('\n')).size(), 2);
  EXPECT_TRUE(read_only);
  EXPECT_LT(track_width, 100);
  EXPECT_EQ(left, 15);
  EXPECT_EQ(top, 25);
}

}  // namespace
}  // namespace kivo::desktop
