#!/usr/bin/env bash
# zerva-server's --listen: loopback by default, an IPv6 address or every interface when asked,
# and a clear refusal of anything that is not an IP address.
# Usage: server_listen_test.sh BIN_DIR TMP_DIR
set -uo pipefail
BIN_DIR="$(realpath "$1")"
. "$(dirname "${BASH_SOURCE[0]}")/shell_test_lib.sh"
shell_test_work "${2:-/tmp}" listen

# The HTTP status of GET /_zerva/health at URL's host; 000 when no connection was made.
status_at() {
  curl -g -s -o /dev/null -m 10 -w '%{http_code}' "$1/_zerva/health"
}
expect_status() {
  local want="$1" url="$2" got
  got="$(status_at "$url")"
  [ "$got" = "$want" ] || fail "$url: want $want, got $got ($3)"
}

have_ipv6=0
grep -q ' lo$' /proc/net/if_inet6 2>/dev/null && have_ipv6=1
# An address of this machine that is not loopback, where there is one.
other="$(hostname -I 2>/dev/null | tr ' ' '\n' | grep -E '^[0-9.]+$' | grep -v '^127\.' | head -n1)"

if start_server; then
  expect_status 200 "http://127.0.0.1:$PORT" "the default is loopback"
  [ $have_ipv6 -eq 1 ] && expect_status 000 "http://[::1]:$PORT" "the default is IPv4 loopback only"
  [ -n "$other" ] && expect_status 000 "http://$other:$PORT" "the default is loopback only"
  grep -qF "listening on http://127.0.0.1:$PORT/" "$WORK/server.log" ||
    fail "the address printed: $(cat "$WORK/server.log")"
  stop_server
fi

if start_server --listen 0.0.0.0; then
  expect_status 200 "http://127.0.0.1:$PORT" "0.0.0.0 takes loopback too"
  # The test endpoint answers loopback clients only, but the connection is made.
  [ -n "$other" ] && [ "$(status_at "http://$other:$PORT")" = 000 ] &&
    fail "--listen 0.0.0.0 does not answer on $other"
  stop_server
fi

if [ $have_ipv6 -eq 1 ]; then
  if start_server --listen ::1; then
    expect_status 200 "http://[::1]:$PORT" "--listen ::1"
    expect_status 000 "http://127.0.0.1:$PORT" "--listen ::1 is IPv6 only"
    grep -qF "listening on http://[::1]:$PORT/" "$WORK/server.log" ||
      fail "the IPv6 address printed without brackets: $(cat "$WORK/server.log")"
    stop_server
  fi
  if start_server --listen "[::]"; then
    expect_status 200 "http://[::1]:$PORT" "--listen [::]"
    stop_server
  fi
fi

# Behind a TLS proxy: the service's own pages link to the proxy's address, not to its port.
if start_server --public-url https://zerva.localhost; then
  page="$(curl -s -m 10 -H "Host: www.zerva.localhost:$PORT" "http://127.0.0.1:$PORT/")"
  grep -qF 'href="https://www.zerva.localhost/"' <<<"$page" ||
    fail "--public-url: the site's own link: $(grep -o 'href="[^"]*"' <<<"$page" | head -n 3)"
  stop_server
fi

for bad in localhost 10.0.0 "127.0.0.1:80"; do
  "$BIN_DIR/zerva-server" --listen "$bad" --data "$WORK/data" >"$WORK/out" 2>"$WORK/err"
  status=$?
  [ $status -eq 2 ] || fail "--listen $bad: exit status $status"
  grep -qF "zerva-server: --listen: not an IP address: $bad" "$WORK/err" ||
    fail "--listen $bad: $(cat "$WORK/err")"
done
"$BIN_DIR/zerva-server" --help | grep -qF -- "--listen ADDRESS" || fail "--help has no --listen"

[ "$failures" -eq 0 ] || exit 1
if [ $have_ipv6 -eq 0 ]; then
  echo "no IPv6 loopback here: the IPv6 cases were skipped"
  exit 77
fi
echo "ok"
