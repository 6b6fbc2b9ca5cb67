#!/usr/bin/env bash
# The test bench: a Wine prefix of its own under the build tree (Arabic locale,
# code page 1256), a persistent wineserver and, when no display is set, an Xvfb.
# "start DIR" brings them up and writes DIR/env; "stop DIR" ends what start
# started, by process id. Tests run programs through tools/wine-run.sh.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?bench folder}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

stop_pid() {  # stop_pid FILE: ends the process whose id FILE holds, and waits for it
  local f=$1 pid
  [ -f "$f" ] || return 0
  pid=$(cat "$f")
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$f"
}

wine_env() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=ar_SA.UTF-8 LC_ALL=ar_SA.UTF-8
}

case "$cmd" in
stop)
  if [ -f "$dir/env" ]; then
    # shellcheck disable=SC1091
    . "$dir/env"
    wineserver -k 2>/dev/null || true   # the programs still running in our prefix
  fi
  stop_pid "$dir/wineserver.pid"
  stop_pid "$dir/xvfb.pid"
  rm -f "$dir/env"
  ;;
start)
  "$0" stop "$dir"
  display=${DISPLAY:-}
  if [ -z "$display" ]; then
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "bench: Xvfb did not start" >&2; exit 1; }
    display=":$n"
  fi
  export DISPLAY=$display
  # A template prefix is made once; every run starts from a fresh copy of it.
  # (.ready-2: the template carries the fonts below; older ones are made again.)
  template="$dir/prefix-template"
  if [ ! -f "$template/.ready-2" ]; then
    rm -rf "$template"
    wine_env "$template"
    wineboot -i >"$dir/wineboot.log" 2>&1 || { echo "bench: wineboot failed, see $dir/wineboot.log" >&2; exit 1; }
    # Wine draws the window frames itself (no window manager under Xvfb).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    # Wine's own Tahoma (the program's font) and Marlett (Windows' frame
    # glyphs), from fonts-wine: this Wine build does not look in their folder,
    # it loads what the prefix's Fonts folder holds.
    cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/" \
      || { echo "bench: Wine's fonts (package fonts-wine) are missing" >&2; exit 1; }
    touch "$template/.ready-2"
  fi
  prefix="$dir/wineprefix"
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
  wine_env "$prefix"
  wineserver -f -p >"$dir/wineserver.log" 2>&1 </dev/null &
  echo $! >"$dir/wineserver.pid"
  # Wine's own services start with the first program; starting them here keeps
  # them off the output pipes of the tests that come after.
  DISPLAY=$display wine cmd /c exit >"$dir/services.log" 2>&1 </dev/null || true
  # A caller may ask for Wine's debug channels (e.g. +debugstr for the program's own log lines)
  # and add DLL overrides (NAVEKO_DLLOVERRIDES, e.g. "uxtheme=n,b": Windows' order, native first).
  cat >"$dir/env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$prefix
export WINEDEBUG=\${NAVEKO_WINEDEBUG:--all}
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d\${NAVEKO_DLLOVERRIDES:+;\$NAVEKO_DLLOVERRIDES}"
export LANG=\${NAVEKO_LANG:-ar_SA.UTF-8}
export LC_ALL=\${NAVEKO_LANG:-ar_SA.UTF-8}
export NAVEKO_BENCH=$dir
ENV
  ;;
*) echo "usage: bench.sh start|stop DIR" >&2; exit 2 ;;
esac
