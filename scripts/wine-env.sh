# Sourced by the scripts: a wine prefix under an X display, set up once, with a persistent wineserver so
# each program starts in a few hundredths of a second. wine_env_cleanup undoes what wine_env_setup made;
# the caller traps it on EXIT.
#
# A WINEPREFIX or DISPLAY the caller already set is used as it is and left in place afterwards; otherwise
# a private prefix and a private Xvfb display are made and removed again. WINE_DISPLAY_NUM chooses the
# private display (default: the first free one from 99) and WINE_SCREEN its size (default 1280x1024); WINE_DPI
# sets the prefix's LogPixels (120 for 125 %, 144 for 150 %; default: wine's 96).

wine_env_setup() {
  export WINEDEBUG=-all,err+module
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win32
  STATS_OWN_PREFIX=""
  if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(mktemp -d /tmp/stats-wpfx.XXXXXX)
    STATS_OWN_PREFIX=$WINEPREFIX
  fi
  export WINEPREFIX

  STATS_XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    local n=${WINE_DISPLAY_NUM:-99}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${WINE_SCREEN:-1280x1024}x24" -nolisten tcp >/dev/null 2>&1 &
    STATS_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Without a window manager wine waits about 2 s for each managed window that closes; unmanaged windows
  # close at once, which keeps dialog-driven tests fast.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  if [ -n "${WINE_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$WINE_DPI" /f >/dev/null 2>&1
    # Read only when a server starts: the next one sees it.
    wineserver -k
  fi
  wineserver -w
  # A prefix of the caller's keeps its server only a minute after the last program; ours is stopped below.
  if [ -n "$STATS_OWN_PREFIX" ]; then wineserver -p; else wineserver -p60; fi
  wine cmd /c exit >/dev/null 2>&1 || true
}

wine_env_cleanup() {
  if [ -n "${STATS_OWN_PREFIX:-}" ] && [ -d "$STATS_OWN_PREFIX" ]; then
    WINEPREFIX=$STATS_OWN_PREFIX wineserver -k >/dev/null 2>&1 || true
    sleep 0.5
    rm -rf "$STATS_OWN_PREFIX"
    unset WINEPREFIX  # it named the prefix just removed
  fi
  if [ -n "${STATS_XVFB_PID:-}" ]; then
    kill "$STATS_XVFB_PID" >/dev/null 2>&1 || true
    wait "$STATS_XVFB_PID" 2>/dev/null || true
    unset DISPLAY  # it named the display just stopped
  fi
}
