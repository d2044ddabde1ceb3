#include "framework/qt/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cerrno>

namespace framework {
namespace {

// A folder of this user's that nobody else can read, enter or write. lstat:
// a link is never taken, wherever it points.
bool IsPrivateFolder(const QByteArray& path) {
  struct stat info {};
  if (::lstat(path.constData(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Made closed to others from the start, so there is no moment when another
// account could open it; an entry already there must pass the same test.
bool MakePrivateFolder(const QByteArray& path) {
  if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
  return IsPrivateFolder(path);
}

}  // namespace

QString ProgramRuntimeFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.startsWith('/') && IsPrivateFolder(runtime) && MakePrivateFolder(runtime + "/olvan"))
    return QFile::decodeName(runtime + "/olvan");
  const QByteArray shared =
      QFile::encodeName(QDir::cleanPath(QDir::tempPath())) + "/olvan-" + QByteArray::number(::geteuid());
  if (MakePrivateFolder(shared)) return QFile::decodeName(shared);
  return {};
}

}  // namespace framework
