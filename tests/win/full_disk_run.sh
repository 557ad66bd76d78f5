#!/usr/bin/env bash
# The bad-QSO file on a disk that fills up: a file system of 256 KB of its own (tmpfs), in which the Windows
# tests' full-disk case fills the rest and lets it go again. Mounting needs root: without it the test is
# skipped (exit 77).
#   full_disk_run.sh WIN32_BIN_DIR
set -euo pipefail
bin=$(realpath "$1")
mnt=$(mktemp -d /tmp/stats-fulldisk.XXXXXX)
cleanup() {
  umount "$mnt" 2>/dev/null || true
  rmdir "$mnt" 2>/dev/null || true
}
trap cleanup EXIT
if ! mount -t tmpfs -o size=256k tmpfs "$mnt" 2>/dev/null; then
  echo "full_disk_run: cannot mount a small file system here (needs root): skipped"
  exit 77
fi
STATS_FULL_DISK_DIR=$(winepath -w "$mnt") wine "$bin/stats_win_tests.exe" \
  --gtest_filter='EngineExports.BadQsoFileHeldOrOnAFullDiskCatchesUpAtTheNextCall'
