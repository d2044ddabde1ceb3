#!/usr/bin/env bash
# Starts the built program first where there is no display (none named, and
# one named that does not answer): it must say so in one line of its own and
# end with status 1, not abort. Then, on a virtual screen, where Qt's platform
# cannot start (one that does not exist; as root, the X11 platform with a
# library it needs hidden): it must pass on what Qt said, say in its own last
# line that the display answers, and end with status 1. Then starts it on the
# virtual screen, waits for its window, captures it and checks what the
# person sees first:
#   - the content area is exactly 600 x 480 below the window's menu bar;
#   - the current step's header (STEP 1, or STEP 4 when the copy-done marker
#     is in the bundle) is blue and the next header grey;
#   - the separator line under the headers runs at y = 50;
#   - the page's first line of text is drawn where its label stands.
# Then it quits the program with Ctrl+Q, which must end it cleanly. Last, it
# starts the program twice at the same instant, ten times: each time exactly
# one wizard must run, and the other start must hand over and end with 0.
#
# usage: screenshot_check.sh <program executable> <folder for the pictures>
# Exit status 77 (a skip for ctest) when the virtual screen's tools are missing.
set -euo pipefail

program=$1
out=$2

# Without a display: the program's one line and status 1. The display named
# in the second row is one no X server holds.
if [ -z "${OLVAN_ON_VIRTUAL_SCREEN:-}" ]; then
  unused=900
  while [ -e "/tmp/.X11-unix/X$unused" ] || [ -e "/tmp/.X$unused-lock" ]; do unused=$((unused + 1)); done
  for display in "" ":$unused"; do
    named=(-u DISPLAY)
    [ -n "$display" ] && named=(DISPLAY="$display")
    status=0
    said=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${named[@]}" "$program" 2>&1 >/dev/null) || status=$?
    echo "without a display (DISPLAY='$display'): status $status, said: $said"
    [ "$status" -eq 1 ] || { echo "screenshot check FAILED: status $status without a display, not 1"; exit 1; }
    [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] && [[ "$said" == OLVAN:*display*xvfb-run* ]] ||
      { echo "screenshot check FAILED: not the program's one line about the display"; exit 1; }
  done
fi

for tool in xvfb-run xdotool import convert identify; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot check skipped: $tool is not installed"
    exit 77
  fi
done

# Run again inside a virtual screen of our own.
if [ -z "${OLVAN_ON_VIRTUAL_SCREEN:-}" ]; then
  exec env OLVAN_ON_VIRTUAL_SCREEN=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

mkdir -p "$out"
rm -f "$out/window.png" "$out/content.png"
log="$out/program.log"
: >"$log"
pid=""
fail() {
  echo "screenshot check FAILED: $*"
  [ -s "$log" ] && { echo "--- program output"; cat "$log"; }
  [ -n "$pid" ] && kill $pid 2>/dev/null
  exit 1
}
# A runtime folder of the check's own: a wizard of this bundle that the person
# runs meanwhile is not the one the starts below hand over to.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

# Qt's platform cannot start on a display that answers: Qt's report, naming
# what it lacks, then the program's own line, and status 1.
platform_fails() {  # what it lacks, then the command
  local lacks=$1 status=0 said
  shift
  said=$("$@" 2>&1 >/dev/null) || status=$?
  echo "a display, but no platform ($lacks): status $status, said:"
  printf '%s\n' "$said" | sed 's/^/    /'
  [ "$status" -eq 1 ] || fail "status $status where Qt's platform cannot start, not 1"
  [[ "$said" == *"$lacks"* ]] || fail "what Qt lacks ($lacks) is not named"
  [[ "$(printf '%s\n' "$said" | tail -n 1)" == "OLVAN: the display (DISPLAY=$DISPLAY) answers, but"* ]] ||
    fail "the program's last line does not say that the display answers"
}
platform_fails nosuchplatform env QT_QPA_PLATFORM=nosuchplatform "$program"
xcb_plugin="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || true)/platforms/libqxcb.so"
needed=$(ldd "$xcb_plugin" 2>/dev/null | grep -o '/[^ ]*libxcb-icccm[^ ]*' | head -n 1 || true)
if [ "$(id -u)" -ne 0 ] || [ -z "$needed" ]; then
  echo "a display, but a library the X11 platform needs missing: skipped (needs root for a private mount, and $xcb_plugin linked to libxcb-icccm)"
else
  platform_fails "$needed" unshare -m sh -c 'mount --bind /dev/null "$1" && exec env QT_QPA_PLATFORM=xcb "$2"' sh \
    "$needed" "$program"
fi

# The pixels of a region of an image, one "r g b" line each (0..255).
pixels() {  # image widthxheight+x+y
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p'
}
count_blue() { pixels "$1" "$2" | awk '$3 > 150 && $1 < 110 && $2 < 110 { n++ } END { print n + 0 }'; }
count_grey() { pixels "$1" "$2" | awk '$1 > 60 && $1 < 200 && ($1 - $3)^2 < 100 && ($2 - $3)^2 < 100 { n++ } END { print n + 0 }'; }
count_dark() { pixels "$1" "$2" | awk '$1 < 90 && $2 < 90 && $3 < 90 { n++ } END { print n + 0 }'; }
mean_level() { pixels "$1" "$2" | awk '{ s += $1 + $2 + $3; n++ } END { printf "%d\n", s / (3 * n) }'; }

