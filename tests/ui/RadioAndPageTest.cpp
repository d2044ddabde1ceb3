// Radio groups and pages: the order of the events the program's handlers
// rely on, and what the person can reach.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/testing/ScriptedUser.h"
#include "framework/ui/GroupBox.h"
#include "framework/ui/Label.h"
#include "framework/ui/PagePanel.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/RadioButton.h"
#include "framework/ui/UserInput.h"
#include "ui/ScratchWindow.h"

namespace {

using framework::GroupBox;
using framework::Label;
using framework::PagePanel;
using framework::PushButton;
using framework::RadioButton;
using framework::ScriptedUser;
using framework::UserInput;

// Two pages; on page 0 a route pair and a group box with a second pair; on
// page 1 one more button; a Next button on the window.
class RadioAndPage : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = uitest::ScratchWindow::Make([this](uitest::ScratchWindow& w) {
      panel_ = &w.AddControl<PagePanel>("PagePanel1");
      panel_->PageCount(2);
      rb1_ = &w.AddControl<RadioButton>("RadioButton1", panel_, 0);
      rb2_ = &w.AddControl<RadioButton>("RadioButton2", panel_, 0);
      box_ = &w.AddControl<GroupBox>("GroupBox3", panel_, 0);
      rb3_ = &w.AddControl<RadioButton>("RadioButton3", box_);
      rb4_ = &w.AddControl<RadioButton>("RadioButton4", box_);
      rb5_ = &w.AddControl<RadioButton>("RadioButton5", panel_, 1);
      label_ = &w.AddControl<Label>("StaticText12", panel_, 1);
      next_ = &w.AddControl<PushButton>("PushButton2");
      for (RadioButton* rb : {rb1_, rb2_, rb3_, rb4_, rb5_}) {
        rb->Action = [this](RadioButton& b) {
          log_.push_back(b.Name().ToUTF8() + (b.Value() ? " on" : " off"));
        };
      }
    });
  }

  ScriptedUser user_;
  std::shared_ptr<uitest::ScratchWindow> window_;
  PagePanel* panel_ = nullptr;
  RadioButton* rb1_ = nullptr;
  RadioButton* rb2_ = nullptr;
  GroupBox* box_ = nullptr;
  RadioButton* rb3_ = nullptr;
  RadioButton* rb4_ = nullptr;
  RadioButton* rb5_ = nullptr;
  Label* label_ = nullptr;
  PushButton* next_ = nullptr;
  std::vector<std::string> log_;
};

TEST_F(RadioAndPage, ChoosingAButtonTurnsItsPartnerOffAndRaisesTheOffActionFirst) {
  EXPECT_TRUE(UserInput::Choose(*rb1_));
  EXPECT_EQ(log_, (std::vector<std::string>{"RadioButton1 on"}));

  // The partner's off handler already sees the final state of the group.
  bool partnerOnDuringOff = false;
  rb1_->Action = [&](RadioButton& b) {
    log_.push_back(b.Name().ToUTF8() + (b.Value() ? " on" : " off"));
    partnerOnDuringOff = rb2_->Value();
  };
  EXPECT_TRUE(UserInput::Choose(*rb2_));
  EXPECT_EQ(log_, (std::vector<std::string>{"RadioButton1 on", "RadioButton1 off", "RadioButton2 on"}));
  EXPECT_TRUE(partnerOnDuringOff);
  EXPECT_FALSE(rb1_->Value());
  EXPECT_TRUE(rb2_->Value());
}

TEST_F(RadioAndPage, GroupsAreTheirContainers) {
  UserInput::Choose(*rb1_);
  UserInput::Choose(*rb3_);
  EXPECT_TRUE(rb1_->Value()) << "a button in a group box is not the page's partner";
  EXPECT_TRUE(rb3_->Value());
  UserInput::Choose(*rb4_);
  EXPECT_TRUE(rb1_->Value());
  EXPECT_FALSE(rb3_->Value());
  ASSERT_EQ(rb3_->Partners().size(), 1u);
  EXPECT_EQ(rb3_->Partners()[0], rb4_);
}

