#include "framework/qt/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include "framework/qt/RuntimeFolder.h"

namespace framework {
namespace {

// Between two tries of a start that waits for the running one's listener.
constexpr std::chrono::milliseconds kRetryPause{20};

int MillisecondsLeft(const QDeadlineTimer& deadline) { return static_cast<int>(deadline.remainingTime()); }

// Whether the process at the other end of a connected local socket runs as
// this user: the kernel's word, not anything the peer says.
bool PeerIsThisUser(const QLocalSocket& socket) {
  const auto descriptor = static_cast<int>(socket.socketDescriptor());
  if (descriptor < 0) return false;
  uid_t peer = 0;
#if defined(SO_PEERCRED)
  struct ucred credentials {};
  socklen_t size = sizeof credentials;
  if (::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  peer = credentials.uid;
#else
  gid_t group = 0;
  if (::getpeereid(descriptor, &peer, &group) != 0) return false;
#endif
  return peer == ::geteuid();
}

}  // namespace

QString SingleInstance::SocketPath(const QString& key) {
  const QString folder = ProgramRuntimeFolder();
  if (folder.isEmpty()) return {};
  const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
  return folder + QStringLiteral("/instance-") + QString::fromLatin1(digest);
}

SingleInstance::SingleInstance(const QString& key, std::function<void()> broughtForward, QObject* parent)
    : QObject(parent), name_(SocketPath(key)), broughtForward_(std::move(broughtForward)) {
  if (name_.isEmpty()) {
    qWarning("OLVAN: no private runtime folder for this user; a second start will not find this one");
    return;
  }
  lock_ = ::open(QFile::encodeName(name_ + QStringLiteral(".lock")).constData(),
                 O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_ < 0) {
    qWarning("OLVAN: no lock file for this bundle (%s); a second start will not find this one", std::strerror(errno));
    return;
  }
  const QDeadlineTimer deadline(kAnswerWithin);
  for (;;) {
    if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
      Listen();
      return;
    }
    if (errno != EWOULDBLOCK) {
      qWarning("OLVAN: the lock file for this bundle cannot be locked (%s); a second start will not find this one",
               std::strerror(errno));
      return;
    }
    if (deadline.hasExpired()) {
      outcome_ = Start::kRunningOneIsSilent;
      return;
    }
    if (TellTheRunningOne(deadline)) {
      outcome_ = Start::kHandedOver;
      return;
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

SingleInstance::~SingleInstance() {
  // The listener goes first: closing it removes the socket at the name, which
  // once the lock is let go may already be the next program's.
  delete server_;
  if (lock_ >= 0) ::close(lock_);
}

void SingleInstance::StopListening() {
  delete server_;
  server_ = nullptr;
}

bool SingleInstance::TellTheRunningOne(const QDeadlineTimer& deadline) const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(MillisecondsLeft(deadline))) return false;
  if (!PeerIsThisUser(socket)) return false;
  // The byte lets the running one see a start, not a probe that went away;
  // its answer says that it lives and has come forward.
  socket.write("f", 1);
  if (!socket.waitForBytesWritten(MillisecondsLeft(deadline))) return false;
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(MillisecondsLeft(deadline))) return false;
  }
  return true;
}

void SingleInstance::Listen() {
  server_ = new QLocalServer(this);
  // Qt binds the socket beside the name and renames it into place: whatever
  // held the name is replaced in one step, a link included (not its target).
  // Holding the lock, this is the one program for the key, so whatever held
  // the name belongs to no running program of this user.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) {
      qWarning("OLVAN: cannot listen for later starts (%s)", qPrintable(server_->errorString()));
      return;
    }
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* start = server_->nextPendingConnection()) {
      connect(start, &QLocalSocket::disconnected, start, &QObject::deleteLater);
      if (!PeerIsThisUser(*start)) {
        start->abort();
        start->deleteLater();
        continue;
      }
      connect(start, &QLocalSocket::readyRead, this, [this, start] {
        start->readAll();
        start->write("k", 1);
        if (broughtForward_) broughtForward_();
      });
    }
  });
}

}  // namespace framework
