// One running program per bundle, as the Mac keeps one running copy of an
// application: a second start of the same bundle tells the running one to
// come to the front, and ends.
//
// The key is the place the program runs from (the path of its executable in
// its bundle), so two copies in different places, an old and a new machine's
// sticks, still run side by side. The running program listens on a local
// socket in this user's private runtime folder (RuntimeFolder.h), named after
// the key; a start that reaches it hands over.
//
// Only this user's own program is trusted either way: a start hands over only
// to a listener of the same user, and the running one comes forward only for
// a start of the same user (the socket's peer credentials). Whatever else
// holds the name (a socket left by a killed run, a link, another account's
// listener) is replaced by the new listener, never followed. Without a
// private folder there is no check: the program runs, as if alone.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace framework {

class SingleInstance : public QObject {
 public:
  // Needs the QApplication; called on the GUI thread. broughtForward runs
  // (on the GUI thread, from the event loop) each time a later start hands
  // over to this one.
  SingleInstance(const QString& key, std::function<void()> broughtForward, QObject* parent = nullptr);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another program already runs for the key: it has been told to
  // come to the front, and this one should end.
  bool HandedOver() const { return handedOver_; }

  // The socket's path for the key, in the program's runtime folder (made if
  // need be); empty when this user has no private folder to keep it in.
  static QString SocketPath(const QString& key);

 private:
  bool TellTheRunningOne() const;
  void Listen();

  QString name_;
  std::function<void()> broughtForward_;
  QLocalServer* server_ = nullptr;
  bool handedOver_ = false;
};

}  // namespace framework
