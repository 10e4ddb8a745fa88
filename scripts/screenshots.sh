#!/usr/bin/env bash
# Renders the user guide's screenshots (docs/screenshots/*.png) from the real
# window in a real X server (Xvfb), drawn with the IPA Japanese font.
# The sample files are written to /tmp/サンプル, whose path shows in them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target quellor_screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    ./build/desktop/quellor_screenshots /tmp/サンプル docs/screenshots
