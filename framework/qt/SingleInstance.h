// One running program per bundle, as the Mac keeps one running copy of an
// application: a second start of the same bundle tells the running one to
// come to the front, and ends.
//
// The key is the place the program runs from (the path of its executable in
// its bundle), so two copies in different places, an old and a new machine's
// sticks, still run side by side. The running program listens on a local
// socket named after the user and the key; a start that reaches it hands
// over. A socket left by a program that crashed is taken over.
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

 private:
  bool TellTheRunningOne() const;
  void Listen();

  QString name_;
  std::function<void()> broughtForward_;
  QLocalServer* server_ = nullptr;
  bool handedOver_ = false;
};

}  // namespace framework
