// One running program per bundle: a later start of the same bundle hands
// over to the running one, which is brought forward; a start of another
// bundle, or of the same one after the first has ended, runs. Only this
// user's own program is handed over to, and the socket lives where no other
// account can put anything.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "framework/qt/SingleInstance.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::SingleInstance;
using Start = SingleInstance::Start;

// Paths of this test run alone, so that runs side by side do not meet.
QString BundleKey(const char* stick) {
  return QStringLiteral("/olvan-test-%1/%2/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant")
      .arg(QCoreApplication::applicationPid())
      .arg(QLatin1String(stick));
}

// An environment variable set (or unset, for nullopt) for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<QByteArray>& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    value ? qputenv(name, *value) : qunsetenv(name);
  }
  ~ScopedVariable() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

// A folder only this user can reach: no link, this user's, closed to others.
bool IsPrivateFolder(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// A later start on a thread of its own, while this thread serves the events
// of a running program here, whose answer it waits for.
Start StartBeside(const QString& key) {
  Start outcome = Start::kRuns;
  const std::unique_ptr<QThread> start(QThread::create([&] { outcome = SingleInstance(key, {}).Outcome(); }));
  start->start();
  EXPECT_TRUE(qttest::WaitUntil([&] { return start->isFinished(); }, std::chrono::seconds(30)));
  start->wait();
  return outcome;
}

// A socket at the path that takes connections and never answers them (a hung
// program), or, not listening, one whose program is gone.
int SocketAt(const QString& path, bool listening) {
  const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
  if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (listening && ::listen(socket, 8) != 0))
    ADD_FAILURE() << "no socket at " << path.toStdString();
  return socket;
}

// What holds the name once a start that found `what` there runs: the new
// program listens there, so a later start hands over to it.
void ExpectTheStartTookThePlace(const QString& key, const char* what) {
  SCOPED_TRACE(what);
  int broughtForward = 0;
  const SingleInstance running(key, [&] { ++broughtForward; });
  EXPECT_EQ(running.Outcome(), Start::kRuns) << "handed over to " << what;
  EXPECT_EQ(StartBeside(key), Start::kHandedOver) << "the start did not take the place of " << what;
  EXPECT_TRUE(qttest::WaitUntil([&] { return broughtForward == 1; })) << "the running one was not told";
}

TEST(SingleInstance, ALaterStartOfTheSameBundleHandsOverAndBringsTheRunningOneForward) {
  const QString oldStick = BundleKey("old");
  const QString newStick = BundleKey("new");

  int broughtForward = 0;
  auto running = std::make_unique<SingleInstance>(oldStick, [&] { ++broughtForward; });
  ASSERT_EQ(running->Outcome(), Start::kRuns);

  EXPECT_EQ(StartBeside(oldStick), Start::kHandedOver);
  EXPECT_TRUE(qttest::WaitUntil([&] { return broughtForward == 1; })) << "the running one was not told";

  const SingleInstance beside(newStick, {});
  EXPECT_EQ(beside.Outcome(), Start::kRuns) << "another bundle's program runs side by side";

  // On its way out it no longer answers: a start then is not handed over to
  // a wizard that is about to end.
  running->StopListening();
  EXPECT_EQ(StartBeside(oldStick), Start::kRunningOneIsSilent);
  running.reset();
  const SingleInstance afterwards(oldStick, {});
  EXPECT_EQ(afterwards.Outcome(), Start::kRuns) << "the first has ended; nobody is there to hand over to";
  EXPECT_EQ(broughtForward, 1);
}

