#pragma once

#include <cstdint>

namespace kivo::desktop {

// The X11 keysym of a Windows virtual-key code, as a US keyboard places it
// (88 is XK_x, 107 the keypad's +); 0 for a code with no key of its own here.
uint32_t KeysymForVirtualKey(int virtual_key);

}  // namespace kivo::desktop
