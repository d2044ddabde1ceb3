#!/usr/bin/env bash
# Builds a sample old machine in a folder, to try the wizard with or to run the
# end-to-end tests against:
#
#   make_sample_machine.sh <folder>
#       the folder is a home folder (start the wizard with HOME=<folder>):
#       <folder>/Applications, <folder>/Library/Preferences,
#       <folder>/Library/Application Support, <folder>/Documents
#   make_sample_machine.sh --disk <user> <folder>
#       the folder is a whole disk, as the old machine's disk is seen when it
#       is mounted over the network: <folder>/Applications and the home folder
#       <folder>/Users/<user>
#
# What it holds:
#   - in Applications, one sub-folder per product of the maker: Toskarine
#     (with a plug-in folder and a read-me), ToskCard (a product the wizard
#     does not move), Kavreline (with a symbolic link), Dornel (in a folder
#     named differently from the application), Pelquon; and a foreign
#     application that must be left alone;
#   - the products' preference items (Pelquon's a single file, Dornel's a
#     folder that the Finder hides), two Application Support folders
#     (Dornel's a relative symbolic link to a folder elsewhere in the home
#     folder; on a disk, Toskarine's an absolute one, "/home/<user>/Data/
#     Toskarine II", which means that folder on the disk itself), and
#     foreign items beside them;
#   - a documents folder for Toskarine, Kavreline (".olvan-notes": its name
#     begins with "." and looks like the name of the wizard's working folders)
#     and Dornel, with documents
#     carrying Mac type and creator codes (FinderInfo), other extended
#     attributes, modes 600 and 755, a symbolic link and a sub-folder; and a
#     folder of documents that no product records;
#   - the preference files in which Toskarine and Kavreline ("pref2", every
#     string encoded) and Dornel ("pref", plain, Shift_JIS) record their
#     documents folder as an absolute colon path of the machine: on a home
#     folder, the path the wizard's framework gives the folder on this
#     machine; on a disk, the path on the old machine's own start-up disk
#     ("Macintosh HD:Users:<user>:Documents:...").
# Every item gets the same old modification time, so that a copy which does
# not keep times shows.
#
# In a home folder made with the build's own sample tool (OLVAN_SAMPLE_TOOL
# unset), <folder>/device also holds a copy of the program's bundle, from
# which the device route is tried; the script prints the two commands.
#
# The "pref2" files are written by the sample tool (tests/e2e/sample_tool.cpp),
# which takes the products' key schedule from the program itself. It is looked
# for in $OLVAN_SAMPLE_TOOL, else in the build folder $OLVAN_BUILD_DIR (default
# <repository>/build), where it is built when missing.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 [--disk <user>] <folder>" >&2
  exit 2
}