bundle=$(cd "$(dirname "$program")/../.." && pwd)
current_step=1
[ -e "$bundle/Contents/Resources/CopyDone" ] && current_step=4

QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1 &
pid=$!

wid=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
[ -n "$wid" ] || fail "no window of the program appeared within 30 s"

# The window may be mapped before its first paint: capture until the current
# step's header shows its blue, or give up after 15 s.
header_x=$(( (current_step - 1) * 150 ))
bar=0
for _ in $(seq 150); do
  import -window "$wid" "$out/window.png" 2>/dev/null || true
  if [ -s "$out/window.png" ]; then
    read -r width height < <(identify -format '%w %h\n' "$out/window.png")
    bar=$(( height - 480 ))
    if [ "$width" -eq 600 ] && [ "$bar" -ge 0 ] && [ "$bar" -le 60 ]; then
      convert "$out/window.png" -crop "600x480+0+$bar" +repage "$out/content.png"
      [ "$(count_blue "$out/content.png" "150x40+$header_x+10")" -gt 20 ] && break
    fi
  fi
  sleep 0.1
done
[ -s "$out/window.png" ] || fail "the window could not be captured"
read -r width height < <(identify -format '%w %h\n' "$out/window.png")
echo "window ${width}x${height}: menu bar ${bar} px, content 600x480 below it"
[ "$width" -eq 600 ] || fail "window width $width, not 600"
[ "$bar" -ge 0 ] && [ "$bar" -le 60 ] || fail "window height $height leaves no 480-pixel content area under a menu bar"

content="$out/content.png"
blue=$(count_blue "$content" "150x40+$header_x+10")
echo "STEP $current_step header: $blue blue pixels"
[ "$blue" -gt 20 ] || fail "the STEP $current_step header is not blue"
other_x=$(( current_step == 1 ? 150 : 0 ))
grey=$(count_grey "$content" "150x40+$other_x+10")
other_blue=$(count_blue "$content" "150x40+$other_x+10")
echo "another header: $grey grey pixels, $other_blue blue"
[ "$grey" -gt 20 ] && [ "$other_blue" -eq 0 ] || fail "the other step headers are not grey"

# The separator: rows 50 to 53 hold a line darker than the window's
# background just below it.
background=$(mean_level "$content" "400x1+100+57")
line=255
for y in 50 51 52 53; do
  level=$(mean_level "$content" "400x1+100+$y")
  [ "$level" -lt "$line" ] && line=$level
done
echo "separator: darkest row level $line, background $background"
[ "$line" -lt $(( background - 15 )) ] || fail "no separator line at y = 50"

if [ "$current_step" -eq 1 ]; then
  dark=$(count_dark "$content" "510x20+50+70")
  echo "first line of STEP 1: $dark dark pixels"
  [ "$dark" -gt 100 ] || fail "the STEP 1 heading is not drawn at 50, 70"
fi
echo "pictures: $out/window.png, $out/content.png"

# Quit as the person does: Ctrl+Q, the Quit item's shortcut.
timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid" || true
xdotool key --clearmodifiers ctrl+q
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program did not quit on Ctrl+Q within 10 s"
fi
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
! grep -q "qt.core.library" "$log" || fail "Qt's library reports, held back while the display opened, were shown"

# Two starts at the same instant, as a double click done twice: one wizard.
# The start that hands over ends by itself; what still runs after that is the
# wizards, each of which must show its window.
tries=10
single=0
for try in $(seq "$tries"); do
  QT_QPA_PLATFORM=xcb "$program" >>"$log" 2>&1 &
  first=$!
  QT_QPA_PLATFORM=xcb "$program" >>"$log" 2>&1 &
  second=$!
  pid="$first $second"
  ended=""
  for _ in $(seq 100); do
    for p in $first $second; do kill -0 "$p" 2>/dev/null || ended=$p; done
    [ -n "$ended" ] && break
    sleep 0.1
  done
  running=()
  for p in $first $second; do kill -0 "$p" 2>/dev/null && running+=("$p"); done
  status=none
  if [ -n "$ended" ]; then
    status=0
    wait "$ended" || status=$?
  fi
  windows=0
  for p in "${running[@]}"; do
    timeout 30 xdotool search --sync --onlyvisible --pid "$p" >/dev/null 2>&1 && windows=$((windows + 1))
  done
  echo "two starts at once, try $try: ${#running[@]} running, $windows with a window, the other ended with status $status"
  [ "${#running[@]}" -eq 1 ] && [ "$windows" -eq 1 ] && [ "$status" = 0 ] && single=$((single + 1))
  kill "${running[@]}" 2>/dev/null || true
  wait "${running[@]}" 2>/dev/null || true
  pid=""
done
echo "two starts at once: one wizard in $single of $tries tries"
[ "$single" -eq "$tries" ] || fail "two starts at the same instant did not always give one wizard"
echo "screenshot check passed"
