#!/usr/bin/env bash
# Sets up the machine, builds, and opens the editor (it reads data/ from the
# repository root, so it runs from there).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
exec scripts/with_display.sh ./build/brivel