user=""
if [ "${1:-}" = "--disk" ]; then
  [ $# -eq 3 ] || usage
  user=$2
  shift 2
fi
[ $# -eq 1 ] || usage
root=$1

for tool in setfattr iconv od; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

sample_tool=${OLVAN_SAMPLE_TOOL:-}
bundle=""
if [ -z "$sample_tool" ]; then
  build=${OLVAN_BUILD_DIR:-$top/build}
  sample_tool=$build/tests/e2e/olvan_sample_tool
  bundle=$build/OlvanMigrationAssistant.app
  echo "$0: building the sample tool and the program in $build"
  if [ -f "$build/build.ninja" ]; then
    ninja -C "$build" olvan_sample_tool OlvanMigrationAssistant >/dev/null
  else
    # As scripts/run.sh builds, so that its build then has nothing to redo.
    "$top/scripts/setup.sh"
    "$top/scripts/build.sh" "$build" -DBUILD_TESTING=OFF >/dev/null
  fi
fi
[ -x "$sample_tool" ] || { echo "$0: no sample tool at $sample_tool" >&2; exit 1; }

mkdir -p "$root"
root=$(cd "$root" && pwd)
if [ -n "$(ls -A "$root")" ]; then
  echo "$0: $root is not empty; give a new or empty folder" >&2
  exit 1
fi

apps=$root/Applications
if [ -n "$user" ]; then home=$root/Users/$user; else home=$root; fi
prefs=$home/Library/Preferences
support="$home/Library/Application Support"
docs=$home/Documents
mkdir -p "$apps" "$prefs" "$support" "$docs"

# FinderInfo: 32 bytes, the type and creator codes first, the rest zero.
finder_info() {  # file type creator
  local hex
  hex=$(printf '%s%s' "$2" "$3" | od -An -tx1 | tr -d ' \n')
  setfattr -n user.com.apple.FinderInfo -v "0x${hex}$(printf '0%.0s' $(seq 48))" "$1"
}

# A folder's FinderInfo with the invisible flag (bytes 8-9: 0x4000) set.
finder_invisible() {  # folder
  setfattr -n user.com.apple.FinderInfo -v "0x$(printf '0%.0s' $(seq 16))4000$(printf '0%.0s' $(seq 44))" "$1"
}

# An application bundle: Contents/PkgInfo holds the type+creator code.
bundle() {  # folder name code
  local app="$1/$2.app/Contents"
  mkdir -p "$app/MacOS" "$app/Resources/ja.lproj"
  printf '%s' "$3" >"$app/PkgInfo"
  cat >"$app/Info.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CFBundleName</key><string>$2</string>
  <key>CFBundleSignature</key><string>${3:4:4}</string>
</dict></plist>
PLIST
  printf '#!/bin/sh\necho "%s"\n' "$2" >"$app/MacOS/$2"
  chmod 755 "$app/MacOS/$2"
  printf '"Open" = "開く";\n' >"$app/Resources/ja.lproj/Localizable.strings"
}

# --- Applications
bundle "$apps/Toskarine II" "Toskarine" APPLqZw1
mkdir -p "$apps/Toskarine II/Plug-ins"
printf 'plug-in\n' >"$apps/Toskarine II/Plug-ins/辞書.plugin"
printf 'Toskarine II をお使いいただきありがとうございます。\n' >"$apps/Toskarine II/Read Me.txt"
bundle "$apps/ToskCard" "ToskCard" APPLqZw3
bundle "$apps/Kavreline" "Kavreline" APPLqZw4
printf '<html><body>Kavreline</body></html>\n' >"$apps/Kavreline/Kavreline.app/Contents/Resources/help.html"
ln -s "Kavreline.app/Contents/Resources/help.html" "$apps/Kavreline/Kavreline Help"
bundle "$apps/Dornel 3" "Dornel" APPLqZw5
bundle "$apps/Pelquon" "Pelquon" APPLqZwm
bundle "$apps/Fremdling Tools" "Fremdling" APPLFrmd

# --- Preferences
mkdir -p "$prefs/Toskarine初期設定" "$prefs/Kavreline初期設定" "$prefs/Dornel初期設定"
printf 'window 10 10 600 400\n' >"$prefs/Toskarine初期設定/window.dat"
printf 'pelquon settings\n' >"$prefs/Pelquon初期設定"
finder_info "$prefs/Pelquon初期設定" pref qZwm
finder_invisible "$prefs/Dornel初期設定"
printf '<plist/>\n' >"$prefs/com.fremdling.tools.plist"

# --- Application Support
# Dornel's data lives outside the Library; a relative link leads there, so
# it also resolves on the disk mounted on another machine.
mkdir -p "$home/共有データ/Dornel" "$support/Fremdling"
ln -s "../../共有データ/Dornel" "$support/Dornel"
# On a disk, Toskarine's data lives where the old machine's absolute link
# names it: read over the network, the link means that folder on the disk,
# never the folder of that path on the machine that reads it.
toskarine_support="$support/Toskarine II"
if [ -n "$user" ]; then
  toskarine_support="$root/home/$user/Data/Toskarine II"
  mkdir -p "$toskarine_support"
  ln -s "/home/$user/Data/Toskarine II" "$support/Toskarine II"
fi
mkdir -p "$toskarine_support/Templates"
printf 'dictionary\n' >"$toskarine_support/dictionary.db"
printf 'template\n' >"$toskarine_support/Templates/手紙.tmpl"
head -c 65536 /dev/urandom >"$home/共有データ/Dornel/cache.bin"
chmod 600 "$home/共有データ/Dornel/cache.bin"
printf 'other\n' >"$support/Fremdling/data"

# --- Documents
mkdir -p "$docs/Toskarine書類/2009年" "$docs/.olvan-notes" "$docs/Dornel書類" "$docs/メモ"
printf '拝啓\n' >"$docs/Toskarine書類/手紙.gml"
finder_info "$docs/Toskarine書類/手紙.gml" Gml3 qZw1
setfattr -n user.olvan.comment -v "下書き" "$docs/Toskarine書類/手紙.gml"
head -c 200000 /dev/urandom >"$docs/Toskarine書類/報告.hqb"
finder_info "$docs/Toskarine書類/報告.hqb" Hqb3 qZw1
printf 'old\n' >"$docs/Toskarine書類/2009年/古い手紙.gml"
finder_info "$docs/Toskarine書類/2009年/古い手紙.gml" Gml3 qZw1
printf '#!/bin/sh\necho backup\n' >"$docs/Toskarine書類/backup.sh"
chmod 755 "$docs/Toskarine書類/backup.sh"
ln -s "手紙.gml" "$docs/Toskarine書類/最新"
printf 'sheet\n' >"$docs/.olvan-notes/予定表.suvo"
finder_info "$docs/.olvan-notes/予定表.suvo" Suvo qZw4
printf 'plan\n' >"$docs/Dornel書類/計画.dorn"
finder_info "$docs/Dornel書類/計画.dorn" Dorn qZw5
printf 'secret\n' >"$docs/Dornel書類/private.dorn"
finder_info "$docs/Dornel書類/private.dorn" Dorn qZw5
chmod 600 "$docs/Dornel書類/private.dorn"
printf 'not recorded by any product\n' >"$docs/メモ/買い物.txt"

# --- the preference files that record the documents folders
recorded() {  # folder inside the home folder -> its colon path on the old machine
  if [ -n "$user" ]; then
    local relative=${1#"$root"/}
    printf 'Macintosh HD:%s:' "${relative//\//:}"
  else
    "$sample_tool" colon-path "$1"
  fi
}
"$sample_tool" pref2 "$prefs/Toskarine初期設定/pref2" "" "$(recorded "$prefs")" "$(recorded "$docs/Toskarine書類")"
"$sample_tool" pref2 "$prefs/Kavreline初期設定/pref2" "" "" "$(recorded "$docs/.olvan-notes")"

# "pref": a short header, a big-endian 32-bit count of values and the values,
# a 32-bit count of entries and the entries: short strings (a length byte)
# except entries 17 to 19, long strings (a 32-bit length). Dornel writes
# Shift_JIS.
be32() { printf "\\x$(printf %02x $(($1 >> 24 & 255)))\\x$(printf %02x $(($1 >> 16 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\x$(printf %02x $(($1 & 255)))"; }
pstring() { printf "\\x$(printf %02x ${#1})%s" "$1"; }  # ASCII only: length in bytes
{
  pstring "Dornel Prefs"
  be32 2
  pstring "7"
  pstring "12"
  be32 22
  for i in $(seq 0 21); do
    case $i in
      17 | 18) be32 0 ;;
      19)
        path=$(recorded "$docs/Dornel書類" | iconv -f UTF-8 -t SHIFT_JIS)
        be32 "$(printf '%s' "$path" | wc -c)"
        printf '%s' "$path"
        ;;
      *) pstring "value$i" ;;
    esac
  done
} >"$prefs/Dornel初期設定/pref"

