#include "integrations/other_x_client.h"

#include <X11/Xlib.h>

namespace kivo::testing {
namespace {

int last_error_code = 0;

int RecordError(Display*, XErrorEvent* error) {
  last_error_code = error->error_code;
  return 0;
}

}  // namespace

OtherXClient::OtherXClient(const std::string& display_name)
    : display_(XOpenDisplay(display_name.c_str())) {}

OtherXClient::~OtherXClient() {
  if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}

bool OtherXClient::GrabControlLetter(char letter) {
  auto* display = static_cast<Display*>(display_);
  const char name[] = {letter, '\0'};
  last_error_code = 0;
  // Xlib's own handler would end the test process on BadAccess.
  XErrorHandler previous = XSetErrorHandler(&RecordError);
  XGrabKey(display, XKeysymToKeycode(display, XStringToKeysym(name)),
           ControlMask, DefaultRootWindow(display), True, GrabModeAsync,
           GrabModeAsync);
  XSync(display, False);
  XSetErrorHandler(previous);
  return last_error_code == 0;
}

}  // namespace kivo::testing
