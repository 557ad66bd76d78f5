#!/usr/bin/env bash
# The window tests whose layout depends on the screen (with the boxes of the continent pages and the cells of the
# State/Province grid, each whole and apart), in a wine prefix and on an X display of their own:
#   dpi_run.sh DPI BIN_DIR [SCREEN]
# DPI is the prefix's LogPixels (120 for 125 %, 144 for 150 %); SCREEN the display's size (default 1280x1024).
# A host that is not dpi-aware sees, on Windows, the screen shrunk by its dpi and the windows at 96 dpi: that is
# a run at 96 on the smaller screen (853x683 for 1280x1024 at 150 %).
set -euo pipefail
dpi=$1 bin=$2
export WINE_SCREEN=${3:-1280x1024} WINE_DPI=$dpi
# Never the caller's prefix or display: this run changes the prefix's dpi.
unset WINEPREFIX DISPLAY
source "$(dirname "$0")/../../scripts/wine-env.sh"
trap wine_env_cleanup EXIT
wine_env_setup
STATS_EXPECT_DPI=$dpi wine "$bin/stats_win_tests.exe" \
  --gtest_filter='DpiTest.*:ViewsTest.WithoutStoredPositionsNoWindowCoversAnother:'\
'StatusWindowsTest.ContinentPages*:RefreshTest.EachContestsGridShowsTheCodesItCounts'
