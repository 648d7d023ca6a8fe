#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own (or beside it, for the virtual
# plotter, which must not share the workstation's protocol code). Run by CTest as "layers".
set -euo pipefail
cd "$(dirname "$0")/.."

# Each layer and the folders it may include besides itself.
declare -A ALLOWED=(
  [platform]=""
  [settings]="platform"
  [plot]="platform settings"
  [printdata]="platform settings plot"
  [document]="platform settings plot printdata"
  [link]="platform settings plot printdata document"
  [queue]="platform settings plot printdata document link"
  [sim]="platform settings"
  [app]="platform settings plot printdata document link queue sim"
)

status=0
for layer in "${!ALLOWED[@]}"; do
  for file in src/"$layer"/*.h src/"$layer"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS= read -r folder; do
      [ "$folder" = "$layer" ] && continue
      case " ${ALLOWED[$layer]} " in
        *" $folder "*) ;;
        *) echo "$file includes $folder/, which $layer must not use"; status=1 ;;
      esac
    done < <(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' "$file" | sort -u)
  done
done
# Qt stays in the desktop program.
if grep -lE '#include <Q' src/{platform,settings,plot,printdata,document,link,queue,sim,app}/* 2>/dev/null; then
  echo "the files above include Qt, which only the desktop program may use"
  status=1
fi
exit $status
