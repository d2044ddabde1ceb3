# Shared by the end-to-end scripts, which drive the built wizard as a person
# does: a virtual screen, X input events at the controls' places, pictures of
# every step, and a comparison of the files that arrived with their sources.
# Sourced, not run. Every wait polls an observable condition against a
# deadline; nothing waits a fixed time for the program.

E2E_TITLE="OLVAN 移行アシスタント"
# The wizard's content area; the Qt window adds its menu bar above it.
E2E_WIDTH=600
E2E_HEIGHT=480
# Deadlines are multiplied by this: a loaded machine or a sanitizer build is
# slow, and a deadline only bounds a wait that ends as soon as it can.
E2E_PATIENCE=${E2E_PATIENCE:-3}

# Controls of the wizard, as the layout places them: left top width height.
E2E_ROUTE_DEVICE="50 100 150 20"      # STEP 1 "外部デバイス経由"
E2E_ROUTE_NETWORK="50 190 150 20"     # STEP 1 "ネットワーク経由"
E2E_NEXT="480 440 80 20"              # "次へ" / "終了", every page
E2E_COPY="260 260 80 20"              # STEP 3 "コピー" / "中止"
E2E_COPY_REPLACE="100 320 330 20"     # STEP 3 "既に同名のアイテムがあった場合、置き換える"
E2E_COPY_KEEP="100 350 330 20"        # STEP 3 "同名のアイテムを置き換えない"
E2E_PASTE="260 190 80 20"             # STEP 4 "ペースト" / "中止"
E2E_PASTE_REPLACE="100 320 330 20"    # STEP 4 "既に同名のアイテムがあった場合、置き換える"
E2E_PASTE_KEEP="100 350 330 20"       # STEP 4 "同名のアイテムを置き換えない"
# The chooser of the old machine's disk and user (a sheet of its own).
E2E_CHOOSER_DISKS="16 40 268 93"
E2E_CHOOSER_USERS="16 160 268 62"
E2E_CHOOSER_RUN="200 240 80 20"       # "実行"

e2e_fail() {
  echo "FAILED: $*" >&2
  e2e_snapshot "failure" 2>/dev/null || true
  if [ -n "${E2E_LOG:-}" ] && [ -s "$E2E_LOG" ]; then
    echo "--- program output ($E2E_LOG)" >&2
    tail -n 40 "$E2E_LOG" >&2
  fi
  exit 1
}

# Exit 77 (a skip for ctest) when a tool is missing.
e2e_require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
      exit 77
    fi
  done
}

e2e_require_root() {
  if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    echo "skipped: needs root and a private mount namespace (unshare -m)"
    exit 77
  fi
}

