#!/usr/bin/env bash
# Sets up the machine, builds, and opens the editor (it reads data/ from the
# repository root, so it runs from there).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
# The editor makes no sound; without a sound device SDL's audio start-up
# would only print driver errors.
[ -e /dev/snd ] || export SDL_AUDIODRIVER=dummy
exec scripts/with_display.sh ./build/brivel
