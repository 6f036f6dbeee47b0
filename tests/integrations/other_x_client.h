#pragma once

#include <string>

namespace kivo::testing {

// A second X client holding key grabs of its own, as another program would.
// Kept apart from the tests because Xlib's macros clash with Qt and gtest.
class OtherXClient {
 public:
  explicit OtherXClient(const std::string& display_name);
  ~OtherXClient();
  OtherXClient(const OtherXClient&) = delete;
  OtherXClient& operator=(const OtherXClient&) = delete;

  bool connected() const { return display_ != nullptr; }
  // Grabs Ctrl + the key of a lower-case letter on the root window; false
  // when the server refuses (another client holds it).
  bool GrabControlLetter(char letter);

 private:
  void* display_;
};

}  // namespace kivo::testing
