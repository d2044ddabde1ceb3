#include "framework/qt/DisplayOpening.h"

#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <mutex>
#include <vector>

namespace framework {
namespace {

// One report of Qt's, with copies of what its context points to.
struct HeldReport {
  QtMsgType type;
  QByteArray file;
  int line;
  QByteArray function;
  QByteArray category;
  QString message;
};

std::mutex heldMutex;
std::vector<HeldReport> held;
QtMessageHandler previousHandler = nullptr;
const char* programName = "OlvanMigrationAssistant";

void SayThereIsNoDisplay() {
  const QByteArray x11 = qgetenv("DISPLAY");
  const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
  const char* advice = "start it from a desktop session, or on a virtual screen: xvfb-run -a";
  if (x11.isEmpty() && wayland.isEmpty()) {
    std::fprintf(stderr,
                 "OLVAN: there is no display to show the wizard on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "%s %s\n",
                 advice, programName);
  } else {
    const QByteArray named = x11.isEmpty() ? "WAYLAND_DISPLAY=" + wayland : "DISPLAY=" + x11;
    std::fprintf(stderr, "OLVAN: the display (%s) cannot be opened to show the wizard on; %s %s\n",
                 named.constData(), advice, programName);
  }
  std::fflush(stderr);
}

void HoldBack(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    SayThereIsNoDisplay();
    // Not exit(): the half-built application object must not be torn down
    // by the process's exit handlers.
    ::_exit(1);
  }
  const std::lock_guard lock(heldMutex);
  held.push_back({type, context.file, context.line, context.function, context.category, message});
}

}  // namespace

DisplayOpening::DisplayOpening(const char* program) {
  if (program != nullptr && *program != '\0') programName = program;
  previousHandler = qInstallMessageHandler(HoldBack);
}

void DisplayOpening::Opened() {
  qInstallMessageHandler(previousHandler);
  std::vector<HeldReport> reports;
  {
    const std::lock_guard lock(heldMutex);
    reports.swap(held);
  }
  for (const HeldReport& report : reports) {
    const QMessageLogContext context(report.file.isNull() ? nullptr : report.file.constData(), report.line,
                                     report.function.isNull() ? nullptr : report.function.constData(),
                                     report.category.isNull() ? nullptr : report.category.constData());
    previousHandler(report.type, context, report.message);
  }
}

}  // namespace framework
