# Shell helpers for running Oxlo's Windows programs under Wine and Xvfb; source this file.
# Facts they rely on: a fresh prefix takes ~8 s, so make one and copy it; wineserver must be started
# detached before ctest (else every test inherits ctest's pipe and takes ~3 s); without a window
# manager every hidden or destroyed window costs ~2 s unless the X11 driver is told not to wait
# for one (Managed=N) or the program runs in a Wine virtual desktop.
# Never pipe wine's output into another program: wineserver keeps the pipe open. Redirect to files.

export WINEDEBUG=${WINEDEBUG:--all}

# oxlo_make_prefix DIR LOG: a new prefix in DIR with Wine's defaults, no Mono and no Gecko,
# its registry written to disk and no wineserver left running. Drive L: is a second letter for
# drive C:, as the tests of file identity need (Wine's DefineDosDevice does not reach file names).
oxlo_make_prefix() {
  local dir=$1 log=$2
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  (
    export WINEPREFIX=$dir
    unset DISPLAY
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i && \
      oxlo_add_wine_fonts "$dir" && \
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f && \
      ln -sfn ../drive_c "$dir/dosdevices/l:" && \
      wineserver -w
  ) </dev/null >"$log" 2>&1
}

# oxlo_add_wine_fonts PREFIX: gives the prefix Wine's own fonts (Debian's fonts-wine), unless it
# has them. Debian's Wine 8 does not load them from its data folder, so a new prefix has no
# Marlett, and every title bar draws its minimise, maximise and close buttons as the characters
# "0", "1" and "r" of a substitute font; Tahoma and MS Sans Serif are missing the same way. Wine
# loads every font file in the prefix's windows\Fonts at start-up.
oxlo_add_wine_fonts() {
  local fonts=$1/drive_c/windows/Fonts source=/usr/share/wine/fonts
  [ -d "$source" ] || return 0
  mkdir -p "$fonts" && cp -n "$source"/* "$fonts"/
}

# oxlo_copy_prefix BASE COPY: a copy of a stopped prefix in ~0.1 s. Files are hard links except
# the registry files, which wineserver rewrites in place and so must be real copies.
oxlo_copy_prefix() {
  local base=$1 copy=$2 reg
  rm -rf "$copy"
  cp -al "$base" "$copy" || return 1
  for reg in system.reg user.reg userdef.reg; do
    rm -f "$copy/$reg"
    cp -p "$base/$reg" "$copy/$reg" || return 1
  done
}

# oxlo_start_wineserver: starts the wineserver of $WINEPREFIX and the prefix's service processes
# detached from our output, so the Windows programs started afterwards take ~0.1 s each.
oxlo_start_wineserver() {
  wineserver -p60 </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# oxlo_stop_wineserver: ends every Wine process of $WINEPREFIX.
oxlo_stop_wineserver() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k </dev/null >/dev/null 2>&1
  return 0
}

# oxlo_start_xvfb LOG: starts Xvfb on a free display; exports DISPLAY and sets OXLO_XVFB_PID.
oxlo_start_xvfb() {
  local log=$1 numberfile waited
  numberfile=$(mktemp /tmp/oxlo-xvfb.XXXXXX)
  # -displayfd lets the server pick a free display number and report it once it accepts clients.
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$numberfile" </dev/null >"$log" 2>&1 &
  OXLO_XVFB_PID=$!
  for waited in $(seq 1 100); do
    [ -s "$numberfile" ] && break
    kill -0 "$OXLO_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numberfile" ]; then
    rm -f "$numberfile"
    echo "Xvfb did not start (see $log)" >&2
    oxlo_stop_xvfb
    return 1
  fi
  export DISPLAY=":$(head -n1 "$numberfile")"
  rm -f "$numberfile"
}

# oxlo_stop_xvfb: stops the Xvfb started by oxlo_start_xvfb.
oxlo_stop_xvfb() {
  if [ -n "${OXLO_XVFB_PID:-}" ]; then
    kill "$OXLO_XVFB_PID" 2>/dev/null
    wait "$OXLO_XVFB_PID" 2>/dev/null
    OXLO_XVFB_PID=
  fi
  return 0
}

# oxlo_windows_path PATH: the Windows name of an absolute Linux path (Wine's drive Z: is /).
oxlo_windows_path() {
  local path=$1
  printf 'Z:%s\n' "${path//\//\\}"
}
