#!/bin/bash
# The Wine test environment, set up once per run and torn down after it:
#   wine-env.sh setup STATE_DIR [DPI] [i686]
#                                   own Xvfb, prefix (made once per state folder and DPI,
#                                   default 96), persistent wineserver warmed up, virtual
#                                   desktop started; with i686 the run is of 32-bit programs,
#                                   which Wine's classic 32-bit side runs (scripts/wine-i386.sh)
#   wine-env.sh teardown STATE_DIR  wineserver -k, Xvfb stopped by its PID
# With WINE_ENV_DISPLAY set, setup uses that X display and starts no Xvfb.
# STATE_DIR/env holds the variables every Wine program of the run is started with.
set -u
command=${1:?usage: wine-env.sh setup|teardown STATE_DIR}
state=$(mkdir -p "${2:?state folder}" && cd "$2" && pwd)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
dpi=${3:-96}
arch=${4:-x86_64}
if [ "$command" = setup ] && [ "$arch" = i686 ] && [ ! -x /usr/lib/wine/wine ]; then
  echo "wine-env: Wine's 32-bit side is not installed (scripts/wine-i386.sh)" >&2
  exit 1
fi
# IPA's faces are made to the widths of the MS faces the dialog templates name, so texts take
# the room they take on a Japanese Windows.
PROPORTIONAL_FACE=IPAPGothic
FIXED_FACE=IPAGothic

write_env() {
  # The programs the tests start, by id, so a test can end what an earlier one left running.
  local record
  record=$(printf 'Z:%s' "$state/processes.txt" | tr '/' '\\')
  cat > "$state/env" <<ENV
export WINEPREFIX='$state/prefix'
export HOME='$state/home'
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export DISPLAY='$1'
export TAVOLET_TEST_PROCESSES='$record'
ENV
  return 0
}

start_xvfb() {
  rm -f "$state/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" >/dev/null 2>&1 &
  echo $! > "$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display" ] && break
    sleep 0.1
  done
  [ -s "$state/display" ] || { echo "wine-env: Xvfb did not start" >&2; exit 1; }
  echo ":$(head -n1 "$state/display")"
}

wine_quiet() { "$WINE" "$@" >/dev/null 2>&1 < /dev/null; }

make_prefix() {
  # The marker names what the prefix was made with; a prefix made otherwise is made anew (one
  # made before Wine's 32-bit side was installed has no 32-bit system folder).
  local wine32=none
  [ -x /usr/lib/wine/wine ] && wine32=classic
  local ready="$WINEPREFIX/.tavolet-ready-ipa-$dpi-wine32-$wine32"
  [ -f "$ready" ] && return 0
  rm -rf "$WINEPREFIX"
  wine_quiet wineboot -i
  local fonts_key='HKCU\Software\Wine\Fonts\Replacements'
  for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic"; do
    wine_quiet reg add "$fonts_key" /v "$face" /t REG_SZ /d "$PROPORTIONAL_FACE" /f
  done
  for face in "ＭＳ ゴシック" "MS Gothic"; do
    wine_quiet reg add "$fonts_key" /v "$face" /t REG_SZ /d "$FIXED_FACE" /f
  done
  wine_quiet reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
  wine_quiet reg add 'HKCU\Control Panel\Desktop' /v DpiScalingVer /t REG_DWORD /d 0x1018 /f
  wine_quiet reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
  wine_quiet reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f
  wine_quiet reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d "" /f
  wine_quiet reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Auto /t REG_SZ /d 0 /f
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  touch "$ready"
  # wineboot started a desktop before the settings above existed (it has no taskbar):
  # begin again, so the desktop of the run is made with them.
  "$WINESERVER" -k >/dev/null 2>&1
  "$WINESERVER" -w >/dev/null 2>&1
  "$WINESERVER" -p >/dev/null 2>&1 < /dev/null
}

case "$command" in
  setup)
    [ -f "$state/env" ] && "$0" teardown "$state" >/dev/null 2>&1
    mkdir -p "$state/home"
    rm -f "$state/processes.txt"
    # The ALSA null device gives Wine's mixer two devices without any sound hardware.
    echo 'pcm.!default { type null }' > "$state/home/.asoundrc"
    # WINE_ENV_DISPLAY: an X display to use instead of a private Xvfb (for make run).
    if [ -n "${WINE_ENV_DISPLAY:-}" ]; then
      display=$WINE_ENV_DISPLAY
    else
      display=$(start_xvfb) || exit 1
    fi
    write_env "$display"
    # shellcheck disable=SC1091
    . "$state/env"
    "$WINESERVER" -p >/dev/null 2>&1 < /dev/null
    make_prefix
    # Start the desktop (and with it the shell's tray) now, with its output going nowhere,
    # so that no test's output pipe is held open by it.
    ("$WINE" explorer.exe /desktop=Default,1024x768 >/dev/null 2>&1 < /dev/null &)
    wine_quiet cmd.exe /c exit
    echo "wine-env: ready on $DISPLAY"
    ;;
  teardown)
    if [ -f "$state/env" ]; then
      # shellcheck disable=SC1091
      . "$state/env"
      "$WINESERVER" -k >/dev/null 2>&1
      "$WINESERVER" -w >/dev/null 2>&1
    fi
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null
      rm -f "$state/xvfb.pid"
    fi
    rm -f "$state/env"
    ;;
  *)
    echo "usage: wine-env.sh setup|teardown STATE_DIR [DPI] [i686]" >&2
    exit 2
    ;;
esac