# The opening of every end-to-end script: its three arguments (setting
# program and sample_tool), the tools it needs, root and a private mount
# namespace where asked (--root) or where they can be had (--root-if-able;
# E2E_ROOT tells which), a virtual screen, and the run's folder.
e2e_begin() {  # [--root | --root-if-able] "$0" "$@"
  local root=""
  if [ "$1" = --root ]; then
    root=1
    shift
  elif [ "$1" = --root-if-able ]; then
    shift
    if [ "$(id -u)" -eq 0 ] && command -v unshare mount findmnt >/dev/null && unshare -m true 2>/dev/null; then
      root=1
    fi
  fi
  E2E_ROOT=$root
  local script=$1
  shift
  [ $# -eq 3 ] || { echo "usage: $script <program> <sample tool> <folder>" >&2; exit 2; }
  program=$1
  sample_tool=$2
  e2e_require_tools xvfb-run xdotool import getfattr setfattr iconv ${root:+unshare mount findmnt}
  if [ -n "$root" ]; then
    e2e_require_root
    e2e_in_private_mounts "$script" "$@"
  fi
  e2e_on_virtual_screen "$script" "$@"
  e2e_prepare "$3"
}

# Runs the calling script again inside a private mount namespace, so that
# its mounts are seen by it and the program it starts, and vanish with it.
e2e_in_private_mounts() {  # "$0" "$@"
  if [ -z "${E2E_IN_NAMESPACE:-}" ]; then
    exec env E2E_IN_NAMESPACE=1 unshare -m --propagation private bash "$@"
  fi
}

# Runs the calling script again on a virtual screen of its own.
e2e_on_virtual_screen() {  # "$0" "$@"
  if [ -z "${E2E_ON_VIRTUAL_SCREEN:-}" ]; then
    exec env E2E_ON_VIRTUAL_SCREEN=1 xvfb-run -a -s "-screen 0 1280x800x24" bash "$@"
  fi
}

# The folders of one run: everything below $1, emptied first.
e2e_prepare() {  # folder
  E2E_OUT=$1
  case "$E2E_OUT" in
    "" | "/") echo "refusing to use '$E2E_OUT' as the run's folder" >&2; exit 2 ;;
  esac
  mkdir -p "$E2E_OUT"
  E2E_OUT=$(cd "$E2E_OUT" && pwd)
  find "$E2E_OUT" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
  E2E_SHOTS=$E2E_OUT/screenshots
  mkdir -p "$E2E_SHOTS"
  E2E_SHOT_NUMBER=0
  E2E_STARTED=$(date +%s%N)
  E2E_PID=""
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  if [ -n "${E2E_PID:-}" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill -9 "$E2E_PID" 2>/dev/null || true
  fi
}

e2e_elapsed() { echo "$(( ($(date +%s%N) - E2E_STARTED) / 1000000 )) ms"; }

# A new home folder with the four folders a new machine has.
e2e_new_home() {  # folder
  mkdir -p "$1/Applications" "$1/Library/Preferences" "$1/Library/Application Support" "$1/Documents"
}

# A copy of the built bundle in a folder of its own, as on a USB stick.
e2e_install_bundle() {  # program-executable folder
  local bundle
  bundle=$(cd "$(dirname "$1")/../.." && pwd)
  mkdir -p "$2"
  cp -a "$bundle" "$2/"
  E2E_BUNDLE=$2/$(basename "$bundle")
  E2E_EXECUTABLE=$E2E_BUNDLE/Contents/MacOS/$(basename "$1")
}

# --- the program and its windows

# Starts the installed bundle with HOME and waits for the wizard's window.
e2e_start() {  # home log-name
  E2E_LOG=$E2E_OUT/$2.log
  HOME=$1 QT_QPA_PLATFORM=xcb "$E2E_EXECUTABLE" >"$E2E_LOG" 2>&1 &
  E2E_PID=$!
  E2E_WIN=""
  local deadline=$((SECONDS + 30 * E2E_PATIENCE)) w
  while [ -z "$E2E_WIN" ]; do
    for w in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null); do
      [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$E2E_TITLE" ] && E2E_WIN=$w
    done
    [ -n "$E2E_WIN" ] && break
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended before its window appeared"
    [ $SECONDS -lt $deadline ] || e2e_fail "no window \"$E2E_TITLE\" within 30 s"
    sleep 0.1
  done
  # The content area lies below the menu bar: the window is exactly the
  # content plus the bar (both fixed).
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$E2E_WIN")
  local X Y WIDTH HEIGHT
  eval "$(echo "$geometry" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  [ "$WIDTH" -eq "$E2E_WIDTH" ] || e2e_fail "the window is $WIDTH wide, not $E2E_WIDTH"
  E2E_BAR=$((HEIGHT - E2E_HEIGHT))
  [ "$E2E_BAR" -ge 0 ] && [ "$E2E_BAR" -le 60 ] || e2e_fail "window height $HEIGHT leaves no 480-pixel content area"
  E2E_X=$X
  E2E_Y=$((Y + E2E_BAR))
  echo "window $E2E_WIN at $X,$Y: menu bar $E2E_BAR px above the ${E2E_WIDTH}x${E2E_HEIGHT} content"
}

# Waits for the program to end by itself; fails with its status otherwise.
e2e_wait_exit() {  # seconds
  local deadline=$((SECONDS + $1 * E2E_PATIENCE)) asked=$(date +%s%N)
  while kill -0 "$E2E_PID" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the program did not end within $1 s"
    sleep 0.05
  done
  local status=0
  wait "$E2E_PID" || status=$?
  E2E_PID=""
  [ "$status" -eq 0 ] || e2e_fail "the program ended with status $status"
  echo "$(e2e_elapsed): the program ended, $(( ($(date +%s%N) - asked) / 1000000 )) ms after it was told to"
}

# A click at a point of the wizard's content area.
e2e_click_at() {  # x y
  # Not --sync: it waits for the pointer to move, which it never does when
  # it is already there (two clicks on "次へ" in a row).
  xdotool mousemove $((E2E_X + $1)) $((E2E_Y + $2)) click 1
}

# A click in the middle of a control, from its place in the layout.
e2e_click() {  # left top width height
  e2e_click_at $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

# The whole screen (wizard, item list, dialogs), numbered in order.
e2e_snapshot() {  # name
  E2E_SHOT_NUMBER=$((E2E_SHOT_NUMBER + 1))
  local file
  file=$(printf '%s/%02d-%s.png' "$E2E_SHOTS" "$E2E_SHOT_NUMBER" "$1")
  import -window root "$file"
  echo "$(e2e_elapsed): $(basename "$file")"
}

# --- what the window shows

# The pixels of a region of the screen, one "r g b" line each, row by row.
e2e_screen_pixels() {  # widthxheight+x+y (screen coordinates)
  import -window root -crop "$1" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p'
}
# The same for a region of the wizard's content (or of the sheet in front).
e2e_pixels() {  # widthxheight+x+y (content coordinates)
  local size=${1%%+*} rest=${1#*+}
  local x=${rest%%+*} y=${rest#*+}
  e2e_screen_pixels "${size}+$((E2E_X + x))+$((E2E_Y + y))"
}
e2e_blue() { awk '$3 > 150 && $1 < 110 && $2 < 110 { n++ } END { print n + 0 }'; }
e2e_dark() { awk '$1 < 90 && $2 < 90 && $3 < 90 { n++ } END { print n + 0 }'; }
e2e_count_blue() { e2e_pixels "$1" | e2e_blue; }
e2e_count_dark() { e2e_pixels "$1" | e2e_dark; }

# The header of the step shown is blue (STEP 1 to 4 side by side, 150 x 40).
e2e_step_shown() {  # step
  [ "$(e2e_count_blue "150x40+$((($1 - 1) * 150))+10")" -gt 20 ]
}

# A push button's caption is drawn in black only while it is enabled.
e2e_button_enabled() {  # left top width height
  [ "$(e2e_count_dark "$3x$4+$1+$2")" -gt 15 ]
}

# After a run that went through, its button stays disabled: only a run that
# was stopped or had failures can be run again.
e2e_button_disabled() { ! e2e_button_enabled "$@"; }

# Polls a condition until it holds or the deadline passes.
e2e_wait_until() {  # seconds description command...
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds * E2E_PATIENCE))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "$what: not within $seconds s"
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "$what: the program ended"
    sleep 0.1
  done
}

# --- windows other than the wizard: the item list, sheets, dialogs

e2e_visible_windows() {
  xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null | sort
}

# Waits for a window of the program that is not among the known ones; prints
# its id.
e2e_wait_new_window() {  # seconds known-ids...
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds * E2E_PATIENCE)) w known
  while :; do
    for w in $(e2e_visible_windows); do
      known=no
      for k in "$@"; do [ "$w" = "$k" ] && known=yes; done
      if [ $known = no ]; then
        echo "$w"
        return 0
      fi
    done
    [ $SECONDS -lt $deadline ] || return 1
    kill -0 "$E2E_PID" 2>/dev/null || return 1
    sleep 0.1
  done
}

