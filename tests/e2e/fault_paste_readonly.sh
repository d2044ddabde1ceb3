#!/usr/bin/env bash
# The new machine's Documents folder cannot be written while the paste runs
# (a read-only bind mount in a private mount namespace, which binds root as
# well). It already holds a documents folder of the same name as one that
# comes, and a folder of its own. With the replace choice the paste must end
# with a caution dialog naming the documents folders it could not paste,
# leave both old folders exactly as they were, and paste the other
# categories; "終了" must ask first (the paste did not finish) and,
# answered "強制終了", keep the copy-done marker, so that the next start from
# the stick offers the paste again. Once Documents can be written again,
# that second paste completes: nothing was lost on the way.
#
# usage: fault_paste_readonly.sh <program executable> <sample tool> <folder for the run>
# Needs root (mount namespace); exit status 77 (a skip) otherwise, and when
# the virtual screen's tools are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
source "$here/e2e_lib.sh"
e2e_begin --root "$0" "$@"

old=$E2E_OUT/old-machine
new=$E2E_OUT/new-machine
stick=$E2E_OUT/usb-stick
OLVAN_SAMPLE_TOOL=$sample_tool bash "$top/scripts/make_sample_machine.sh" "$old" >/dev/null
e2e_new_home "$new"
e2e_install_bundle "$program" "$stick"
marker=$E2E_BUNDLE/Contents/Resources/CopyDone

# The new machine's own documents: an older folder of the name Toskarine's
# documents folder has, and one that nothing replaces.
mkdir -p "$new/Documents/Toskarine書類" "$new/Documents/私の書類"
printf 'older letter\n' >"$new/Documents/Toskarine書類/手紙.gml"
setfattr -n user.com.apple.FinderInfo -v 0x476d6c33715a7731000000000000000000000000000000000000000000000000 \
  "$new/Documents/Toskarine書類/手紙.gml"
printf 'only here\n' >"$new/Documents/Toskarine書類/新しいマシンのメモ.txt"
printf '日記\n' >"$new/Documents/私の書類/日記.txt"
mkdir -p "$E2E_OUT/before"
cp -a "$new/Documents" "$E2E_OUT/before/"

# --- the copy on the old machine, as on the device route
e2e_device_to_step_three "$old"
e2e_click $E2E_COPY
e2e_wait_until 60 "the copy to end (Next enabled, reading 終了)" e2e_button_enabled $E2E_NEXT
e2e_snapshot "step3-copied"
e2e_click $E2E_NEXT
e2e_wait_exit 30
[ -f "$marker" ] || e2e_fail "no copy-done marker after the copy"

# --- the paste, Documents read-only
mount --bind "$new/Documents" "$new/Documents"
mount -o remount,bind,ro "$new/Documents"
if touch "$new/Documents/.probe" 2>/dev/null; then e2e_fail "Documents is still writable"; fi
e2e_start "$new" paste-run
e2e_wait_until 15 "STEP 4 opened by the marker" e2e_step_shown 4
e2e_snapshot "step4-start"
e2e_click $E2E_PASTE_REPLACE
known=$(e2e_visible_windows)
e2e_click $E2E_PASTE
# shellcheck disable=SC2086
e2e_expect_caution 60 "step4-paste-failures-reported" $known
e2e_answer_dialog "$E2E_DIALOG" Return
e2e_wait_until 10 "Next enabled after the failed paste" e2e_button_enabled $E2E_NEXT
e2e_snapshot "step4-after-failures"
echo "failed paste reported after $(e2e_elapsed)"

e2e_expect_names "$new/Applications" "Dornel 3" Kavreline Pelquon "Toskarine II"
e2e_expect_names "$new/Library/Preferences" Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定
e2e_expect_names "$new/Library/Application Support" Dornel "Toskarine II"
for item in "Applications/Dornel 3" Applications/Kavreline Applications/Pelquon "Applications/Toskarine II" \
  Library/Preferences/Dornel初期設定 Library/Preferences/Kavreline初期設定 Library/Preferences/Pelquon初期設定 \
  Library/Preferences/Toskarine初期設定 \
  "Library/Application Support/Dornel" "Library/Application Support/Toskarine II"; do
  e2e_same_item "$old/$item" "$new/$item"
done
e2e_expect_names "$new/Documents" Toskarine書類 私の書類
e2e_same_item "$E2E_OUT/before/Documents" "$new/Documents"

e2e_force_quit "quit-asks-after-failed-paste"
[ -f "$marker" ] || e2e_fail "the copy-done marker went after a paste that did not finish"

# --- Documents writable again: the paste is offered again and completes
umount "$new/Documents"
e2e_start "$new" second-paste-run
e2e_wait_until 15 "STEP 4 offered again" e2e_step_shown 4
e2e_click $E2E_PASTE_REPLACE
e2e_click $E2E_PASTE
e2e_wait_until 60 "the second paste to end (Next enabled)" e2e_button_enabled $E2E_NEXT
e2e_snapshot "step4-second-paste-done"
e2e_click $E2E_NEXT
e2e_wait_exit 30
[ ! -e "$marker" ] || e2e_fail "the copy-done marker is still there after the completed paste"
e2e_expect_names "$new/Documents" Dornel書類 .olvan-notes Toskarine書類 私の書類
for name in Dornel書類 .olvan-notes Toskarine書類; do
  e2e_same_item "$old/Documents/$name" "$new/Documents/$name"
done
e2e_same_item "$E2E_OUT/before/Documents/私の書類" "$new/Documents/私の書類"
e2e_expect_no_remains "$new" "$stick"

echo "read-only destination passed in $(e2e_elapsed); pictures in $E2E_SHOTS"
