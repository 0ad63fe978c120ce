#!/usr/bin/env bash
# Drives the Release tool from outside, as a person with a screen reader
# would meet it: a virtual X display, a session bus with the accessibility
# bus, a small notification area (tools/tray_host), the tool playing
# resources/demo.script. It takes screenshots while calls are listed (with a
# balloon at the tray icon) and after the device was pulled out, and reads
# the tool's windows over AT-SPI (tools/atspi_probe) at both moments.
#
#   scripts/e2e-probe.sh [output folder]      (default: build/e2e)
#
# Needs Xvfb, dbus-daemon, at-spi2-core (bus launcher and registry), xdotool
# and ImageMagick's import; openbox is used when present. Not part of the
# test command: it takes about half a minute and looks at a real display.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
out=$(realpath -m "${1:-build/e2e}")
build=${E2E_BUILD:-build/rel}
display=${E2E_DISPLAY:-:77}
mkdir -p "$out"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCALLERID_TOOLS=ON >/dev/null
cmake --build "$build" --target callerid-test tray_host atspi_probe >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    # The tool first, then the programs it talked to, each by its own id.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() { # seconds, command...
    local tries=$(($1 * 10))
    shift
    until "$@" >/dev/null 2>&1; do
        ((tries-- > 0)) || { echo "e2e: gave up waiting for: $*" >&2; return 1; }
        sleep 0.1
    done
}

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
wait_for 10 xdotool getdisplaygeometry

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/a11y.log" 2>&1 &
pids+=($!)
wait_for 10 gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.a11y.Bus.GetAddress

if command -v openbox >/dev/null; then
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
fi
"$build/tools/tray_host" >"$work/tray.log" 2>&1 &
pids+=($!)
wait_for 10 grep -q "tray host ready" "$work/tray.log"

QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 CALLERID_MUTE=1 \
    CALLERID_DEVICE=script:"$src/resources/demo.script" \
    "$build/app/callerid-test" >"$out/tool.log" 2>&1 &
tool=$!
pids+=("$tool")
started=$(date +%s.%N)
at() { # seconds after the tool's start
    local left
    left=$(echo "$1 - ($(date +%s.%N) - $started)" | bc -l)
    if (($(echo "$left > 0" | bc -l))); then sleep "$left"; fi
}

probe() { # name [probe options]: screenshot and accessible tree at this moment
    local name=$1
    shift
    import -window root "$out/e2e_$name.png"
    "$build/tools/atspi_probe" --app "Caller ID Test" "$@" >"$out/atspi_$name.txt" 2>&1 ||
        echo "e2e: probe $name failed ($?)" >&2
    kill -0 "$tool" 2>/dev/null || { echo "e2e: the tool is gone after probe $name" >&2; return 1; }
}

# A listener as a screen reader registers one: the tool's bridge sends its
# events (rows added, names and values changed, focus) only while one is.
wait_for 10 "$build/tools/atspi_probe" --app "Caller ID Test" --depth 0
"$build/tools/atspi_probe" --listen 30 >"$out/atspi_events.txt" 2>&1 &
listener=$!

# The fourth call comes at 18.5 s of the script; its balloon stays 10 s.
at 19.5
probe calls --keep-cells "$out/atspi_cells.txt"
# Pulled out at 22 s; the list is empty from the next half-second tick
# until the device comes back at 26 s.
at 23.3
probe unplugged
# Plugged in again at 26 s, one call at 31 s; then "Listeyi sil" from the
# tray icon's popup menu, by the pointer and the keyboard.
at 32.5
# The one icon stands at the right end of the tray host's strip.
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --name '^tray host$' | head -n1)")"
xdotool mousemove $((X + WIDTH - 14)) $((Y + 14)) click 3
sleep 0.5
import -window root "$out/e2e_tray_menu.png"
xdotool key Down Return
sleep 0.3
probe listeyi_sil

# The cells read while the calls were listed stand for rows that are gone.
"$build/tools/atspi_probe" --recheck "$out/atspi_cells.txt" >"$out/atspi_recheck.txt" 2>&1 ||
    echo "e2e: stale cells after the list was emptied" >&2
wait "$listener" || echo "e2e: no events heard" >&2
kill -0 "$tool" 2>/dev/null || echo "e2e: the tool is gone" >&2

grep -c "docked icon" "$work/tray.log" | sed 's/^/tray icons docked: /'
echo "e2e: screenshots and trees in $out"
