# Sourced by the scripts that run Windows programs: sets up the Wine environment for a build
# folder and defines the session functions.  usage: source wine-env.sh BUILD_DIR
#
# A session (begin_wine_session) is a stretch of time in which a script runs Windows programs
# in the prefix. Sessions of one prefix may overlap: each holds a shared lock on
# "$WINEPREFIX.sessions" from set-up to clean-up, and no session ends the prefix's Wine server
# or display. Both are kept alive between sessions, so that the next program starts at once,
# by a keeper (wine-keeper.sh) that ends them once no session has been inside for
# SEPA_WINE_IDLE_SECONDS.
_wine_build_dir=$(realpath -m -- "$1")
_wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# A test may ask for a prefix of its own (SEPA_WINEPREFIX), e.g. to prove registration from scratch.
# Wine takes only an absolute path.
WINEPREFIX=$(realpath -m -- "${SEPA_WINEPREFIX:-$_wine_build_dir/wineprefix}")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No browser or .NET runtime: the prompts to download them would block an unattended run.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
export SEPA_WINE_IDLE_SECONDS=${SEPA_WINE_IDLE_SECONDS:-120}
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || true)
if [ -z "$WINE64" ]; then echo "wine64 is not installed: run scripts/install-deps.sh" >&2; exit 1; fi
export WINE64
WINESERVER="$(dirname "$WINE64")/wineserver"
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo wineserver)
export WINESERVER

# Runs a Wine command whose Wine helpers (server, services, desktop) may outlive it: they get
# no terminal or test output to hold open, none of the lock descriptors, and a session of their
# own, so that a caller's process group (a run that the wrapper ends as a whole, a test's
# timeout) can be ended without ending the prefix's desktop and services with it.
_wine_detached() {
  _wine_only_standard_descriptors setsid -w "$@" </dev/null >/dev/null 2>&1
}

# Runs a command with every descriptor above 2 closed: a lock, or a pipe that a caller waits
# on, must not stay open in the Wine processes that the command may leave behind.
_wine_only_standard_descriptors() {
  local fd closes=
  for fd in $(cd "/proc/$BASHPID/fd" && echo *); do
    [ "$fd" -le 2 ] || closes+=" $fd>&-"
  done
  eval '"$@"'"$closes"
}

register_when_newer() {
  local dll=$1 stamp=$2
  if [ -f "$dll" ] && { [ ! -f "$stamp" ] || [ "$dll" -nt "$stamp" ]; }; then
    if ! _wine_detached "$WINE64" regsvr32 /s "$(to_windows_path "$dll")"; then
      echo "could not register $dll in $WINEPREFIX" >&2
      return 1
    fi
    touch "$stamp"
  fi
}

# Creates the prefix on first use. Called with the set-up lock held.
_wine_create_prefix() {
  if [ ! -f "$WINEPREFIX/.created" ]; then
    _wine_detached "$WINE64" wineboot -i || true
    touch "$WINEPREFIX/.created"
  fi
}

# Settings and registrations that programs of the prefix rely on. Called with the set-up lock held.
_wine_configure_prefix() {
  # No window manager runs on the virtual display: Wine is to draw the windows' frames
  # itself and not wait for a manager to map or withdraw them, which costs a second for
  # every window hidden (each dialog and message box).
  if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
    _wine_detached "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    touch "$WINEPREFIX/.unmanaged"
  fi
  # The host stand-in first: the component's type library imports the host's.
  register_when_newer "$_wine_build_dir/bin/TavrinHostSettings.dll" "$WINEPREFIX/.host-registered" || return 1
  [ -n "${SEPA_SKIP_COMPONENT_REGISTRATION:-}" ] ||
    register_when_newer "$_wine_build_dir/bin/TavrinBankOfVelmoraSEPA.dll" "$WINEPREFIX/.component-registered"
}

# The prefix made and its programs registered, for a script that brings its own display and
# server (render-dialog.sh); sessions do this as part of begin_wine_session.
wine_prepare_prefix() {
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.created" ]; then
      rm -rf "$WINEPREFIX"
      _wine_create_prefix
      "$WINESERVER" -w 2>/dev/null || true
    fi
    _wine_configure_prefix
  ) 9>"$WINEPREFIX.lock"
}

# Wine maps drive Z: to the Unix root, so any absolute Unix path has a Windows twin.
to_windows_path() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

# The prefix's display as recorded by its keeper ("NUMBER XVFB_PID KEEPER_PID"), printed when
# both processes still run.
_wine_live_display() {
  local n xvfb keeper
  read -r n xvfb keeper 2>/dev/null <"$WINEPREFIX/.display" || return 1
  [ -n "$keeper" ] && [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" = Xvfb ] &&
    kill -0 "$keeper" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] || return 1
  echo "$n"
}

