#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "desktop/shell/qt_dialogs.h"

namespace kivo::desktop {
namespace {

// Answers the next modal dialog once it is open.
template <typename Dialog>
void AnswerNextDialog(std::function<void(Dialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    if (auto* dialog =
            qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      answer(dialog);
    }
  });
}

TEST(DialogsTest, InputBoxGivesTheTextOrThePresetWhenCancelled) {
  QtDialogs dialogs(nullptr);
  AnswerNextDialog<QInputDialog>([](QInputDialog* dialog) {
    dialog->setTextValue(QString::fromUtf8("http://radio.example/ä.pls"));
    dialog->accept();
  });
  EXPECT_EQ(dialogs.InputBox("Open URL", "Enter a URL to open here:", ""),
            "http://radio.example/ä.pls");
  AnswerNextDialog<QInputDialog>([](QInputDialog* dialog) {
    dialog->setTextValue(QStringLiteral("typed"));
    dialog->reject();
  });
  EXPECT_EQ(dialogs.InputBox("Open URL", "Prompt", "preset"), "preset");
}

TEST(DialogsTest, MessageBoxAnswers) {
  QtDialogs dialogs(nullptr);
  AnswerNextDialog<QMessageBox>(
      [](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
  EXPECT_EQ(dialogs.MessageBox("Donate?", "Donation", MessageIcon::kInformation,
                               MessageButtons::kYesNo),
            MessageResult::kNo);
  AnswerNextDialog<QMessageBox>(
      [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(dialogs.MessageBox("Donate?", "Donation", MessageIcon::kApplication,
                               MessageButtons::kYesNo),
            MessageResult::kYes);
}

TEST(DialogsTest, SaveFileAppliesTheDefaultExtensionAndReportsTheFilter) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QtDialogs dialogs(nullptr);
  const QString typed = folder.filePath(QStringLiteral("mylist"));
  AnswerNextDialog<QFileDialog>([typed](QFileDialog* dialog) {
    dialog->selectNameFilter(dialog->nameFilters().at(1));
    dialog->selectFile(typed);
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  int filter_index = 1;
  const std::optional<std::string> chosen = dialogs.SaveFile(
      "Save Playlist", "Kivo Playlist|*.kpp|M3U Playlist|*.m3u", "kpp",
      &filter_index);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, typed.toStdString() + ".kpp");
  EXPECT_EQ(filter_index, 2);

  AnswerNextDialog<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(dialogs.SaveFile("Save", "All|*.*", "", &filter_index));
}

}  // namespace
}  // namespace kivo::desktop

namespace kivo::desktop {
namespace {

TEST(DialogsProgressTest, ProgressComesAndGoesOverItsParent) {
  QWidget parent;
  QtDialogs dialogs(&parent);
  dialogs.ShowProgress("Scanning /music", 64, 0);
  dialogs.ShowProgress("Scanning /music", 96, 0);
  auto shown = parent.findChildren<QProgressDialog*>();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown[0]->labelText(), QStringLiteral("Scanning /music"));
  dialogs.ShowProgress("Scanning /music", -1, 0);
  EXPECT_TRUE(parent.findChildren<QProgressDialog*>().isEmpty());
}

}  // namespace
}  // namespace kivo::desktop
