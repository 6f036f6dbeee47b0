#include "desktop/shell/window_platform.h"

#include <cstdlib>

namespace kivo::desktop {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

void PreferX11Window() {
  if (IsSet("QT_QPA_PLATFORM") || !IsSet("WAYLAND_DISPLAY") ||
      !IsSet("DISPLAY")) {
    return;
  }
  setenv("QT_QPA_PLATFORM", "xcb", 1);
}

void PaintWithoutSharedMemory() {
  setenv("QT_XCB_NO_MITSHM", "1", /*overwrite=*/0);
}

}  // namespace kivo::desktop