TEST_F(RadioAndPage, AHandlerThatTurnsItsOwnButtonOffRunsItsOffBranch) {
  // The network route's handler: a cancelled chooser turns the button off,
  // and the off branch disables Next.
  rb1_->Action = [this](RadioButton& b) { next_->Enabled(b.Value()); };
  rb2_->Action = [this](RadioButton& b) {
    log_.push_back(b.Value() ? "on" : "off");
    if (!b.Value()) {
      next_->Enabled(false);
      return;
    }
    b.Value(false);  // the person cancelled
  };
  UserInput::Choose(*rb1_);
  EXPECT_TRUE(next_->Enabled());
  UserInput::Choose(*rb2_);
  EXPECT_EQ(log_, (std::vector<std::string>{"on", "off"}));
  EXPECT_FALSE(rb1_->Value());
  EXPECT_FALSE(rb2_->Value());
  EXPECT_FALSE(next_->Enabled()) << "no route remains, so Next must stay off";
}

TEST_F(RadioAndPage, ChoosingTheButtonThatIsOnRaisesNothing) {
  UserInput::Choose(*rb1_);
  log_.clear();
  UserInput::Choose(*rb1_);
  rb1_->Value(true);
  EXPECT_TRUE(log_.empty());
}

TEST_F(RadioAndPage, ThePersonReachesOnlyShownEnabledControls) {
  EXPECT_FALSE(UserInput::Choose(*rb5_)) << "page 1 is not shown";
  rb1_->Enabled(false);
  EXPECT_FALSE(UserInput::Choose(*rb1_));
  box_->Enabled(false);
  EXPECT_FALSE(UserInput::Choose(*rb3_)) << "a disabled group box disables its buttons";
  box_->Visible(false);
  EXPECT_FALSE(rb4_->Shown());
  next_->Visible(false);
  EXPECT_FALSE(UserInput::Press(*next_));
  EXPECT_TRUE(log_.empty());

  panel_->Value(1);
  EXPECT_TRUE(UserInput::Choose(*rb5_));
  EXPECT_FALSE(rb2_->Shown());
  EXPECT_FALSE(rb3_->Shown()) << "group box children go with the box's page";
}

TEST_F(RadioAndPage, PageChangeRunsBeforeTheSetterReturnsWithTheNewPage) {
  std::vector<int> pagesSeen;
  panel_->Change = [&](PagePanel& panel) {
    pagesSeen.push_back(panel.Value());
    label_->Text("cleared on entering page 1");
  };
  panel_->Value(1);
  // Checked right after the setter, before anything else could run.
  EXPECT_EQ(pagesSeen, (std::vector<int>{1}));
  EXPECT_EQ(label_->Text().ToUTF8(), "cleared on entering page 1");
  EXPECT_TRUE(label_->Shown());
}

TEST_F(RadioAndPage, PageChangeInsideChangeRunsNestedInOrder) {
  std::vector<int> pagesSeen;
  panel_->PageCount(3);
  panel_->Change = [&](PagePanel& panel) {
    pagesSeen.push_back(panel.Value());
    if (panel.Value() == 1) panel.Value(2);
    pagesSeen.push_back(-panel.Value());
  };
  panel_->Value(1);
  EXPECT_EQ(pagesSeen, (std::vector<int>{1, 2, -2, -2}));
  EXPECT_EQ(panel_->Value(), 2);
}

TEST_F(RadioAndPage, TheShownPageOrAPageOutOfRangeRaisesNothing) {
  int changes = 0;
  panel_->Change = [&](PagePanel&) { ++changes; };
  panel_->Value(0);
  panel_->Value(2);
  panel_->Value(-1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(panel_->Value(), 0);
}

}  // namespace
