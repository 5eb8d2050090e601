#!/usr/bin/env bash
# Keeps a Wine prefix's virtual display, and its Wine server with it, alive between the
# sessions of the prefix (see wine-env.sh), and ends both once no session has been inside for
# SEPA_WINE_IDLE_SECONDS. Started detached by begin_wine_session, with WINEPREFIX and
# WINESERVER in the environment; records "DISPLAY_NUMBER XVFB_PID KEEPER_PID" in
# $WINEPREFIX/.display.
set -u
record="$WINEPREFIX/.display"
sessions="$WINEPREFIX.sessions"
idle=${SEPA_WINE_IDLE_SECONDS:-120}

number_file=$(mktemp)
# Xvfb picks a free display number itself and writes it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; exit 0' TERM INT HUP
for _ in $(seq 1 100); do
  [ -s "$number_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
number=$(tr -dc 0-9 <"$number_file")
rm -f "$number_file"
[ -n "$number" ] || { kill "$xvfb" 2>/dev/null; exit 1; }
mine="$number $xvfb $$"
echo "$mine" >"$record.$$" && mv "$record.$$" "$record"

exec 9>>"$sessions"
while sleep 1; do
  # The display ended, or the record was replaced or removed (end_wine_prefix): done.
  kill -0 "$xvfb" 2>/dev/null || break
  [ "$(cat "$record" 2>/dev/null)" = "$mine" ] || break
  last_use=$(stat -c %Y "$sessions" 2>/dev/null) || break
  [ $(( $(date +%s) - last_use )) -ge "$idle" ] || continue
  # Only while no session is inside: the lock is kept until the server and display are gone,
  # so that no session can start on them meanwhile.
  flock -x -n 9 || continue
  "$WINESERVER" -k >/dev/null 2>&1 9>&- || true
  "$WINESERVER" -w >/dev/null 2>&1 9>&- || true
  rm -f "$record"
  break
done
[ "$(cat "$record" 2>/dev/null)" != "$mine" ] || rm -f "$record"
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit 0
