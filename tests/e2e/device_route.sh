#!/usr/bin/env bash
# The whole migration on the external-device route, as a person does it with
# the built program: the bundle is copied into a folder of its own (the USB
# stick) and started with HOME = a sample old machine. STEP 1 to STEP 3 copy
# what the scan found into "temp" on the stick; "終了" quits and leaves the
# copy-done marker in the bundle. Started again from the stick with HOME = an
# empty new machine, the program opens STEP 4; the paste with the replace
# choice puts everything in place, and "終了" quits and removes the marker.
# Then every item that arrived is compared with its source: contents, modes,
# times, symbolic links and extended attributes (Mac type and creator). The
# sample holds the untidy items real machines have: a preferences item that
# is a single file, a preferences folder the Finder hides, a documents
# folder whose name begins with "." and looks like a working folder's
# (".olvan-notes"), and an Application Support folder that is a link to a
# folder elsewhere (which arrives as that folder). Neither machine nor the
# stick keeps a staging remain.
# The person's own folders on the new machine whose names only look like
# those of items that come, "kavreline", "Dornel Strasse", a Shift_JIS name,
# and ".olvan-incoming-1" in Documents, stay as they were, and the old
# machine's "Kavreline", "Dornel Straße" and Shift_JIS-named folder arrive
# beside them: with the replace choice on the first paste, and with the
# keep choice on a second one (the copy-done marker laid again as a later
# copy would, and the three items taken away first). As root, the new
# machine also has an older Kavreline with a folder of the person's
# bind-mounted inside: the first paste replaces it and completes all the
# same; the caution dialog tells that the old one is left behind by the
# program, "終了" quits without asking and the marker goes. The mount and
# its content stay in the hidden working folder, which the second paste's
# recovery tells again while that paste completes; once unmounted, it is the
# only remain.
#
# usage: device_route.sh <program executable> <sample tool> <folder for the run>
# The pictures of every step go to <folder>/screenshots.
# Exit status 77 (a skip for ctest) when the virtual screen's tools are missing.
# Not root (or no private mount namespace): a note says so, and the new
# machine has nothing that the paste replaces.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
source "$here/e2e_lib.sh"
e2e_begin --root-if-able "$0" "$@"

old=$E2E_OUT/old-machine
new=$E2E_OUT/new-machine
stick=$E2E_OUT/usb-stick
OLVAN_SAMPLE_TOOL=$sample_tool bash "$top/scripts/make_sample_machine.sh" "$old" >/dev/null
e2e_old_lookalikes "$old/Applications"
# Kept aside to show that the old machine loses nothing.
mkdir -p "$E2E_OUT/before"
cp -a "$old" "$E2E_OUT/before/"
e2e_new_home "$new"
e2e_person_lookalike "$new"
# As root, an older Kavreline on the new machine, with a folder of the
# person's mounted inside it, which the paste replaces.
if [ -n "$E2E_ROOT" ]; then
  mkdir -p "$new/Applications/Kavreline"
  printf 'an older Kavreline\n' >"$new/Applications/Kavreline/old version.txt"
  e2e_bind_into_item "$new/Applications/Kavreline"
else
  echo "note: not root, or no private mount namespace: the new machine has no item that the paste replaces"
fi
e2e_install_bundle "$program" "$stick"
marker=$E2E_BUNDLE/Contents/Resources/CopyDone
items() { e2e_sample_items; e2e_old_lookalike_items; }

# --- on the old machine: STEP 1 to 3
e2e_device_to_step_three "$old"
e2e_click $E2E_COPY
e2e_wait_until 60 "the copy to end (Next enabled, reading 終了)" e2e_button_enabled $E2E_NEXT
e2e_snapshot "step3-copied"
echo "copy done after $(e2e_elapsed)"

