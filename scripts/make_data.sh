#!/usr/bin/env bash
# Regenerates the art assets under data/ (UI button, tool icons, ground
# textures, brush stamps, sky). Output is deterministic: running it again
# leaves the files byte-identical.
set -euo pipefail
cd "$(dirname "$0")/.."
g++ -std=c++20 -O2 -o /tmp/make_data tools/make_data.cpp && /tmp/make_data data
