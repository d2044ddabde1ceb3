#include "framework/qt/SingleInstance.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <utility>

#include "framework/qt/RuntimeFolder.h"

namespace framework {
namespace {

// Long enough for a running program that is busy with a step of its own.
constexpr int kConnectMilliseconds = 2000;

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
  handedOver_ = TellTheRunningOne();
  if (!handedOver_) Listen();
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TellTheRunningOne() const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectMilliseconds)) return false;
  if (!PeerIsThisUser(socket)) return false;
  // The connection itself is the message; the byte lets the running one see
  // a start, not a probe that went away.
  socket.write("f", 1);
  socket.waitForBytesWritten(kConnectMilliseconds);
  socket.disconnectFromServer();
  return true;
}

void SingleInstance::Listen() {
  server_ = new QLocalServer(this);
  // Qt binds the socket beside the name and renames it into place: whatever
  // held the name is replaced in one step, a link included (not its target).
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Taken: by a program that started at the same moment (hand over to it),
    // or by something that is no listener of this user (take its place).
    if (TellTheRunningOne()) {
      handedOver_ = true;
      return;
    }
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
        if (broughtForward_) broughtForward_();
      });
    }
  });
}

}  // namespace framework
