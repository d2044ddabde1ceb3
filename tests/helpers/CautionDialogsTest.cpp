// Caution dialogs as the person meets them: which buttons show, what each
// answer returns, the beep before the dialog, and the sheet's parent.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/testing/ScriptedUser.h"
#include "framework/ui/MessageDialog.h"
#include "framework/ui/Window.h"
#include "helpers/CautionDialogs.h"

namespace {

using framework::DialogButton;
using framework::ScriptedUser;

class ParentWindow : public framework::Window {
 public:
  ParentWindow() = default;

 protected:
  void Layout() override { Title("parent"); }
};

using Buttons = std::vector<std::pair<DialogButton, std::string>>;

Buttons Shown(const ScriptedUser::ShownDialog& dialog) {
  Buttons shown;
  for (const auto& [role, caption] : dialog.buttons) shown.emplace_back(role, caption.ToUTF8());
  return shown;
}

TEST(CautionDialog, ShowsTheAskedButtonsAndReturnsTheAnswer) {
  struct Row {
    const char* name;
    bool beep;
    std::int32_t buttons;
    DialogButton answer;  // None: the dialog goes away without a button
    bool withParent;
    std::int32_t expected;
    Buttons shown;  // in the order action, cancel, alternate
  };
  const Buttons two = {{DialogButton::Action, "終了しない"}, {DialogButton::Cancel, "強制終了"}};
  const Buttons three = {{DialogButton::Action, "終了しない"},
                         {DialogButton::Cancel, "強制終了"},
                         {DialogButton::Alternate, "保存しない"}};
  const Row rows[] = {
      {"two buttons, action", true, 2, DialogButton::Action, true, Globals::CautionAction, two},
      {"two buttons, cancel", true, 2, DialogButton::Cancel, true, Globals::CautionCancel, two},
      {"two buttons, dismissed", true, 2, DialogButton::None, true, Globals::CautionCancel, two},
      {"three buttons, alternate", true, 3, DialogButton::Alternate, true, Globals::CautionAlternate, three},
      {"five buttons count as three", true, 5, DialogButton::Alternate, true, Globals::CautionAlternate, three},
      {"one button ignores the other captions", false, 1, DialogButton::Action, true, Globals::CautionAction,
       {{DialogButton::Action, "終了しない"}}},
      {"zero buttons still has the action button", false, 0, DialogButton::None, false, Globals::CautionCancel,
       {{DialogButton::Action, "終了しない"}}},
      {"without a parent, application-modal", false, 2, DialogButton::Action, false, Globals::CautionAction, two},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUser user;
    auto parent = framework::Window::Create<ParentWindow>();
    if (row.answer == DialogButton::None) {
      user.WillDismissDialog();
    } else {
      user.WillPress(row.answer);
    }
    const std::int32_t result =
        Globals::gCautionDlg(row.withParent ? parent.get() : nullptr, row.beep, row.buttons, "保存しない", "強制終了",
                             "終了しない", "処理を中止したままで終了しますか？", "説明の文");
    EXPECT_EQ(result, row.expected);
    ASSERT_EQ(user.Dialogs().size(), 1u);
    const ScriptedUser::ShownDialog shown = user.Dialogs()[0];
    EXPECT_EQ(Shown(shown), row.shown);
    EXPECT_EQ(shown.icon, framework::MessageDialog::GraphicCaution);
    EXPECT_EQ(shown.message.ToUTF8(), "処理を中止したままで終了しますか？");
    EXPECT_EQ(shown.explanation.ToUTF8(), "説明の文");
    EXPECT_EQ(shown.parent, row.withParent ? parent.get() : nullptr);
    EXPECT_EQ(user.Beeps(), row.beep ? 1 : 0);
    EXPECT_EQ(user.Report(), "");
  }
}

TEST(CautionDialog, TheNoticeBeepsOnceBeforeShowingOnlyOK) {
  ScriptedUser user;
  auto parent = framework::Window::Create<ParentWindow>();
  user.WillPress(DialogButton::Action);
  Globals::gCautionDlg1(parent.get(), /*beep=*/true, "旧マシンのディスクが選択されていません。", "");

  const std::vector<std::string> transcript = user.Transcript();
  const std::vector<std::string> expected = {"beep", "dialog 旧マシンのディスクが選択されていません。", "press OK"};
  ASSERT_GE(transcript.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(transcript.end() - 3, transcript.end()), expected);
  EXPECT_EQ(user.Beeps(), 1);
  ASSERT_EQ(user.Dialogs().size(), 1u);
  EXPECT_EQ(Shown(user.Dialogs()[0]), (Buttons{{DialogButton::Action, "OK"}}));
  EXPECT_EQ(user.Dialogs()[0].parent, parent.get());
  EXPECT_EQ(user.Report(), "");
}

}  // namespace
