#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test: model, GL and session
# tests, then the whole suite again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
export SDL_AUDIODRIVER=dummy
scripts/setup.sh build
scripts/with_display.sh ctest --test-dir build --output-on-failure -j2

scripts/setup.sh build-asan -DBRIVEL_SANITIZE=ON -DBRIVEL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
# Leak checks on the model, whose memory is all ours; the GL driver and the
# X libraries keep allocations until exit, so the window tests skip them.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j2 -L model
ASAN_OPTIONS=detect_leaks=0 scripts/with_display.sh ctest --test-dir build-asan --output-on-failure -j2 -LE model