# The prefix's display, started with its keeper when there is none. Called with the set-up
# lock held. The keeper runs in a session of its own: a test's timeout ends the test's process
# group, and the display outlives the test.
_wine_display() {
  local n i
  if ! n=$(_wine_live_display); then
    rm -f "$WINEPREFIX/.display"
    _wine_detached setsid -f "$_wine_scripts/wine-keeper.sh"
    for i in $(seq 1 100); do
      n=$(_wine_live_display) && break
      sleep 0.05
    done
    [ -n "$n" ] || { echo "could not start the virtual display of $WINEPREFIX" >&2; return 1; }
  fi
  echo "$n"
}

# Starts Xvfb on a free display number, with any further Xvfb options given, and exports
# DISPLAY; stop_private_display ends it. For a script that needs a display of its own.
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

# Starts the program that keeps the desktop of a new Wine server up (DesktopHolder.cpp) and
# waits until the desktop is there. Called with the set-up lock held.
_wine_hold_desktop() {
  local holder="$_wine_build_dir/bin/wine_desktop_holder.exe" up="$WINEPREFIX/.desktop-up"
  [ -f "$holder" ] || return 1
  rm -f "$up"
  _wine_detached setsid -f "$WINE64" "$holder" "$(to_windows_path "$up")"
  for _ in $(seq 1 200); do
    [ -e "$up" ] && return 0
    sleep 0.05
  done
  return 1
}

# Joins the prefix's Wine session for the rest of the script: the prefix made and registered,
# its display exported, its server running. Wine's own service processes are started here,
# away from the programs' output pipes: started by a test they would keep its pipe open for as
# long as the server lives, and CTest would wait for them. The display comes first: the
# server's desktop, which every program then shares, cannot show windows without one.
begin_wine_session() {
  trap end_wine_session EXIT
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec {_wine_session_fd}>>"$WINEPREFIX.sessions"
  flock -s "$_wine_session_fd"
  touch "$WINEPREFIX.sessions"
  local display
  display=$(
    exec 9>"$WINEPREFIX.lock"
    flock 9
    [ -f "$WINEPREFIX/.created" ] || rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    n=$(_wine_display) || exit 1
    export DISPLAY=":$n"
    # Exit status 0: no server ran, this one is new; 2: the prefix's server already runs.
    # The keeper ends it; its own idle limit, which the desktop holder keeps from running out,
    # serves only a build without the holder.
    server=0
    _wine_detached "$WINESERVER" -p $((SEPA_WINE_IDLE_SECONDS + 300)) || server=$?
    _wine_create_prefix
    if [ "$server" -eq 0 ]; then
      _wine_hold_desktop || _wine_detached "$WINE64" cmd /c exit || true
    fi
    _wine_configure_prefix || exit 1
    echo "$n"
  ) || { echo "could not set up the Wine session of $WINEPREFIX" >&2; exit 1; }
  export DISPLAY=":$display"
}

# Runs a Windows program inside the session; it holds no lock of the session.
run_in_wine_session() {
  _wine_only_standard_descriptors "$WINE64" "$@"
}

# The processes of a process group that can still run (a zombie, which cannot, is left out).
_live_process_group_members() {
  local stat fields
  for stat in /proc/[0-9]*/stat; do
    read -r fields 2>/dev/null <"$stat" || continue
    # After the command name, which may hold blanks and parentheses: state, parent, group.
    read -r -a fields <<<"${fields##*) }"
    [ "${fields[2]}" = "$1" ] && [ "${fields[0]}" != Z ] || continue
    stat=${stat#/proc/}
    echo "${stat%/stat}"
  done
}

# Ends a process group that the caller made (SIGKILL: no trap of it may write on) and waits
# until none of its processes can run; false when some still can after a minute.
end_process_group() {
  local _
  # Most often the group is already empty: no process, not even a zombie, is left to look for.
  kill -0 -- "-$1" 2>/dev/null || return 0
  for _ in $(seq 1 600); do
    [ -n "$(_live_process_group_members "$1")" ] || return 0
    kill -KILL -- "-$1" 2>/dev/null || true
    sleep 0.1
  done
  return 1
}

# Leaves the session: the prefix's server and display stay for the next one.
end_wine_session() {
  if [ -n "${_wine_session_fd:-}" ]; then
    touch "$WINEPREFIX.sessions"
    exec {_wine_session_fd}>&-
    _wine_session_fd=
  fi
}

# Ends a private prefix's server and display once no session is inside, and removes the prefix
# when asked (--remove). For tests that need a prefix made afresh, never for a shared one.
end_wine_prefix() {
  local fd n xvfb keeper
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec {fd}>>"$WINEPREFIX.sessions"
  flock -x "$fd"
  if [ -d "$WINEPREFIX" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 {fd}>&- || true
    "$WINESERVER" -w >/dev/null 2>&1 {fd}>&- || true
  fi
  if read -r n xvfb keeper 2>/dev/null <"$WINEPREFIX/.display"; then
    kill "$keeper" "$xvfb" 2>/dev/null || true
  fi
  rm -f "$WINEPREFIX/.display"
  [ "${1:-}" != --remove ] || rm -rf "$WINEPREFIX"
  exec {fd}>&-
}
