#include "qt/QtTestSupport.h"

#include <QFile>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTreeWidget>

#include "framework/core/threads/Baton.h"
#include "framework/qt/BatonApplication.h"
#include "framework/qt/ListboxView.h"

namespace qttest {
namespace {

// One application object for the whole run, on the offscreen platform so the
// tests need no display, with one screen of 1024 x 768, the smallest the
// program is made for. The run gets a home and a runtime folder of its own,
// both empty, so that a test sees whatever the front writes there and nothing
// lands in the machine's own.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid() && runtime_.isValid());
    qputenv("HOME", QFile::encodeName(home_.path()));
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    screens_.open();
    screens_.write(R"({"screens": [{"name": "1024x768", "x": 0, "y": 0, "width": 1024, "height": 768,
                                      "logicalDpi": 96, "dpr": 1}]})");
    screens_.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens_.fileName().toLocal8Bit());
    // The offscreen platform says so each time a window is raised; nothing
    // the tests look at.
    previousHandler_ = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
          if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
          previousHandler_(type, context, message);
        });
    application_ = std::make_unique<framework::BatonApplication>(argc_, argv_);
  }
  void TearDown() override {
    application_.reset();
    qInstallMessageHandler(previousHandler_);
  }

 private:
  int argc_ = 1;
  char name_[9] = "qt_tests";
  char* argv_[2] = {name_, nullptr};
  QTemporaryDir home_;
  QTemporaryDir runtime_;
  QTemporaryFile screens_;
  std::unique_ptr<framework::BatonApplication> application_;
  static inline QtMessageHandler previousHandler_ = nullptr;
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QModelIndex IndexOf(QTreeWidget& view, QTreeWidgetItem* item, int column) {
  QTreeWidgetItem* parent = item->parent();
  if (parent == nullptr) return view.model()->index(view.indexOfTopLevelItem(item), column);
  return view.model()->index(parent->indexOfChild(item), column, IndexOf(view, parent, 0));
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
  framework::BatonReleaser letEventsRun;
  return QTest::qWaitFor(
      [&] {
        framework::BatonHolder programState;
        return condition();
      },
      static_cast<int>(deadline.count()));
}

QtFrontTest::QtFrontTest() : previous_(framework::SetUserInterface(&front_)) {}

QtFrontTest::~QtFrontTest() {
  framework::Window::DiscardAll();
  framework::SetUserInterface(previous_);
}

QWidget* QtFrontTest::ShownWindow(const framework::Window& window) {
  const bool shown = WaitUntil([&] {
    QWidget* top = front_.WindowWidget(window);
    return top != nullptr && top->isVisible();
  });
  EXPECT_TRUE(shown) << "the front never showed the window";
  return shown ? front_.WindowWidget(window) : nullptr;
}

QPoint CheckBoxCentre(framework::ListboxView& view, QTreeWidgetItem* item, int column) {
  QStyleOptionViewItem option;
  option.initFrom(&view);
  option.rect = view.visualRect(IndexOf(view, item, column));
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  option.text = item->text(column);
  option.font = view.font();
  option.fontMetrics = view.fontMetrics();
  return view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view).center();
}

QPoint TriangleCentre(framework::ListboxView& view, QTreeWidgetItem* item) {
  const QRect cell = view.visualRect(IndexOf(view, item, 0));
  return QPoint(cell.left() - view.indentation() / 2, cell.center().y());
}

}  // namespace qttest
