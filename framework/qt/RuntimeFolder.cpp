#include "framework/qt/RuntimeFolder.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

namespace framework {

QString ProgramRuntimeFolder() {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) return {};
  // Inside a folder that only this user can write, whatever holds the name
  // was put there by this user's own programs.
  const QString folder = runtime + QStringLiteral("/olvan");
  if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) return {};
  const QFileInfo made(folder);
  if (made.isSymLink() || !made.isDir()) return {};
  return folder;
}

}  // namespace framework
