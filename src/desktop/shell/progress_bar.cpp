#include "desktop/shell/progress_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "desktop/shell/colors_qt.h"

namespace kivo::desktop {

ProgressBar::ProgressBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressBar::SetRange(int max) {
  max_ = std::max(0, max);
  position_ = std::clamp(position_, 0, max_);
  update();
}

void ProgressBar::SetPosition(int position) {
  const int clamped = std::clamp(position, 0, max_);
  if (clamped == position_) return;
  position_ = clamped;
  update();
}

void ProgressBar::SetLook(const BarLook& look) {
  look_ = look;
  update();
}

void ProgressBar::SetBarColor(ColorValue bar) {
  look_.bar = bar;
  update();
}

void ProgressBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(look_.background));
  if (max_ <= 0 || position_ <= 0) return;
  const double share = static_cast<double>(position_) / max_;
  QRect filled = rect();
  if (orientation_ == Qt::Horizontal) {
    filled.setWidth(static_cast<int>(width() * share + 0.5));
  } else {
    const int bar_height = static_cast<int>(height() * share + 0.5);
    filled.setTop(height() - bar_height);
  }
  painter.fillRect(filled, ToQColor(look_.bar));
}

void ProgressBar::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (!isEnabled() || !on_press_) return;
  on_press_(event->button(), static_cast<int>(event->position().x()), width(),
            event->modifiers().testFlag(Qt::ShiftModifier));
}

}  // namespace kivo::desktop
