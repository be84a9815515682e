#!/usr/bin/env bash
# The completion script of zerva-cli in a real bash: COMP_WORDS as bash splits a line, the
# function the script registers, and album identifiers from a zerva-server started here.
# Usage: completion_test.sh COMPLETION_SCRIPT BIN_DIR TMP_DIR
set -uo pipefail
export LC_ALL=C
SCRIPT="$(realpath "$1")"
BIN_DIR="$(realpath "$2")"
. "$(dirname "${BASH_SOURCE[0]}")/shell_test_lib.sh"
shell_test_work "${3:-/tmp}" completion

start_server --seed-demo || exit 1

# zerva-cli in a folder of its own, whose ini file names the server started above.
mkdir -p "$WORK/bin" "$WORK/home" "$WORK/here/photos" "$WORK/here/photo-lists" "$WORK/here/a@b" \
  "$WORK/here/photos@home"
for file in zerva-cli zerva-en-us.lng zerva-cs.lng; do
  ln "$BIN_DIR/$file" "$WORK/bin/$file" 2>/dev/null || cp "$BIN_DIR/$file" "$WORK/bin/$file"
done
printf 'Domain=127.0.0.1:%s/\n' "$PORT" >"$WORK/bin/zerva_proxy_setting.ini"
CLI="$WORK/bin/zerva-cli"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" XDG_CACHE_HOME="$WORK/home/cache"
touch "$WORK/here/photo.jpg" "$WORK/here/trip.lst"
cd "$WORK/here" || exit 1

# shellcheck source=/dev/null
source "$SCRIPT"
complete -p zerva-cli | grep -q -- "-F _zerva_cli zerva-cli" || fail "not registered: $(complete -p zerva-cli)"

# The replies, sorted, on one line, for the words of a line whose last word is being completed.
replies() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _zerva_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect() {
  local want="$1"
  shift
  local got
  got="$(replies "$@")"
  [ "$got" = "$want" ] || fail "[$*]: want '$want', got '$got'"
}

# Verbs, and the files of an unattended upload, where a verb may come.
expect "a@b albums banners delete login logout open photo-lists photo.jpg photos photos@home prepare send trip.lst upload" \
  zerva-cli ""
expect "login logout" zerva-cli lo
expect "albums" zerva-cli -trace al
# Switches and the options of the verb typed; an option of another verb is not offered.
expect "-lbl -lst" zerva-cli -l
expect "--sort" zerva-cli albums --so
expect "--remember" zerva-cli -usr demo login --re
expect "" zerva-cli upload --re
expect "--agree --category --convert-first --field --gps --help --name --no --version --yes" \
  zerva-cli upload --
expect "--convert-first" zerva-cli -lbl trip --con
expect "-delay:" zerva-cli -del
# Values: sort keys and web page orders, also after "=" and ":" where bash splits the word.
expect "count created" zerva-cli albums --sort c
expect "modified" zerva-cli albums --sort = m
expect "count created from modified name size to" zerva-cli albums --sort =
expect "createDate" zerva-cli albums --web-order cr
expect "asc desc" zerva-cli albums --web-order createDate :
expect "desc" zerva-cli albums --web-order = viewCount : d
# A folder with "@" in its name, which bash also splits at; and a bash told not to split at "=".
expect "b" zerva-cli upload a @
expect "home" zerva-cli upload photos @ h
saved_breaks="$COMP_WORDBREAKS"
COMP_WORDBREAKS=$' \t\n"\'><;|&(:'
expect "--sort=modified" zerva-cli albums --sort=m
expect "--web-order=date" zerva-cli albums --web-order=date
expect "asc desc" zerva-cli albums --web-order=date :
COMP_WORDBREAKS="$saved_breaks"
# Folders for upload and --out, files for prepare and -lst; nothing for the user's own values.
expect "photo-lists photos photos@home" zerva-cli upload ph
expect "photo-lists photos photos@home" zerva-cli prepare --out ph
expect "photo-lists photo.jpg photos photos@home" zerva-cli prepare --out out ph
expect "a@b photo-lists photos photos@home trip.lst" zerva-cli -lst ""
expect "" zerva-cli upload photos ""
expect "" zerva-cli -usr ""
expect "" zerva-cli -usr demo -pwd ""
expect "" zerva-cli send 1 --to ""

# The script knows every verb, switch and option that --help lists, and no other.
help="$("$CLI" --help)"
# The switches and options in the terms of a section's table ("  --subject TEXT, --message TEXT").
terms() {
  sed -n "/^$1:/,/^[A-Z]/p" <<<"$help" | sed -nE 's/^  ([-a-z].*)$/\1/p' | sed -E 's/  .*//'
}
words() {
  grep -oE -- '(^|[ ,])-+[a-z][a-z-]*:?' | sed -E 's/^[ ,]//' | sort -u | tr '\n' ' '
}
# "-h" is left to --help.
listed="$(terms Options | words | sed 's/-h //')"
offered="$(for verb in "" $_zerva_cli_verbs; do _zerva_cli_options "$verb"; done | tr ' ' '\n' |
  words)"
[ "$listed" = "$offered" ] || fail "options: --help lists '$listed', the script offers '$offered'"
[ "$(wc -w <<<"$listed")" -ge 15 ] || fail "too few options read from --help: $listed"
switches="$(terms Switches | words)"
mine="$(tr ' ' '\n' <<<"$_zerva_cli_switches" | words)"
[ "$switches" = "$mine" ] || fail "switches: --help lists '$switches', the script offers '$mine'"
verbs="$(terms Verbs | grep -oE '^[a-z]+' | sort | tr '\n' ' ')"
[ "$verbs" = "$(tr ' ' '\n' <<<"$_zerva_cli_verbs" | sort | tr '\n' ' ')" ] ||
  fail "verbs: --help lists '$verbs', the script offers '$_zerva_cli_verbs'"

# Album identifiers: none without a way to sign in; nothing is asked of the service then.
expect "" "$CLI" delete ""
[ -z "$(ls "$WORK/home/cache" 2>/dev/null)" ] || fail "zerva-cli ran without credentials"
ids="$("$CLI" -usr demo -pwd demo albums --no 2>/dev/null | cut -f1 | sort | tr '\n' ' ' | sed 's/ $//')"
[ -n "$ids" ] || fail "the demo account lists no albums"
expect "$ids" "$CLI" -usr demo -pwd demo delete ""
expect "$ids" "$CLI" --usr "'demo'" -pwd '"demo"' open ""
expect "" "$CLI" -usr demo -pwd wrong banners ""
expect "" "$CLI" -usr demo -pwd demo delete "${ids%% *}" ""
first="${ids%% *}"
expect "$(printf '%s\n' $ids | grep "^$first" | tr '\n' ' ' | sed 's/ $//')" \
  "$CLI" -usr demo -pwd demo send "$first"
# A remembered login is enough; after logout the identifiers are asked for no more.
"$CLI" -usr demo -pwd demo login --remember --no >/dev/null 2>&1 || fail "login --remember failed"
expect "$ids" "$CLI" banners ""
"$CLI" logout --no >/dev/null 2>&1 || fail "logout failed"
expect "" "$CLI" banners ""

[ "$failures" -eq 0 ] || exit 1
echo "ok"
