#pragma once

#include <string>

namespace kivo {

// The notification-area icon and the hide/show of the main window into it.
// Clicks, the pointer leaving the icon and the right button arrive through
// ShellEvents. GUI thread only.
class Tray {
 public:
  virtual ~Tray() = default;

  // False when the desktop has no tray host: nothing could bring a hidden
  // window back, so the core never hides into it then.
  virtual bool Available() const = 0;
  virtual bool BalloonsSupported() const = 0;

  virtual void SetIconVisible(bool visible) = 0;
  virtual bool IconVisible() const = 0;
  // At most 127 characters are kept.
  virtual void SetTooltip(const std::string& text) = 0;
  virtual void SetTooltipAllowed(bool allowed) = 0;
  // Information balloon; title at most 63 and text at most 255 characters.
  virtual void ShowBalloon(const std::string& title, const std::string& text,
                           int seconds) = 0;

  // Window invisible and its taskbar button gone.
  virtual void HideMainWindow() = 0;
  // Restored, normal state, visible, in front.
  virtual void ShowMainWindow() = 0;
  // While on, minimizing hides the main window as HideMainWindow does when a
  // tray host is there at that moment; without one the window stays
  // minimized, where the window list still reaches it.
  virtual void SetMinimizeToTray(bool on) = 0;
};

}  // namespace kivo