# One old time for everything, links included (not their targets).
find "$root" -depth -exec touch -h -d '2009-04-01 09:30:00' {} +

echo "sample old machine in $root"
if [ -n "$user" ]; then
  echo "  a disk with the user \"$user\"; mount it where the framework finds volumes (e.g. /media/OldMac)"
elif [ -n "$bundle" ]; then
  # The device route writes the transfer folder and the copy-done marker
  # beside and into the bundle it runs from: a copy of its own, as on a USB
  # stick, keeps the build's bundle untouched.
  device=$root/device
  mkdir -p "$device"
  cp -a "$bundle" "$device/"
  # A fresh stick: no copy-done marker left from an earlier try of the build.
  rm -f "$device/$(basename "$bundle")/Contents/Resources/CopyDone"
  program=$device/$(basename "$bundle")/Contents/MacOS/$(basename "$bundle" .app)
  echo "  and a device (a USB stick) with a copy of the wizard: $device"
  echo "  try the device route from it, first as the old machine (STEP 1 to 3, then 終了):"
  echo "    HOME=$(printf '%q' "$root") $(printf '%q' "$program")"
  echo "  then as a new machine with an empty home folder (STEP 4):"
  echo "    HOME=\$(mktemp -d) $(printf '%q' "$program")"
fi
