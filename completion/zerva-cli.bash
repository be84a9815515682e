# bash completion for zerva-cli: verbs, switches and options (those of the verb typed), sort keys,
# folders for upload and prepare, and the identifiers of your albums for delete, send, open and
# banners. Album identifiers are asked of the service only when zerva-cli can sign in: -usr and
# -pwd on the line, or a login remembered with `zerva-cli login --remember`.
# Needs nothing but bash (the bash-completion package is not required).

_zerva_cli_verbs="login logout albums delete send open banners upload prepare"
_zerva_cli_switches="-usr -pwd -lbl -lst -end -trace -noreg -unins -delay:"
_zerva_cli_sort_keys="name created modified count size from to"
_zerva_cli_web_orders="createDate viewCount albumName date lastComment"
# Album identifiers already fetched: for this sign-in, kept for a minute.
_zerva_cli_album_key=""
_zerva_cli_album_time=0
_zerva_cli_album_ids=""

# The long options that go with `verb` (empty: no verb yet, an unattended upload).
_zerva_cli_options() {
  local common="--yes --no --help --version"
  case "$1" in
    login) echo "$common --remember" ;;
    albums) echo "$common --sort --asc --desc --web-order" ;;
    send) echo "$common --to --subject --message" ;;
    upload) echo "$common --name --category --field --agree --gps --convert-first" ;;
    prepare) echo "$common --out" ;;
    "") echo "$common --convert-first" ;;
    *) echo "$common" ;;
  esac
}

