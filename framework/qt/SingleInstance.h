// One running program per bundle and user, as the Mac keeps one running copy
// of an application: a later start of the same bundle tells the running one to
// come to the front, and ends.
//
// The key is the place the program runs from (the path of its executable in
// its bundle), so two copies in different places, an old and a new machine's
// sticks, still run side by side. Both things that stand for the key live in
// this user's private runtime folder (RuntimeFolder.h), named after it:
//   - a lock file: a start first tries to take its exclusive lock (flock),
//     and the one that has it is the running program, for as long as it
//     lives; the kernel lets go of it when the process ends, however it ends.
//     Two starts at the same instant cannot both have it;
//   - a local socket, on which the running program listens; it replaces
//     whatever held the name (a socket left by a killed run, a link, another
//     account's listener), never following it.
// A start that cannot take the lock hands over: it connects, says it is
// there, and waits for the running one's answer. While the running one may
// still be setting up its listener it tries again, and it also tries the lock
// again, in case the running one has just ended. If no answer comes within a
// short bounded time (a hung program holds the lock), the start gives up and
// says so; it never hangs and never starts a second program.
//
// Only this user's own program is trusted either way: a start hands over only
// to a listener of the same user, and the running one comes forward only for
// a start of the same user (the socket's peer credentials). Without a private
// folder there is no check: the program runs, as if alone.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

class QDeadlineTimer;
class QLocalServer;

namespace framework {

class SingleInstance : public QObject {
 public:
  enum class Start {
    kRuns,                // this is the running program for the key
    kHandedOver,          // another one runs and has answered: this one ends
    kRunningOneIsSilent,  // another one holds the key but did not answer in time
  };

  // How long a later start waits, in all, for the running one to answer.
  static constexpr std::chrono::milliseconds kAnswerWithin{2500};

  // Needs the QApplication; called on the GUI thread. broughtForward runs
  // (on the GUI thread, from the event loop) each time a later start hands
  // over to this one.
  SingleInstance(const QString& key, std::function<void()> broughtForward, QObject* parent = nullptr);
  ~SingleInstance() override;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  Start Outcome() const { return outcome_; }

  // The program is on its way out: later starts get no answer from it any
  // more (they wait for the lock, and say so when it is not let go in time),
  // so none hands over to a wizard that is about to end.
  void StopListening();

  // The socket's path for the key, in the program's runtime folder (made if
  // need be); empty when this user has no private folder to keep it in. The
  // lock file is the same path with ".lock" after it.
  static QString SocketPath(const QString& key);

 private:
  bool TellTheRunningOne(const QDeadlineTimer& deadline) const;
  void Listen();

  QString name_;
  std::function<void()> broughtForward_;
  QLocalServer* server_ = nullptr;
  int lock_ = -1;
  Start outcome_ = Start::kRuns;
};

}  // namespace framework
