#!/bin/bash
# Writes README's pictures in docs/ anew: runs the Wine suite's tour of the
# real program on the demo network and keeps the window of each of its
# screenshots. Run it after a change to what the window shows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
ctest --preset windows -R network_tour

shots=build/windows/scripted/screenshots
for name in users services shares sessions; do
  # The screen around the window is black: trimming leaves the window.
  convert "$shots/tour-$name.png" -trim +repage "docs/$name.png"
done
echo "docs/users.png docs/services.png docs/shares.png docs/sessions.png written"
