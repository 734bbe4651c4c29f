#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture: the desktop test that digitizes
# the sample plot saves the main window (needs a built tree, default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
QT_QPA_PLATFORM=offscreen KURVO_SCREENSHOT="$PWD/docs/screenshot.png" \
  "$build/bin/test_app" --gtest_filter='ScreenshotTest.*'
