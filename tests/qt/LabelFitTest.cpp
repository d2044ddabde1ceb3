// The wizard's longest texts fit their boxes with the Japanese font here.
#include <gtest/gtest.h>

#include "framework/qt/LabelView.h"
#include "framework/ui/Label.h"
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
    }, [](qttest::TestWindow& w) { w.Width(600); w.Height(200); });
    auto* view = WidgetOf<LabelView>(*label);
    ASSERT_NE(view, nullptr);
    EXPECT_LE(view->NeededHeight(), row.height);
    EXPECT_GE(view->NeededHeight(), 3 * view->LineHeight()) << "every piece is a line of its own";
    window->Close();
  }
}

}  // namespace
