#include "core/ui/about.h"

namespace kivo {
namespace {

constexpr char kDonationUrl[] = "https://liberapay.com/kivo-player";
constexpr char kAboutFirstLine[] =
    "Kivo Player - a small player for audio files, tracker modules and "
    "internet radio.";

}  // namespace

void ShowAbout(const Context& context) {
  std::string name = context.Text("Kivo.Info", "Translator", "");
  if (name.empty()) name = context.Text("Kivo.Info", "Author", "");
  std::string modifier = context.Text("Kivo.Info", "Modified by", "");
  std::string text = std::string(kAboutFirstLine) + "\r\n\r\n" +
                     context.Text("strings", "12", "Translation by") + " " +
                     name;
  if (!modifier.empty()) {
    text +=
        "\r\n" + context.Text("strings", "21", "Modified by") + " " + modifier;
  }
  context.platform.dialogs.MessageBox(
      text, kVersionText, MessageIcon::kApplication, MessageButtons::kOk);
}

void OpenDonationPage(const Context& context) {
  context.platform.desktop.OpenUrl(kDonationUrl);
}

void CopyPlayingTitle(const Context& context) {
  // A failed clipboard leaves it as it was; nobody is told.
  context.platform.desktop.SetClipboardText(
      context.menus.Item("PlayingSong").caption);
}

}  // namespace kivo
