// The wizard's longest texts fit their boxes with the Japanese font here.
#include <gtest/gtest.h>

#include "framework/qt/LabelView.h"
#include "framework/ui/Label.h"
#include "framework/ui/PushButton.h"
#include "qt/QtTestSupport.h"

namespace {

using framework::EndOfLine;
using framework::Label;
using framework::LabelView;
using framework::String;

class LabelFit : public qttest::QtFrontTest {};

TEST_F(LabelFit, TheFullestMultiLineLabelsKeepTheirLastLineInsideTheBox) {
  struct Row {
    const char* name;
    int width;
    int height;
    String text;
  };
  const Row rows[] = {
      {"manual add", 400, 85,
       String("自動的に取得されないアイテムは、手動で取得します。") + EndOfLine +
           "以下のボタンを押して表示される、フォルダまたはファイル選択ダイアログで、必要なアイテムを指定して下さい。" +
           EndOfLine + "（手動で取得したアイテムは、アプリはアプリケーションフォルダ、書類は書類フォルダにペーストされます。）"},
      {"scan", 480, 91,
       String("起動ディスクの「アプリケーション」フォルダ内を自動的にサーチして、OLVAN Software製のソフトウェアを全て取得します。") +
           EndOfLine + "その際、各アプリケーションに書類フォルダが設定されている場合は、それらも取得します。" + EndOfLine +
           "結果は、右のリストに表示されています。"},
      {"empty line", 480, 90,
       String("もし、不要なアイテムがあれば、右のリストの項目のチェックを外してください。") + EndOfLine +
           "チェックのないものはコピーされません。" + EndOfLine + EndOfLine +
           "アイテム（三角マーク付）のチェックを変化させると、サブアイテム全てが連動します。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Label* label = nullptr;
    auto window = qttest::TestWindow::Make([&](qttest::TestWindow& w) {
      label = &w.AddControl<Label>("Text");
      label->Bounds(0, 0, row.width, row.height);
      label->TextSize(12);
      label->MultiLine(true);
      label->Text(row.text);
      // As 再取得 stands under the scan text, touching its box.
      w.AddControl<framework::PushButton>("Below").Bounds(200, row.height - 1, 80, 20);
    }, [](qttest::TestWindow& w) { w.Width(600); w.Height(200); });
    auto* view = WidgetOf<LabelView>(*label);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->LineWidth(), row.width) << "a button under the middle of the box takes no line room";
    EXPECT_LE(view->NeededHeight(), row.height);
    EXPECT_GE(view->NeededHeight(), 3 * view->LineHeight()) << "every piece is a line of its own";
    window->Close();
  }
}

// The guidance line under the page is two lines high, and Back stands over
// its right end while it shows. Every text put there wraps before Back
// while it shows, and takes at most three lines, so it is drawn whole at
// its own size (tighter when it needs three); a text that fits keeps the
// spacing.
TEST_F(LabelFit, TheGuidanceLineWrapsBeforeBackAndHoldsEveryTextWhole) {
  struct Row {
    const char* name;
    String text;
    bool back;  // Back shows in that state
    int lines;  // at the design's spacing
  };
  const Row rows[] = {
      {"fits", "方式を指定して場所を確認したら、「次へ」ボタンを押して下さい。", false, 1},
      {"step 3", String("不足のアイテムがあれば、前のステップに戻って追加して下さい。") + EndOfLine +
                     "コピーが完了するまで、次のステップへは進めません。", true, 3},
      {"copy done", String("コピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。") + EndOfLine +
                        "その後、外部デバイスを新マシンに繋ぎ直して、再度起動してください。", false, 3},
      {"copy stopped", String("コピーが中止されました。このまま終了しても、ペーストのステップには進めません。") +
                           EndOfLine + "ペーストのステップに進むには、コピーを完了させてください。", true, 3},
      {"copy failed", String("コピーはエラーで終了しました。ペーストには進めません。") + EndOfLine +
                          "原因を取り除いてから、再度コピーしてください。", true, 2},
      {"network copy failed", String("ネットコピーはエラーで終了しました。コピーは不完全です。") + EndOfLine +
                                  "原因を取り除いてから、再度コピーしてください。", true, 2},
      {"paste failed", String("ペーストはエラーで終了しました。ペーストは不完全です。") + EndOfLine +
                           "原因を取り除いてから、再度ペーストしてください。", false, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Label* label = nullptr;
    auto window = qttest::TestWindow::Make([&](qttest::TestWindow& w) {
      label = &w.AddControl<Label>("Guidance");
      label->Bounds(30, 422, 430, 44);
      label->TextSize(12);
      label->MultiLine(true);
      label->Text(row.text);
      framework::PushButton& back = w.AddControl<framework::PushButton>("Back");
      back.Bounds(390, 440, 80, 20);
      back.Visible(row.back);
    }, [](qttest::TestWindow& w) { w.Width(600); w.Height(480); });
    auto* view = WidgetOf<LabelView>(*label);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->LineWidth(), row.back ? 390 - 30 - 8 : 430);
    EXPECT_EQ(view->NeededHeight(), row.lines * view->LineHeight());
    EXPECT_LE(view->DrawnHeight(), 44);
    if (row.lines == 1) {
      EXPECT_EQ(view->DrawnHeight(), view->NeededHeight()) << "a text that fits keeps the spacing";
    }
    window->Close();
  }
}

}  // namespace
