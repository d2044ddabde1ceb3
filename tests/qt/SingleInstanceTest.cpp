// One running program per bundle: a later start of the same bundle hands
// over to the running one, which is brought forward; a start of another
// bundle, or of the same one after the first has ended, runs.
#include <QCoreApplication>
#include <memory>

#include "framework/qt/SingleInstance.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::SingleInstance;

TEST(SingleInstance, ALaterStartOfTheSameBundleHandsOverAndBringsTheRunningOneForward) {
  // Paths of this test run alone, so that runs side by side do not meet.
  const QString run = QStringLiteral("/olvan-test-%1").arg(QCoreApplication::applicationPid());
  const QString oldStick = run + "/old/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant";
  const QString newStick = run + "/new/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant";

  int broughtForward = 0;
  auto running = std::make_unique<SingleInstance>(oldStick, [&] { ++broughtForward; });
  ASSERT_FALSE(running->HandedOver());

  const SingleInstance again(oldStick, {});
  EXPECT_TRUE(again.HandedOver());
  EXPECT_TRUE(qttest::WaitUntil([&] { return broughtForward == 1; })) << "the running one was not told";

  const SingleInstance beside(newStick, {});
  EXPECT_FALSE(beside.HandedOver()) << "another bundle's program runs side by side";

  running.reset();
  const SingleInstance afterwards(oldStick, {});
  EXPECT_FALSE(afterwards.HandedOver()) << "the first has ended; nobody is there to hand over to";
  EXPECT_EQ(broughtForward, 1);
}

}  // namespace