e2e_expect_names "$stick/temp" App AS Doc Pref
e2e_expect_names "$stick/temp/App" "Dornel 3" Kavreline Pelquon "Toskarine II" "${E2E_OLD_LOOKALIKES[@]}"
e2e_expect_names "$stick/temp/Pref" Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定
e2e_expect_names "$stick/temp/AS" Dornel "Toskarine II"
e2e_expect_names "$stick/temp/Doc" Dornel書類 .olvan-notes Toskarine書類
while IFS=$'\t' read -r category folder name; do
  e2e_same_item "$old/$folder/$name" "$stick/temp/$category/$name"
done < <(items)
[ ! -e "$marker" ] || e2e_fail "the copy-done marker is there before the program was quit"

e2e_quit
[ -f "$marker" ] || e2e_fail "no copy-done marker in $E2E_BUNDLE after the copy"
echo "old machine done after $(e2e_elapsed); marker written"

# --- on the new machine: STEP 4, with the choice given. As root the old
# Kavreline left behind is told in the caution dialog, as the program's
# leftover, not as a failure: the paste completes (its button stays
# disabled) and "終了" quits without asking and removes the marker.
paste_run() {  # log-name choice
  e2e_start "$new" "$1"
  e2e_wait_until 15 "STEP 4 opened by the marker" e2e_step_shown 4
  e2e_snapshot "$1-start"
  e2e_click "${@:2}"
  local known
  known=$(e2e_visible_windows)
  e2e_click $E2E_PASTE
  if [ -n "$E2E_ROOT" ]; then
    # shellcheck disable=SC2086
    e2e_expect_caution 60 "$1-old-item-left-told" $known
    e2e_answer_dialog "$E2E_DIALOG" Return
  fi
  e2e_wait_until 60 "the paste to end (Next enabled, reading 終了)" e2e_button_enabled $E2E_NEXT
  e2e_wait_until 10 "the paste to complete (its button disabled)" e2e_button_disabled $E2E_PASTE
  e2e_snapshot "$1-pasted"
  e2e_quit
  [ ! -e "$marker" ] || e2e_fail "the copy-done marker is still there after the paste"
  echo "$1 done after $(e2e_elapsed); marker removed"
}
expect_arrived() {
  if [ -n "$E2E_ROOT" ]; then e2e_check_bound_kept "$new"; fi
  e2e_expect_names "$new/Applications" "Dornel 3" Kavreline Pelquon "Toskarine II" "${E2E_OLD_LOOKALIKES[@]}" \
    kavreline "Dornel Strasse" "$E2E_SJIS_MINE" ${E2E_LEFTOVER:+"$(basename "$E2E_LEFTOVER")"}
  e2e_expect_names "$new/Library/Preferences" Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定
  e2e_expect_names "$new/Library/Application Support" Dornel "Toskarine II"
  e2e_expect_names "$new/Documents" Dornel書類 .olvan-notes Toskarine書類 .olvan-incoming-1
  while IFS=$'\t' read -r category folder name; do
    e2e_same_item "$old/$folder/$name" "$new/$folder/$name"
    e2e_same_item "$old/$folder/$name" "$stick/temp/$category/$name"
  done < <(items)
  e2e_check_person_lookalike "$new"
}

E2E_LEFTOVER=""
paste_run paste-replace $E2E_PASTE_REPLACE
expect_arrived
left_by_first=$E2E_LEFTOVER

# --- a second paste on the same machine, keeping what is there
e2e_take_away_lookalikes "$new"
: >"$marker"
paste_run paste-keep $E2E_PASTE_KEEP
expect_arrived
[ "$E2E_LEFTOVER" = "$left_by_first" ] || e2e_fail "the leftover moved: $left_by_first, now $E2E_LEFTOVER"
if [ -n "$E2E_ROOT" ]; then e2e_unbind_expect_leftover "$new"; fi

e2e_same_item "$E2E_OUT/before/old-machine" "$old"
e2e_expect_no_remains "$old" "$stick"
[ -n "$E2E_ROOT" ] || e2e_expect_no_remains "$new"

echo "device route passed in $(e2e_elapsed); pictures in $E2E_SHOTS"
