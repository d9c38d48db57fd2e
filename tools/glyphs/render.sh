#!/usr/bin/env bash
# Regenerates every image under resources/ from its SVG master.
# Usage: tools/glyphs/render.sh [BUILDDIR]   (default: build-glyphtool beside the checkout's root)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-glyphtool}
cmake -S "$here" -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 >/dev/null
tool=$build/glyphtool
res=$root/resources
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
"$tool" glyphs "$res/glyphs/masters" "$res/glyphs"
python3 "$here/wheel_art.py"
"$tool" picture "$res/pictures/about.svg" "$res/pictures/about.png" --indexed
"$tool" icon "$res/icon/zodiara.svg" "$res/icon/zodiara" 16 32 48 64 128 256
