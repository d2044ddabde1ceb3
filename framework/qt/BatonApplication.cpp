#include "framework/qt/BatonApplication.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QThread>
#include <QTranslator>
#include <exception>

#include "framework/core/threads/Baton.h"
#include "framework/qt/RuntimeFolder.h"

namespace framework {

BatonApplication::BatonApplication(int& argc, char** argv)
    : DisplayOpening(argc > 0 ? argv[0] : nullptr), QApplication(argc, argv) {
  Opened();
  // Qt's dialogs keep their state where nothing of the person's is. Without
  // a runtime folder, a folder that can never be made: they keep nothing
  // beyond the run.
  const QString runtime = ProgramRuntimeFolder();
  const QString dialogState = runtime.isEmpty() ? QStringLiteral("/dev/null") : runtime + QStringLiteral("/settings");
  // The chooser asks for the system's format, which here is a file like the
  // INI one but looked up by a path of its own; both are pointed there.
  for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, dialogState);
  QFont font(FontFamily());
  font.setPixelSize(kSystemFontPixels);
  setFont(font);
  // Qt's own texts (the choosers, the standard buttons) in the program's
  // language, whatever the person's locale.
  auto* qtTexts = new QTranslator(this);
  if (qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(qtTexts);
  } else {
    qWarning("OLVAN: Qt's Japanese translations are missing (qt6-translations-l10n); Qt's dialogs speak English");
  }
  // Windows come and go as the models say; closing the last one is the
  // front's decision (QtUserInterface), not Qt's.
  setQuitOnLastWindowClosed(false);
}

BatonApplication::~BatonApplication() = default;

QString BatonApplication::FontFamily() { return QStringLiteral("Noto Sans CJK JP"); }

bool BatonApplication::notify(QObject* receiver, QEvent* event) {
  if (QThread::currentThread() != thread()) return QApplication::notify(receiver, event);
  BatonHolder programCode;
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    // Qt cannot carry an exception through its event loop. A handler that
    // throws has left the program in a state nobody planned for, so the
    // program ends with a message rather than go on from there.
    qCritical("OLVAN: an event handler failed: %s", e.what());
  } catch (...) {
    qCritical("OLVAN: an event handler failed with an unknown exception");
  }
  QCoreApplication::exit(1);
  return false;
}

}  // namespace framework
