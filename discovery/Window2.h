// Window2: the item list, a drawer beside the wizard from STEP 2 on. Its one
// hierarchical check-box list, Listbox1, is the selection that the wizard,
// the discovery worker and the transfer worker share.
//
// Rows of Listbox1 (four columns, widths "70%,0,0,*": only 0 and 3 show):
//   - product row: a folder row; column 0 the product's name with a check box,
//     column 1 empty (this is what marks a product row), column 2 its index
//     list ("0:3:" names item-table entries 0 and 3), column 3 empty;
//   - item row: column 0 the item's name with a check box, column 1 its kind
//     code, column 2 its index in Window1::pFI as decimal text, column 3 its
//     kind label when it is a product's child (empty at top level).
// A row counts for a transfer when column 0 is checked and column 1 is not
// empty; a product row's own mark is never read, so the list copies it down
// to the product's item rows when the person changes it.
//
// While a copy run moves items the check boxes are the run's (HoldChecks):
// the person's ticks change nothing, so every box shows what the run moves
// from its start to its end. Folding stays the person's, and a product
// expanded meanwhile builds its item rows checked only where the run moves
// their entry: a product folded and unfolded during the run shows again
// what the run moves, and one that was folded when the run took its rows
// (so none of its items was taken) shows none of them checked. An item row
// the person had cleared while another row of the same entry was checked
// comes back checked, since that item is moved all the same.
//
// Closing by the close box hides the drawer instead of closing it: the
// instance, its rows and the person's check marks live on, and the wizard
// shows it again when STEP 2 is entered. Only the end of the program (a
// quit) closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>

#include "framework/ui/Label.h"
#include "framework/ui/Listbox.h"
#include "framework/ui/ProgressWheel.h"
#include "framework/ui/Window.h"

namespace framework {
class Graphics;
}

class Window1;

class Window2 : public framework::Window {
 public:
  using Graphics = framework::Graphics;
  using Label = framework::Label;
  using Listbox = framework::Listbox;
  using ProgressWheel = framework::ProgressWheel;

  Window2() = default;

  static Window2& Instance();

  // The wizard whose item table the rows point into; set by the wizard
  // before it shows this window. Held strongly, so the table outlives every
  // row that points into it; released when this window is destroyed.
  std::shared_ptr<Window1> pWin1;

  // --- controls, in creation order ---
  Listbox& Listbox1() const;
  Label& StaticText1() const;  // the busy label of a running scan
  Label& StaticText2() const;  // title over the name column
  ProgressWheel& ProgressWheel1() const;
  Label& StaticText3() const;  // title over the kind column

  // --- handlers, wired in CreateControls ---
  void Listbox1_ExpandRow(Listbox& list, std::int32_t row);
  // A product row's mark goes down to every item row below it, up to the
  // next product row or the end of the list.
  void Listbox1_CellAction(Listbox& list, std::int32_t row, std::int32_t column);
  // Stripes the even rows; never claims the cell, so text and check box are
  // drawn over the stripe.
  bool Listbox1_CellBackgroundPaint(Listbox& list, Graphics& g, std::int32_t row, std::int32_t column);

  // A copy run that moves these entries of the item table (the ones its
  // checked item rows named as it started) holds the boxes until it gives
  // them back with ReleaseChecks, whichever way it ends.
  void HoldChecks(std::set<std::size_t> moving);
  void ReleaseChecks();

  void Event_Open() override;
  // The close box hides the drawer and keeps it (see above); a quit closes it.
  bool Event_CancelClose(bool appQuitting) override;

 protected:
  void Layout() override;
  void CreateControls() override;

  // Adds the item rows of the product row at row beneath it, one per index
  // of its index list, all checked (while a run holds the boxes, those it
  // moves). Indexes that name no entry of the item table are passed over.
  void ExpRow(std::int32_t row);

 private:
  void _CreateControls0();

  // What the run that holds the boxes moves; none while no run holds them.
  std::optional<std::set<std::size_t>> heldFor_;
};
