#!/usr/bin/env bash
# Runs the cross-built tests and the demo under wine, on an Xvfb display and
# in a wine prefix of the build's own.
#   windows/run-tests.sh <build folder> <Windows Qt prefix>
# Each test writes its Qt Test report to <build>/tests/<test>.txt; the run
# ends with one line "N passed, N failed" over the test programs.
set -euo pipefail

build=$(cd "${1:?usage: $0 <build folder> <Windows Qt prefix>}" && pwd)
qt=$(cd "${2:?usage: $0 <build folder> <Windows Qt prefix>}" && pwd)
timeout_s=${KIV_WIN_TEST_TIMEOUT:-300}

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

export WINEPREFIX="$build/wine"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer: its dialog would wait for ever on Xvfb.
export WINEDLLOVERRIDES="mscoree,mshtml="

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH="$(windows_path "$qt/bin");$(windows_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(windows_path /usr/x86_64-w64-mingw32/lib)"

# A display of our own, on the first free number.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the wine prefix $WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
fi
# One server for the whole run, rather than one per test program.
"$wineserver" -p >/dev/null 2>&1 || true
# Windows programs see the environment through the prefix's registry.
setenv() { "$wine" reg add 'HKCU\Environment' /v "$1" /d "$2" /f >/dev/null 2>&1; }
setenv QT_QPA_PLATFORM offscreen
setenv QT_PLUGIN_PATH "$(windows_path "$qt/plugins")"
font=$(fc-list -f '%{file}\n' :lang=zh 2>/dev/null | head -n 1 || true)
setenv QT_QPA_FONTDIR "$(windows_path "$(dirname "${font:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}")")"

status=0
log="$build/ctest-wine.log"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --timeout "$timeout_s" -j"$(nproc)" --output-on-failure) \
    >"$log" 2>&1 || status=$?
grep -E '^ *[0-9]+/[0-9]+ Test' "$log" || true

# The Qt Test reports: totals of every program, the whole of a failed one.
for report in "$build"/tests/tst_*.txt; do
    [ -f "$report" ] || continue
    name=$(basename "$report" .txt)
    totals=$(grep -a '^Totals:' "$report" || echo "Totals: no report")
    echo "$name: $totals"
    if grep -aq -E '^(FAIL!|XPASS|QFATAL)' "$report" || ! grep -aq '^Totals:' "$report"; then
        sed 's/^/    /' "$report"
    fi
done

# The demo, offscreen: one screenshot per page and the host's signal log.
demo_output="$build/bin/demo-output"
rm -rf "$demo_output"
if (cd "$build/bin" && timeout 300 "$wine" ./kiv_settings_demo.exe >/dev/null 2>&1) \
    && ls "$demo_output"/*.png >/dev/null 2>&1; then
    echo "demo screenshots: $(ls "$demo_output"/*.png | wc -l) in $demo_output"
else
    echo "the demo did not save its screenshots"
    status=1
fi

total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
if [ -z "$total" ]; then
    tail -n 30 "$log"
    echo "0 passed, 1 failed"
    exit 1
fi
echo "$((total - failed)) passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
