#!/usr/bin/env bash
# Builds the Debian package: build/quellor_<version>_<arch>.deb.
# With --check, also checks it with lintian, installs it with apt-get,
# starts the program the way the menu does (the entry's Exec line) in Xvfb,
# checks its window, that quellor-cli runs and that bash loads its completion,
# and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target quellor quellor-cli quellor_icon_theme quellor_docs quellor_cli_docs
rm -f build/quellor_*.deb
(cd build && cpack -G DEB)
deb=$(ls build/quellor_*.deb)
echo "package: $deb"
[[ ${1:-} == --check ]] || exit 0

fail() { echo "package: $*" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *"fonts-ipafont-gothic | fonts-noto-cjk"* ]] || fail "no Japanese font in: $depends"
[[ $depends == *libqt6widgets6* && $depends == *libicu* ]] || fail "libraries missing in: $depends"
[[ $(dpkg-deb -f "$deb" Recommends) == *fcitx5-frontend-qt6* ]] ||
    fail "the Fcitx 5 bridge is not recommended"
lintian --fail-on error,warning "$deb" || fail "lintian finds faults in the package"
# Software centres read the AppStream metadata; offline, its links are not followed.
metainfo=usr/share/metainfo/invalid.quellor.Quellor.metainfo.xml
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
appstreamcli validate --no-net "$unpacked/$metainfo" || fail "appstreamcli rejects $metainfo"
rm -rf "$unpacked"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
trap 'apt-get remove -y -qq quellor >/dev/null' EXIT
entry=/usr/share/applications/quellor.desktop
[[ -f $entry ]] || fail "the menu entry was not installed"
[[ -f /usr/share/icons/hicolor/32x32/apps/quellor.png ]] || fail "the icon was not installed"
# The entry's field codes (%F: the files chosen) stand for no file here.
read -r -a command <<<"$(grep -m 1 '^Exec=' "$entry" | cut -d= -f2- | sed 's/ %[fFuU]//g')"
[[ $(command -v "${command[0]}") == /usr/bin/quellor ]] || fail "Exec does not start /usr/bin/quellor"
[[ $(quellor-cli --version) == "quellor-cli "* ]] || fail "quellor-cli does not run"
[[ -f /usr/share/man/man1/quellor-cli.1.gz ]] || fail "the manual page of quellor-cli was not installed"
completion=/usr/share/bash-completion/completions/quellor-cli
[[ -f $completion ]] || fail "the bash completion of quellor-cli was not installed"
bash --norc -c ". $completion && complete -p quellor-cli" >/dev/null ||
    fail "bash cannot load $completion"
xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/desktop/smoke.sh "${command[@]}"
echo "package: installed, started from its menu entry, and removed again"
