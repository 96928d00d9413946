#!/usr/bin/env bash
# Redraws the splash picture and the icons in resources/ (see draw_resources.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
g++ -std=c++20 -O2 -fPIC tools/draw_resources.cpp $(pkg-config --cflags --libs Qt6Gui) -o "$out/draw_resources"
QT_QPA_PLATFORM=offscreen "$out/draw_resources" resources