e2e_wait_window_gone() {  # seconds id
  local deadline=$((SECONDS + $1 * E2E_PATIENCE))
  while e2e_visible_windows | grep -qx "$2"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "window $2 did not go away within $1 s"
    sleep 0.05
  done
}

# Answers a dialog with a key: Return for its default button, Escape for
# its cancel button.
e2e_answer_dialog() {  # id key
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool key --clearmodifiers "$2"
  e2e_wait_window_gone 10 "$1"
}

# The caution dialog that reports failed items: it must come, be seen, and
# go when answered.
e2e_expect_caution() {  # seconds picture-name known-ids...
  local seconds=$1 name=$2 dialog
  shift 2
  dialog=$(e2e_wait_new_window "$seconds" "$@") || e2e_fail "no caution dialog within $seconds s ($name)"
  # Mapped before painted: wait until it shows its text.
  local deadline=$((SECONDS + 10 * E2E_PATIENCE)) geometry
  geometry=$(xdotool getwindowgeometry --shell "$dialog")
  local X Y WIDTH HEIGHT
  eval "$(echo "$geometry" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  until [ "$(e2e_screen_pixels "${WIDTH}x${HEIGHT}+${X}+${Y}" | e2e_dark)" -gt 50 ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the dialog ($name) shows no text"
    sleep 0.05
  done
  echo "caution dialog $dialog (${WIDTH}x${HEIGHT}): $name"
  e2e_snapshot "$name"
  E2E_DIALOG=$dialog
}

