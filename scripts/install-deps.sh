#!/usr/bin/env bash
# Installs the Debian packages the build needs and that this machine lacks.
# Usage: scripts/install-deps.sh [base|fuzz|screen]...
set -euo pipefail

base=(cmake make g++ pkg-config ccache libsdl2-dev libgtest-dev libgmock-dev
      libbenchmark-dev libpng-dev libfreetype-dev fonts-dejavu-core)
fuzz=(clang libclang-rt-14-dev)
format=(clang-format)
screen=(xvfb x11-apps imagemagick xdotool)

wanted=()
for set in "${@:-base}"; do
    case "$set" in
        base) wanted+=("${base[@]}") ;;
        fuzz) wanted+=("${base[@]}" "${fuzz[@]}") ;;
        format) wanted+=("${format[@]}") ;;
        screen) wanted+=("${screen[@]}") ;;
        *) echo "unknown package set: $set" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them as root:  apt-get install ${missing[*]}" >&2
    exit 1
fi
