#!/usr/bin/env bash
# Fails when a text of the desktop program lacks a translation. lupdate reads the texts of src/shell,
# src/config and src/preview into a copy of each translations/tessaline_<lang>.ts (a new text comes in
# unfinished); lrelease must then report every text finished, and each translation must keep the
# placeholders (%1, %n) of its source.
#   scripts/check-translations.sh [lupdate] [lrelease]
set -euo pipefail
LUPDATE="${1:-/usr/lib/qt6/bin/lupdate}"
LRELEASE="${2:-/usr/lib/qt6/bin/lrelease}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# One line per message whose translation lacks a placeholder of its source, or has one the source lacks.
placeholders() {
  awk 'BEGIN { RS = "</message>" }
    function marks(s,   out, d, i) {
      out = ""
      for (i = 0; i <= 9; i++) { d = (i == 0) ? "n" : i; if (index(s, "%" d)) out = out "%" d }
      return out
    }
    match($0, /<source>[^<]*<\/source>/) {
      src = substr($0, RSTART + 8, RLENGTH - 17)
      rest = substr($0, RSTART + RLENGTH)
      want = marks(src)
      while (match(rest, /<(translation|numerusform)[^>]*>[^<]+<\//)) {
        text = substr(rest, RSTART, RLENGTH)
        rest = substr(rest, RSTART + RLENGTH)
        sub(/^<[^>]*>/, "", text)
        if (marks(text) != want)
          printf "  placeholders differ: \"%s\" -> \"%s\"\n", src, substr(text, 1, length(text) - 2)
      }
    }' "$1"
}

status=0
for lang in zh_CN pt_BR en; do
  ts="$ROOT/translations/tessaline_$lang.ts"
  if [ ! -f "$ts" ]; then
    echo "$lang: $ts is missing"
    status=1
    continue
  fi
  work="$TMP/tessaline_$lang.ts"
  cp "$ts" "$work"
  # -silent keeps lupdate quiet but for its warnings (a tr() whose context it cannot resolve, ...).
  warnings="$(cd "$ROOT" && "$LUPDATE" -silent -I src -locations none -no-obsolete src/shell src/config src/preview \
              -ts "$work" 2>&1)"
  if [ -n "$warnings" ]; then
    echo "$lang: lupdate warns:"
    echo "$warnings"
    status=1
  fi
  report="$("$LRELEASE" "$work" -qm "$TMP/$lang.qm" 2>&1)"
  if ! grep -q " 0 unfinished)" <<<"$report" || grep -q "untranslated" <<<"$report"; then
    echo "$lang: texts without a translation (run the target update_translations, then translate them):"
    echo "$report"
    grep -B2 'type="unfinished"' "$work" | grep -o '<source>.*' | sed 's/^/  /' || true
    status=1
  fi
  mismatches="$(placeholders "$work")"
  if [ -n "$mismatches" ]; then
    echo "$lang:"
    echo "$mismatches"
    status=1
  fi
done
[ $status -eq 0 ] && echo "translations complete: zh_CN, pt_BR, en"
exit $status