# "終了" after a run that went through quits at once: a question, or any
# other dialog, would come as a window of its own before the program ends.
e2e_quit() {
  local known asked
  known=$(e2e_visible_windows)
  e2e_click $E2E_NEXT
  # shellcheck disable=SC2086
  if asked=$(e2e_wait_new_window 30 $known); then
    E2E_DIALOG=$asked
    e2e_fail "a window came up after \"終了\" instead of the program ending (window $asked)"
  fi
  e2e_wait_exit 30
}

# "終了" after a device copy or a paste that did not go through asks first;
# "強制終了" (the dialog's cancel button) quits all the same.
e2e_force_quit() {  # picture-name
  local known
  known=$(e2e_visible_windows)
  e2e_click $E2E_NEXT
  # shellcheck disable=SC2086
  e2e_expect_caution 10 "$1" $known
  e2e_answer_dialog "$E2E_DIALOG" Escape
  e2e_wait_exit 30
}

# --- comparing trees

# One line per item of a file or folder tree, the item itself included:
# path, kind, mode, size (files), time of last change, link target,
# extended attributes (a link's own, not its target's). Paths begin with
# "./" and the item's name, or the name given.
e2e_manifest() {  # item [name]
  (
    cd "$(dirname "$1")" || exit 1
    local item shown
    item="./$(basename "$1")"
    shown="./${2:-$(basename "$1")}"
    # The attributes of the whole tree first (one "# file:" block per item
    # that has any), then one line per item; fields apart by the unit
    # separator, which is not white space, so an empty field stays a field.
    {
      getfattr -R -P -h -d -m - -e hex --absolute-names -- "$item" 2>/dev/null
      printf '\036\n'
      find "$item" -printf '%p\037%y\037%m\037%s\037%TY-%Tm-%Td %TT\037%l\n' | LC_ALL=C sort
    } | awk -F '\037' -v item="$item" -v shown="$shown" '
      !listing && /^\036$/ { listing = 1; next }
      !listing && /^# file: / { file = substr($0, 9); next }
      !listing && /=/ { n[file]++; attr[file, n[file]] = $0; next }
      listing {
        # In name order: file systems list attributes in orders of their own.
        for (i = 2; i <= n[$1]; i++)
          for (j = i; j > 1 && attr[$1, j - 1] > attr[$1, j]; j--) {
            t = attr[$1, j]; attr[$1, j] = attr[$1, j - 1]; attr[$1, j - 1] = t
          }
        attrs = ""
        for (i = 1; i <= n[$1]; i++) attrs = attrs attr[$1, i] " "
        size = $2 == "d" ? "-" : $4
        path = $1
        if (index(path, item) == 1) path = shown substr(path, length(item) + 1)
        print path "\t" $2 "\t" $3 "\t" size "\t" $5 "\t" $6 "\t" attrs
      }'
  )
}

