#pragma once

#include <functional>
#include <string>

namespace kivo {

// Keeps the player to one running instance per user and program folder.
//
// HandOff runs in a starting instance before any window exists. Listen runs in
// the first instance; received texts are delivered on the GUI thread through
// the handler, and the sender is released only after the handler returned.
// A text is delivered exactly once: the sender waits for a busy instance as
// long as it lives, and gives up only when that instance ended unanswered.
class InstanceLink {
 public:
  using Receiver = std::function<void(const std::string& text)>;

  virtual ~InstanceLink() = default;
  // True when a running instance took the text (and has handled it); false
  // when none listens or the one listening ended without answering.
  virtual bool HandOff(const std::string& text) = 0;
  // False when another instance listens already (it won a start race).
  virtual bool Listen(Receiver on_text) = 0;
};

}  // namespace kivo
