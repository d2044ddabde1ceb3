// Every text the wizard window shows once it is open. The design texts that
// CreateControls gives are placeholders; these replace them in InitCaption.
#include "wizard/Window1.h"

#include <initializer_list>

namespace {

using framework::String;

// The pieces, each followed by one line break but the last. An empty piece
// therefore makes an empty line.
String Lines(std::initializer_list<const char*> pieces) {
  String text;
  std::size_t left = pieces.size();
  for (const char* piece : pieces) {
    text += piece;
    if (--left > 0) text += framework::EndOfLine;
  }
  return text;
}

}  // namespace

void Window1::InitCaption() {
  Title("OLVAN 移行アシスタント");

  PushButton1().Caption("終了");
  PushButton2().Caption("次へ");
  PushButton3().Caption("フォルダを取得...");
  PushButton4().Caption("ファイルを取得...");
  PushButton5().Caption("コピー");
  PushButton6().Caption("ペースト");
  PushButton7().Caption("戻る");
  PushButton8().Caption("中止");

  const char* replace = "既に同名のアイテムがあった場合、置き換える";
  const char* keep = "同名のアイテムを置き換えない";
  RadioButton1().Caption("外部デバイス経由");
  RadioButton2().Caption("ネットワーク経由");
  RadioButton3().Caption(replace);
  RadioButton4().Caption(keep);
  RadioButton5().Caption(replace);
  RadioButton6().Caption(keep);

  // STEP 3 and STEP 4 are named after the buttons that do their work.
  StaticText1().Text(Lines({"STEP 1", "はじめに"}));
  StaticText2().Text(Lines({"STEP 2", "アイテムの取得"}));
  StaticText3().Text(String("STEP 3") + framework::EndOfLine + PushButton5().Caption());
  StaticText4().Text(String("STEP 4") + framework::EndOfLine + PushButton6().Caption());

  StaticText5().Text("まず始めに、方式を指定し、本ソフトウェアのインストール場所を確認します。");
  StaticText8().Text(Lines({"USBメモリ等の外部デバイスを利用してコピーします。",
                            "この場合、本ソフトウェアは、外部デバイスにインストールします。",
                            "STEP1〜3は旧マシン、STEP4は新マシンで実行します。"}));
  StaticText10().Text("方式を指定して場所を確認したら、「次へ」ボタンを押して下さい。");
  StaticText11().Text("アプリケーションとその関連ファイルを取得します。");
  StaticText12().Text("必要なアイテムを、外部デバイスにコピーします。");
  StaticText14().Text("外部デバイスのアイテムを新規マシンにペーストします。");
  StaticText16().Text("手動で取得：");
  StaticText17().Text(Lines({"起動ディスクの「アプリケーション」フォルダ内を自動的にサーチして、"
                             "OLVAN Software製のソフトウェアを全て取得します。",
                             "その際、各アプリケーションに書類フォルダが設定されている場合は、それらも取得します。",
                             "結果は、右のリストに表示されています。"}));
  StaticText18().Text(Lines({"自動的に取得されないアイテムは、手動で取得します。",
                             "以下のボタンを押して表示される、フォルダまたはファイル選択ダイアログで、"
                             "必要なアイテムを指定して下さい。",
                             "（手動で取得したアイテムは、アプリはアプリケーションフォルダ、"
                             "書類は書類フォルダにペーストされます。）"}));
  StaticText20().Text(Lines({"もし、不要なアイテムがあれば、右のリストの項目のチェックを外してください。",
                             "チェックのないものはコピーされません。", "",
                             "アイテム（三角マーク付）のチェックを変化させると、サブアイテム全てが連動します。"}));
  StaticText24().Text(
      "それぞれ指定された場所にインストールされていない場合は、「終了」ボタンを押して一度終了し、"
      "インストール後、起動して下さい。");
  StaticText26().Text(Lines({"ネットワークに接続されている旧マシンからコピーします。",
                             "この場合、本ソフトウェアは、新マシンにインストールします。",
                             "全てのSTEPを新マシンで実行します。"}));
}
