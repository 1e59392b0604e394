#!/usr/bin/env bash
# Takes the README's screenshots from the running terminal against velmora-exchange, on a
# virtual display of its own: builds the two programs as scripts/run.sh does, starts the
# exchange on private loopback addresses, drives the terminal with xdotool and writes one
# PNG per view to docs/screenshots/ (or the folder given as the first argument).
#
# A view is a function that brings it up, listed in VIEWS with the area to shoot; to add
# one, write its show_* function and add a line to VIEWS.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)"
build="${VELMORA_RUN_BUILD_DIR:-$root/build-run}"
screen_w=1600
screen_h=900
# Private addresses and display, so a terminal or test running beside it is never touched.
line0=127.71.0.1
line1=127.71.0.2
display=":71"

bash "$root/scripts/install-deps.sh" xdotool scrot pngquant
VELMORA_BUILD_DIR="$build" VELMORA_BUILD_TYPE=RelWithDebInfo \
  VELMORA_CMAKE_ARGS="-DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF" \
  bash "$root/scripts/build.sh" velmora velmora-exchange >/dev/null

scratch="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 1 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

"$build/exchange/velmora-exchange" --listen "$line0" --listen "$line1" --update-listen "$line0:8090" \
  --session-clock --seed 3 >"$scratch/exchange.log" 2>&1 &
pids+=($!)

