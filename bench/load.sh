#!/usr/bin/env bash
# Load on one zerva-server: eight zerva-cli processes of eight accounts upload an album each at
# the same time, and two more processes of one ninth account start one after the other, so that
# the second finds the account signed in by the first and is refused with its message. Checks
# that every album arrived complete and cleared of its uploading mark, that no output and no log
# speaks of "database is locked", and prints the times and the server's peak memory (VmHWM).
# Exit status 1 when a check fails.
#
#   bench/load.sh   ZERVA_BENCH_BUILD (build/release), ZERVA_LOAD_PHOTOS (12 a album),
#                   ZERVA_LOAD_RSS_MB (the server's peak memory allowed, 400)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_lib.sh

command -v curl >/dev/null || { echo "load: needs curl (scripts/setup-bench-deps)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "load: needs ffmpeg (scripts/setup-deps)" >&2; exit 1; }

BUILD="${ZERVA_BENCH_BUILD:-build/release}"
PHOTOS="${ZERVA_LOAD_PHOTOS:-12}"
RSS_LIMIT_MB="${ZERVA_LOAD_RSS_MB:-400}"
ACCOUNTS=8

bench_build "$BUILD" zerva-cli zerva-server
bench_work

seconds_since() { seconds_between "$1" "$EPOCHREALTIME"; }

echo "load: making $PHOTOS photos of 2400 x 1800 and a video of 4 s"
mkdir -p "$WORK/photos"
ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc2=size=2400x1800:rate=1,noise=alls=25:allf=t" \
  -frames:v "$PHOTOS" -q:v 3 "$WORK/photos/p%03d.jpg"
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -f lavfi \
  -i sine=frequency=440:sample_rate=44100 -t 4 -c:v libx264 -preset ultrafast -pix_fmt yuv420p \
  -c:a aac "$WORK/photos/clip.mp4"

"$BUILD/bin/zerva-server" --port 0 --data "$WORK/service" --ready-file "$WORK/server.ready" \
  >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
BENCH_PIDS+=("$SERVER_PID")
PORT="$(bench_ready server)"
URL="http://127.0.0.1:$PORT/client14"
PASS="$(printf secret | md5sum | cut -d' ' -f1)"
CLI="$(bench_install_cli "$BUILD" "$PORT")"

# account NAME: a new account of the service, password "secret".
account() {
  curl -s -F userName="$1" -F email="$1@example.com" -F password=secret -F userLang=1033 -F eof=1 \
    "$URL/createUser.php" | grep -q '<code>0</code>' || { echo "load: account $1 refused" >&2; exit 1; }
}
# start NAME HOME: an upload of the album folder NAME in the background, with a home of its own;
# its exit status and seconds go to HOME/status and HOME/seconds.
start() {
  local name="$1" home="$WORK/home/$2"
  mkdir -p "$home"
  (
    s="$EPOCHREALTIME"
    set +e
    XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" HOME="$home" \
      "$CLI" -usr "$name" -pwd secret upload "$WORK/albums/$name" --yes </dev/null \
      >"$home/out" 2>"$home/err"
    echo $? >"$home/status"
    seconds_since "$s" >"$home/seconds"
  ) &
}

NAMES=()
for i in $(seq 1 "$ACCOUNTS"); do NAMES+=("load$i"); done
for name in "${NAMES[@]}" twin; do
  account "$name"
  mkdir -p "$WORK/albums/$name"
  ln "$WORK"/photos/*.jpg "$WORK/albums/$name/"
done
# Every other album has the video too.
for i in $(seq 1 2 "$ACCOUNTS"); do ln "$WORK/photos/clip.mp4" "$WORK/albums/load$i/"; done

RSS_START_KB="$(awk '/^VmRSS/ { print $2 }' "/proc/$SERVER_PID/status")"
# The server's resident memory, sampled while the uploads run.
(
  while kill -0 "$SERVER_PID" 2>/dev/null; do
    awk '/^VmRSS/ { print $2 }' "/proc/$SERVER_PID/status" >>"$WORK/rss" 2>/dev/null || true
    sleep 0.2
  done
) &
SAMPLER=$!

echo "load: $ACCOUNTS accounts uploading at once, and twice the account twin (load average $(cut -d' ' -f1-3 /proc/loadavg))"
START="$EPOCHREALTIME"
for name in "${NAMES[@]}"; do start "$name" "$name"; done
start twin twin1
# The second copy starts once the first has signed in (it reports the preparation next).
for _ in $(seq 1 300); do grep -q Preparing "$WORK/home/twin1/err" 2>/dev/null && break; sleep 0.1; done
start twin twin2
wait_all() {
  for home in "${NAMES[@]}" twin1 twin2; do
    while [ ! -s "$WORK/home/$home/seconds" ]; do sleep 0.2; done
  done
}
wait_all
WALL="$(seconds_since "$START")"
HWM_KB="$(awk '/^VmHWM/ { print $2 }' "/proc/$SERVER_PID/status")"
kill "$SAMPLER" 2>/dev/null || true

FAILED=0
fail() { echo "load: FAILED: $*"; FAILED=1; }

# album_check NAME: one album with every file of its folder once, uploading mark cleared, an
# image stored for every item (a video's is its still picture) and every video stored.
album_check() {
  local name="$1" items videos albums id listed stored
  items="$(find "$WORK/albums/$name" -type f | wc -l)"
  videos="$(find "$WORK/albums/$name" -type f -name '*.mp4' | wc -l)"
  albums="$(curl -s -F command=GetAlbums -F userName="$name" -F userPass="$PASS" -F userID=0 \
    -F albumID=0 -F eof=1 "$URL/command.php")"
  [ "$(grep -o '<album>' <<<"$albums" | wc -l)" = 1 ] || { fail "$name has not one album"; return; }
  grep -q '<uploading>0</uploading>' <<<"$albums" || fail "$name: the album is still marked as uploading"
  id="$(grep -o '<albumID>[0-9]*' <<<"$albums" | head -1 | cut -d'>' -f2)"
  listed="$(curl -s -F command=GetAlbumPhotos -F userName="$name" -F userPass="$PASS" -F userID=0 \
    -F albumID="$id" -F eof=1 "$URL/command.php" | grep -o '<fileName>[^<]*' | sort -u | wc -l)"
  [ "$listed" = "$items" ] || fail "$name: the album lists $listed items of $items"
  stored="$(find "$WORK/service" -path "*/files/*/$name/images/*.jpg" | wc -l)"
  [ "$stored" = "$items" ] || fail "$name: $stored images stored for $items items"
  stored="$(find "$WORK/service" -path "*/files/*/$name/video/*.mp4" | wc -l)"
  [ "$stored" = "$videos" ] || fail "$name: $stored videos stored of $videos"
}

for i in $(seq 1 "$ACCOUNTS"); do
  name="load$i"
  [ "$(cat "$WORK/home/$name/status")" = 0 ] || { fail "$name exited with $(cat "$WORK/home/$name/status")"; tail -5 "$WORK/home/$name/err"; }
  album_check "$name"
done
S1="$(cat "$WORK/home/twin1/status")" S2="$(cat "$WORK/home/twin2/status")"
REFUSED=""
if [ "$S1" = 0 ] && [ "$S2" != 0 ]; then REFUSED=twin2; elif [ "$S2" = 0 ] && [ "$S1" != 0 ]; then REFUSED=twin1; fi
if [ -z "$REFUSED" ]; then
  fail "of the two copies of twin, not exactly one was refused (exit $S1 and $S2)"
else
  grep -q "The account twin is already signed in in another running copy of zerva." "$WORK/home/$REFUSED/err" ||
    { fail "the refused copy did not say why:"; cat "$WORK/home/$REFUSED/err"; }
  album_check twin
fi
LOCKED="$(grep -ril 'database is locked' "$WORK/server.log" "$WORK/home" || true)"
[ -z "$LOCKED" ] || fail "\"database is locked\" in: $LOCKED"

PEAK_SAMPLED="$(sort -n "$WORK/rss" | tail -1)"
STORED_FILES="$(find "$WORK/service" -path '*/files/*' -type f | wc -l)"
STORED_MB="$(du -sm "$WORK/service" | cut -f1)"

echo
printf '%-40s %10s\n' "process" "seconds"
for home in "${NAMES[@]}" twin1 twin2; do
  note=""
  [ "$home" = "$REFUSED" ] && note="  (refused: $(grep -o 'already signed in[^.]*' "$WORK/home/$home/err" | head -1))"
  printf '%-40s %10s%s\n' "  zerva-cli $home" "$(cat "$WORK/home/$home/seconds")" "$note"
done
printf '%-40s %10s\n' "wall time of the load" "$WALL"
printf '%-40s %10s\n' "files stored / MB in the data folder" "$STORED_FILES / $STORED_MB"
printf '%-40s %10s\n' "server RSS before the uploads, MiB" "$((RSS_START_KB / 1024))"
printf '%-40s %10s\n' "server peak RSS (VmHWM), MiB" "$((HWM_KB / 1024))"
printf '%-40s %10s\n' "server RSS sampled at most, MiB" "$((${PEAK_SAMPLED:-0} / 1024))"
[ "$((HWM_KB / 1024))" -le "$RSS_LIMIT_MB" ] || fail "the server's peak memory is over $RSS_LIMIT_MB MiB"
echo
if [ "$FAILED" = 0 ]; then echo "load: every album arrived, no lock failures"; else exit 1; fi
