#!/usr/bin/env bash
# Rewrites the golden images under tests/data/Golden from what the renderer draws now. Look at every image that
# changed before committing it. Run from anywhere: tests/data/make-golden-images.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$(scripts/build | tail -n 1)
ZV_UPDATE_GOLDEN_IMAGES=1 "$build_dir/tests/zv_render_tests" --gtest_filter='Gdi*-*Gui.*'
# The root window's skin is read back from a window: this one needs an X display.
ZV_UPDATE_GOLDEN_IMAGES=1 "$build_dir/tests/Application/zv_application_gui_tests" \
  --gtest_filter='RootWindowGui.TheTestSkinShows*'
git status --short tests/data/Golden