# An item and its copy (same name): the same contents, kinds, modes, times,
# link targets and extended attributes, all the way down. The item the list
# shows is what moves: an item that is itself a link is followed once, and
# its target must have arrived under the item's name (links inside stay
# links).
e2e_same_item() {  # expected actual
  [ -e "$2" ] || [ -L "$2" ] || e2e_fail "missing: $2"
  [ "$(basename "$1")" = "$(basename "$2")" ] || e2e_fail "names differ: $1 and $2"
  local source=$1
  if [ -L "$1" ]; then
    source=$(readlink -f -- "$1") || e2e_fail "the link $1 leads nowhere"
    [ ! -L "$2" ] || e2e_fail "the link $1 arrived as a link, not as what it leads to: $2 -> $(readlink -- "$2")"
  fi
  diff -r --no-dereference "$source" "$2" >/dev/null || {
    diff -r --no-dereference "$source" "$2" | head -20 >&2
    e2e_fail "contents differ: $1 and $2"
  }
  local a b
  a=$(e2e_manifest "$source" "$(basename "$2")")
  b=$(e2e_manifest "$2")
  [ "$a" = "$b" ] || {
    diff <(echo "$a") <(echo "$b") | head -20 >&2
    e2e_fail "modes, times, links or attributes differ: $1 and $2"
  }
}

# The hidden working folders in which the transfer stages its copies, below
# the folders given: every ".olvan-incoming-*", marked or not (one whose mark
# is gone is left behind all the same), except the person's own folders of
# such a name (E2E_OWN_STAGES).
E2E_OWN_STAGES=()
e2e_remains() {  # folder...
  local found own mine
  while IFS= read -r found; do
    mine=no
    for own in "${E2E_OWN_STAGES[@]}"; do [ "$found" != "$own" ] || mine=yes; done
    [ $mine = yes ] || echo "$found"
  done < <(find "$@" -name '.olvan-incoming-*' 2>/dev/null)
}

# A run that completes leaves none of them.
e2e_expect_no_remains() {  # folder...
  local remains
  remains=$(e2e_remains "$@")
  [ -z "$remains" ] || {
    echo "$remains" | head -20 >&2
    e2e_fail "staging remains left behind"
  }
}

# The names directly inside a folder, one per line, sorted (hidden ones too).
e2e_names() {  # folder
  find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort
}

e2e_expect_names() {  # folder expected-names...
  local expected actual
  expected=$(printf '%s\n' "${@:2}" | sort)
  actual=$(e2e_names "$1")
  [ "$expected" = "$actual" ] || {
    echo "expected in $1:" >&2
    echo "$expected" | sed 's/^/  /' >&2
    echo "found:" >&2
    echo "$actual" | sed 's/^/  /' >&2
    e2e_fail "unexpected contents of $1"
  }
}

# --- the steps every run on the device route takes

# Starts the program on the old machine and goes through STEP 1 (device) and
# STEP 2 (the scan) to STEP 3, with a picture of each.
e2e_device_to_step_three() {  # old-home
  e2e_start "$1" copy-run
  e2e_wait_until 15 "STEP 1 shown" e2e_step_shown 1
  e2e_snapshot "step1-start"
  e2e_click $E2E_ROUTE_DEVICE
  e2e_wait_until 10 "Next enabled once the device route is chosen" e2e_button_enabled $E2E_NEXT
  e2e_snapshot "step1-device-chosen"
  e2e_click $E2E_NEXT
  e2e_wait_until 10 "STEP 2 shown" e2e_step_shown 2
  e2e_wait_until 60 "the scan to end (Next enabled)" e2e_button_enabled $E2E_NEXT
  e2e_snapshot "step2-items-found"
  e2e_click $E2E_NEXT
  e2e_wait_until 10 "STEP 3 shown" e2e_step_shown 3
  e2e_snapshot "step3-before-copy"
}

