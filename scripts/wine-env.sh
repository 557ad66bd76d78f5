# Sourced by the scripts: a private wine prefix under a private Xvfb display, set up once, with a
# persistent wineserver so each program starts in a few hundredths of a second. wine_env_cleanup
# stops the server and the display and deletes the prefix; the caller traps it on EXIT.
#
# Set WINE_DISPLAY_NUM to choose the display (default: the first free one from 99).

wine_env_setup() {
  export WINEDEBUG=-all,err+module
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win32
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/stats-wpfx.XXXXXX)

  local n=${WINE_DISPLAY_NUM:-99}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  STATS_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Without a window manager wine waits about 2 s for each managed window that closes; unmanaged windows
  # close at once, which keeps dialog-driven tests fast.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
}

wine_env_cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    sleep 0.5
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${STATS_XVFB_PID:-}" ]; then
    kill "$STATS_XVFB_PID" >/dev/null 2>&1 || true
    wait "$STATS_XVFB_PID" 2>/dev/null || true
  fi
}
