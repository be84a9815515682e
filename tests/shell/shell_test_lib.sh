# Pieces the shell tests share; sourced by them, not run.

SERVER_PID=""
failures=0

# stop_server: stops the zerva-server started in SERVER_PID, if it still runs.
stop_server() {
  if [ -n "$SERVER_PID" ] && kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID"
    wait "$SERVER_PID" 2>/dev/null || true
  fi
  SERVER_PID=""
}

# start_server SWITCH...: BIN_DIR's zerva-server on a free port with a data folder in WORK and
# the given switches; PORT is where it listens. A server that does not start is a failed check.
start_server() {
  rm -f "$WORK/ready"
  "$BIN_DIR/zerva-server" --port 0 --data "$WORK/data" --ready-file "$WORK/ready" "$@" \
    >"$WORK/server.log" 2>&1 &
  SERVER_PID=$!
  for _ in $(seq 1 600); do
    [ -s "$WORK/ready" ] && break
    kill -0 "$SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  PORT="$(cat "$WORK/ready" 2>/dev/null)"
  [ -n "$PORT" ] || { fail "zerva-server $* did not start: $(cat "$WORK/server.log")"; return 1; }
}

# shell_test_work TMP_ROOT NAME: a scratch folder WORK under TMP_ROOT, removed at exit after the
# server is stopped.
shell_test_work() {
  mkdir -p "$1"
  WORK="$(mktemp -d "$1/$2.XXXXXX")"
  trap 'stop_server; rm -rf "$WORK"' EXIT
}

# fail TEXT: counts a failed check and names it, after FAIL_PREFIX ("FAIL" unless set).
fail() {
  echo "${FAIL_PREFIX:-FAIL}: $*" >&2
  failures=$((failures + 1))
}
