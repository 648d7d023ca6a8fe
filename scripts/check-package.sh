#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian reports no error, the desktop entry and the AppStream
# metainfo validate, the unpacked tessaline-cli prints the sample marker on the virtual plotter in the
# per-user layout of a scratch HOME and serves a task folder as the headless queue, and apt resolves
# the package's dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
deb="$(scripts/package.sh | tail -n 1)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }
step() { echo "check-package: $*"; }

step "lintian $deb"
status=0
lintian --fail-on error --display-info "$deb" >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v '^running with root privileges' "$scratch/lintian.txt" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"

root="$scratch/root"
dpkg -x "$deb" "$root"
step "desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/org.tessaline.Tessaline.desktop"
step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.tessaline.Tessaline.metainfo.xml"

# The unpacked program as an installed one: no config.ini beside it, a fresh HOME.
home="$scratch/home"
mkdir -p "$home"
cli="$root/usr/bin/tessaline-cli"
run() { exec env -u TESSALINE_CONFIG -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$home" "$cli" "$@"; }
config="$home/.config/tessaline/config.ini"
log="$home/.local/state/tessaline/logfile.txt"

step "first start: tessaline-cli print samples/marker.plt --virtual"
(run print samples/marker.plt --virtual --fast) 2>"$scratch/print1.txt" || { cat "$scratch/print1.txt"; fail "print failed"; }
[ -f "$config" ] || fail "no config.ini at $config"
grep -q "^WORKPATH=$home/Tessaline/tasks$" "$config" || fail "config.ini does not name ~/Tessaline/tasks"
[ -f "$log" ] || fail "no log at $log"
grep -q "per-user layout, first start" "$log" || fail "the log does not say where everything is"
[ -d "$home/Tessaline/tasks" ] || fail "no task folder ~/Tessaline/tasks"
[ -f "$home/Tessaline/pages/job-0001.png" ] || fail "no page in ~/Tessaline/pages"
[ "$(ls -A "$root/usr/bin" | wc -l)" -eq 2 ] || fail "files were written beside the program"

step "the user's config.ini chooses the virtual plotter"
printf '[LINK]\nDEVICE=VIRTUAL\n' >>"$config"
(run print samples/marker.plt --fast) 2>"$scratch/print2.txt" || { cat "$scratch/print2.txt"; fail "print failed"; }
[ -f "$home/Tessaline/pages/job-0002.png" ] || fail "no second page"

step "the headless queue serves ~/Tessaline/tasks with automatic printing"
sed -i -e 's/^PRINTAUTO=0/PRINTAUTO=1/' -e 's/^JetPrintHeadOpenStatus0=0/JetPrintHeadOpenStatus0=1/' "$config"
cp samples/marker.plt "$home/Tessaline/tasks/marker-1.plt"
cp samples/marker.plt "$home/Tessaline/tasks/marker-2.plt"
(run queue --fast) >"$scratch/queue.txt" 2>&1 &
queue=$!
for _ in $(seq 600); do
  [ "$(grep -c '^finished ' "$scratch/queue.txt" || true)" -ge 2 ] && break
  kill -0 "$queue" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$queue" 2>/dev/null || true
status=0
wait "$queue" || status=$?
cat "$scratch/queue.txt"
[ "$status" -eq 0 ] || fail "the queue ended with status $status"
[ "$(grep -c '^finished ' "$scratch/queue.txt")" -eq 2 ] || fail "the queue did not print both files"
! ls "$home"/Tessaline/tasks/*.plt >/dev/null 2>&1 || fail "printed files were left in the task folder"

step "apt-get install --simulate"
if ! ls /var/lib/apt/lists/*_Packages >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
  apt-get update -q >/dev/null
fi
apt-get install --simulate -q "./$deb" >"$scratch/apt.txt" || { cat "$scratch/apt.txt"; fail "apt cannot install the package"; }
grep -E '^Inst tessaline ' "$scratch/apt.txt" || fail "apt does not install the package"
step "all checks passed"
