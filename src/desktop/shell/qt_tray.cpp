#include "desktop/shell/qt_tray.h"

#include <QCursor>
#include <algorithm>

#include "desktop/shell/app_icon.h"
#include "desktop/shell/display_text.h"
#include "desktop/shell/menu_renderer.h"
#include "desktop/shell/qt_main_window.h"

namespace kivo::desktop {
namespace {

constexpr int kTooltipChars = 127;
constexpr int kBalloonTitleChars = 63;
constexpr int kBalloonTextChars = 255;

}  // namespace

QtTray::QtTray(QtMainWindow* window) : window_(window) {
  icon_.setIcon(AppIcon());
  tooltip_ = QStringLiteral("Kivo Player");
  icon_.setToolTip(tooltip_);
  connect(&icon_, &QSystemTrayIcon::activated, this, &QtTray::Activated);
}

bool QtTray::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTray::BalloonsSupported() const {
  return QSystemTrayIcon::supportsMessages();
}

void QtTray::SetIconVisible(bool visible) { icon_.setVisible(visible); }

bool QtTray::IconVisible() const { return icon_.isVisible(); }

void QtTray::SetTooltip(const std::string& text) {
  // The core writes an "&" of a title as "&&&" for the Windows hint, which
  // shows it once; a plain tooltip here shows it once too.
  tooltip_ =
      LiteralText(DisplayText(text)
                      .replace(QStringLiteral("&&&"), QStringLiteral("&"))
                      .left(kTooltipChars));
  if (tooltip_allowed_) icon_.setToolTip(tooltip_);
}

void QtTray::SetTooltipAllowed(bool allowed) {
  tooltip_allowed_ = allowed;
  icon_.setToolTip(allowed ? tooltip_ : QString());
}

void QtTray::ShowBalloon(const std::string& title, const std::string& text,
                         int seconds) {
  balloon_shown_ = {LiteralText(DisplayText(title).left(kBalloonTitleChars)),
                    LiteralText(DisplayText(text).left(kBalloonTextChars))};
  icon_.showMessage(balloon_shown_.first, balloon_shown_.second,
                    QSystemTrayIcon::Information, std::max(0, seconds) * 1000);
}

void QtTray::HideMainWindow() { window_->hide(); }

void QtTray::ShowMainWindow() { window_->BringToFront(); }

void QtTray::SetMinimizeToTray(bool on) { window_->SetMinimizeToTray(on); }

void QtTray::Activated(QSystemTrayIcon::ActivationReason reason) {
  if (events_ == nullptr) return;
  if (reason == QSystemTrayIcon::Trigger) {
    events_->TrayClick();
  } else if (reason == QSystemTrayIcon::Context) {
    PopupTrayMenu();
  }
}

void QtTray::PopupTrayMenu() {
  events_->TrayMenuPopup();
  const std::string name =
      ExecMenu(events_->TrayMenu(), QCursor::pos(), nullptr);
  events_->TrayMouseExit();
  if (!name.empty()) events_->MenuItemClicked(name);
}

}  // namespace kivo::desktop
