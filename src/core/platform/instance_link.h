#pragma once

#include <functional>
#include <string>
#include <utility>

namespace kivo {

// Keeps the player to one running instance per user and program folder.
//
// HandOff runs in a starting instance before any window exists. Listen runs in
// the first instance; received texts are delivered on the GUI thread through
// the handler, and the sender is released only after the handler returned,
// or later: once the release a ReleaseWhen was given has run (on the GUI
// thread; it must run once, also when the program ends).
// A text is delivered exactly once: the sender waits for a busy instance as
// long as it lives, and gives up only when that instance ended unanswered.
class InstanceLink {
 public:
  using Receiver = std::function<void(const std::string& text)>;
  using Release = std::function<void()>;
  using ReleaseWhen = std::function<void(Release release)>;

  virtual ~InstanceLink() = default;
  // True when a running instance took the text (and has handled it); false
  // when none listens or the one listening ended without answering.
  virtual bool HandOff(const std::string& text) = 0;
  // False when another instance listens already (it won a start race).
  // Without release_when the sender is released as the receiver returns.
  virtual bool Listen(Receiver on_text, ReleaseWhen release_when) = 0;
  bool Listen(Receiver on_text) { return Listen(std::move(on_text), {}); }
};

}  // namespace kivo
