# Sourced by the scripts that run Windows programs: sets up the Wine environment for a build
# folder and defines wine_prepare_prefix.  usage: source wine-env.sh BUILD_DIR
_wine_build_dir=$1
# A test may ask for a prefix of its own (SEPA_WINEPREFIX), e.g. to prove registration from scratch.
export WINEPREFIX="${SEPA_WINEPREFIX:-$_wine_build_dir/wineprefix}"
export WINEDEBUG=${WINEDEBUG:--all}
# No browser or .NET runtime: the prompts to download them would block an unattended run.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || true)
if [ -z "$WINE64" ]; then echo "wine64 is not installed: run scripts/install-deps.sh" >&2; exit 1; fi
export WINE64
WINESERVER="$(dirname "$WINE64")/wineserver"
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo wineserver)
export WINESERVER

register_when_newer() {
  local dll=$1 stamp=$2
  if [ -f "$dll" ] && { [ ! -f "$stamp" ] || [ "$dll" -nt "$stamp" ]; }; then
    if ! "$WINE64" regsvr32 /s "$(to_windows_path "$dll")" >/dev/null 2>&1; then
      echo "could not register $dll in $WINEPREFIX" >&2
      return 1
    fi
    touch "$stamp"
  fi
}

wine_prepare_prefix() {
  local lock="$WINEPREFIX.lock"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.created" ]; then
      rm -rf "$WINEPREFIX"
      "$WINE64" wineboot -i >/dev/null 2>&1 || true
      "$WINESERVER" -w 2>/dev/null || true
      touch "$WINEPREFIX/.created"
    fi
    # No window manager runs on the virtual display: Wine is to draw the windows' frames
    # itself and not wait for a manager to map or withdraw them, which costs a second for
    # every window hidden (each dialog and message box).
    if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
      "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      touch "$WINEPREFIX/.unmanaged"
    fi
    # The host stand-in first: the component's type library imports the host's.
    register_when_newer "$_wine_build_dir/bin/TavrinHostSettings.dll" "$WINEPREFIX/.host-registered"
    [ -n "${SEPA_SKIP_COMPONENT_REGISTRATION:-}" ] ||
      register_when_newer "$_wine_build_dir/bin/TavrinBankOfVelmoraSEPA.dll" "$WINEPREFIX/.component-registered"
  ) 9>"$lock"
}

# Wine maps drive Z: to the Unix root, so any absolute Unix path has a Windows twin.
to_windows_path() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

# Starts Xvfb on a free display number, with any further Xvfb options given, and exports
# DISPLAY; stop_private_display ends it.
start_private_display() {
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp "$@" >/dev/null 2>&1 &
  _private_xvfb=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    kill -0 "$_private_xvfb" 2>/dev/null || break
    sleep 0.1
  done
  echo "could not start Xvfb on :$n" >&2
  return 1
}

stop_private_display() {
  if [ -n "${_private_xvfb:-}" ]; then
    kill "$_private_xvfb" 2>/dev/null || true
    wait "$_private_xvfb" 2>/dev/null || true
    _private_xvfb=
  fi
}

# One virtual display (unless one is set) and one Wine server for a series of programs, ended
# on exit whatever happens on the way. Wine's own service processes are started here, away
# from the programs' output pipes: started by a test they would keep its pipe open for as long
# as the server lives, and CTest would wait for them. The display comes before the prefix is
# prepared: a registration starts the server and its desktop, which every program then shares,
# and a desktop started without a display cannot show windows.
begin_wine_session() {
  trap end_wine_session EXIT
  [ -n "${DISPLAY:-}" ] || start_private_display
  wine_prepare_prefix
  "$WINESERVER" -p >/dev/null 2>&1 || true
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

end_wine_session() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  stop_private_display
}
