#!/usr/bin/env bash
# Makes the screenshots of README and the AppStream metadata: the program runs
# under a virtual X server against the demo photo site, in a settings folder of
# its own, once per picture. Writes docs/screenshots/*.png:
#   main-photo.png main-info.png main-user.png   the three display modes
#   settings-en.png settings-de.png              the settings dialog, both languages
#   sheet.png                                    the overview sheet
#   main-scale2.png                              1024 x 768 at scale 2, the tool row's menu open
#   main-dark.png                                a dark palette (through qt6ct)
# Names given as arguments (without .png) make only those pictures.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"

out="$top/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Polls a command until it succeeds; gives up after the given number of seconds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local end=$((SECONDS + seconds))
  until "$@"; do
    if [ $SECONDS -ge $end ]; then
      echo "Timed out waiting for $what." >&2
      return 1
    fi
    sleep 0.2
  done
}

# Our own virtual X server on a free display number, with no window manager,
# so windows sit where the program puts them and have no frame.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 30 "the virtual X server" grep -q '[0-9]' "$work/display"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"

# A few missing photos after 1234, so that the overview sheet shows its marks.
"$top/build/kelvaro-demo-site" --port 0 --log "$work/requests.log" --missing 1239,1246-1247 \
  >"$work/site.out" &
pids+=($!)
wait_for 30 "the demo site" grep -q '^listening on ' "$work/site.out"
port=$(sed -n 's/^listening on \([0-9]*\)$/\1/p' "$work/site.out")
main="http://127.0.0.1:$port"
static="http://127.0.0.2:$port"

# The browser engine's sandbox cannot run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

# The program's window ids, newest last.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }

# Captures a window once it has stopped changing (the page is drawn). A text
# caret may still blink, so two pictures taking turns in any rhythm count as
# settled too.
capture_settled() {
  local window=$1 file=$2 end=$((SECONDS + 60)) n=0
  local -a sums=()
  while [ $SECONDS -lt $end ]; do
    import -window "$window" "$work/shot-$n.png" 2>/dev/null || true
    sums[n]=$(md5sum <"$work/shot-$n.png" | cut -d' ' -f1)
    # Settled: the last six pictures show no more than two states.
    if [ $n -ge 5 ] && [ "$(printf '%s\n' "${sums[@]:n-5:6}" | sort -u | wc -l)" -le 2 ]; then
      cp "$work/shot-$n.png" "$file"
      echo "Wrote ${file#"$top"/}"
      return 0
    fi
    n=$((n + 1))
    sleep 0.3
  done
  echo "The window did not settle for $file." >&2
  return 1
}

# What the next start adds to the program's environment.
program_env=()

# Starts the program with a fresh settings file, waits for its window and for
# the request of its first page; leaves the program's pid in program_pid.
start_program() {
  local language=$1 mode=$2 first_request=$3 width=${4:-574} height=${5:-600} more=${6:-}
  local profile="$work/profile-$language-$mode"
  local ini_dir="$profile/Zentrafold/kelvaro-photo-wizard"
  mkdir -p "$ini_dir"
  {
    printf '[General]\r\nLanguage=%s\r\n' "$language"
    printf '[MainForm]\r\nLeft=0\r\nTop=0\r\nWidth=%s\r\nHeight=%s\r\n' "$width" "$height"
    printf '[URL]\r\nURLIndex=%s\r\nPhotoSize=3\r\n' "$mode"
    printf 'TemplateURL11=%s\r\n' "$main/photos/thumbnail/*.jpg"
    printf 'TemplateURL12=%s\r\n' "$main/photos/small/*.jpg"
    printf 'TemplateURL13=%s\r\n' "$main/photos/medium/*.jpg"
    printf 'TemplateURL14=%s\r\n' "$static/photos/original/*.jpg"
    printf 'TemplateURL20=%s\r\n' "$main/photo/*"
    printf 'TemplateURL30=%s\r\n' "$main/user/*"
    printf '[Page]\r\nPhotoIndex=1234\r\nUserIndex=234\r\n'
    printf '%b' "$more"
  } >"$ini_dir/kelvaro-photo-wizard.ini"
  : >"$work/requests.log"
  env APPDATA="$profile" "${program_env[@]}" "$top/build/kelvaro-photo-wizard" \
    >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=("$program_pid")
  wait_for 60 "the main window" has_window 'Kelvaro Photo Wizard'
  wait_for 60 "the request of $first_request" grep -q " $first_request " "$work/requests.log"
}

