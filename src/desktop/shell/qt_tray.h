#pragma once

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <utility>

#include "core/platform/shell_events.h"
#include "core/platform/tray.h"

namespace kivo::desktop {

class QtMainWindow;

// The tray icon on QSystemTrayIcon (XEmbed or StatusNotifierItem, whatever
// the desktop offers). Qt reports no pointer leaving the icon, so the tray
// menu closing stands in for it: that is when the core allows the tooltip
// again. GUI thread only.
class QtTray final : public QObject, public Tray {
  Q_OBJECT

 public:
  explicit QtTray(QtMainWindow* window);

  void SetEvents(ShellEvents* events) { events_ = events; }

  bool Available() const override;
  bool BalloonsSupported() const override;
  void SetIconVisible(bool visible) override;
  bool IconVisible() const override;
  void SetTooltip(const std::string& text) override;
  void SetTooltipAllowed(bool allowed) override;
  void ShowBalloon(const std::string& title, const std::string& text,
                   int seconds) override;
  void HideMainWindow() override;
  void ShowMainWindow() override;
  void SetMinimizeToTray(bool on) override;

  QString tooltip_shown() const { return icon_.toolTip(); }
  // The title and text of the last balloon, as handed to Qt.
  const std::pair<QString, QString>& balloon_shown() const {
    return balloon_shown_;
  }
  // What a click on the icon does; public for the tests, which have no tray.
  void Activated(QSystemTrayIcon::ActivationReason reason);

 private:
  void PopupTrayMenu();

  QtMainWindow* window_;
  ShellEvents* events_ = nullptr;
  QSystemTrayIcon icon_;
  QString tooltip_;
  std::pair<QString, QString> balloon_shown_;
  bool tooltip_allowed_ = true;
};

}  // namespace kivo::desktop
