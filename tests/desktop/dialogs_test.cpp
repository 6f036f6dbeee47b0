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

// Answers the save dialog: chooses filter `filter` (0-based) and types name.
std::optional<std::string> SaveAs(QtDialogs& dialogs, const QString& name,
                                  int filter, int* filter_index) {
  AnswerNextDialog<QFileDialog>([name, filter](QFileDialog* dialog) {
    dialog->selectNameFilter(dialog->nameFilters().at(filter));
    dialog->selectFile(name);
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  return dialogs.SaveFile("Save Playlist",
                          "Kivo Playlist (*.KPP)|*.kpp|M3U Playlist (*.M3U)|"
                          "*.m3u|PLS Playlist (*.PLS)|*.pls|All Files|*.*",
                          "kpp", filter_index);
}

TEST(DialogsTest, ABareNameGetsTheExtensionOfTheChosenType) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QtDialogs dialogs(nullptr);
  const std::string typed =
      folder.filePath(QStringLiteral("mylist")).toStdString();
  const QString name = QString::fromStdString(typed);
  int filter_index = 1;
  EXPECT_EQ(SaveAs(dialogs, name, 1, &filter_index), typed + ".m3u");
  EXPECT_EQ(filter_index, 2);
  EXPECT_EQ(SaveAs(dialogs, name, 2, &filter_index), typed + ".pls");
  EXPECT_EQ(filter_index, 3);
  EXPECT_EQ(SaveAs(dialogs, name, 0, &filter_index), typed + ".kpp");
  EXPECT_EQ(filter_index, 1);
  // A type without an extension of its own falls back to the default one.
  EXPECT_EQ(SaveAs(dialogs, name, 3, &filter_index), typed + ".kpp");
  // A typed extension is kept, whatever the type.
  EXPECT_EQ(SaveAs(dialogs, name + QStringLiteral(".m3u"), 0, &filter_index),
            typed + ".m3u");
  EXPECT_EQ(filter_index, 1);

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
