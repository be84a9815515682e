#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the programs from there:
# install_tree_test.sh BUILD_DIR SOURCE_DIR VERSION [TMP_ROOT]. zerva-cli uploads the sample
# album to a zerva-server started from the same prefix and the window starts and ends, so the
# language files and the service's address must both be found under share/zerva/ (bin/ holds the
# programs alone).
set -euo pipefail

BUILD="$1"
SOURCE="$2"
VERSION="$3"
TMP_ROOT="${4:-${TMPDIR:-/tmp}}"

. "$(dirname "${BASH_SOURCE[0]}")/../shell/shell_test_lib.sh"
FAIL_PREFIX=install_tree_test
shell_test_work "$TMP_ROOT" install-tree
PREFIX="$WORK/prefix"

cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" || {
  cat "$WORK/install.log" >&2
  echo "install_tree_test: cmake --install failed" >&2
  exit 1
}

# The layout.
for program in zerva zerva-cli zerva-server zerva-updater; do
  # The window is left out of builds without Qt; what was built must be installed.
  [ "$program" = zerva ] && [ ! -e "$BUILD/bin/zerva" ] && continue
  [ -x "$PREFIX/bin/$program" ] || fail "bin/$program is missing or not executable"
done
strays="$(find "$PREFIX/bin" -type f ! -name 'zerva*' -o -type f -name '*.*' | sort)"
[ -z "$strays" ] || fail "bin/ holds more than the programs: $strays"

SHARE="$PREFIX/share"
for file in zerva/zerva-en-us.lng zerva/zerva-cs.lng zerva/Qt-license.txt \
  zerva/FFmpeg-license.txt doc/zerva/LICENSE applications/org.zerva.Zerva.desktop \
  metainfo/org.zerva.Zerva.metainfo.xml icons/hicolor/scalable/apps/org.zerva.Zerva.svg; do
  [ -s "$SHARE/$file" ] || fail "share/$file is missing"
done

# Each rendered icon is a PNG of its folder's size: bytes 16-23 of a PNG are width and height.
for size in 16 24 32 48 64 128 256 512; do
  png="$SHARE/icons/hicolor/${size}x${size}/apps/org.zerva.Zerva.png"
  if [ ! -s "$png" ]; then
    fail "the ${size} px icon is missing"
    continue
  fi
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
    fail "the ${size} px icon is ${width}x${height}"
done

# The launcher, its icon and the description agree with each other as installed.
if ! appstreamcli validate-tree --no-net "$PREFIX" >"$WORK/tree.log" 2>&1; then
  cat "$WORK/tree.log" >&2
  fail "appstreamcli validate-tree finds problems in the installed files"
fi

version="$("$PREFIX/bin/zerva-cli" --version)" || fail "zerva-cli --version failed"
# The window's help is read in a terminal, where there may be no display at all.
if [ -x "$PREFIX/bin/zerva" ]; then
  help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/zerva" --help 2>&1)" ||
    fail "zerva --help failed without a display: $help"
  [[ "$help" == *-usr* ]] || fail "zerva --help does not list its switches"
fi
[[ "$version" == *"$VERSION"* ]] || fail "zerva-cli --version says '$version', not $VERSION"

# The service, from the prefix, on a free port with a fresh data folder.
"$PREFIX/bin/zerva-server" --port 0 --data "$WORK/service" --ready-file "$WORK/ready" \
  >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
port=""
for _ in $(seq 1 300); do
  port="$(cat "$WORK/ready" 2>/dev/null || true)"
  [ -n "$port" ] && break
  if ! kill -0 "$SERVER_PID" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$port" ]; then
  cat "$WORK/server.log" >&2
  echo "install_tree_test: zerva-server from the prefix did not start" >&2
  exit 1
fi

# An account of this run's own: one account is signed in by one running copy at a time on the
# whole machine, and other runs may use the demo account meanwhile.
USER_NAME="install$$x$RANDOM"
if ! curl -sS --data-urlencode "userName=$USER_NAME" --data-urlencode "email=$USER_NAME@example.com" \
  -d password=secret -d userLang=1033 -d eof=1 "http://127.0.0.1:$port/client14/createUser.php" |
  grep -q '<code>0</code>'; then
  echo "install_tree_test: cannot create the account $USER_NAME" >&2
  exit 1
fi

# The administrator's ini file beside the other data files points the client at that service.
printf 'Domain=127.0.0.1:%s/\n' "$port" >"$SHARE/zerva/zerva_proxy_setting.ini"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" XDG_CACHE_HOME="$WORK/home/cache"
mkdir -p "$HOME"
cli() { "$PREFIX/bin/zerva-cli" -usr "$USER_NAME" -pwd secret "$@" </dev/null; }

if address="$(cli upload "$SOURCE/resources/sample-album" --name "Installed album" --no \
  2>"$WORK/upload.log")"; then
  [[ "$address" == http*://* ]] || fail "the upload printed '$address', not the album's address"
else
  cat "$WORK/upload.log" >&2
  fail "zerva-cli upload from the prefix failed"
fi
if ! cli albums >"$WORK/albums.log" 2>&1 || ! grep -q "Installed album" "$WORK/albums.log"; then
  cat "$WORK/albums.log" >&2
  fail "zerva-cli albums does not list the uploaded album"
fi

# The window from the prefix: "-unins" reports the program as uninstalled to the service and ends
# before any window opens, so it needs its language file and the ini file but no display.
if [ -x "$PREFIX/bin/zerva" ]; then
  if ! QT_QPA_PLATFORM=offscreen timeout 120 "$PREFIX/bin/zerva" -unins >"$WORK/window.log" 2>&1; then
    cat "$WORK/window.log" >&2
    fail "zerva -unins from the prefix did not end by itself"
  fi
  if ! curl -sS "http://127.0.0.1:$port/_zerva/log" | grep -Eq 'current_status(=|%3D)uninstalled'; then
    fail "zerva -unins from the prefix did not report to the service"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "install_tree_test: $failures check(s) failed" >&2
  exit 1
fi
echo "install_tree_test: the installed programs run from $PREFIX"
