#!/usr/bin/env bash
# An upload over a slow line: zerva-cli sends an album of photos to a local zerva-server through
# zerva-relay, which adds 25 ms each way (50 ms round trip) and caps both directions at
# 20 Mbit/s; then curl posts the very files the service stored, with the same fields, through
# the same relay, one after the other on one connection. Prints the sending time of both (for
# zerva-cli from its first UploadFile to its check of the uploads, read from the -trace lines as
# they come, and its whole run); target: zerva-cli takes at most 1.15 times as long as curl.
# Exit status 1 when the target is missed or the upload fails.
#
#   bench/slow-link.sh   ZERVA_BENCH_BUILD (build/release), ZERVA_SLOW_PHOTOS (24),
#                        ZERVA_SLOW_DELAY_MS (25), ZERVA_SLOW_RATE_BITS (20000000)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_lib.sh

command -v curl >/dev/null || { echo "slow-link: needs curl (scripts/setup-bench-deps)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "slow-link: needs ffmpeg (scripts/setup-deps)" >&2; exit 1; }

BUILD="${ZERVA_BENCH_BUILD:-build/release}"
COUNT="${ZERVA_SLOW_PHOTOS:-24}"
DELAY="${ZERVA_SLOW_DELAY_MS:-25}"
RATE="${ZERVA_SLOW_RATE_BITS:-20000000}"

bench_build "$BUILD" zerva-cli zerva-server zerva-relay
bench_work

echo "slow-link: making $COUNT photos of 2400 x 1800"
mkdir -p "$WORK/album"
ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc2=size=2400x1800:rate=1,noise=alls=25:allf=t" \
  -frames:v "$COUNT" -q:v 3 "$WORK/album/p%03d.jpg"

"$BUILD/bin/zerva-server" --port 0 --data "$WORK/service" --seed-demo \
  --ready-file "$WORK/server.ready" >"$WORK/server.log" 2>&1 &
BENCH_PIDS+=($!)
SERVER_PORT="$(bench_ready server)"
"$BUILD/bin/zerva-relay" --target "$SERVER_PORT" --delay-ms "$DELAY" --rate-bits "$RATE" \
  --ready-file "$WORK/relay.ready" >"$WORK/relay.log" 2>&1 &
BENCH_PIDS+=($!)
PORT="$(bench_ready relay)"
URL="http://127.0.0.1:$PORT/client14"
PASS="$(printf demo | md5sum | cut -d' ' -f1)"

CLI="$(bench_install_cli "$BUILD" "$PORT")"
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"

echo "slow-link: zerva-cli over $((2 * DELAY)) ms round trip and $RATE bit/s"
start="$EPOCHREALTIME"
# Every trace line stamped as it arrives (perl reads the pipe without delay).
"$CLI" -usr demo -pwd demo -trace upload "$WORK/album" --no </dev/null 2>&1 >/dev/null |
  perl -MTime::HiRes=time -ne '$| = 1; printf "%.6f %s", time, $_' >"$WORK/cli.trace"
WHOLE="$(seconds_between "$start" "$EPOCHREALTIME")"
grep -q ' trace: (S) SetAlbumUploading: ' "$WORK/cli.trace" ||
  { echo "slow-link: the upload did not complete"; tail -20 "$WORK/cli.trace"; exit 1; }
first="$(grep -m1 ' trace: (S) UploadFile: ' "$WORK/cli.trace" | cut -d' ' -f1)"
check="$(grep -m1 ' trace: (S) GetUploadedFiles: ' "$WORK/cli.trace" | cut -d' ' -f1)"
SENDING="$(seconds_between "$first" "$check")"
SENT="$(grep -c ' trace: (S) UploadFile: ' "$WORK/cli.trace")"

# The stored files, each with its item's photo XML as `setting`, posted by one curl into an album
# of their own.
FILES="$(find "$WORK/service" -path '*/files/*' -mindepth 1 -type d -name album | head -1)"
photo_settings "$URL" "$PASS" album "$WORK/settings"
CURL_ID="$(curl_album "$URL" "$PASS" curlrun "curl run")"
ARGS=()
BYTES=0
for image in "$FILES"/images/*.jpg; do
  name="$(basename "$image")"
  for dir in images thumb; do
    [ ${#ARGS[@]} = 0 ] || ARGS+=(--next)
    ARGS+=(-s -o /dev/null -F userName=demo -F userPass="$PASS" -F directory="curlrun/$dir"
      -F albumID="$CURL_ID" -F "setting=<$WORK/settings/$name" -F "soubor=@$FILES/$dir/$name"
      -F eof=1 "$URL/upload.php")
    BYTES=$((BYTES + $(stat -c %s "$FILES/$dir/$name")))
  done
done
start="$EPOCHREALTIME"
curl "${ARGS[@]}"
CURL="$(seconds_between "$start" "$EPOCHREALTIME")"
POSTED="$(find "$WORK/service" -path '*/curlrun/*' -name '*.jpg' | wc -l)"

echo
printf '%-58s %8s\n' "$COUNT photos, $SENT files, $((BYTES / 1024)) KiB over the relay" "seconds"
printf '%-58s %8.2f\n' "  zerva-cli, first UploadFile to GetUploadedFiles" "$SENDING"
printf '%-58s %8.2f\n' "  zerva-cli, the whole run" "$WHOLE"
printf '%-58s %8.2f\n' "  curl, the same files one after the other ($POSTED stored)" "$CURL"
printf '%-58s %8.2f\n' "  the line alone (bytes at $RATE bit/s)" "$(awk -v b="$BYTES" -v r="$RATE" 'BEGIN { print b * 8 / r }')"
echo
awk -v z="$SENDING" -v c="$CURL" 'BEGIN {
  printf "zerva sending / curl %5.2f  (target at most 1.15)\n", z / c
  ok = z <= 1.15 * c
  print ok ? "slow-link: target met" : "slow-link: the target was missed"
  exit ok ? 0 : 1
}'