# Whether a login with a password digest is remembered in the settings file.
_zerva_cli_remembered() {
  local conf="${XDG_CONFIG_HOME:-$HOME/.config}/zerva/zerva.conf"
  [[ "${XDG_CONFIG_HOME:-}" == /* ]] || conf="$HOME/.config/zerva/zerva.conf"
  [ -r "$conf" ] || return 1
  local line section="" name="" pass=""
  while IFS= read -r line || [ -n "$line" ]; do
    line="${line%$'\r'}"
    case "$line" in
      \[*\]) section="${line:1:${#line}-2}" ;;
      email=*) [ "$section" = setup ] && name="${line#email=}" ;;
      pass=*) [ "$section" = setup ] && pass="${line#pass=}" ;;
    esac
  done <"$conf"
  [ -n "$name" ] && [[ "$pass" =~ ^[0-9a-fA-F]{32}$ ]]
}

# The identifiers of the user's albums, one a line; nothing when zerva-cli cannot sign in.
# $1: the program as typed; $2, $3: the -usr and -pwd values from the line (may be empty).
_zerva_cli_album_ids() {
  local program="$1" user="$2" password="$3"
  local -a credentials=()
  if [ -n "$user" ] && [ -n "$password" ]; then
    credentials=(-usr "$user" -pwd "$password")
  elif ! _zerva_cli_remembered; then
    return 0
  fi
  local key="$program|$user|$password"
  if [ "$key" = "$_zerva_cli_album_key" ] && ((SECONDS - _zerva_cli_album_time < 60)); then
    printf '%s' "$_zerva_cli_album_ids"
    return 0
  fi
  # --no: a question (an update, a server message) gets the declining answer, never a prompt.
  _zerva_cli_album_ids="$(timeout 20 "$program" "${credentials[@]}" albums --no \
    </dev/null 2>/dev/null | cut -f1 | grep -E '^[0-9]+$')"
  _zerva_cli_album_key="$key"
  _zerva_cli_album_time=$SECONDS
  printf '%s' "$_zerva_cli_album_ids"
}

# Quotes that the user typed around a value, taken off (no expansion is ever run).
_zerva_cli_unquoted() {
  local text="$1"
  if [[ "$text" == \'*\' || "$text" == \"*\" ]] && [ ${#text} -ge 2 ]; then
    text="${text:1:${#text}-2}"
  fi
  printf '%s' "$text"
}

_zerva_cli() {
  # bash splits "--sort=name" and "date:asc" at those of "=", ":" and "@" that COMP_WORDBREAKS
  # holds; put such words together again.
  local breaks="" c
  for c in = : @; do
    [[ "${COMP_WORDBREAKS-}" == *"$c"* ]] && breaks+="$c"
  done
  local -a words=()
  local i n=0 cword=0 joining=0
  for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
    local word="${COMP_WORDS[i]}"
    if ((i > 0)) && [ -n "$breaks" ] && [[ "$word" =~ ^[$breaks]+$ ]]; then
      words[n - 1]+="$word"
      joining=1
    elif ((joining)); then
      words[n - 1]+="$word"
      joining=0
    else
      words[n]="$word"
      n=$((n + 1))
    fi
    ((i == COMP_CWORD)) && cword=$((n - 1))
  done
  local cur="${words[cword]}"

  local verb="" user="" password="" pending="" operands=0
  for ((i = 1; i < cword; i++)); do
    local word="${words[i]}"
    if [ -n "$pending" ]; then
      case "$pending" in
        -usr) user="$(_zerva_cli_unquoted "$word")" ;;
        -pwd) password="$(_zerva_cli_unquoted "$word")" ;;
      esac
      pending=""
      continue
    fi
    case "$word" in
      -usr | --usr | -pwd | --pwd) pending="-${word##*-}" ;;
      -lbl | --lbl | -lst | --lst) pending="$word" ;;
      --sort | --web-order | --to | --subject | --message | --name | --category | --field | \
        --gps | --out)
        pending="$word" ;;
      -*) ;;
      *)
        if [ -z "$verb" ] && [[ " $_zerva_cli_verbs " == *" $word "* ]]; then
          verb="$word"
        else
          operands=$((operands + 1))
        fi
        ;;
    esac
  done

  local -a replies=()
  local prev=""
  ((cword > 0)) && prev="${words[cword - 1]}"
  # The value of an option written as --option=value.
  if [[ "$cur" == --*=* ]]; then
    prev="${cur%%=*}"
    cur="${cur#*=}"
    pending="$prev"
  fi
  case "$pending" in
    --sort)
      mapfile -t replies < <(compgen -W "$_zerva_cli_sort_keys" -- "$cur")
      ;;
    --web-order)
      local orders="$_zerva_cli_web_orders" key
      if [[ "$cur" == *:* ]]; then
        orders=""
        for key in $_zerva_cli_web_orders; do orders+=" $key:asc $key:desc"; done
      fi
      mapfile -t replies < <(compgen -W "$orders" -- "$cur")
      ;;
    --out)
      compopt -o filenames 2>/dev/null || true
      mapfile -t replies < <(compgen -d -- "$cur")
      ;;
    -lst | --lst)
      compopt -o filenames 2>/dev/null || true
      mapfile -t replies < <(compgen -d -- "$cur"; compgen -f -X '!*.lst' -- "$cur")
      ;;
    "") ;;
    *)
      # A value of the user's own: a name, a password, an address.
      COMPREPLY=()
      return 0
      ;;
  esac

  if [ -z "$pending" ]; then
    if [[ "$cur" == --* ]]; then
      mapfile -t replies < <(compgen -W "$(_zerva_cli_options "$verb")" -- "$cur")
    elif [[ "$cur" == -* ]]; then
      mapfile -t replies < <(compgen -W "$_zerva_cli_switches $(_zerva_cli_options "$verb")" \
        -- "$cur")
    else
      case "$verb" in
        delete | send | open | banners)
          if ((operands == 0)); then
            mapfile -t replies < <(compgen -W "$(_zerva_cli_album_ids "${words[0]}" "$user" \
              "$password")" -- "$cur")
          fi
          ;;
        upload)
          if ((operands == 0)); then
            compopt -o filenames 2>/dev/null || true
            mapfile -t replies < <(compgen -d -- "$cur")
          fi
          ;;
        prepare)
          compopt -o filenames 2>/dev/null || true
          mapfile -t replies < <(compgen -f -- "$cur")
          ;;
        "")
          # A verb, or the files of an unattended upload.
          compopt -o filenames 2>/dev/null || true
          mapfile -t replies < <(compgen -W "$_zerva_cli_verbs" -- "$cur"; compgen -f -- "$cur")
          ;;
      esac
    fi
  fi

  # bash replaces only the part of the word after its last break ("=", ":" or "@").
  local typed="${words[cword]}"
  if [[ "$typed" == --*=* && "$cur" != "$typed" ]]; then
    replies=("${replies[@]/#/${typed%%=*}=}")
  fi
  if [ -n "$breaks" ] && [[ "$typed" == *[$breaks]* ]]; then
    local head="${typed%[$breaks]*}"
    head="${typed:0:${#head}+1}"
    replies=("${replies[@]#"$head"}")
  fi
  COMPREPLY=("${replies[@]}")
  return 0
}

complete -F _zerva_cli zerva-cli
