#!/usr/bin/env bash
# Validates the launcher and the software-centre description as a distribution's tools would:
# validate_desktop_files.sh DESKTOP_ENTRY METAINFO SHOTS_SOURCE_DIR PAGE... Any remark but a
# pedantic hint fails. The description's pictures must be exactly the PAGEs that the install
# copies (en/PAGE and cs/PAGE), and each must be a page the screenshot program (in
# SHOTS_SOURCE_DIR) really takes.
set -euo pipefail

ENTRY="$1"
METAINFO="$2"
SHOTS_SOURCE="$3"
shift 3
PAGES=("$@")
failed=0

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "validate_desktop_files: $tool is missing (scripts/setup-deps installs it)" >&2
    exit 1
  fi
done

# desktop-file-validate ends with 0 on warnings and hints; they count here too.
report="$(desktop-file-validate "$ENTRY" 2>&1)" || failed=1
if [ -n "$report" ]; then
  echo "$report" >&2
  failed=1
fi

if ! appstreamcli validate --no-net --strict --explain "$METAINFO" >&2; then
  failed=1
fi

# A placeholder left unconfigured would still be well-formed XML.
if grep -n '@[A-Z_]*@' "$METAINFO" >&2; then
  echo "validate_desktop_files: $METAINFO holds placeholders that were not configured" >&2
  failed=1
fi

named="$(grep -o '/[a-z]*/[a-z-]*\.png</image>' "$METAINFO" | sed 's|^/||; s|\.png</image>$||' |
  sort)"
wanted="$(for page in "${PAGES[@]}"; do echo "en/$page"; echo "cs/$page"; done | sort)"
if [ "$named" != "$wanted" ]; then
  echo "validate_desktop_files: the description shows [$(echo $named)]," \
    "the install copies [$(echo $wanted)]" >&2
  failed=1
fi
for page in "${PAGES[@]}"; do
  if ! grep -rqF "\"$page\")" "$SHOTS_SOURCE"; then
    echo "validate_desktop_files: no screenshot named $page is taken in $SHOTS_SOURCE" >&2
    failed=1
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "validate_desktop_files: FAILED" >&2
  exit 1
fi
echo "validate_desktop_files: $ENTRY and $METAINFO are clean"
