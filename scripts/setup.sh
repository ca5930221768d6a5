#!/bin/sh
# Installs the Debian packages listed in scripts/packages.txt that are not installed yet.
# Safe to run any number of times: with everything present it changes nothing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)

missing=""
for pkg in $(grep -v '^[[:space:]]*#' "$here/packages.txt" | tr -s ' \t' '\n\n' | grep -v '^$'); do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $pkg" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
else
    echo "These Debian packages are missing and this user cannot install them:$missing" >&2
    echo "Run this script as root (or install sudo)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