# The items a device copy of the sample machine carries, by category folder
# of "temp" and the folder of the old home they come from.
e2e_sample_items() {
  cat <<'ITEMS'
App	Applications	Dornel 3
App	Applications	Kavreline
App	Applications	Pelquon
App	Applications	Toskarine II
Pref	Library/Preferences	Dornel初期設定
Pref	Library/Preferences	Kavreline初期設定
Pref	Library/Preferences	Pelquon初期設定
Pref	Library/Preferences	Toskarine初期設定
AS	Library/Application Support	Dornel
AS	Library/Application Support	Toskarine II
Doc	Documents	Dornel書類
Doc	Documents	.olvan-notes
Doc	Documents	Toskarine書類
ITEMS
}

# Names in Shift_JIS, as an older system wrote them: bytes that are no UTF-8,
# of one length, so that a lookup that turns every invalid byte into a
# replacement character takes the one for the other ("旧版" and "資料").
E2E_SJIS_OLD=$'\x8b\x8c\x94\xc5'
E2E_SJIS_MINE=$'\x8e\x91\x97\xbf'
# The old machine's applications whose folder names look like the person's
# on the new machine, besides the sample's "Kavreline": two folders holding
# Quilbrant, which the wizard moves as its application alone.
E2E_OLD_LOOKALIKES=("Dornel Straße" "$E2E_SJIS_OLD")
# The person's folders on the new machine: another letter case, "ss" for
# "ß", other invalid bytes; and one named like the wizard's working folders.
E2E_PERSON_LOOKALIKES=("Applications/kavreline" "Applications/Dornel Strasse" "Applications/$E2E_SJIS_MINE"
  "Documents/.olvan-incoming-1")

e2e_old_lookalikes() {  # applications-folder
  local name
  for name in "${E2E_OLD_LOOKALIKES[@]}"; do
    mkdir -p "$1/$name/Quilbrant.app/Contents"
    printf 'APPLqZw2' >"$1/$name/Quilbrant.app/Contents/PkgInfo"
  done
}
# The same as rows of e2e_sample_items.
e2e_old_lookalike_items() {
  printf 'App\tApplications\t%s\n' "${E2E_OLD_LOOKALIKES[@]}"
}

# The person's look-alikes on the new machine, kept aside for comparing: the
# runs must not touch them.
e2e_person_lookalike() {  # new-home
  local item
  for item in "${E2E_PERSON_LOOKALIKES[@]}"; do
    mkdir -p "$1/$item" "$E2E_OUT/before-lookalike/$(dirname "$item")"
    printf '自分のメモ\n' >"$1/$item/メモ.txt"
    cp -a "$1/$item" "$E2E_OUT/before-lookalike/$item"
  done
  E2E_OWN_STAGES+=("$1/Documents/.olvan-incoming-1")
}
e2e_check_person_lookalike() {  # new-home
  local item
  for item in "${E2E_PERSON_LOOKALIKES[@]}"; do
    e2e_same_item "$E2E_OUT/before-lookalike/$item" "$1/$item"
  done
}

# The person takes away the old machine's items that arrived beside their
# look-alikes, so that the next run must put them there again.
e2e_take_away_lookalikes() {  # new-home
  local name
  for name in Kavreline "${E2E_OLD_LOOKALIKES[@]}"; do
    rm -rf "${1:?}/Applications/$name"
  done
}

# --- the network route

# Mounts a folder as the old machine's disk where the framework looks for
# volumes: /media/<name>, over an empty /media of this namespace's own.
e2e_mount_old_disk() {  # folder name
  mount -t tmpfs -o size=1m,mode=755 olvan-e2e-media /media
  mkdir "/media/$2"
  mount --bind "$1" "/media/$2"
}

# The disk's row in the chooser: the number the framework gives its volume.
e2e_volume_row() {  # sample-tool volume-name
  local row
  row=$("$1" volumes | awk -F '\t' -v name="$2" '$2 == name { print $1 }')
  [ -n "$row" ] || e2e_fail "the framework lists no volume \"$2\""
  echo "$row"
}

