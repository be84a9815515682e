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
