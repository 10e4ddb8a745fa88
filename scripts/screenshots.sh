#!/usr/bin/env bash
# Renders the user guide's screenshots (docs/screenshots/*.png) from the real
# window in a real X server (Xvfb) with a window manager (openbox), drawn with
# the IPA Japanese font.
# The sample files are written to /tmp/サンプル, whose path shows in them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target quellor_screenshots quellor_typing_probe
bash desktop/with-window-manager.sh env QT_QPA_PLATFORM=xcb \
    ./build/desktop/quellor_screenshots /tmp/サンプル docs/screenshots
# The search box mid-conversion, from the typing test with Mozc behind IBus.
bash tests/desktop/input_method.sh ./build/tests/desktop/quellor_typing_probe build/input-method
cp build/input-method/ibus.png docs/screenshots/07-input-method.png