# Starts the program on the new machine and goes through STEP 1 (the network
# route, the old disk and user chosen) and STEP 2 (the scan of the old disk)
# to STEP 3, with a picture of each.
e2e_network_to_step_three() {  # new-home disk-row log-name
  e2e_start "$1" "$3"
  e2e_wait_until 15 "STEP 1 shown" e2e_step_shown 1
  e2e_snapshot "step1-start"
  e2e_choose_old_machine "$2" 0
  e2e_wait_until 10 "Next enabled once the old machine is chosen" e2e_button_enabled $E2E_NEXT
  e2e_snapshot "step1-network-chosen"
  e2e_click $E2E_NEXT
  e2e_wait_until 10 "STEP 2 shown" e2e_step_shown 2
  e2e_wait_until 60 "the scan of the old disk to end (Next enabled)" e2e_button_enabled $E2E_NEXT
  e2e_snapshot "step2-items-found"
  e2e_click $E2E_NEXT
  e2e_wait_until 10 "STEP 3 shown" e2e_step_shown 3
  e2e_snapshot "step3-before-copy"
}

# Items the new machine has before the network copy: one with the name of
# an item that comes (replaced with the replace choice) and three others that
# must stay as they are. The untouched ones are kept aside for comparing.
e2e_new_machine_items() {  # new-home
  mkdir -p "$1/Applications/Kavreline/Kavreline.app/Contents" "$1/Applications/自分のツール" "$1/Documents/私の書類"
  printf 'APPLqZw4' >"$1/Applications/Kavreline/Kavreline.app/Contents/PkgInfo"
  printf 'an older Kavreline\n' >"$1/Applications/Kavreline/old version.txt"
  printf 'mine\n' >"$1/Applications/自分のツール/tool.txt"
  printf '<plist/>\n' >"$1/Library/Preferences/com.example.mine.plist"
  printf '日記\n' >"$1/Documents/私の書類/日記.txt"
  setfattr -n user.olvan.comment -v "残す" "$1/Documents/私の書類/日記.txt"
  mkdir -p "$E2E_OUT/before-new/Applications" "$E2E_OUT/before-new/Preferences" "$E2E_OUT/before-new/Documents"
  cp -a "$1/Applications/自分のツール" "$E2E_OUT/before-new/Applications/"
  cp -a "$1/Library/Preferences/com.example.mine.plist" "$E2E_OUT/before-new/Preferences/"
  cp -a "$1/Documents/私の書類" "$E2E_OUT/before-new/Documents/"
}

e2e_check_new_machine_items() {  # new-home
  e2e_same_item "$E2E_OUT/before-new/Applications/自分のツール" "$1/Applications/自分のツール"
  e2e_same_item "$E2E_OUT/before-new/Preferences/com.example.mine.plist" "$1/Library/Preferences/com.example.mine.plist"
  e2e_same_item "$E2E_OUT/before-new/Documents/私の書類" "$1/Documents/私の書類"
}

# STEP 1 on the network route: "ネットワーク経由" opens the chooser sheet;
# the disk row, then the user row, then "実行".
e2e_choose_old_machine() {  # disk-row user-row
  local known sheet
  known=$(e2e_visible_windows)
  e2e_click $E2E_ROUTE_NETWORK
  # shellcheck disable=SC2086
  sheet=$(e2e_wait_new_window 10 $known) || e2e_fail "no chooser of the old machine's disk"
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$sheet" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  [ "$WIDTH" -eq 300 ] && [ "$HEIGHT" -eq 280 ] || e2e_fail "the chooser is ${WIDTH}x${HEIGHT}, not 300x280"
  local wx=$E2E_X wy=$E2E_Y
  E2E_X=$X
  E2E_Y=$Y
  e2e_wait_until 10 "the chooser's disk list drawn" e2e_list_rows_drawn $E2E_CHOOSER_DISKS
  e2e_click_list_row "$1" $E2E_CHOOSER_DISKS
  e2e_wait_until 10 "the user list filled" e2e_list_rows_drawn $E2E_CHOOSER_USERS
  e2e_click_list_row "$2" $E2E_CHOOSER_USERS
  e2e_snapshot "chooser"
  e2e_click $E2E_CHOOSER_RUN
  E2E_X=$wx
  E2E_Y=$wy
  e2e_wait_window_gone 10 "$sheet"
}

