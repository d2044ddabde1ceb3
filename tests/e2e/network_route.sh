#!/usr/bin/env bash
# The migration on the network route, as a person does it with the built
# program on the new machine: the old machine's disk (a sample disk with the
# user "taro") is mounted at /media/OldMac in a private mount namespace, where
# the framework lists it as a volume. STEP 1 opens the chooser; the disk row
# and the user row are clicked and "実行" pressed; STEP 2 scans the disk;
# STEP 3 copies with the replace choice straight into the new machine's
# folders, which already hold items of their own (one of them of the same name
# as a copied one); "終了" quits. Then everything that arrived is compared
# with the disk, the items that were there before are checked, and the disk
# must be unchanged. The sample's untidy items (a preferences file, a hidden
# preferences folder, a documents folder ".olvan-notes" named like a working
# folder, an Application Support folder that is a relative link to a folder
# elsewhere on the disk, another that is an absolute link written for the old
# machine) arrive as they are listed, and the person's own ".olvan-incoming-1"
# in the new Documents stays as it was. The absolute link's path exists on
# this machine too, holding other data: what arrives is the disk's folder,
# and this machine's stays as it was. A folder of the person's is
# bind-mounted inside the new machine's older Kavreline: the copy replaces
# it and completes all the same ("ネットコピーが完了しました": the copy
# button stays disabled); the caution dialog tells that the replaced old item
# is left behind by the program, and "終了" quits without asking; the mount
# and its content stay as they were inside the hidden working folder, which,
# once unmounted, is the only remain. The person's folders whose names only
# look like those of items that come, "kavreline", "Dornel Strasse" and a
# Shift_JIS name, stay as they were, and the disk's "Kavreline", "Dornel
# Straße" and Shift_JIS-named folder arrive beside them: with the replace
# choice, and again with the keep choice on a second run (after the person
# took the three away), whose recovery removes the working folder without a
# word: no remain is left.
#
# usage: network_route.sh <program executable> <sample tool> <folder for the run>
# Needs root (mount namespace); exit status 77 (a skip) otherwise, and when
# the virtual screen's tools are missing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
source "$here/e2e_lib.sh"
e2e_begin --root "$0" "$@"

