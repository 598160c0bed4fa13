# Shared by the scripts: paths, the Wine environment, the test display. Source it.
ZEMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZEMO_BUILD=$ZEMO_ROOT/build

export WINEPREFIX=${WINEPREFIX:-$ZEMO_BUILD/wineprefix}
# No Mono or Gecko installer dialogs; no sound drivers (a headless run has no sound device).
export WINEDLLOVERRIDES="mscoree=;mshtml=;winealsa.drv=d;winepulse.drv=d"
export WINEDEBUG=${WINEDEBUG:--all}

# Every script that stops on a failed command says which one, on stderr.
set -o errtrace
trap 'zemo_report_failure $? "$BASH_COMMAND" "${BASH_SOURCE[0]##*/}" $LINENO' ERR
zemo_report_failure() {  # status command file line
  echo "${0##*/}: stopped: '$2' failed with status $1 ($3 line $4)" >&2
}

# Stops the script with a message on stderr.
zemo_fail() {
  trap - ERR
  echo "${0##*/}: $*" >&2
  exit 1
}

# The Wine loader. wine64 runs 64-bit programs and, where the kernel can run 32-bit
# code, also starts 32-bit ones through the 32-bit loader. Looked up again after set-up,
# since on a fresh machine Wine is what set-up installs: sourcing this file needs nothing.
zemo_find_wine() {
  if [ -x /usr/lib/wine/wine64 ]; then
    ZEMO_WINE=/usr/lib/wine/wine64
  else
    ZEMO_WINE=$(command -v wine64 || command -v wine || true)
  fi
  ZEMO_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
}
zemo_find_wine

# True when this machine can execute 32-bit x86 code. Some kernels are booted without
# IA-32 emulation; there the tests run a 64-bit build of the same sources.
zemo_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The build whose programs the tests run on this machine.
zemo_test_preset() {
  if zemo_can_run_32bit; then echo release; else echo x64-release; fi
}

# Runs a command as root (through sudo when needed); stops the script when it fails.
zemo_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@" || zemo_fail "${1##*/} ${2:-} failed with status $?"
  elif command -v sudo >/dev/null; then
    sudo "$@" || zemo_fail "sudo ${1##*/} ${2:-} failed with status $?"
  else
    zemo_fail "installing needs root: run this script as root, or install sudo"
  fi
}

# Installs what is missing, then finds the tools it installed.
zemo_setup() {
  zemo_as_root "$ZEMO_ROOT/scripts/setup.sh"
  zemo_find_wine
  [ -n "$ZEMO_WINE" ] || zemo_fail "set-up finished but no Wine loader was found"
}

zemo_build() {  # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# Set-up, the product build, and the build whose programs run on this machine (the same
# one where the kernel runs 32-bit code). Sets ZEMO_BIN to the folder of those programs.
zemo_prepare() {
  zemo_setup
  zemo_build release
  local preset
  preset=$(zemo_test_preset)
  if [ "$preset" != release ]; then
    echo "this kernel cannot run 32-bit code: the 64-bit build of the same sources runs here" >&2
    zemo_build "$preset"
  fi
  ZEMO_PRESET=$preset
  ZEMO_BIN=$ZEMO_BUILD/$preset/bin
  zemo_ensure_prefix
}

# A headless session: Xvfb and one wineserver, both stopped when the script ends.
zemo_start_session() {
  trap 'zemo_stop_wineserver; zemo_stop_xvfb' EXIT
  if [ -n "${ZEMO_TEST_DISPLAY:-}" ]; then
    export DISPLAY=$ZEMO_TEST_DISPLAY
  else
    zemo_start_xvfb
  fi
  zemo_start_wineserver
}

# The Windows form of a Linux path.
zemo_windows_path() {
  "$ZEMO_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# Creates the Wine prefix inside the build tree once.
zemo_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    DISPLAY= "$ZEMO_WINE" wineboot -i >/dev/null 2>&1 || true
    "$ZEMO_WINESERVER" -w
  fi
}

# Starts Xvfb (1920x1080x24) on a free display number and exports DISPLAY.
zemo_start_xvfb() {
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -ac >/dev/null 2>&1 &
    ZEMO_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 100); do
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
      kill -0 "$ZEMO_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$ZEMO_XVFB_PID" 2>/dev/null
    unset ZEMO_XVFB_PID
  done
  echo "could not start Xvfb" >&2
  return 1
}

zemo_stop_xvfb() {
  if [ -n "${ZEMO_XVFB_PID:-}" ]; then
    kill "$ZEMO_XVFB_PID" 2>/dev/null
    wait "$ZEMO_XVFB_PID" 2>/dev/null
    unset ZEMO_XVFB_PID
  fi
}

# Test runs use files that are not real media, and this machine has no GStreamer plugins
# for Wine's player: its decoder stays off there, so it cannot fill the output with
# complaints. The program itself (scripts/run.sh) keeps it.
zemo_headless_overrides() {
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winegstreamer=d"
}

# One persistent wineserver for a whole run, so each test program starts quickly.
zemo_start_wineserver() {
  "$ZEMO_WINESERVER" -w  # a server left by an earlier Wine command ends first
  "$ZEMO_WINESERVER" -p
  # Start Wine's own services now, with their output discarded: started by the first
  # test instead, they would inherit its output pipe and ctest would wait on them.
  "$ZEMO_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

zemo_stop_wineserver() {
  "$ZEMO_WINESERVER" -k 2>/dev/null || true
  "$ZEMO_WINESERVER" -w 2>/dev/null || true
}

# A benchmark script's own session, unless scripts/bench.sh runs it inside its own with
# ZEMO_BIN set (ZEMO_BENCH_SESSION=1).
zemo_bench_session() {
  zemo_headless_overrides
  if [ -z "${ZEMO_BENCH_SESSION:-}" ]; then
    zemo_prepare
    zemo_start_session
  fi
}