# Text rows of a list: the pixel rows inside it that hold dark (text) pixels,
# grouped into bands, one "top bottom" line per band.
e2e_list_bands() {  # left top width height
  e2e_pixels "$(($3 - 8))x$(($4 - 4))+$(($1 + 4))+$(($2 + 2))" |
    awk -v w=$(($3 - 8)) -v top=$(($2 + 2)) '
      { y = int((NR - 1) / w); if ($1 < 90 && $2 < 90 && $3 < 90) dark[y]++ }
      END {
        start = -1
        for (y = 0; y <= int((NR - 1) / w) + 1; y++) {
          if (dark[y] > 0 && start < 0) start = y
          if (dark[y] == 0 && start >= 0) { print start + top, y - 1 + top; start = -1 }
        }
      }'
}
e2e_list_rows_drawn() { [ -n "$(e2e_list_bands "$@")" ]; }

# A click on the text of a list's row (0 is the first).
e2e_click_list_row() {  # row left top width height
  local band
  band=$(e2e_list_bands "$2" "$3" "$4" "$5" | sed -n "$(($1 + 1))p")
  [ -n "$band" ] || e2e_fail "the list at $2,$3 has no row $1"
  e2e_click_at $(($2 + 60)) $(( (${band% *} + ${band#* }) / 2 ))
}

# --- a mount inside an item that is replaced

# A folder of the person's, elsewhere in the run's folder, bound onto a
# folder inside an item that the run replaces. The old item is swapped out
# into a working folder, whose removal must leave the mount, and all that
# lies behind it, where it is.
e2e_bind_into_item() {  # item
  local mine=$E2E_OUT/person/Plug-ins
  mkdir -p "$mine" "$E2E_OUT/before-bound" "$1/Plug-ins"
  printf '自分で作ったプラグイン\n' >"$mine/自分の.plugin"
  printf 'keep me\n' >"$mine/settings.txt"
  cp -a "$mine" "$E2E_OUT/before-bound/"
  mount --bind "$mine" "$1/Plug-ins"
}

# After the run that replaced the item: the person's folder is whole, and
# still mounted once below the home, now inside the marked working folder
# that could not be removed wholly (E2E_BOUND_AT).
e2e_check_bound_kept() {  # home
  local targets target
  # Raw output writes white space and other unsafe bytes as \xHH escapes.
  targets=$(findmnt -rn -o TARGET | while read -r target; do printf '%b\n' "$target"; done | grep -F "$1/" || true)
  [ "$(echo "$targets" | grep -c .)" -eq 1 ] || e2e_fail "not one mount below $1: ${targets:-none}"
  E2E_BOUND_AT=$targets
  E2E_LEFTOVER=$(echo "$E2E_BOUND_AT" | sed -n 's#^\(.*/\.olvan-incoming-[0-9]*\)/.*#\1#p')
  [ -n "$E2E_LEFTOVER" ] && [ -f "$E2E_LEFTOVER/.olvan-mark" ] ||
    e2e_fail "the mount is not inside a working folder: $E2E_BOUND_AT"
  echo "still mounted, inside the working folder: $E2E_BOUND_AT"
  e2e_same_item "$E2E_OUT/before-bound/Plug-ins" "$E2E_OUT/person/Plug-ins"
  e2e_same_item "$E2E_OUT/before-bound/Plug-ins" "$E2E_BOUND_AT"
}

# Unmounted again, the working folder that held the mount is the only remain
# below the home.
e2e_unbind_expect_leftover() {  # home
  umount "$E2E_BOUND_AT"
  e2e_same_item "$E2E_OUT/before-bound/Plug-ins" "$E2E_OUT/person/Plug-ins"
  local remains
  remains=$(e2e_remains "$1")
  [ "$remains" = "$E2E_LEFTOVER" ] || {
    echo "${remains:-none}" | head -20 >&2
    e2e_fail "not only the working folder that held the mount remains ($E2E_LEFTOVER)"
  }
  echo "the one remain: $E2E_LEFTOVER"
}
