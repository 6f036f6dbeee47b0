#include "desktop/shell/key_map.h"

#include <QKeyEvent>
#include <cstddef>

#include "core/platform/menu_item.h"

namespace kivo::desktop {
namespace {

struct KeyPair {
  int qt_key;
  int virtual_key;
};

// Keys whose code does not follow from a range. The first pair of a virtual
// key is the one used to name it in a menu.
constexpr KeyPair kMainKeys[] = {
    {Qt::Key_Backspace, 0x08},    {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},      {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},        {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},      {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},        {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},       {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},       {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},          {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},         {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},        {Qt::Key_Down, 0x28},
    {Qt::Key_Print, 0x2C},        {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},       {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},      {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA},    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},        {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},        {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},       {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},        {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},  {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},    {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},   {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_VolumeMute, 0xAD},   {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF},
};

// The shifted digits of a US keyboard stand for their digit key.
constexpr KeyPair kShiftedDigits[] = {
    {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},  {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},  {Qt::Key_ParenRight, '0'},
};

constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

template <std::size_t N>
int Lookup(const KeyPair (&table)[N], int qt_key) {
  for (const KeyPair& pair : table) {
    if (pair.qt_key == qt_key) return pair.virtual_key;
  }
  return 0;
}

template <std::size_t N>
int ReverseLookup(const KeyPair (&table)[N], int virtual_key) {
  for (const KeyPair& pair : table) {
    if (pair.virtual_key == virtual_key) return pair.qt_key;
  }
  return 0;
}

// Qt key plus keypad modifier for a virtual key; 0 when there is none.
int QtKeyOf(int virtual_key) {
  if ((virtual_key >= 'A' && virtual_key <= 'Z') ||
      (virtual_key >= '0' && virtual_key <= '9')) {
    return virtual_key;
  }
  if (virtual_key >= 0x60 && virtual_key <= 0x69) {
    return (Qt::Key_0 + virtual_key - 0x60) | Qt::KeypadModifier;
  }
  if (virtual_key >= 0x70 && virtual_key <= 0x87) {
    return Qt::Key_F1 + virtual_key - 0x70;
  }
  if (int key = ReverseLookup(kKeypadKeys, virtual_key)) {
    return key | Qt::KeypadModifier;
  }
  return ReverseLookup(kMainKeys, virtual_key);
}

}  // namespace

int VirtualKeyOf(int qt_key, bool keypad) {
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return qt_key;
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) {
    return keypad ? 0x60 + qt_key - Qt::Key_0 : qt_key;
  }
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) {
    return 0x70 + qt_key - Qt::Key_F1;
  }
  if (keypad) {
    if (int key = Lookup(kKeypadKeys, qt_key)) return key;
  }
  if (int key = Lookup(kShiftedDigits, qt_key)) return key;
  return Lookup(kMainKeys, qt_key);
}

int VirtualKeyOf(const QKeyEvent& event) {
  return VirtualKeyOf(event.key(),
                      event.modifiers().testFlag(Qt::KeypadModifier));
}

ShiftState ShiftStateOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers();
  ShiftState state{mods.testFlag(Qt::ShiftModifier),
                   mods.testFlag(Qt::ControlModifier),
                   mods.testFlag(Qt::AltModifier)};
  const bool pressed = event.type() == QEvent::KeyPress;
  switch (event.key()) {
    case Qt::Key_Shift:
      state.shift = pressed;
      break;
    case Qt::Key_Control:
      state.ctrl = pressed;
      break;
    case Qt::Key_Alt:
      state.alt = pressed;
      break;
    default:
      break;
  }
  return state;
}

QKeySequence ShortcutSequence(int shortcut) {
  const int key = QtKeyOf(shortcut & 0xFF);
  if (shortcut == 0 || key == 0) return {};
  int combined = key;
  if (shortcut & kShortcutShift) combined |= Qt::ShiftModifier;
  if (shortcut & kShortcutCtrl) combined |= Qt::ControlModifier;
  if (shortcut & kShortcutAlt) combined |= Qt::AltModifier;
  return QKeySequence(combined);
}

}  // namespace kivo::desktop

namespace kivo::desktop {

bool ReportKeyPress(ShellEvents* events, const QKeyEvent& event) {
  const int virtual_key = VirtualKeyOf(event);
  if (events == nullptr || virtual_key == 0) return false;
  return events->KeyDown(virtual_key, ShiftStateOf(event));
}

void ReportKeyRelease(ShellEvents* events, const QKeyEvent& event) {
  const int virtual_key = VirtualKeyOf(event);
  if (events == nullptr || virtual_key == 0 || event.isAutoRepeat()) return;
  events->KeyUp(virtual_key, ShiftStateOf(event));
}

}  // namespace kivo::desktop

namespace kivo::desktop {

MouseButton MouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return MouseButton::kRight;
    case Qt::MiddleButton:
      return MouseButton::kMiddle;
    default:
      return MouseButton::kLeft;
  }
}

}  // namespace kivo::desktop
