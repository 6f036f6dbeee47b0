#pragma once

#include <sys/types.h>

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "core/platform/instance_link.h"

class QSocketNotifier;

namespace kivo::desktop {

// Serves hand-off connections on the Qt loop of the thread that created it:
// reads each text without blocking, calls the receiver, then answers one
// byte. A connection that stalls is dropped after 30 seconds.
class InstanceListener final : public QObject {
  Q_OBJECT

 public:
  // Takes over a bound, listening socket and the identity of its file.
  InstanceListener(int listen_fd, std::string path, dev_t device, ino_t inode,
                   InstanceLink::Receiver receiver);
  ~InstanceListener() override;

 private:
  void AcceptPending();

  int listen_fd_;
  std::string path_;
  dev_t device_;
  ino_t inode_;
  std::shared_ptr<InstanceLink::Receiver> receiver_;
  QSocketNotifier* notifier_;
};

// One incoming hand-off.
class HandOffConnection final : public QObject {
  Q_OBJECT

 public:
  HandOffConnection(int fd, std::shared_ptr<InstanceLink::Receiver> receiver,
                    QObject* parent);
  ~HandOffConnection() override;

 private:
  void ReadAvailable();
  // True while more bytes are expected.
  bool TakeBytes(const char* data, size_t size);
  void Finish();

  int fd_;
  std::shared_ptr<InstanceLink::Receiver> receiver_;
  QSocketNotifier* notifier_;
  QTimer deadline_;
  std::string header_;
  std::string text_;
  uint64_t text_bytes_ = 0;
  bool done_ = false;
};

}  // namespace kivo::desktop
