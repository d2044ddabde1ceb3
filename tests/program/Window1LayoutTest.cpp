// The wizard window as built: its attributes, its 41 controls, and every
// text before and after the window opens.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "framework/ui/Control.h"
#include "program/ProgramFixture.h"

namespace {

using framework::Control;
using programtest::Expand;
using programtest::ProgramTest;

std::string KindOf(const Control& c) {
  if (dynamic_cast<const framework::PagePanel*>(&c)) return "PagePanel";
  if (dynamic_cast<const framework::Label*>(&c)) return "Label";
  if (dynamic_cast<const framework::PushButton*>(&c)) return "PushButton";
  if (dynamic_cast<const framework::RadioButton*>(&c)) return "RadioButton";
  if (dynamic_cast<const framework::GroupBox*>(&c)) return "GroupBox";
  if (dynamic_cast<const framework::ProgressBar*>(&c)) return "ProgressBar";
  if (dynamic_cast<const framework::Separator*>(&c)) return "Separator";
  return "?";
}

std::string TextOf(const Control& c) {
  if (auto* l = dynamic_cast<const framework::Label*>(&c)) return l->Text().ToUTF8();
  if (auto* b = dynamic_cast<const framework::PushButton*>(&c)) return b->Caption().ToUTF8();
  if (auto* r = dynamic_cast<const framework::RadioButton*>(&c)) return r->Caption().ToUTF8();
  if (auto* g = dynamic_cast<const framework::GroupBox*>(&c)) return g->Caption().ToUTF8();
  return "";
}

std::map<std::string, std::string> AllTexts(const framework::Window& w) {
  std::map<std::string, std::string> texts{{"title", w.Title().ToUTF8()}};
  for (std::int32_t i = 0; i < w.ControlCount(); ++i) texts[w.ControlAt(i).Name().ToUTF8()] = TextOf(w.ControlAt(i));
  return texts;
}

// A wizard window that notes every text at the moment its Open event starts.
class WizardBeforeOpen : public Window1 {
 public:
  std::map<std::string, std::string> texts;
  void Event_Open() override {
    texts = AllTexts(*this);
    Window1::Event_Open();
  }
};

struct TextRow {
  const char* control;
  const char* design;
  const char* open;  // ⏎: one line break
};

const TextRow kTexts[] = {
    {"title", "OLVAN Migration Assistant", "OLVAN 移行アシスタント"},
    {"PushButton1", "Quit", "終了"},
    {"PushButton2", "Next", "次へ"},
    {"PushButton3", "Get Folder...", "フォルダを取得..."},
    {"PushButton4", "Get File...", "ファイルを取得..."},
    {"PushButton5", "Cipy", "コピー"},
    {"PushButton6", "Paste", "ペースト"},
    {"PushButton7", "Back", "戻る"},
    {"PushButton8", "Stop", "中止"},
    {"RadioButton1", "RadioButton1", "外部デバイス経由"},
    {"RadioButton2", "RadioButton2", "ネットワーク経由"},
    {"RadioButton3", "RadioButton3", "既に同名のアイテムがあった場合、置き換える"},
    {"RadioButton4", "RadioButton4", "同名のアイテムを置き換えない"},
    {"RadioButton5", "RadioButton5", "既に同名のアイテムがあった場合、置き換える"},
    {"RadioButton6", "RadioButton6", "同名のアイテムを置き換えない"},
    {"StaticText1", "STEP 1", "STEP 1⏎はじめに"},
    {"StaticText2", "STEP 2", "STEP 2⏎アイテムの取得"},
    {"StaticText3", "STEP 3", "STEP 3⏎コピー"},
    {"StaticText4", "STEP 4", "STEP 4⏎ペースト"},
    {"StaticText5", "StaticText5", "まず始めに、方式を指定し、本ソフトウェアのインストール場所を確認します。"},
    {"StaticText8", "StaticText8",
     "USBメモリ等の外部デバイスを利用してコピーします。⏎この場合、本ソフトウェアは、外部デバイスにインストールします。"
     "⏎STEP1〜3は旧マシン、STEP4は新マシンで実行します。"},
    {"StaticText10", "StaticText10", "方式を指定して場所を確認したら、「次へ」ボタンを押して下さい。"},
    {"StaticText11", "StaticText11", "アプリケーションとその関連ファイルを取得します。"},
    {"StaticText12", "StaticText12", "必要なアイテムを、外部デバイスにコピーします。"},
    {"StaticText14", "StaticText14", "外部デバイスのアイテムを新規マシンにペーストします。"},
    {"StaticText16", "StaticText16", "手動で取得："},
    {"StaticText17", "StaticText17",
     "起動ディスクの「アプリケーション」フォルダ内を自動的にサーチして、OLVAN Software製のソフトウェアを全て取得します。"
     "⏎その際、各アプリケーションに書類フォルダが設定されている場合は、それらも取得します。"
     "⏎結果は、右のリストに表示されています。"},
    {"StaticText18", "StaticText18",
     "自動的に取得されないアイテムは、手動で取得します。"
     "⏎以下のボタンを押して表示される、フォルダまたはファイル選択ダイアログで、必要なアイテムを指定して下さい。"
     "⏎（手動で取得したアイテムは、アプリはアプリケーションフォルダ、書類は書類フォルダにペーストされます。）"},
    {"StaticText20", "StaticText20",
     "もし、不要なアイテムがあれば、右のリストの項目のチェックを外してください。⏎チェックのないものはコピーされません。"
     "⏎⏎アイテム（三角マーク付）のチェックを変化させると、サブアイテム全てが連動します。"},
    {"StaticText24", "StaticText24",
     "それぞれ指定された場所にインストールされていない場合は、「終了」ボタンを押して一度終了し、インストール後、"
     "起動して下さい。"},
    {"StaticText26", "StaticText26",
     "ネットワークに接続されている旧マシンからコピーします。⏎この場合、本ソフトウェアは、新マシンにインストールします。"
     "⏎全てのSTEPを新マシンで実行します。"},
    // Filled only when their page is first entered.
    {"StaticText21", "Untitled", "Untitled"},
    {"StaticText25", "Untitled", "Untitled"},
    {"GroupBox1", "", ""},
    {"GroupBox2", "", ""},
    {"GroupBox3", "", ""},
    {"GroupBox4", "", ""},
};

class Window1Layout : public ProgramTest {};

TEST_F(Window1Layout, EveryControlHasItsKindPlaceAndTextStyle) {
  struct Row {
    const char* name;
    const char* kind;
    std::int32_t page;   // -1: every page
    const char* parent;  // "": the window
    std::int32_t left, top, width, height;
    std::int32_t size;  // 0: no text
    bool bold, centred, multiLine;
  };
  const Row rows[] = {
      {"PagePanel1", "PagePanel", -1, "", 0, 60, 600, 350, 0, false, false, false},
      {"StaticText5", "Label", 0, "PagePanel1", 50, 70, 510, 20, 14, true, false, false},
      {"StaticText8", "Label", 0, "PagePanel1", 70, 130, 400, 50, 12, false, false, true},
      {"StaticText11", "Label", 1, "PagePanel1", 50, 70, 436, 20, 14, true, false, false},
      {"StaticText12", "Label", 2, "PagePanel1", 50, 70, 354, 20, 14, true, false, false},
      {"StaticText14", "Label", 3, "PagePanel1", 50, 70, 362, 20, 14, true, false, false},
      {"StaticText17", "Label", 1, "PagePanel1", 60, 100, 480, 91, 12, false, false, true},
      {"StaticText20", "Label", 2, "PagePanel1", 60, 100, 480, 90, 12, false, false, true},
      {"PushButton5", "PushButton", 2, "PagePanel1", 260, 260, 80, 20, 12, false, false, false},
      {"PushButton6", "PushButton", 3, "PagePanel1", 260, 190, 80, 20, 12, false, false, false},
      {"GroupBox1", "GroupBox", 0, "PagePanel1", 80, 290, 440, 100, 12, false, false, false},
      {"StaticText24", "Label", 0, "GroupBox1", 100, 306, 400, 34, 12, false, false, true},
      {"PushButton1", "PushButton", 0, "PagePanel1", 260, 350, 80, 20, 12, false, false, false},
      {"GroupBox2", "GroupBox", 1, "PagePanel1", 80, 220, 440, 180, 12, false, false, false},
      {"PushButton3", "PushButton", 1, "GroupBox2", 150, 360, 120, 20, 12, false, false, false},
      {"PushButton4", "PushButton", 1, "GroupBox2", 310, 360, 120, 20, 12, false, false, false},
      {"StaticText18", "Label", 1, "PagePanel1", 100, 265, 400, 85, 12, false, false, true},
      {"StaticText16", "Label", 1, "PagePanel1", 90, 240, 110, 20, 12, true, false, false},
      {"ProgressBar1", "ProgressBar", 2, "PagePanel1", 200, 220, 200, 20, 0, false, false, false},
      {"ProgressBar2", "ProgressBar", 3, "PagePanel1", 200, 150, 200, 20, 0, false, false, false},
      {"StaticText21", "Label", 2, "PagePanel1", 50, 200, 500, 20, 12, false, true, false},
      {"StaticText25", "Label", 3, "PagePanel1", 50, 130, 500, 20, 12, false, true, false},
      {"RadioButton1", "RadioButton", 0, "PagePanel1", 50, 100, 150, 20, 12, true, false, false},
      {"RadioButton2", "RadioButton", 0, "PagePanel1", 50, 190, 150, 20, 12, true, false, false},
      {"StaticText26", "Label", 0, "PagePanel1", 70, 220, 400, 50, 12, false, false, true},
      {"GroupBox3", "GroupBox", 2, "PagePanel1", 80, 305, 440, 85, 12, false, false, false},
      {"RadioButton3", "RadioButton", 2, "GroupBox3", 100, 320, 330, 20, 12, false, false, false},
      {"RadioButton4", "RadioButton", 2, "GroupBox3", 100, 350, 330, 20, 12, false, false, false},
      {"GroupBox4", "GroupBox", 3, "PagePanel1", 80, 305, 440, 85, 12, false, false, false},
      {"RadioButton5", "RadioButton", 3, "GroupBox4", 100, 320, 330, 20, 12, false, false, false},
      {"RadioButton6", "RadioButton", 3, "GroupBox4", 100, 350, 330, 20, 12, false, false, false},
      {"PushButton8", "PushButton", 1, "PagePanel1", 260, 190, 80, 20, 12, false, false, false},
      {"StaticText1", "Label", -1, "", 0, 10, 150, 40, 12, false, true, true},
      {"StaticText2", "Label", -1, "", 150, 10, 150, 40, 12, false, true, true},
      {"StaticText3", "Label", -1, "", 300, 10, 150, 40, 12, false, true, true},
      {"StaticText4", "Label", -1, "", 450, 10, 150, 40, 12, false, true, true},
      {"Separator1", "Separator", -1, "", -1, 50, 602, 4, 0, false, false, false},
      {"PushButton2", "PushButton", -1, "", 480, 440, 80, 20, 12, false, false, false},
      {"StaticText10", "Label", -1, "", 30, 422, 430, 44, 12, false, false, true},
      {"Separator2", "Separator", -1, "", -1, 410, 602, 4, 0, false, false, false},
      {"PushButton7", "PushButton", -1, "", 390, 440, 80, 20, 12, false, false, false},
  };
  const Window1& w = Wizard();
  ASSERT_EQ(w.ControlCount(), 41);
  for (std::int32_t i = 0; i < 41; ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    const Control& c = w.ControlAt(i);
    EXPECT_EQ(c.Name().ToUTF8(), row.name) << "creation order";
    EXPECT_EQ(KindOf(c), row.kind);
    EXPECT_EQ(c.Page(), row.page);
    EXPECT_EQ(c.Parent() ? c.Parent()->Name().ToUTF8() : "", row.parent);
    EXPECT_EQ(c.Left(), row.left);
    EXPECT_EQ(c.Top(), row.top);
    EXPECT_EQ(c.Width(), row.width);
    EXPECT_EQ(c.Height(), row.height);
    EXPECT_EQ(c.TextSize(), row.size);
    EXPECT_EQ(c.Bold(), row.bold);
    EXPECT_EQ(c.TextAlign() == framework::TextAlignment::Center, row.centred);
    EXPECT_EQ(c.MultiLine(), row.multiLine);
    EXPECT_FALSE(c.Italic());
    EXPECT_FALSE(c.Underline());
  }
  EXPECT_EQ(w.PagePanel1().PageCount(), 4);
}

TEST_F(Window1Layout, BeforeOpenEveryControlHoldsItsDesignText) {
  const auto probe = framework::Window::Create<WizardBeforeOpen>();
  ASSERT_EQ(probe->texts.size(), 42u) << "the title and 41 controls";
  for (const TextRow& row : kTexts) {
    SCOPED_TRACE(row.control);
    EXPECT_EQ(probe->texts.at(row.control), row.design);
  }
  for (const char* label : {"StaticText5", "StaticText8", "StaticText10", "StaticText11", "StaticText12",
                            "StaticText14", "StaticText16", "StaticText17", "StaticText18", "StaticText20",
                            "StaticText24", "StaticText26"})
    EXPECT_EQ(probe->texts.at(label), label) << "a label's design text is its own name";
}

TEST_F(Window1Layout, AfterOpenEveryTextIsTheJapaneseOne) {
  const auto texts = AllTexts(Wizard());
  for (const TextRow& row : kTexts) {
    SCOPED_TRACE(row.control);
    EXPECT_EQ(texts.at(row.control), Expand(row.open));
  }
  // Texts without a row in the table stay empty.
  for (const char* silent : {"PagePanel1", "ProgressBar1", "ProgressBar2", "Separator1", "Separator2"})
    EXPECT_EQ(texts.at(silent), "");
}

}  // namespace
