#!/usr/bin/env bash
# Renders each manual page as man does, with the formatter's warnings on, and checks that every
# switch the program's --help lists is in its page.
# Usage: man_pages_test.sh MAN_DIR BIN_DIR TMP_DIR
set -uo pipefail
MAN_DIR="$(realpath "$1")"
BIN_DIR="$(realpath "$2")"
WORK="$(mktemp -d "${3:-/tmp}/man.XXXXXX" 2>/dev/null || mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# Plain text at a terminal's width; man-db's sandbox is not available in every container.
export LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat PAGER=cat MAN_DISABLE_SECCOMP=1
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

checked=0
for program in zerva zerva-cli zerva-server zerva-updater; do
  page="$MAN_DIR/$program.1"
  if [ ! -x "$BIN_DIR/$program" ]; then
    echo "skip: $program is not built"
    continue
  fi
  checked=$((checked + 1))
  if [ ! -s "$page" ] || [ ! -s "$page.gz" ]; then
    fail "$program: no manual page in $MAN_DIR"
    continue
  fi
  # The installed, compressed page is the one rendered here.
  gzip -dc "$page.gz" | cmp -s - "$page" || fail "$program: $page.gz is not $page"

  man --warnings -l "$page" >"$WORK/$program.txt" 2>"$WORK/$program.warnings"
  status=$?
  [ $status -eq 0 ] || fail "$program: man exited with $status"
  [ -s "$WORK/$program.warnings" ] && fail "$program: man warns: $(cat "$WORK/$program.warnings")"
  # Every warning groff has, not only those man asks for.
  groff -man -ww -z "$page" 2>"$WORK/$program.groff"
  [ -s "$WORK/$program.groff" ] && fail "$program: groff warns: $(cat "$WORK/$program.groff")"
  text="$(col -bx <"$WORK/$program.txt")"
  grep -q "^NAME" <<<"$text" || fail "$program: no NAME section in the rendered page"
  # whatis and apropos read the NAME line.
  lexgrog "$page" | grep -qF "\"$program - " || fail "$program: lexgrog: $(lexgrog "$page")"

  # Without any display: the window answers --help before it looks for one.
  help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN_DIR/$program" --help \
    </dev/null 2>"$WORK/$program.err")"
  status=$?
  if [ $status -ne 0 ] || [ -z "$help" ]; then
    fail "$program --help exited with $status: $(cat "$WORK/$program.err")"
    continue
  fi
  switches="$(grep -oE '(^|[][ ,(|"])--?[a-zA-Z][a-zA-Z0-9-]*(:[A-Z]+)?' <<<"$help" |
    sed -E 's/^[][ ,(|"]//' | sort -u)"
  count=0
  for switch in $switches; do
    count=$((count + 1))
    grep -qF -- "$switch" <<<"$text" || fail "$program: $switch is in --help but not in the page"
  done
  # The help texts are long; finding only a handful means the pattern above broke.
  [ "$count" -ge 4 ] || fail "$program: only $count switches found in --help"
  version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN_DIR/$program" --version)" ||
    fail "$program --version failed"
  grep -qF "$(head -n1 <<<"$help")" <<<"$version" || fail "$program --version: $version"
  echo "$program: $count switches of --help found in the page"
done
[ "$checked" -gt 0 ] || fail "no program was built in $BIN_DIR"
[ "$failures" -eq 0 ] || exit 1
echo "ok"