disk=$E2E_OUT/old-disk
new=$E2E_OUT/new-machine
OLVAN_SAMPLE_TOOL=$sample_tool bash "$top/scripts/make_sample_machine.sh" --disk taro "$disk" >/dev/null
e2e_old_lookalikes "$disk/Applications"
mkdir -p "$E2E_OUT/before"
cp -a "$disk" "$E2E_OUT/before/"
e2e_mount_old_disk "$disk" OldMac
row=$(e2e_volume_row "$sample_tool" OldMac)
echo "the old disk is volume $row"
# The path that the disk's absolute link names, on this machine: in a /home
# of this namespace's own (a small tmpfs over it, gone with the namespace),
# so the machine's real /home is never touched. Not where the run itself
# lies under /home, which the tmpfs would hide.
here_too="/home/taro/Data/Toskarine II"
if [ ! -d /home ] || [[ "$E2E_OUT/" == /home/* || "$top/" == /home/* || "$program" == /home/* || "$sample_tool" == /home/* ]]; then
  echo "note: no /home to stand over, or the run lies under it; this machine gets no folder of the link's path"
  here_too=""
else
  mount -t tmpfs -o size=1m,mode=755 olvan-e2e-home /home
  mkdir -p "$here_too"
  printf "this machine's own\n" >"$here_too/dictionary.db"
fi

e2e_new_home "$new"
e2e_new_machine_items "$new"
e2e_bind_into_item "$new/Applications/Kavreline"
e2e_person_lookalike "$new"
e2e_install_bundle "$program" "$E2E_OUT/program"

# --- the copy with the replace choice
e2e_network_to_step_three "$new" "$row" network-run
e2e_click $E2E_COPY_REPLACE
known=$(e2e_visible_windows)
e2e_click $E2E_COPY
# The old Kavreline cannot be removed wholly with the mount inside it: the
# run tells so as the program's leftover, and completes.
# shellcheck disable=SC2086
e2e_expect_caution 120 "step3-old-item-left-told" $known
e2e_answer_dialog "$E2E_DIALOG" Return
e2e_wait_until 10 "the network copy to end (Next enabled, reading 終了)" e2e_button_enabled $E2E_NEXT
e2e_wait_until 10 "the network copy to complete (its button disabled)" e2e_button_disabled $E2E_COPY
e2e_snapshot "step3-copied"
echo "network copy done after $(e2e_elapsed)"
e2e_check_bound_kept "$new"
e2e_quit

# --- what arrived
home=$disk/Users/taro
apps=("Dornel 3" Kavreline Pelquon "Toskarine II" "${E2E_OLD_LOOKALIKES[@]}")
expect_arrived() {  # names-of-remains...
  e2e_expect_names "$new/Applications" "${apps[@]}" "自分のツール" kavreline "Dornel Strasse" "$E2E_SJIS_MINE" "$@"
  e2e_expect_names "$new/Library/Preferences" Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定 \
    com.example.mine.plist
  e2e_expect_names "$new/Library/Application Support" Dornel "Toskarine II"
  local name
  for name in "${apps[@]}"; do
    e2e_same_item "$disk/Applications/$name" "$new/Applications/$name"
  done
  for name in Dornel初期設定 Kavreline初期設定 Pelquon初期設定 Toskarine初期設定; do
    e2e_same_item "$home/Library/Preferences/$name" "$new/Library/Preferences/$name"
  done
  e2e_same_item "$home/Library/Application Support/Dornel" "$new/Library/Application Support/Dornel"
  # Toskarine's link reads "/home/taro/Data/Toskarine II" as the old machine
  # wrote it: its folder on the disk is what arrived.
  e2e_same_item "$disk/home/taro/Data/Toskarine II" "$new/Library/Application Support/Toskarine II"
  if [ -n "$here_too" ]; then
    e2e_expect_names "$here_too" dictionary.db
    [ "$(cat "$here_too/dictionary.db")" = "this machine's own" ] || e2e_fail "this machine's $here_too was changed"
  fi
  e2e_check_new_machine_items "$new"
  # The products record their documents folders as paths on the old
  # machine's own start-up disk ("Macintosh HD:Users:taro:Documents:..."): on
  # this route that is the mounted disk, where they are found and from where
  # they come.
  e2e_expect_names "$new/Documents" Dornel書類 .olvan-notes Toskarine書類 私の書類 .olvan-incoming-1
  for name in Dornel書類 .olvan-notes Toskarine書類; do
    e2e_same_item "$home/Documents/$name" "$new/Documents/$name"
  done
  e2e_same_item "$E2E_OUT/before/old-disk" "$disk"
  e2e_check_person_lookalike "$new"
  [ ! -e "$E2E_BUNDLE/Contents/Resources/CopyDone" ] || e2e_fail "the network route wrote the copy-done marker"
}
expect_arrived "$(basename "$E2E_LEFTOVER")"
e2e_unbind_expect_leftover "$new"

# --- a second run, keeping what is there: its recovery removes the working
# folder, now that nothing is mounted inside, and tells nothing
e2e_take_away_lookalikes "$new"
e2e_network_to_step_three "$new" "$row" second-network-run
e2e_click $E2E_COPY_KEEP
e2e_click $E2E_COPY
e2e_wait_until 60 "the second network copy to end (Next enabled)" e2e_button_enabled $E2E_NEXT
e2e_wait_until 10 "the second network copy to complete (its button disabled)" e2e_button_disabled $E2E_COPY
e2e_snapshot "step3-copied-again"
e2e_quit
expect_arrived
e2e_expect_no_remains "$new" "$disk"

echo "network route passed in $(e2e_elapsed); pictures in $E2E_SHOTS"
