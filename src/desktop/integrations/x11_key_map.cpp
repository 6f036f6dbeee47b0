#include "desktop/integrations/x11_key_map.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>
#include <utility>

namespace kivo::desktop {
namespace {

// Codes whose keysyms do not follow from a range.
constexpr std::array<std::pair<int, uint32_t>, 46> kSingleKeys{{
    {0x08, XK_BackSpace},
    {0x09, XK_Tab},
    {0x0D, XK_Return},
    {0x13, XK_Pause},
    {0x1B, XK_Escape},
    {0x20, XK_space},
    {0x21, XK_Prior},
    {0x22, XK_Next},
    {0x23, XK_End},
    {0x24, XK_Home},
    {0x25, XK_Left},
    {0x26, XK_Up},
    {0x27, XK_Right},
    {0x28, XK_Down},
    {0x2C, XK_Print},
    {0x2D, XK_Insert},
    {0x2E, XK_Delete},
    {0x6A, XK_KP_Multiply},
    {0x6B, XK_KP_Add},
    {0x6C, XK_KP_Separator},
    {0x6D, XK_KP_Subtract},
    {0x6E, XK_KP_Decimal},
    {0x6F, XK_KP_Divide},
    {0x90, XK_Num_Lock},
    {0x91, XK_Scroll_Lock},
    {0xAD, XF86XK_AudioMute},
    {0xAE, XF86XK_AudioLowerVolume},
    {0xAF, XF86XK_AudioRaiseVolume},
    {0xB0, XF86XK_AudioNext},
    {0xB1, XF86XK_AudioPrev},
    {0xB2, XF86XK_AudioStop},
    {0xB3, XF86XK_AudioPlay},
    {0xB4, XF86XK_Mail},
    {0xB5, XF86XK_AudioMedia},
    {0xBA, XK_semicolon},
    {0xBB, XK_equal},
    {0xBC, XK_comma},
    {0xBD, XK_minus},
    {0xBE, XK_period},
    {0xBF, XK_slash},
    {0xC0, XK_grave},
    {0xDB, XK_bracketleft},
    {0xDC, XK_backslash},
    {0xDD, XK_bracketright},
    {0xDE, XK_apostrophe},
    {0xE2, XK_less},
}};

}  // namespace

uint32_t KeysymForVirtualKey(int virtual_key) {
  if (virtual_key >= '0' && virtual_key <= '9') {
    return XK_0 + static_cast<uint32_t>(virtual_key - '0');
  }
  if (virtual_key >= 'A' && virtual_key <= 'Z') {
    return XK_a + static_cast<uint32_t>(virtual_key - 'A');
  }
  if (virtual_key >= 0x60 && virtual_key <= 0x69) {  // keypad digits
    return XK_KP_0 + static_cast<uint32_t>(virtual_key - 0x60);
  }
  if (virtual_key >= 0x70 && virtual_key <= 0x87) {  // F1 to F24
    return XK_F1 + static_cast<uint32_t>(virtual_key - 0x70);
  }
  for (const auto& [code, keysym] : kSingleKeys) {
    if (code == virtual_key) return keysym;
  }
  return 0;
}

}  // namespace kivo::desktop
