#!/usr/bin/env bash
# Items disappear from the old machine's disk while the network copy runs
# (removed there once the first item has arrived here). The new machine
# already has an older folder of the name of one of them. With the replace
# choice the copy must go on with the other items, end with a caution dialog
# naming the ones that were gone, and leave the new machine's older folder
# exactly as it was: nothing is deleted that could not be replaced.
#
# usage: fault_network_source_removed.sh <program executable> <sample tool> <folder for the run>
# Needs root (mount namespace); exit status 77 (a skip) otherwise, and when
# the virtual screen's tools are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
source "$here/e2e_lib.sh"
e2e_begin --root "$0" "$@"

disk=$E2E_OUT/old-disk
home=$disk/Users/taro
new=$E2E_OUT/new-machine
OLVAN_SAMPLE_TOOL=$sample_tool bash "$top/scripts/make_sample_machine.sh" --disk taro "$disk" >/dev/null
e2e_mount_old_disk "$disk" OldMac
row=$(e2e_volume_row "$sample_tool" OldMac)

e2e_new_home "$new"
e2e_new_machine_items "$new"
# An older Application Support folder of Toskarine's, whose source goes away.
mkdir -p "$new/Library/Application Support/Toskarine II"
printf 'older dictionary\n' >"$new/Library/Application Support/Toskarine II/dictionary.db"
cp -a "$new/Library/Application Support/Toskarine II" "$E2E_OUT/before-new/"
e2e_install_bundle "$program" "$E2E_OUT/program"

e2e_network_to_step_three "$new" "$row" network-run
e2e_click $E2E_COPY_REPLACE
known=$(e2e_visible_windows)
e2e_click $E2E_COPY

# The list's first item is Dornel's application; Pelquon's application and
# Toskarine's Application Support folder come several items (over a second
# each) later.
arrived() { [ -d "$new/Applications/Dornel 3" ]; }
e2e_wait_until 30 "the first item to arrive" arrived
rm -rf "$disk/Applications/Pelquon" "$home/Library/Application Support/Toskarine II"
[ ! -e "$new/Applications/Pelquon" ] || e2e_fail "Pelquon was copied before its source could be removed"
e2e_snapshot "step3-sources-removed"
echo "two sources removed after $(e2e_elapsed)"

# shellcheck disable=SC2086
e2e_expect_caution 120 "step3-missing-sources-reported" $known
e2e_answer_dialog "$E2E_DIALOG" Return
e2e_wait_until 10 "Next enabled after the copy" e2e_button_enabled $E2E_NEXT
e2e_snapshot "step3-after-failures"
e2e_click $E2E_NEXT
e2e_wait_exit 30

e2e_expect_names "$new/Applications" "Dornel 3" Kavreline "Toskarine II" "自分のツール"
e2e_expect_names "$new/Library/Preferences" Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定 \
  com.example.mine.plist
e2e_expect_names "$new/Library/Application Support" Dornel "Toskarine II"
e2e_same_item "$E2E_OUT/before-new/Toskarine II" "$new/Library/Application Support/Toskarine II"
for item in "Applications/Dornel 3" Applications/Kavreline "Applications/Toskarine II"; do
  e2e_same_item "$disk/$item" "$new/$item"
done
for name in Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定; do
  e2e_same_item "$home/Library/Preferences/$name" "$new/Library/Preferences/$name"
done
e2e_same_item "$home/Library/Application Support/Dornel" "$new/Library/Application Support/Dornel"
e2e_check_new_machine_items "$new"
e2e_expect_no_remains "$new" "$disk"

echo "source removed passed in $(e2e_elapsed); pictures in $E2E_SHOTS"
