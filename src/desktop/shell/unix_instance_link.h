#pragma once

#include <memory>
#include <string>

#include "core/platform/instance_link.h"

namespace kivo::desktop {

class InstanceListener;

// Where the instances of one user and program folder meet: a Unix stream
// socket in $XDG_RUNTIME_DIR/kivo-player/ (or /tmp/kivo-player-<uid>/ when
// the session has no runtime folder), both folders owner-only.
std::string InstanceSocketPath(const std::string& program_dir);

// The single-instance link over that socket. A hand-off is an 8-byte
// little-endian length and the text (its paths each end with a NUL, so every
// byte of a name arrives); the listener hands the text to the
// receiver and answers one byte once the receiver has returned (or once the
// release is run), which is when the sender's HandOff returns true. Peers of
// another user are dropped.
//
// HandOff needs nothing but the socket and may run before Qt starts. Listen
// needs a QCoreApplication: connections are served by its loop, on the
// thread that called Listen (the GUI thread), without blocking it.
class UnixInstanceLink final : public InstanceLink {
 public:
  explicit UnixInstanceLink(const std::string& program_dir);
  ~UnixInstanceLink() override;

  // False at once when nobody listens, and when the running instance ends
  // without answering. A busy instance is waited for as long as it lives;
  // after a few seconds the wait is explained on stderr.
  bool HandOff(const std::string& text) override;
  // False when a live instance listens already; a socket file left by a
  // crashed instance is replaced.
  bool Listen(Receiver on_text, ReleaseWhen release_when) override;
  using InstanceLink::Listen;

  const std::string& socket_path() const { return socket_path_; }

 private:
  std::string socket_path_;
  std::unique_ptr<InstanceListener> listener_;
};

}  // namespace kivo::desktop
