#!/usr/bin/env bash
# Whole uploads with zerva-cli to a local zerva-server (upload delay 0), side by side:
#   whole    `zerva-cli upload` of 20 noisy 6000 x 4000 photos, preparing in advance with one
#            thread (ZERVA_PREPARATION_THREADS=1) and on every core; target: every core takes at
#            most 0.65 of the time of one thread. Both runs hold the 3 s pause a session makes
#            before its first upload; the ratio without it is shown as well.
#   sending  the upload phase of a 100-photo album whose files are prepared (from the first
#            UploadFile to the check of the uploads, read from the -trace lines as they come),
#            beside a shell loop of `curl -F` posting the same files with the same fields to the
#            same server; target: at most 1.2 times the loop.
# Exit status 1 when a target is missed.
#
#   bench/upload-compare.sh   ZERVA_BENCH_BUILD (build/release), ZERVA_BENCH_COUNT (20),
#                             ZERVA_BENCH_ALBUM (100)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_lib.sh

command -v curl >/dev/null || { echo "upload-compare: needs curl (scripts/setup-bench-deps)" >&2; exit 1; }

BUILD="${ZERVA_BENCH_BUILD:-build/release}"
COUNT="${ZERVA_BENCH_COUNT:-20}"
ALBUM="${ZERVA_BENCH_ALBUM:-100}"

bench_build "$BUILD" zerva-cli zerva-server image_ops_bench
bench_work

echo "upload-compare: making $COUNT photos of 6000 x 4000"
"$BUILD/bin/image_ops_bench" --make-photos "$WORK/photos" "$COUNT" >/dev/null
PHOTOS=("$WORK"/photos/*.jpg)

"$BUILD/bin/zerva-server" --port 0 --data "$WORK/service" --seed-demo \
  --ready-file "$WORK/server.ready" >"$WORK/server.log" 2>&1 &
BENCH_PIDS+=($!)
PORT="$(bench_ready server)"
URL="http://127.0.0.1:$PORT/client14"
CLI="$(bench_install_cli "$BUILD" "$PORT")"
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
PASS="$(printf demo | md5sum | cut -d' ' -f1)"

# album NAME N: a folder of N photos, hard links to the made ones in turn.
album() {
  mkdir -p "$WORK/albums/$1"
  for i in $(seq 1 "$2"); do
    ln "${PHOTOS[$(((i - 1) % ${#PHOTOS[@]}))]}" "$(printf '%s/albums/%s/p%03d.jpg' "$WORK" "$1" "$i")"
  done
}

# upload NAME THREADS: the whole command; prints its seconds.
upload() {
  local start end
  start="$EPOCHREALTIME"
  ZERVA_PREPARATION_THREADS="$2" "$CLI" -usr demo -pwd demo upload "$WORK/albums/$1" --no \
    </dev/null >/dev/null 2>"$WORK/$1.err" || { echo "upload-compare: upload $1 failed:" >&2; cat "$WORK/$1.err" >&2; exit 1; }
  end="$EPOCHREALTIME"
  seconds_between "$start" "$end"
}

cat "${PHOTOS[@]}" >/dev/null  # the photos come from the page cache in every run
echo "upload-compare: whole uploads of $COUNT photos (load average $(cut -d' ' -f1-3 /proc/loadavg))"
ONE=0 ALL=0
for round in 1 2; do
  album "one$round" "$COUNT"
  album "all$round" "$COUNT"
  one="$(upload "one$round" 1)"
  all="$(upload "all$round" 0)"
  echo "  round $round: one preparation thread $one s, every core $all s"
  ONE="$(awk -v a="$ONE" -v b="$one" 'BEGIN { print a + b }')"
  ALL="$(awk -v a="$ALL" -v b="$all" 'BEGIN { print a + b }')"
done

echo "upload-compare: the upload phase of $ALBUM prepared photos"
album hundred "$ALBUM"
# Every trace line stamped as it arrives (perl reads the pipe without delay); the phase runs from
# the first file sent to the check of the uploads.
"$CLI" -usr demo -pwd demo -trace upload "$WORK/albums/hundred" --no </dev/null 2>&1 >/dev/null |
  perl -MTime::HiRes=time -ne '$| = 1; printf "%.6f %s", time, $_' >"$WORK/hundred.trace"
first="$(grep -m1 ' trace: (S) UploadFile: ' "$WORK/hundred.trace" | cut -d' ' -f1)"
check="$(grep -m1 ' trace: (S) GetUploadedFiles: ' "$WORK/hundred.trace" | cut -d' ' -f1)"
[ -n "$first" ] && [ -n "$check" ] || { echo "upload-compare: no upload in the trace"; tail "$WORK/hundred.trace"; exit 1; }
SENDING="$(seconds_between "$first" "$check")"
SENT="$(grep -c ' trace: (S) UploadFile: ' "$WORK/hundred.trace")"

# The same files, each with its item's photo XML as `setting`, posted by curl into an album of
# their own.
FILES="$(find "$WORK/service/files" -mindepth 2 -maxdepth 2 -type d -name hundred)"
photo_settings "$URL" "$PASS" hundred "$WORK/settings"
CURL_ID="$(curl_album "$URL" "$PASS" curlloop "curl loop")"
start="$EPOCHREALTIME"
for image in "$FILES"/images/*.jpg; do
  name="$(basename "$image")"
  for dir in images thumb; do
    curl -s -o /dev/null -F userName=demo -F userPass="$PASS" -F directory="curlloop/$dir" \
      -F albumID="$CURL_ID" -F "setting=<$WORK/settings/$name" -F "soubor=@$FILES/$dir/$name" \
      -F eof=1 "$URL/upload.php"
  done
done
end="$EPOCHREALTIME"
LOOP="$(seconds_between "$start" "$end")"
POSTED="$(find "$WORK/service/files" -path '*/curlloop/*' -name '*.jpg' | wc -l)"

echo
printf '%-58s %8s\n' "whole upload of $COUNT photos (two rounds)" "seconds"
printf '%-58s %8.2f\n' "  zerva-cli upload, one preparation thread" "$ONE"
printf '%-58s %8.2f\n' "  zerva-cli upload, every core ($(nproc))" "$ALL"
printf '%-58s %8s\n' "upload phase of $ALBUM prepared photos ($SENT files)" ""
printf '%-58s %8.2f\n' "  zerva-cli, first UploadFile to GetUploadedFiles" "$SENDING"
printf '%-58s %8.2f\n' "  shell loop of curl -F ($POSTED files)" "$LOOP"
echo
awk -v one="$ONE" -v all="$ALL" -v z="$SENDING" -v c="$LOOP" 'BEGIN {
  ok = 1
  printf "every core / one thread   %5.2f  (target at most 0.65)\n", all / one; if (all > 0.65 * one) ok = 0
  printf "  without the 3 s pauses  %5.2f\n", (all - 6) / (one - 6)
  printf "zerva sending / curl loop %5.2f  (target at most 1.20)\n", z / c; if (z > 1.2 * c) ok = 0
  print ok ? "upload-compare: every target met" : "upload-compare: a target was missed"
  exit ok ? 0 : 1
}'
