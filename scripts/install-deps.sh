#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Idempotent: asks apt only for what is missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config libicu-dev libgtest-dev
      qt6-base-dev libxcb1-dev libxcb-xtest0-dev fonts-ipafont-gothic clang libclang-rt-14-dev python3 xvfb xauth
      xdotool desktop-file-utils openbox x11-utils lintian appstream qt6-translations-l10n)
# Japanese input methods for the typing test (Mozc behind IBus and behind
# Fcitx 5) with the session bus they talk over. Their recommendations (GTK
# bridges, media codecs, settings tools) are not needed and run to hundreds
# of packages.
im_pkgs=(dbus-daemon dbus-bin dconf-cli ibus ibus-mozc fcitx5 fcitx5-mozc
         fcitx5-frontend-qt6)
missing() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}
mapfile -t need < <(missing "${pkgs[@]}")
mapfile -t need_im < <(missing "${im_pkgs[@]}")
if ((${#need[@]} + ${#need_im[@]})); then
    echo "installing: ${need[*]} ${need_im[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if ((${#need[@]})); then apt-get install -y -qq "${need[@]}"; fi
    if ((${#need_im[@]})); then apt-get install -y -qq --no-install-recommends "${need_im[@]}"; fi
fi
