#!/usr/bin/env bash
# Installs a build into a staging folder and checks what a desktop finds
# there: the program, a valid menu entry, the icon in every size, and the
# manual page and package documents.
# Usage: check_install.sh BUILD_FOLDER
set -uo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$stage" >/dev/null || fail "cmake --install failed"

[[ -x $stage/bin/quellor ]] || fail "bin/quellor is missing or not executable"
[[ -x $stage/bin/quellor-cli ]] || fail "bin/quellor-cli is missing or not executable"
entry=$stage/share/applications/quellor.desktop
[[ -f $entry ]] || fail "share/applications/quellor.desktop is missing"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"

key() { grep -E "^$1=" "$entry" | head -n 1 | cut -d= -f2-; }
[[ $(key Exec) == 'quellor %F' ]] || fail "Exec is '$(key Exec)', not 'quellor %F'"
[[ $(key Icon) == quellor ]] || fail "Icon is '$(key Icon)', not quellor"
[[ $(key Categories) == 'Office;Utility;' ]] || fail "Categories is '$(key Categories)'"
for k in 'Name\[ja\]' 'Comment\[ja\]' Name Comment; do
    grep -qE "^$k=.+" "$entry" || fail "the entry has no $k"
done
[[ $(key MimeType) == 'text/csv;' ]] || fail "MimeType is '$(key MimeType)', not text/csv;"
metainfo=$stage/share/metainfo/invalid.quellor.Quellor.metainfo.xml
[[ -f $metainfo ]] || fail "the AppStream metadata is missing"
grep -q '"desktop-id">quellor.desktop<' "$metainfo" || fail "the metadata names no menu entry"

# A PNG's width and height stand at bytes 16..23 of its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $3*256+$4, $7*256+$8}'; }
for size in 32 48 64 128 256; do
    icon=$stage/share/icons/hicolor/${size}x${size}/apps/quellor.png
    [[ -f $icon ]] || fail "the ${size}x${size} icon is missing"
    [[ $(png_size "$icon") == "${size}x${size}" ]] || fail "$icon is $(png_size "$icon")"
done
svg=$stage/share/icons/hicolor/scalable/apps/quellor.svg
grep -q '<svg ' "$svg" 2>/dev/null || fail "the scalable icon is missing"
for doc in share/man/man1/quellor.1.gz share/man/man1/quellor-cli.1.gz share/doc/quellor/changelog.gz share/doc/quellor/copyright; do
    [[ -s $stage/$doc ]] || fail "$doc is missing"
done
gzip -dc "$stage/share/man/man1/quellor.1.gz" | grep -q '^\.TH QUELLOR 1' || fail "the manual page is not one"
gzip -dc "$stage/share/man/man1/quellor-cli.1.gz" | grep -q '^\.TH QUELLOR-CLI 1' ||
    fail "the manual page of quellor-cli is not one"
echo "install: program, menu entry, icons and documents in place"
