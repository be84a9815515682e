#!/usr/bin/env bash
# Photo preparation side by side, on the same noisy 6000 x 4000 JPEGs of 9 to 12 MB:
#   zerva     image_ops_bench --prepare: a 1200 px image of quality 85 plus a 100 px thumbnail
#   item      item_prepare_bench --prepare: the same through the preparation job's own code path
#             (album item, EXIF, rotation code, sizes recorded), as `zerva-cli prepare` runs it
#   vips      vipsthumbnail -s 1200, the image alone (quality 85)
#   convert   ImageMagick convert -resize 1200x1200 -quality 85
# Each tool runs once per photo, the three taking turns photo by photo. Prints the wall time per
# photo and the peak memory (GNU time), and checks the targets of both zerva rows: at most 1.5
# times vips, at most half of convert, peak memory under 150 MiB (exit status 1 when one is
# missed). Then the advance preparation of all photos into the prepared-file cache, on one
# thread and on every core.
#
#   bench/prepare-compare.sh        ZERVA_BENCH_BUILD (build/release), ZERVA_BENCH_COUNT (20)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/bench_lib.sh

BUILD="${ZERVA_BENCH_BUILD:-build/release}"
COUNT="${ZERVA_BENCH_COUNT:-20}"

scripts/setup-bench-deps >/dev/null
bench_build "$BUILD" image_ops_bench item_prepare_bench
BENCH="$BUILD/bin/image_ops_bench"
ITEM="$BUILD/bin/item_prepare_bench"

# Debian's binaries by their full names, so that no wrapper of the same name on PATH is timed.
VIPS=/usr/bin/vipsthumbnail
CONVERT=/usr/bin/convert-im6.q16
[ -x "$CONVERT" ] || CONVERT=/usr/bin/convert
TIME=/usr/bin/time

bench_work
mkdir -p "$WORK/zerva" "$WORK/item" "$WORK/vips" "$WORK/convert"

echo "prepare-compare: making $COUNT photos of 6000 x 4000"
"$BENCH" --make-photos "$WORK/photos" "$COUNT" >"$WORK/made"
awk '{ if (min == "" || $2 < min) min = $2; if ($2 > max) max = $2 }
     END { printf "  %d files, %.1f to %.1f MB\n", NR, min, max }' "$WORK/made"
PHOTOS=("$WORK"/photos/*.jpg)

declare -A WALL PEAK
TOOLS=(zerva item vips convert)

# run TOOL PHOTO: one tool on one photo.
run() {
  local base
  base="$(basename "$2" .jpg)"
  case "$1" in
    zerva) bench_measure prepare-compare zerva "$BENCH" --prepare "$WORK/zerva" "$2" ;;
    item) bench_measure prepare-compare item "$ITEM" --prepare "$WORK/item" "$2" ;;
    vips) bench_measure prepare-compare vips "$VIPS" -s 1200 -o "$WORK/vips/%s.jpg[Q=85]" "$2" ;;
    convert)
      bench_measure prepare-compare convert "$CONVERT" "$2" -resize 1200x1200 -quality 85 \
        "$WORK/convert/$base.jpg" ;;
  esac
}
bench_take_turns prepare-compare

first="$(basename "${PHOTOS[0]}")"
echo "  outputs of $first: zerva $(vipsheader -f width "$WORK/zerva/$first")x$(vipsheader -f height "$WORK/zerva/$first")" \
  "+ thumbnail $(vipsheader -f width "$WORK/zerva/thumb_$first")x$(vipsheader -f height "$WORK/zerva/thumb_$first")," \
  "item $(vipsheader -f width "$WORK/item/images/$first")x$(vipsheader -f height "$WORK/item/images/$first")" \
  "+ thumbnail $(vipsheader -f width "$WORK/item/thumb/$first")x$(vipsheader -f height "$WORK/item/thumb/$first")," \
  "vips $(vipsheader -f width "$WORK/vips/$first")x$(vipsheader -f height "$WORK/vips/$first")," \
  "convert $(vipsheader -f width "$WORK/convert/$first")x$(vipsheader -f height "$WORK/convert/$first")"

printf '\n%-44s %10s %10s\n' "tool (${#PHOTOS[@]} photos)" "s/photo" "peak MiB"
declare -A LABEL=([zerva]="zerva: image_ops_bench --prepare (+thumb)"
                  [item]="zerva: item_prepare_bench --prepare (+thumb)"
                  [vips]="vipsthumbnail -s 1200" [convert]="convert -resize 1200x1200 -quality 85")
for tool in "${TOOLS[@]}"; do
  awk -v l="${LABEL[$tool]}" -v w="${WALL[$tool]}" -v n="${#PHOTOS[@]}" -v k="${PEAK[$tool]}" \
    'BEGIN { printf "%-44s %10.3f %10.1f\n", l, w / n, k / 1024 }'
done
echo
ok=0
for tool in zerva item; do
  awk -v n="$tool" -v z="${WALL[$tool]}" -v v="${WALL[vips]}" -v c="${WALL[convert]}" -v k="${PEAK[$tool]}" 'BEGIN {
    ok = 1
    printf "%-5s / vipsthumbnail  %5.2f  (target at most 1.50)\n", n, z / v; if (z > 1.5 * v) ok = 0
    printf "%-5s / convert        %5.2f  (target at most 0.50)\n", n, z / c; if (z > 0.5 * c) ok = 0
    printf "%-5s peak memory      %5.1f MiB (target under 150)\n", n, k / 1024; if (k >= 150 * 1024) ok = 0
    exit ok ? 0 : 1
  }' || ok=1
done

echo
echo "advance preparation of ${#PHOTOS[@]} photos into the prepared-file cache:"
rm -rf "$WORK/cache1" "$WORK/cacheN"
printf '  one thread:    '; "$ITEM" --advance 1 "$WORK/cache1" "${PHOTOS[@]}"
printf '  every core:    '; "$ITEM" --advance 0 "$WORK/cacheN" "${PHOTOS[@]}"

if [ "$ok" -eq 0 ]; then echo "prepare-compare: every target met"; else echo "prepare-compare: a target was missed"; fi
exit "$ok"
