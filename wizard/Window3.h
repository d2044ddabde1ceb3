// Window3: the sheet in which the person picks the old machine's disk,
// mounted over the network, and a user folder on it. The wizard shows it
// modally when "ネットワーク経由" is turned on, reads pVolNo and pUser, and
// closes it, so every opening starts afresh.
//
// Row i of the disk list stands for volume i (volume 0, the start-up disk,
// is listed but never accepted). The disk list is taken once, at opening; a
// volume unmounted after that (its number now gone, or naming another
// volume, or its disk no longer there) is refused: it lists no users, and
// "実行" answers with the caution as for an incomplete choice.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"
#include "framework/ui/Label.h"
#include "framework/ui/Listbox.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/Window.h"

class Window3 : public framework::Window {
 public:
  using Label = framework::Label;
  using Listbox = framework::Listbox;
  using PushButton = framework::PushButton;
  using String = framework::String;

  Window3() = default;

  static Window3& Instance();

  // The results: after "実行" the chosen volume's number (at least 1) and
  // the chosen user's folder name; after "キャンセル" -1 and pUser untouched.
  std::int32_t pVolNo = 0;
  String pUser;

  // --- controls ---
  Listbox& Listbox1() const;        // the disks
  PushButton& PushButton1() const;  // "キャンセル"
  PushButton& PushButton2() const;  // "実行"
  Label& StaticText1() const;
  Listbox& Listbox2() const;  // the users of the chosen disk
  Label& StaticText2() const;

  // --- handlers, wired in CreateControls ---
  void Listbox1_Change(Listbox& list);
  void PushButton1_Action(PushButton& button);
  void PushButton2_Action(PushButton& button);

  void Event_Open() override;

 protected:
  void Layout() override;
  void CreateControls() override;

 private:
  void _CreateControls0();
  // Whether disk row `row` still names the volume it named at opening, and
  // that volume is still there.
  bool RowVolumeStands(std::int32_t row) const;
};