stop_program() {
  kill -TERM "$program_pid"
  wait "$program_pid" || true
}

shoot_main() {
  local mode=$1 first_request=$2 file=$3
  start_program 0 "$mode" "$first_request"
  capture_settled "$(window_named 'Kelvaro Photo Wizard')" "$out/$file"
  stop_program
}

shoot_settings() {
  local language=$1 title=$2 file=$3
  start_program "$language" 1 /photos/medium/1234.jpg
  local main_window
  main_window=$(window_named 'Kelvaro Photo Wizard')
  # The tool row is usable once the page is in (the settle waits for that).
  capture_settled "$main_window" "$work/before-settings.png" >/dev/null
  # The settings button is the last of the tool row, 543..566 by 2..24.
  xdotool mousemove --window "$main_window" 554 13 click 1
  wait_for 30 "the settings dialog" has_window "$title"
  capture_settled "$(window_named "$title")" "$out/$file"
  xdotool key Escape 2>/dev/null || true
  stop_program
}

shoot_sheet() {
  local file=$1
  start_program 0 1 /photos/medium/1234.jpg 800 640 \
    '[Favorites]\r\nFavoritePhoto1=1241 a favourite\r\n'
  local main_window
  main_window=$(window_named 'Kelvaro Photo Wizard')
  capture_settled "$main_window" "$work/before-sheet.png" >/dev/null
  # The sheet's button stands at the right end of the status bar.
  xdotool mousemove --window "$main_window" 789 630 click 1
  wait_for 30 "the sheet's pictures" grep -q ' /photos/thumbnail/1250.jpg ' "$work/requests.log"
  # The selection one on, so that it shows beside the first cell.
  xdotool key Right
  capture_settled "$main_window" "$out/$file"
  stop_program
}

# The screen's 1024 x 768 at scale factor 2 leave the window 512 x 384: the
# tool row hands its last buttons to its menu, opened here.
shoot_scale2() {
  local file=$1
  program_env=(QT_SCALE_FACTOR=2)
  start_program 0 1 /photos/medium/1234.jpg
  program_env=()
  local main_window
  main_window=$(window_named 'Kelvaro Photo Wizard')
  capture_settled "$main_window" "$work/before-menu.png" >/dev/null
  # The menu's button follows the index field: 493..509 by 2..24 of the
  # window's 512, twice that on the screen.
  xdotool mousemove --window "$main_window" 1002 26 click 1
  sleep 1
  capture_settled root "$out/$file"
  xdotool key Escape 2>/dev/null || true
  stop_program
}

# A dark palette as a desktop sets it: qt6ct's own dark colour scheme.
shoot_dark() {
  local file=$1
  mkdir -p "$work/dark/qt6ct"
  printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\n%s\n' \
    'custom_palette=true' >"$work/dark/qt6ct/qt6ct.conf"
  program_env=(QT_QPA_PLATFORMTHEME=qt6ct XDG_CONFIG_HOME="$work/dark")
  start_program 0 1 /photos/medium/1234.jpg
  program_env=()
  capture_settled "$(window_named 'Kelvaro Photo Wizard')" "$out/$file"
  stop_program
}

wanted() { [ $# -eq 0 ] || [[ " $* " == *" $shot "* ]]; }
shots=(main-photo main-info main-user settings-en settings-de sheet main-scale2 main-dark)
for shot in "${shots[@]}"; do
  wanted "${@}" || continue
  case $shot in
    main-photo) shoot_main 1 /photos/medium/1234.jpg main-photo.png ;;
    main-info) shoot_main 2 /photo/1234 main-info.png ;;
    main-user) shoot_main 3 /user/234 main-user.png ;;
    settings-en) shoot_settings 0 ' - Settings' settings-en.png ;;
    settings-de) shoot_settings 1 ' - Einstellungen' settings-de.png ;;
    sheet) shoot_sheet sheet.png ;;
    main-scale2) shoot_scale2 main-scale2.png ;;
    main-dark) shoot_dark main-dark.png ;;
  esac
done
