#!/bin/sh
# Checksum throughput and list comparison, natively and as the Windows build under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "== core, native"
"$root/build/native/bench/bench_core" "$tmp/native.bin" 256
echo "== core, Windows build under Wine"
"$root/scripts/wine-run" "$root/build/win32/bench/bench_core.exe" "$tmp/wine.bin" 256
