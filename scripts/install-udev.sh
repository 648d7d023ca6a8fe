#!/usr/bin/env bash
# Installs the udev rule that lets the logged-in user open the plotter without root.
#   scripts/install-udev.sh [VENDORID PRODUCTID]
# The ids are hexadecimal as lsusb shows them (04cc 1b49 by default, the [LINK] defaults).
# RULES_DIR chooses another target folder (default /etc/udev/rules.d).
set -euo pipefail
cd "$(dirname "$0")/.."

RULE=packaging/udev/70-tessaline-plotter.rules
RULES_DIR="${RULES_DIR:-/etc/udev/rules.d}"

normalise() {
  local id="${1#0x}"
  id="${id#0X}"
  id="$(printf '%s' "$id" | tr 'A-F' 'a-f')"
  if [[ ! "$id" =~ ^[0-9a-f]{4}$ ]]; then
    echo "install-udev: '$1' is no USB id (four hexadecimal digits, e.g. 04cc)" >&2
    exit 2
  fi
  printf '%s' "$id"
}

vid="$(normalise "${1:-04cc}")"
pid="$(normalise "${2:-1b49}")"

SUDO=""
[ "$(id -u)" -ne 0 ] && [ ! -w "$RULES_DIR" ] && SUDO="sudo"
$SUDO mkdir -p "$RULES_DIR"
sed -e "s/ATTR{idVendor}==\"[0-9a-f]*\"/ATTR{idVendor}==\"$vid\"/" \
    -e "s/ATTR{idProduct}==\"[0-9a-f]*\"/ATTR{idProduct}==\"$pid\"/" "$RULE" |
  $SUDO tee "$RULES_DIR/$(basename "$RULE")" >/dev/null
echo "Installed $RULES_DIR/$(basename "$RULE") for $vid:$pid"

if command -v udevadm >/dev/null 2>&1 && [ "$RULES_DIR" = /etc/udev/rules.d ]; then
  $SUDO udevadm control --reload-rules
  $SUDO udevadm trigger --subsystem-match=usb --attr-match=idVendor="$vid" || true
  echo "Rules reloaded; unplug and plug in the plotter if it was attached"
else
  echo "Reload udev (udevadm control --reload-rules) or reboot for the rule to take effect"
fi
