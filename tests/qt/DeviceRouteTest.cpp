// The external-device route once through the real widgets, to prove the
// wiring from clicks to the program and back: route, scan, a tick cleared
// in the item list, the copy, "終了" ending the event loop with the marker
// written, and on the next launch the paste and the marker deleted.
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "discovery/Window2.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/qt/ListboxView.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/ui/ImplicitInstance.h"
#include "program/FakeMachine.h"
#include "qt/QtTestSupport.h"
#include "shell/Startup.h"
#include "wizard/Window1.h"

namespace {

namespace fs = std::filesystem;
using qttest::WaitUntil;

void Click(QWidget* widget, QPoint at = QPoint()) {
  ASSERT_NE(widget, nullptr);
  framework::BatonReleaser asTheEventLoopDoes;
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

class DeviceRouteThroughWidgets : protected programtest::FakeMachine, public qttest::QtFrontTest {
 protected:
  ~DeviceRouteThroughWidgets() override {
    if (wizard_) ShutDownProgram();
  }

  Window1& Launch() {
    StartProgram();
    wizard_ = framework::ImplicitInstance<Window1>::Shared();
    return *wizard_;
  }
  void EndProgram() {
    ShutDownProgram();
    wizard_.reset();
  }

  // The button's widget once it shows (its page may still be coming).
  QPushButton* ShownButton(const framework::Control& control) {
    auto* button = WidgetOf<QPushButton>(control);
    if (button == nullptr || !WaitUntil([&] { return button->isVisible() && button->isEnabled(); })) return nullptr;
    return button;
  }
  QRadioButton* ShownRadio(const framework::Control& control) {
    auto* radio = WidgetOf<QRadioButton>(control);
    if (radio == nullptr || !WaitUntil([&] { return radio->isVisible(); })) return nullptr;
    return radio;
  }

  // A run the person started has ended and the wizard offers "終了".
  bool RunEnded() {
    return WaitUntil([&] {
      return framework::Thread::RunningCount() == 0 && wizard_->PushButton2().Enabled() &&
             wizard_->PushButton2().Caption() == "終了";
    });
  }

  // The quit the program asked for ends the event loop, as in the program's
  // main; a quit that never comes fails instead of hanging.
  static int RunEventLoop() {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(10000);
    framework::BatonReleaser asMainDoes;
    return QCoreApplication::exec();
  }

  fs::path Marker() const { return Root() / "USB/OLVAN/OLVAN.app/Contents/Resources/CopyDone"; }

  std::shared_ptr<Window1> wizard_;
  std::optional<framework::FileSystemSetupGuard> newMachine_;
};

TEST_F(DeviceRouteThroughWidgets, CopyQuitRelaunchAndPaste) {
  Root().MakeBundle("MacHD/Applications/Pelquon/Pelquon.app", "APPLqZwm");
  Root().WriteFile("MacHD/Users/me/Library/Preferences/Pelquon初期設定/pref", "settings");
  Root().MakeBundle("MacHD/Applications/Quilbrant/Quilbrant.app", "APPLqZw2");
  Root().MakeBundle("USB/OLVAN/OLVAN.app", "APPLqZws");
  Root().MakeFolder("USB/OLVAN/OLVAN.app/Contents/Resources");

  Window1& w = Launch();
  Click(ShownRadio(w.RadioButton1()));
  Click(ShownButton(w.PushButton2()));
  ASSERT_TRUE(WaitUntil([&] { return w.PushButton8().Caption() == "再取得"; })) << "the scan never ended";

  // Quilbrant stays behind: its item row's check box, clicked.
  framework::Listbox& rows = Window2::Instance().Listbox1();
  auto* view = WidgetOf<framework::ListboxView>(rows);
  ASSERT_NE(view, nullptr);
  QTreeWidgetItem* quilbrant = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    const auto found = view->findItems("Quilbrant", Qt::MatchExactly | Qt::MatchRecursive, 0);
    quilbrant = found.isEmpty() ? nullptr : found.first();
    return quilbrant != nullptr && view->isVisible();
  }));
  Click(view->viewport(), qttest::CheckBoxCentre(*view, quilbrant, 0));
  ASSERT_TRUE(WaitUntil([&] {
    for (std::int32_t row = 0; row < rows.ListCount(); ++row)
      if (rows.Cell(row, 0) == "Quilbrant" && !rows.Cell(row, 1).IsEmpty()) return !rows.CellCheck(row, 0);
    return false;
  }));

  Click(ShownButton(w.PushButton2()));
  Click(ShownButton(w.PushButton5()));
  ASSERT_TRUE(RunEnded());
  Click(ShownButton(w.PushButton2()));
  EXPECT_EQ(RunEventLoop(), 0);
  EXPECT_TRUE(w.Closed());
  EXPECT_TRUE(fs::exists(Marker()));
  EndProgram();

  framework::FileSystemSetup machine = StandardSetup(Root());
  machine.applications = Root().MakeFolder("NewHD/Applications");
  machine.preferences = Root().MakeFolder("NewHD/Users/me/Library/Preferences");
  machine.applicationData = Root().MakeFolder("NewHD/Users/me/Library/Application Support");
  machine.documents = Root().MakeFolder("NewHD/Users/me/Documents");
  newMachine_.emplace(std::move(machine));
  Window1& next = Launch();
  Click(ShownRadio(next.RadioButton5()));
  Click(ShownButton(next.PushButton6()));
  ASSERT_TRUE(RunEnded());
  EXPECT_TRUE(fs::exists(Root() / "NewHD/Applications/Pelquon/Pelquon.app/Contents/PkgInfo"));
  EXPECT_TRUE(fs::exists(Root() / "NewHD/Users/me/Library/Preferences/Pelquon初期設定/pref"));
  EXPECT_FALSE(fs::exists(Root() / "NewHD/Applications/Quilbrant"));
  Click(ShownButton(next.PushButton2()));
  EXPECT_EQ(RunEventLoop(), 0);
  EXPECT_FALSE(fs::exists(Marker()));
}

}  // namespace
