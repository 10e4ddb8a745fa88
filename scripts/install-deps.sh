#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Idempotent: asks apt only for what is missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config libicu-dev libgtest-dev
      qt6-base-dev libxcb1-dev fonts-ipafont-gothic clang libclang-rt-14-dev python3 xvfb xauth
      xdotool desktop-file-utils openbox x11-utils lintian)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi
