#!/bin/sh
# Download engine: many small files, one 256 MiB file and the peak memory of the update,
# as ratios against a plain WinINet loop on the same loopback nginx (curl beside it).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PELLARIN_BENCH_BUILD:-$root/build/win32}
"$root/scripts/wine-run" --host python3 "$root/tests/support/run_with_servers.py" --nginx -- \
    python3 "$root/bench/engine/run_download_bench.py" "$build/bench/engine_bench.exe" "$@"