mkdir -p "$scratch/work" "$scratch/run"
chmod 700 "$scratch/run"
cp "$root"/data/*.txt "$scratch/work/"
XDG_RUNTIME_DIR="$scratch/run" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=xcb \
  "$build/src/mainwnd/velmora" --line0-host "$line0" --line1-host "$line1" --update-host "$line0:8090" \
  --workdir "$scratch/work" >"$scratch/terminal.log" 2>&1 &
terminal=$!
pids+=("$terminal")

# The window of the terminal whose title is exactly $1.
window() { xdotool search --sync --onlyvisible --pid "$terminal" --name "^$1\$" | head -n 1; }
# Clicks at a point of window $1, relative to its top-left corner.
click_in() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove "$((X + $2))" "$((Y + $3))" click 1
}
shoot_window() { # name window-id
  eval "$(xdotool getwindowgeometry --shell "$2")"
  scrot -o -a "$X,$Y,$WIDTH,$HEIGHT" "$scratch/$1.png"
}
shoot_screen() { scrot -o "$scratch/$1.png"; }

login_window() { window Velmora; }
market_window() { window '   Velmora'; }

show_login() {
  local w
  w="$(login_window)"
  click_in "$w" 200 120
  xdotool type --delay 30 100001
  sleep 0.5
}

# Logs in as demo account 100001. The picture code is drawn from the seconds clock when the
# password box loses focus, so it is drawn at the start of a second and typed at once; after
# three refusals the terminal is entered as a visitor instead.
show_overview() {
  local w code
  w="$(login_window)"
  click_in "$w" 200 163
  xdotool type --delay 30 123456
  for _ in 1 2 3; do
    python3 -c 'import time; time.sleep(1.02 - time.time() % 1)'
    click_in "$w" 198 205
    code="$(python3 -c 'import ctypes, time
c = ctypes.CDLL("libc.so.6"); c.srand(int(time.time()))
print("".join(str(c.rand() % 10) for _ in range(4)))')"
    xdotool key ctrl+a BackSpace
    xdotool type --delay 10 "$code"
    xdotool key Return
    sleep 1
    xdotool search --onlyvisible --pid "$terminal" --name '^   Velmora$' >/dev/null 2>&1 && break
    xdotool key Return # closes the refusal
  done
  xdotool search --onlyvisible --pid "$terminal" --name '^   Velmora$' >/dev/null 2>&1 || click_in "$w" 353 275
  market_window >/dev/null
  sleep 4 # the first overview reply and the announcements
  # The announcement window (600 wide) opens with the market; closed for a clear view.
  local a
  for a in $(xdotool search --onlyvisible --pid "$terminal" '' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$a")"
    if [ "$WIDTH" -eq 600 ]; then xdotool mousemove "$((X + WIDTH - 17))" "$((Y + 14))" click 1; fi
  done
  sleep 1
  # The trade panel docks over the market's lower part after a login; the market is shot
  # without it, and "交易" brings it back for the trade views.
  [ -z "$(panel_window)" ] || toggle_panel
}

show_timeshare() { click_in "$(market_window)" 293 53; sleep 5; }
show_kline() { click_in "$(market_window)" 352 53; sleep 5; }
# The K-line with MACD under the volumes, chosen from the chart's own menu (a right click:
# the averages' two items and their periods, then "不显示指标" and "MACD"), and the
# cross-hair on a candle, whose values the legends give. Last, so the other views show the
# chart as it starts.
show_indicators() {
  local w
  [ -z "$(panel_window)" ] || toggle_panel
  show_kline
  w="$(market_window)"
  click_in "$w" 650 400
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove "$((X + 650))" "$((Y + 400))" click 3
  sleep 0.5
  xdotool key Down Down Down Down Down Return
  sleep 2
  click_in "$w" 900 300
  xdotool mousemove_relative 3 3
  sleep 1
}

# The trade panel docks under the market, over the bottom of the screen (the work area is the
# whole virtual screen): (0, H - 369) to (W, H - 29), its function windows from 28 below its
# top and 260 right of its left edge, the tree's entries 28 high from 30 below its top.
panel_top=$((screen_h - 369))
fn_top=$((panel_top + 28))
tree_row() { echo $((panel_top + 30 + 28 * $1 + 14)); }
# The visible window of the terminal that is $1 x $2 pixels, if any.
window_sized() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$terminal" '' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$WIDTH" -eq "$1" ] && [ "$HEIGHT" -eq "$2" ]; then echo "$w"; return; fi
  done
}
panel_window() { window_sized "$screen_w" 340; }
# "交易" at the market window's top right shows or hides the panel.
toggle_panel() { click_in "$(market_window)" $((screen_w - 150)) 14; sleep 1; }
# Clicks a point of the screen and types into what it focused, in the panel's window.
type_at() {
  xdotool windowfocus --sync "$(panel_window)"
  xdotool mousemove "$1" "$2" click 1
  xdotool key ctrl+a BackSpace
  xdotool type --delay 30 "$3"
}
# A buy price that rests in the book: 5 % under the opening (orders must lie within 10 %).
resting_price() {
  python3 - "$line0" <<'PY'
import json, sys, urllib.request
reply = json.loads(urllib.request.urlopen(f"http://{sys.argv[1]}:8041/api/realtime/9160001",
                                          timeout=5).read().decode("gbk"))
print(f"{float(reply['infor'][0]['opening']) * 0.95:.2f}")
PY
}

# The panel under the market with the buy window: code, price and quantity typed, the quote
# box drawn for the code.
show_trade() {
  [ -n "$(panel_window)" ] || toggle_panel
  [ -n "$(panel_window)" ] || { echo "no trade panel: the login did not succeed" >&2; exit 1; }
  xdotool mousemove 60 "$(tree_row 0)" click 1 # "普通交易": the buy window, emptied
  sleep 1
  type_at 425 $((fn_top + 55)) 9160001
  type_at 425 $((fn_top + 115)) "$(resting_price)"
  type_at 425 $((fn_top + 205)) 10
  xdotool mousemove 340 $((fn_top + 262)) click 1 # "行情": the quote box
  sleep 3
}

# The order placed ("买入", confirmed, the exchange's answer closed), then "查询功能" opened and
# "当日订单" chosen: the second of its children, which the tree sorts.
show_orders() {
  xdotool mousemove 425 $((fn_top + 262)) click 1
  sleep 1
  xdotool key Return # "是否买入"
  sleep 1
  xdotool key Return # the exchange's answer
  sleep 1.5
  xdotool mousemove 10 "$(tree_row 3)" click 1 # the "+" of "查询功能"
  sleep 0.5
  xdotool mousemove 80 "$(tree_row 5)" click 1
  sleep 3
}

# name  how it is shot
VIEWS=(
  "login window"
  "overview screen"
  "timeshare screen"
  "kline screen"
  "trade screen"
  "orders screen"
  "indicators screen"
)

login_window >/dev/null
for view in "${VIEWS[@]}"; do
  read -r name how <<<"$view"
  "show_$name"
  case "$how" in
    window) shoot_window "$name" "$(login_window)" ;;
    screen) shoot_screen "$name" ;;
  esac
  # A palette of 256 colours keeps the files small; the terminal's flat colours survive it.
  pngquant --force --skip-if-larger --strip --quality 80-100 --output "$out/$name.png" "$scratch/$name.png" \
    || cp "$scratch/$name.png" "$out/$name.png"
  echo "$out/$name.png"
done
