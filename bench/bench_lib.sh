# Pieces the whole-program benchmarks share; sourced by them, not run.

# seconds_between START END: seconds between two $EPOCHREALTIME readings, with two decimals.
seconds_between() { awk -v s="$1" -v e="$2" 'BEGIN { printf "%.2f", e - s }'; }

# photo_settings URL PASS ALBUM FOLDER: writes the photo XML of each item of the demo account's
# album named ALBUM to FOLDER/<its file name>, for curl to send as `setting`.
photo_settings() {
  local url="$1" pass="$2" album="$3" folder="$4" id
  id="$(curl -s -F command=GetAlbums -F userName=demo -F userPass="$pass" -F userID=0 -F eof=1 \
    "$url/command.php" | grep -o "<albumID>[0-9]*</albumID><name>$album<" | grep -o '[0-9]*' |
    head -1)"
  mkdir -p "$folder"
  curl -s -F command=GetAlbumPhotos -F userName=demo -F userPass="$pass" -F userID=0 \
    -F albumID="$id" -F eof=1 "$url/command.php" | grep -o '<photo>.*</photo>' |
    while IFS= read -r photo; do
      name="$(printf '%s' "$photo" | grep -o '<fileName>[^<]*' | cut -d'>' -f2)"
      printf '<photo>%s' "${photo#<photo>}" >"$folder/$name"
    done
}

# curl_album URL PASS SERVER_DIR NAME: makes an album of the demo account for curl's uploads and
# prints its identifier.
curl_album() {
  local url="$1" pass="$2" dir="$3" name="$4"
  curl -s -F command=CreateAlbum -F userName=demo -F userPass="$pass" -F serverDir="$dir" \
    --form-string "albumSetting=<album><name>$name</name><photos></photos></album>" -F eof=1 \
    "$url/command.php" | grep -o '<value>[0-9]*' | cut -d'>' -f2
}

# bench_build BUILD TARGET...: builds the targets in BUILD, configured with the release preset when
# it is new.
bench_build() {
  local build="$1"
  shift
  [ -d "$build" ] || cmake --preset release -B "$build" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target "$@" >/dev/null
}

# bench_work: a scratch folder in WORK, removed at exit after every process in BENCH_PIDS stopped.
BENCH_PIDS=()
bench_work() {
  WORK="$(mktemp -d)"
  trap bench_cleanup EXIT
}
bench_cleanup() {
  local pid
  for pid in "${BENCH_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$WORK"
}

# bench_ready NAME: waits for WORK/NAME.ready of a program started with
# --ready-file "$WORK/NAME.ready" and logging to WORK/NAME.log, and prints the port in it.
bench_ready() {
  for _ in $(seq 1 100); do [ -s "$WORK/$1.ready" ] && break; sleep 0.1; done
  [ -s "$WORK/$1.ready" ] || { echo "$1 did not start:" >&2; cat "$WORK/$1.log" >&2; exit 1; }
  tr -dc 0-9 <"$WORK/$1.ready"
}

# bench_install_cli BUILD PORT: zerva-cli as installed in WORK/inst, its language files beside
# it and the ini file pointing at the service on PORT; prints the program's path.
bench_install_cli() {
  mkdir -p "$WORK/inst"
  cp "$1/bin/zerva-cli" "$1"/bin/zerva-*.lng "$WORK/inst/"
  echo "Domain=127.0.0.1:$2/" >"$WORK/inst/zerva_proxy_setting.ini"
  echo "$WORK/inst/zerva-cli"
}

# The side-by-side comparisons: each declares `declare -A WALL PEAK`, lists TOOLS and PHOTOS,
# sets TIME (GNU time) and defines `run TOOL PHOTO`, which calls bench_measure once.

# bench_measure SCRIPT TOOL COMMAND...: runs the command under GNU time, adds its wall time to
# WALL[TOOL] and keeps its largest resident size (KiB) in PEAK[TOOL]; a failure ends the script
# with the command's errors.
bench_measure() {
  local script="$1" tool="$2" start end kb
  shift 2
  start="$(date +%s.%N)"
  if ! "$TIME" -f "%M" -o "$WORK/rss" "$@" >/dev/null 2>"$WORK/err"; then
    echo "$script: $tool failed: $*"
    cat "$WORK/err"
    exit 1
  fi
  end="$(date +%s.%N)"
  WALL[$tool]="$(awk -v a="${WALL[$tool]:-0}" -v s="$start" -v e="$end" 'BEGIN { print a + e - s }')"
  kb="$(tail -1 "$WORK/rss")"
  if [ "$kb" -gt "${PEAK[$tool]:-0}" ]; then PEAK[$tool]="$kb"; fi
}

# bench_take_turns SCRIPT: every tool once on the first photo to warm up, then the tools taking
# turns photo by photo, so that a change of the machine's load falls on all of them alike.
bench_take_turns() {
  local tool photo
  echo "$1: warming up"
  for tool in "${TOOLS[@]}"; do run "$tool" "${PHOTOS[0]}"; done
  WALL=() PEAK=()
  echo "$1: timing (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  for photo in "${PHOTOS[@]}"; do
    for tool in "${TOOLS[@]}"; do run "$tool" "$photo"; done
  done
}
