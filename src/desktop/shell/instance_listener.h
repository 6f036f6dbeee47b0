#pragma once

#include <sys/types.h>

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "core/platform/instance_link.h"

class QSocketNotifier;

namespace kivo::desktop {

struct HandOffHandlers {
  InstanceLink::Receiver receiver;
  InstanceLink::ReleaseWhen release_when;
};

// Serves hand-off connections on the Qt loop of the thread that created it:
// reads each text without blocking, calls the receiver, then answers one
// byte, at once or when the release given to release_when runs. A connection
// that stalls before its text is whole is dropped after 30 seconds.
class InstanceListener final : public QObject {
  Q_OBJECT

 public:
  // Takes over a bound, listening socket and the identity of its file.
  InstanceListener(int listen_fd, std::string path, dev_t device, ino_t inode,
                   InstanceLink::Receiver receiver,
                   InstanceLink::ReleaseWhen release_when);
  ~InstanceListener() override;

 private:
  void AcceptPending();

  int listen_fd_;
  std::string path_;
  dev_t device_;
  ino_t inode_;
  std::shared_ptr<const HandOffHandlers> handlers_;
  QSocketNotifier* notifier_;
};

// One incoming hand-off.
class HandOffConnection final : public QObject {
  Q_OBJECT

 public:
  HandOffConnection(int fd, std::shared_ptr<const HandOffHandlers> handlers,
                    QObject* parent);
  ~HandOffConnection() override;

 private:
  void ReadAvailable();
  // True while more bytes are expected.
  bool TakeBytes(const char* data, size_t size);
  void Deliver();
  void Answer();
  void Finish();

  int fd_;
  std::shared_ptr<const HandOffHandlers> handlers_;
  QSocketNotifier* notifier_;
  QTimer deadline_;
  std::string header_;
  std::string text_;
  uint64_t text_bytes_ = 0;
  bool awaiting_release_ = false;
  bool done_ = false;
};

}  // namespace kivo::desktop
