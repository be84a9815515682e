#!/usr/bin/env bash
# HEIC preparation side by side, on 12-megapixel HEICs that heif-enc makes from generated
# 4000 x 3000 JPEGs (quality 90):
#   zerva     heic_prepare_bench --prepare: the HD image at full size, the 1200 px image and the
#             100 px thumbnail of an HD photo, as an upload prepares it (qualities 85)
#   reference heif-convert to a full-size JPEG, then vipsthumbnail -s 1200 on it (quality 85)
# The two take turns photo by photo. Prints the wall time per photo and the peak memory (GNU
# time), and checks the targets: zerva at most 1.5 times the reference, its peak memory under
# 150 MiB (exit status 1 when one is missed).
#
#   bench/heic-prepare.sh        ZERVA_BENCH_BUILD (build/release), ZERVA_BENCH_COUNT (5)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_lib.sh

BUILD="${ZERVA_BENCH_BUILD:-build/release}"
COUNT="${ZERVA_BENCH_COUNT:-5}"

scripts/setup-bench-deps >/dev/null
bench_build "$BUILD" heic_prepare_bench
BENCH="$BUILD/bin/heic_prepare_bench"

# Debian's binaries by their full names, so that no wrapper of the same name on PATH is timed.
HEIF_ENC=/usr/bin/heif-enc
HEIF_CONVERT=/usr/bin/heif-convert
VIPS=/usr/bin/vipsthumbnail
TIME=/usr/bin/time

bench_work
mkdir -p "$WORK/photos" "$WORK/zerva" "$WORK/reference"

echo "heic-prepare: making $COUNT HEICs of 4000 x 3000"
for i in $(seq 1 "$COUNT"); do
  "$BENCH" --make-jpeg "$WORK/photos/photo$i.jpg" "$i"
  "$HEIF_ENC" -q 90 -o "$WORK/photos/photo$i.heic" "$WORK/photos/photo$i.jpg" >/dev/null
  rm "$WORK/photos/photo$i.jpg"
done
ls -l "$WORK"/photos/*.heic | awk '{ s += $5 } END { printf "  %d files, %.1f MB on average\n", NR, s / NR / 1e6 }'
PHOTOS=("$WORK"/photos/*.heic)

declare -A WALL PEAK
TOOLS=(zerva reference)

# run TOOL PHOTO: one tool on one photo; the peak is that of the largest process the tool ran.
run() {
  local base
  base="$(basename "$2" .heic)"
  case "$1" in
    zerva) bench_measure heic-prepare zerva "$BENCH" --prepare "$WORK/zerva" "$2" ;;
    reference)
      bench_measure heic-prepare reference sh -c "'$HEIF_CONVERT' -q 90 '$2' '$WORK/reference/$base.jpg' >/dev/null &&
        '$VIPS' -s 1200 -o '$WORK/reference/small_%s.jpg[Q=85]' '$WORK/reference/$base.jpg'" ;;
  esac
}
bench_take_turns heic-prepare

size() { echo "$(vipsheader -f width "$1")x$(vipsheader -f height "$1")"; }
first="$(basename "${PHOTOS[0]}" .heic)"
echo "  outputs of $first: zerva HD $(size "$WORK/zerva/hdimages/$first.jpg")," \
  "image $(size "$WORK/zerva/images/$first.jpg"), thumbnail $(size "$WORK/zerva/thumb/$first.jpg");" \
  "reference $(size "$WORK/reference/$first.jpg"), image $(size "$WORK/reference/small_$first.jpg")"

printf '\n%-52s %10s %10s\n' "tool (${#PHOTOS[@]} photos)" "s/photo" "peak MiB"
declare -A LABEL=([zerva]="zerva: heic_prepare_bench --prepare (HD+image+thumb)"
                  [reference]="heif-convert + vipsthumbnail -s 1200")
for tool in "${TOOLS[@]}"; do
  awk -v l="${LABEL[$tool]}" -v w="${WALL[$tool]}" -v n="${#PHOTOS[@]}" -v k="${PEAK[$tool]}" \
    'BEGIN { printf "%-52s %10.3f %10.1f\n", l, w / n, k / 1024 }'
done
echo
ok=0
awk -v z="${WALL[zerva]}" -v r="${WALL[reference]}" -v k="${PEAK[zerva]}" 'BEGIN {
  ok = 1
  printf "zerva / reference   %5.2f  (target at most 1.50)\n", z / r; if (z > 1.5 * r) ok = 0
  printf "zerva peak memory   %5.1f MiB (target under 150)\n", k / 1024; if (k >= 150 * 1024) ok = 0
  exit ok ? 0 : 1
}' || ok=1

if [ "$ok" -eq 0 ]; then echo "heic-prepare: every target met"; else echo "heic-prepare: a target was missed"; fi
exit "$ok"
