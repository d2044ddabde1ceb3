#include "framework/qt/DisplayOpening.h"

#include <unistd.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "framework/qt/NamedDisplays.h"

namespace framework {
namespace {

// Where Qt tells, at debug level, why a plugin's library did not load.
constexpr char kLibraryCategory[] = "qt.core.library";

// One report of Qt's, with copies of what its context points to.
struct HeldReport {
  QtMsgType type;
  QByteArray file;
  int line;
  QByteArray function;
  QByteArray category;
  QString message;
  bool lent;  // turned on only for the opening: shown only when it fails
};

std::mutex heldMutex;
std::vector<HeldReport> held;
QtMessageHandler previousHandler = nullptr;
QLoggingCategory::CategoryFilter previousFilter = nullptr;
std::atomic<bool> libraryReportsLent = false;
const char* programName = "OlvanMigrationAssistant";

void LendLibraryReports(QLoggingCategory* category) {
  if (previousFilter != nullptr) previousFilter(category);
  if (std::strcmp(category->categoryName(), kLibraryCategory) != 0 || category->isDebugEnabled()) return;
  category->setEnabled(QtDebugMsg, true);
  libraryReportsLent = true;
}

// Hands what was held back to the handler that was there before, in order.
void PassOnHeld(bool withLent) {
  std::vector<HeldReport> reports;
  {
    const std::lock_guard lock(heldMutex);
    reports.swap(held);
  }
  for (const HeldReport& report : reports) {
    if (report.lent && !withLent) continue;
    const QMessageLogContext context(report.file.isNull() ? nullptr : report.file.constData(), report.line,
                                     report.function.isNull() ? nullptr : report.function.constData(),
                                     report.category.isNull() ? nullptr : report.category.constData());
    previousHandler(report.type, context, report.message);
  }
}

constexpr char kVirtualScreenAdvice[] = "start it from a desktop session, or on a virtual screen: xvfb-run -a";

// The display, when named and answering, is not the reason: Qt's report is,
// and the program's line after it says what the person can do.
void SayQtsPlatformDidNotStart(const QMessageLogContext& context, const QString& message, const char* display) {
  PassOnHeld(/*withLent=*/true);
  // Handed on as a critical report: the handler before would abort on a
  // fatal one.
  previousHandler(QtCriticalMsg, context, message);
  std::fprintf(stderr,
               "OLVAN: %s%s%sQt's platform could not start: install what Qt's report above says is missing, or "
               "set QT_QPA_PLATFORM to a platform it lists\n",
               display != nullptr ? "the display (" : "", display != nullptr ? display : "",
               display != nullptr ? ") answers, but " : "");
}

void SayWhyTheOpeningFailed(const QMessageLogContext& context, const QString& message) {
#ifdef __APPLE__
  // The window server is the display here: whatever failed is Qt's own.
  SayQtsPlatformDidNotStart(context, message, nullptr);
#else
  const std::vector<NamedDisplay> displays = NamedDisplays();
  for (const NamedDisplay& display : displays) {
    if (display.answers) return SayQtsPlatformDidNotStart(context, message, display.setting.c_str());
  }
  if (displays.empty()) {
    std::fprintf(stderr,
                 "OLVAN: there is no display to show the wizard on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "%s %s\n",
                 kVirtualScreenAdvice, programName);
    return;
  }
  std::fprintf(stderr, "OLVAN: the display (%s) cannot be opened to show the wizard on; %s %s\n",
               displays.front().setting.c_str(), kVirtualScreenAdvice, programName);
#endif
}

void HoldBack(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    SayWhyTheOpeningFailed(context, message);
    std::fflush(stderr);
    // Not exit(): the half-built application object must not be torn down
    // by the process's exit handlers.
    ::_exit(1);
  }
  const bool lent = type == QtDebugMsg && libraryReportsLent && context.category != nullptr &&
                    std::strcmp(context.category, kLibraryCategory) == 0;
  const std::lock_guard lock(heldMutex);
  held.push_back({type, context.file, context.line, context.function, context.category, message, lent});
}

}  // namespace

DisplayOpening::DisplayOpening(const char* program) {
  if (program != nullptr && *program != '\0') programName = program;
  previousHandler = qInstallMessageHandler(HoldBack);
  previousFilter = QLoggingCategory::installFilter(LendLibraryReports);
}

void DisplayOpening::Opened() {
  // The filter before sets every category back as it was.
  QLoggingCategory::installFilter(previousFilter);
  libraryReportsLent = false;
  qInstallMessageHandler(previousHandler);
  PassOnHeld(/*withLent=*/false);
}

}  // namespace framework
