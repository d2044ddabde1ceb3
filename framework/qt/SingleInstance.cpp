#include "framework/qt/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <utility>

namespace framework {
namespace {

// Long enough for a running program that is busy with a step of its own.
constexpr int kConnectMilliseconds = 2000;

}  // namespace

SingleInstance::SingleInstance(const QString& key, std::function<void()> broughtForward, QObject* parent)
    : QObject(parent), broughtForward_(std::move(broughtForward)) {
  const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
  name_ = QStringLiteral("olvan-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
  handedOver_ = TellTheRunningOne();
  if (!handedOver_) Listen();
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TellTheRunningOne() const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectMilliseconds)) return false;
  // The connection itself is the message; the byte lets the running one see
  // a start, not a probe that went away.
  socket.write("f", 1);
  socket.waitForBytesWritten(kConnectMilliseconds);
  socket.disconnectFromServer();
  return true;
}

void SingleInstance::Listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Taken: by a program that started at the same moment (hand over to it),
    // or a socket a crashed program left behind (take it over).
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
      connect(start, &QLocalSocket::readyRead, this, [this, start] {
        start->readAll();
        if (broughtForward_) broughtForward_();
      });
    }
  });
}

}  // namespace framework
