#pragma once

#include <QWidget>
#include <functional>

#include "core/platform/main_window.h"

namespace kivo::desktop {

// A smooth progress bar painted by hand, so the theme's colours show exactly
// as given (styles would shade them). Horizontal bars fill from the left,
// vertical ones from the bottom.
class ProgressBar final : public QWidget {
  Q_OBJECT

 public:
  // button, x inside the bar, the bar's width and whether Shift is held.
  using PressHandler = std::function<void(Qt::MouseButton, int, int, bool)>;

  ProgressBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  void SetRange(int max);
  void SetPosition(int position);
  void SetLook(const BarLook& look);
  void SetBarColor(ColorValue bar);
  // Presses while the bar is enabled.
  void SetPressHandler(PressHandler handler) { on_press_ = std::move(handler); }

  int max() const { return max_; }
  int position() const { return position_; }
  const BarLook& look() const { return look_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Qt::Orientation orientation_;
  int max_ = 100;
  int position_ = 0;
  BarLook look_;
  PressHandler on_press_;
};

}  // namespace kivo::desktop
