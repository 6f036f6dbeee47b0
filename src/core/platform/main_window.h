#pragma once

#include <string>

#include "core/platform/colors.h"

namespace kivo {

struct WorkArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct PlaylistLook {
  ColorValue background = 0x000000;
  ColorValue font_color = 0x00FF00;
  std::string font_name = "MS Sans Serif";
  int font_size = 8;
  int line_height = 13;
};

struct BarLook {
  ColorValue background = 0xC8D0D4;
  ColorValue bar = 0x6A240A;
};

// The main window: the playlist list filling it, two level bars at the right
// edge, the seek bar at the bottom, and the window's own state. The core pushes
// what is shown; the window reports user events through ShellEvents. The
// playlist's line texts and styles are pulled from PlaylistSource when painted.
//
// GUI thread only. Setters on a window that is not shown take effect when it
// is.
class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;

  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual void SetPosition(int left, int top) = 0;
  virtual WorkArea PrimaryWorkArea() const = 0;

  virtual void SetTopMost(bool top_most) = 0;
  // alpha_0_255 applies only while blending is on.
  virtual void SetAlphaBlend(bool enabled, int alpha_0_255) = 0;
  virtual void SetTaskbarButtonVisible(bool visible) = 0;
  virtual void MinimizeApplication() = 0;
  virtual void RestoreApplication() = 0;
  // Shows the window in its normal state and brings it to the front.
  virtual void BringToFront() = 0;
  // Asks the window to close as its close button does: ShellEvents'
  // CloseRequest decides, and Shutdown follows when the window closes.
  virtual void RequestClose() = 0;

  // The playlist: rows were added, removed or changed (a repaint follows).
  virtual void PlaylistChanged() = 0;
  virtual int SelectedLine() const = 0;    // -1 when none
  virtual void SelectLine(int index) = 0;  // -1 clears the selection

  virtual void SetPlaylistLook(const PlaylistLook& look) = 0;

  virtual void SetSeekbarRange(int max) = 0;
  virtual void SetSeekbarPosition(int position) = 0;
  virtual void SetSeekbarEnabled(bool enabled) = 0;
  virtual void SetSeekbarVisible(bool visible) = 0;
  virtual void SetSeekbarLook(const BarLook& look) = 0;
  // The bar colour alone (volume display switches it back and forth).
  virtual void SetSeekbarBarColor(ColorValue bar) = 0;

  virtual void SetLevelBarsVisible(bool visible) = 0;
  virtual void SetLevels(int left_0_40000, int right_0_40000) = 0;
  virtual void SetLevelBarLooks(const BarLook& left, const BarLook& right) = 0;

  // The Slim Mode command of the window's system menu (F8 on the window).
  virtual void SetSlimModeCommand(const std::string& text, bool checked) = 0;
};

}  // namespace kivo