TEST(SingleInstance, TheSocketLivesInAFolderOnlyThisUserCanReach) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  const QString privateRuntime = scratch.filePath("runtime");
  const QString openRuntime = scratch.filePath("open");
  const QString temp = scratch.filePath("tmp");
  ASSERT_TRUE(QDir().mkdir(privateRuntime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  ASSERT_TRUE(QDir().mkdir(openRuntime));
  ASSERT_EQ(::chmod(QFile::encodeName(openRuntime).constData(), 0777), 0);
  ASSERT_TRUE(QDir().mkdir(temp));
  // The temporary folder of the machine, here one of this test's own.
  const ScopedVariable tmpdir("TMPDIR", QFile::encodeName(temp));

  struct Row {
    const char* name;
    std::optional<QString> runtime;  // XDG_RUNTIME_DIR
    QString expectedFolder;          // empty: none can be had
    bool takenInTemp = false;        // an entry open to all at the shared name first
  };
  const passwd* self = ::getpwuid(::geteuid());
  ASSERT_NE(self, nullptr);
  const QString ownInTemp = temp + "/runtime-" + QString::fromLocal8Bit(self->pw_name);
  const Row rows[] = {
      {"the desktop's runtime folder", privateRuntime, privateRuntime + "/olvan"},
      {"a runtime folder open to every account", openRuntime, ownInTemp + "/olvan"},
      {"no runtime folder", std::nullopt, ownInTemp + "/olvan"},
      {"the shared name left open to every account", std::nullopt, QString(), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QDir(ownInTemp).removeRecursively();
    if (row.takenInTemp) {
      ASSERT_TRUE(QDir().mkdir(ownInTemp));
      ASSERT_EQ(::chmod(QFile::encodeName(ownInTemp).constData(), 0777), 0);
    }
    const ScopedVariable runtime("XDG_RUNTIME_DIR",
                                 row.runtime ? std::optional(QFile::encodeName(*row.runtime)) : std::nullopt);
    const QString key = BundleKey("stick");
    const QString socket = SingleInstance::SocketPath(key);
    if (row.expectedFolder.isEmpty()) {
      EXPECT_TRUE(socket.isEmpty()) << socket.toStdString();
      // Never blocked by it: the program runs, alone as far as it knows.
      const SingleInstance running(key, {});
      EXPECT_EQ(running.Outcome(), Start::kRuns);
      EXPECT_TRUE(QDir(ownInTemp).isEmpty()) << "wrote into another account's folder";
      continue;
    }
    EXPECT_EQ(QFileInfo(socket).path(), row.expectedFolder);
    EXPECT_TRUE(IsPrivateFolder(row.expectedFolder) && IsPrivateFolder(QFileInfo(row.expectedFolder).path()));
    const SingleInstance running(key, {});
    EXPECT_EQ(running.Outcome(), Start::kRuns);
    EXPECT_TRUE(QFileInfo(socket).exists() && QFileInfo(socket + ".lock").exists()) << socket.toStdString();
  }
}

TEST(SingleInstance, WhatAKilledRunLeftAtTheNameIsReplacedNeverFollowed) {
  const QString key = BundleKey("killed");
  const QString socket = SingleInstance::SocketPath(key);
  ASSERT_FALSE(socket.isEmpty());
  QTemporaryDir persons;
  ASSERT_TRUE(persons.isValid());
  const QString notes = persons.filePath("notes.txt");
  {
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the person's own");
  }

  ::close(SocketAt(socket, /*listening=*/false));
  ExpectTheStartTookThePlace(key, "a socket left by a killed run");

  ASSERT_TRUE(QFile::link(notes, socket));
  ExpectTheStartTookThePlace(key, "a link to a file of the person's");
  QFile file(notes);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the link was followed";
  EXPECT_EQ(file.readAll(), "the person's own");
}

TEST(SingleInstance, AStartBesideAHungProgramNeitherHangsNorEndsSilently) {
  struct Row {
    const char* name;
    bool lockHeld;   // by the hung program: it is the running one
    bool listening;  // it takes connections, and never answers
    Start expected;
  };
  const Row rows[] = {
      {"a listener that holds no lock: no program runs", false, true, Start::kRuns},
      {"the running program that never answers", true, true, Start::kRunningOneIsSilent},
      {"the running program that never listens", true, false, Start::kRunningOneIsSilent},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const QString key = BundleKey(row.name);
    const QString socket = SingleInstance::SocketPath(key);
    ASSERT_FALSE(socket.isEmpty());
    const int lock = ::open(QFile::encodeName(socket + ".lock").constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(lock, row.lockHeld ? LOCK_EX : LOCK_UN), 0);
    const int hung = row.listening ? SocketAt(socket, /*listening=*/true) : -1;

    const auto started = std::chrono::steady_clock::now();
    if (row.expected == Start::kRuns) {
      ExpectTheStartTookThePlace(key, row.name);
    } else {
      EXPECT_EQ(SingleInstance(key, {}).Outcome(), row.expected);
      // It waited for the answer as long as it may, and not much longer.
      const auto waited = std::chrono::steady_clock::now() - started;
      EXPECT_GE(waited, SingleInstance::kAnswerWithin);
      EXPECT_LT(waited, SingleInstance::kAnswerWithin + std::chrono::seconds(2));
    }
    if (hung >= 0) ::close(hung);
    ::close(lock);
  }
}

// A process of the account "nobody" listening at a socket that is then moved
// to the given path; it ends with this object.
class ListenerOfAnotherAccount {
 public:
  ListenerOfAnotherAccount(const passwd& account, const QString& place) {
    if (!folder_.isValid() || ::chmod(QFile::encodeName(folder_.path()).constData(), 0777) != 0) return;
    const QByteArray bound = QFile::encodeName(folder_.filePath("s"));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, bound.constData(), sizeof address.sun_path - 1);
    int ready[2];
    if (::pipe(ready) != 0) return;
    const uid_t uid = account.pw_uid;
    const gid_t gid = account.pw_gid;
    pid_ = ::fork();
    if (pid_ == 0) {
      // Only system calls here: the child of a threaded process.
      char listening = 0;
      const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
      if (::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 && ::setresuid(uid, uid, uid) == 0 &&
          listener >= 0 && ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(listener, 8) == 0)
        listening = 1;
      if (::write(ready[1], &listening, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char listening = 0;
    const bool told = pid_ > 0 && ::read(ready[0], &listening, 1) == 1;
    ::close(ready[0]);
    listening_ = told && listening == 1 && ::rename(bound.constData(), QFile::encodeName(place).constData()) == 0;
  }
  ~ListenerOfAnotherAccount() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ListenerOfAnotherAccount(const ListenerOfAnotherAccount&) = delete;
  ListenerOfAnotherAccount& operator=(const ListenerOfAnotherAccount&) = delete;

  bool Listening() const { return listening_; }

 private:
  QTemporaryDir folder_;
  pid_t pid_ = -1;
  bool listening_ = false;
};

TEST(SingleInstance, AListenerOfAnotherAccountAtTheNameIsNotHandedOverTo) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || nobody == nullptr)
    GTEST_SKIP() << "a listener of another account needs root and the account \"nobody\"";
  const QString key = BundleKey("foreign");
  const QString socket = SingleInstance::SocketPath(key);
  ASSERT_FALSE(socket.isEmpty());
  const ListenerOfAnotherAccount foreign(*nobody, socket);
  ASSERT_TRUE(foreign.Listening());
  ExpectTheStartTookThePlace(key, "another account's listener");
}

}  // namespace
