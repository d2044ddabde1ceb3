// Sheets and drawers belong to the document window in front: a sheet is
// modal to it alone and comes down from its top, a drawer stands at its
// right edge, follows it, and stays when the document goes. Neither shows a
// title of its own; a drawer has no title bar, both draw their own edge.
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "framework/core/threads/Baton.h"
#include "framework/ui/PushButton.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::PushButton;
using framework::WindowFrame;
using qttest::QtFrontTest;
using qttest::TestWindow;
using qttest::WaitUntil;

std::shared_ptr<TestWindow> MakeDocument() {
  return TestWindow::Make({}, [](TestWindow& w) {
    w.Width(600);
    w.Height(480);
    w.Placement(framework::WindowPlacement::AsSet);
    w.Left(40);
    w.Top(30);
  });
}

std::shared_ptr<TestWindow> MakeDrawer() {
  return TestWindow::Make({}, [](TestWindow& w) {
    w.Frame(WindowFrame::Drawer);
    w.Width(360);
    w.Height(446);
    // What the item list's layout asks for; a drawer shows neither.
    w.Title("Untitled");
    w.CloseBox(true);
    w.MinimizeBox(true);
  });
}

bool HasEdge(const QWidget& top) {
  const QWidget* edge = top.findChild<QWidget*>("WindowEdge", Qt::FindDirectChildrenOnly);
  const QList<QWidget*> widgets = top.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  // Drawn above everything else: the last of the window's widgets.
  return edge != nullptr && edge->isVisible() && edge->geometry() == top.rect() && widgets.last() == edge;
}

using WindowFrames = QtFrontTest;

TEST_F(WindowFrames, DrawerStandsAtTheDocumentsRightEdgeFollowsItAndOutlivesIt) {
  auto document = MakeDocument();
  QPointer<QWidget> documentTop = ShownWindow(*document);
  auto drawer = MakeDrawer();
  QPointer<QWidget> drawerTop = ShownWindow(*drawer);
  ASSERT_FALSE(documentTop.isNull() || drawerTop.isNull());
  QWidget* content = front_.ContentWidget(*document);
  const auto besideTheDocument = [&] {
    const QPoint contentTop = content->mapToGlobal(QPoint(0, 0));
    return drawerTop->pos() ==
           QPoint(documentTop->frameGeometry().right() + 1, contentTop.y() + (480 - drawerTop->height()) / 2);
  };
  EXPECT_TRUE(WaitUntil(besideTheDocument)) << "drawer at " << drawerTop->x() << "," << drawerTop->y();
  documentTop->move(documentTop->pos() + QPoint(25, 15));
  EXPECT_TRUE(WaitUntil(besideTheDocument)) << "the drawer did not follow its window";

  document->Close();
  ASSERT_TRUE(WaitUntil([&] { return documentTop.isNull(); })) << "a closed window's widgets go";
  ASSERT_FALSE(drawerTop.isNull()) << "the drawer's widgets went down with the document's";
  EXPECT_TRUE(drawerTop->isVisible());
}

TEST_F(WindowFrames, DrawerWithoutRoomTakesItsDocumentAlongAndBothStayWhollyOnTheScreen) {
  // Centred on the 1024 x 768 screen, as a window manager places it: the
  // drawer would stand 150 pixels past the screen's right edge.
  auto document = TestWindow::Make({}, [](TestWindow& w) {
    w.Width(600);
    w.Height(480);
    w.Placement(framework::WindowPlacement::AsSet);
    w.Left(212);
    w.Top(120);
  });
  QPointer<QWidget> documentTop = ShownWindow(*document);
  auto drawer = MakeDrawer();
  QPointer<QWidget> drawerTop = ShownWindow(*drawer);
  ASSERT_FALSE(documentTop.isNull() || drawerTop.isNull());
  const QRect screen = drawerTop->screen()->availableGeometry();
  ASSERT_EQ(screen.size(), QSize(1024, 768));

  const auto fits = [&] {
    const QRect left = documentTop->frameGeometry();
    const QRect right = drawerTop->frameGeometry();
    return screen.contains(left) && screen.contains(right) && right.left() == left.right() + 1;
  };
  EXPECT_TRUE(WaitUntil(fits)) << "document " << documentTop->frameGeometry().x() << ", drawer "
                               << drawerTop->frameGeometry().x() << "+" << drawerTop->frameGeometry().width();
  EXPECT_LT(documentTop->x(), 212) << "the document did not move";
  EXPECT_EQ(documentTop->y(), 120) << "only sideways";

  // The frame: no title bar and no boxes, so no title and nothing to close
  // it with; an edge of its own instead.
  const Qt::WindowFlags flags = drawerTop->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_EQ(drawerTop->frameGeometry(), drawerTop->geometry()) << "the desktop drew a frame round the drawer";
  EXPECT_TRUE(drawerTop->windowTitle().isEmpty());
  EXPECT_TRUE(HasEdge(*drawerTop));
  EXPECT_FALSE(HasEdge(*documentTop)) << "the document has the desktop's frame";
}

TEST_F(WindowFrames, SheetIsModalToItsDocumentWhileShowModalWaits) {
  auto document = MakeDocument();
  QWidget* documentTop = ShownWindow(*document);
  ASSERT_NE(documentTop, nullptr);
  PushButton* cancel = nullptr;
  auto sheet = TestWindow::Make(
      [&](TestWindow& w) {
        cancel = &w.AddControl<PushButton>("PushButton1");
        cancel->Bounds(100, 240, 80, 20);
        cancel->Caption("キャンセル");
        cancel->Action = [&w](PushButton&) { w.Hide(); };
      },
      [](TestWindow& w) {
        w.Frame(WindowFrame::Sheet);
        w.Title("Untitled");
        w.Width(300);
        w.Height(280);
        w.Visible(false);
      });

  QWidget* sheetTop = nullptr;
  QTimer person;
  person.callOnTimeout([&] {
    auto* button = qobject_cast<QPushButton*>(front_.ControlWidget(*cancel));
    if (button == nullptr || !button->isVisible()) return;
    person.stop();
    sheetTop = button->window();
    EXPECT_TRUE(sheetTop->windowTitle().isEmpty()) << "a sheet carries no title of its own";
    EXPECT_TRUE(HasEdge(*sheetTop));
    EXPECT_EQ(sheetTop->parentWidget(), documentTop);
    EXPECT_EQ(sheetTop->windowModality(), Qt::WindowModal);
    const QPoint contentTop = front_.ContentWidget(*document)->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(sheetTop->pos(), QPoint(contentTop.x() + 150, contentTop.y()));
    QTest::mouseClick(button, Qt::LeftButton);
  });
  person.start(5);
  sheet->ShowModal();

  ASSERT_NE(sheetTop, nullptr) << "the sheet never showed";
  EXPECT_FALSE(sheet->Visible());
  EXPECT_TRUE(WaitUntil([&] { return !sheetTop->isVisible(); }));
}

}  // namespace
