#!/usr/bin/env bash
# The USB stick runs out of space during the copy to it. The stick is a small
# tmpfs (in a private mount namespace) that holds the program's bundle and
# only part of what the scan finds. The copy must end with a caution dialog
# that names what could not be copied; what lies in "temp" must be whole
# (no half-copied item); "終了" must ask first (the copy did not finish) and,
# answered "強制終了", leave no copy-done marker, so that the new machine is
# never told the stick holds everything. The old machine and the bundle on
# the stick lose nothing.
#
# usage: fault_device_full.sh <program executable> <sample tool> <folder for the run>
# Needs root (mount namespace); exit status 77 (a skip) otherwise, and when
# the virtual screen's tools are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
source "$here/e2e_lib.sh"
e2e_begin --root "$0" "$@"

old=$E2E_OUT/old-machine
stick=$E2E_OUT/usb-stick
OLVAN_SAMPLE_TOOL=$sample_tool bash "$top/scripts/make_sample_machine.sh" "$old" >/dev/null
mkdir -p "$E2E_OUT/before"
cp -a "$old" "$E2E_OUT/before/"

# The stick: first large enough to measure what the bundle takes there, then
# shrunk to that and a little more, so that the first items fit and the
# larger ones do not (the sample's documents alone take over 200 KB).
mkdir -p "$stick"
mount -t tmpfs -o size=64m,mode=755 olvan-e2e-stick "$stick"
e2e_install_bundle "$program" "$stick"
used_kb=$(df -k --output=used "$stick" | tail -n 1 | tr -d ' ')
mount -o remount,size=$((used_kb + 120))k "$stick"
echo "stick: bundle ${used_kb} KB, room for 120 KB more"
cp -a "$E2E_BUNDLE" "$E2E_OUT/before/"
marker=$E2E_BUNDLE/Contents/Resources/CopyDone

e2e_device_to_step_three "$old"
known=$(e2e_visible_windows)
e2e_click $E2E_COPY
# shellcheck disable=SC2086
e2e_expect_caution 60 "step3-copy-failures-reported" $known
e2e_answer_dialog "$E2E_DIALOG" Return
e2e_wait_until 10 "Next enabled after the failed copy" e2e_button_enabled $E2E_NEXT
e2e_wait_until 10 "the copy button enabled again" e2e_button_enabled $E2E_COPY
e2e_snapshot "step3-after-failures"
echo "failed copy reported after $(e2e_elapsed)"

# What reached the stick is whole; what did not is still on the old machine.
copied=0
missing=0
while IFS=$'\t' read -r category folder name; do
  if [ -e "$stick/temp/$category/$name" ]; then
    e2e_same_item "$old/$folder/$name" "$stick/temp/$category/$name"
    copied=$((copied + 1))
  else
    missing=$((missing + 1))
  fi
done < <(e2e_sample_items)
echo "on the stick: $copied whole items; $missing did not fit"
[ "$missing" -gt 0 ] || e2e_fail "everything fitted: the stick was not full"
[ "$copied" -gt 0 ] || e2e_fail "nothing fitted: the stick was too small to show a partial copy"
# No staging remain of a failed copy (a hidden item the person chose, such as
# the documents folder ".olvan-notes", is no remain).
e2e_expect_no_remains "$stick/temp"

# "終了" asks before quitting after a copy that did not finish; "強制終了"
# (the dialog's cancel button) quits without the marker.
e2e_force_quit "quit-asks-after-failed-copy"
[ ! -e "$marker" ] || e2e_fail "the copy-done marker was written after a copy that did not finish"

e2e_same_item "$E2E_OUT/before/old-machine" "$old"
for file in PkgInfo Info.plist "MacOS/$(basename "$E2E_EXECUTABLE")"; do
  cmp -s "$E2E_OUT/before/$(basename "$E2E_BUNDLE")/Contents/$file" "$E2E_BUNDLE/Contents/$file" ||
    e2e_fail "the bundle on the stick changed: $file"
done

echo "device full passed in $(e2e_elapsed); pictures in $E2E_SHOTS"
