#!/usr/bin/env python3
"""Download benchmarks of the engine against the loopback nginx that run_with_servers.py runs.

    run_download_bench.py ENGINE_BENCH_EXE

Figures are ratios against the baseline measured in the same run: a plain loop of WinINet
calls under Wine fetching the same URLs into files (best of its read sizes), with curl's
figures on the same server beside it for reference. Each figure is the best of a few runs,
the cases taking turns so that the load of a shared machine falls on all of them alike.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zlib

RUNS = 5
SMALL_FILES, SMALL_SIZE = 1000, 10 * 1024
BIG_SIZE, MID_SIZE = 256 << 20, 16 << 20
READ_SIZES = [10000, 65536, 1 << 20]

exe = sys.argv[1]
parts = sys.argv[2:] or ["small", "big", "memory"]
root = os.environ["PELLARIN_SERVER_DIR"]
port = int(os.environ["PELLARIN_NGINX_PORT"])
www = os.path.join(root, "www")


def win(path):
    return "Z:" + path.replace("/", "\\")


def crc(data):
    # The list's checksum: zlib's crc32 started from 0xFFFFFFFF.
    return zlib.crc32(data, 0xFFFFFFFF)


def publish(target, files):
    base = os.path.join(www, "kv9update", target)
    os.makedirs(os.path.join(base, "release"), exist_ok=True)
    lines = []
    for name, data in files:
        with open(os.path.join(base, "release", name), "wb") as f:
            f.write(data)
        lines.append("/:%s:%d\n" % (name, crc(data)))
    with open(os.path.join(base, "filelist.list"), "w") as f:
        f.writelines(lines)
    return ["/kv9update/%s/release/%s" % (target, name) for name, _ in files]


def run_wine(*args):
    out = subprocess.run(["wine", exe] + [str(a) for a in args], capture_output=True, text=True)
    m = re.search(r"ms=([\d.]+) bytes=(\d+) peak=(\d+)", out.stdout)
    if out.returncode != 0 or not m:
        raise SystemExit("engine_bench %s failed: %s %s" % (args[0], out.stdout, out.stderr))
    return float(m.group(1)), int(m.group(2)), int(m.group(3))


def fresh_dir():
    return tempfile.mkdtemp(prefix="bench-", dir=root)


def measure(cases):
    """Runs every case once per round, round after round, so that the load of the machine
    falls on all of them alike; gives each case's best run."""
    results = {name: None for name, _ in cases}
    for _ in range(RUNS):
        for name, fn in cases:
            d = fresh_dir()
            try:
                r = fn(d)
            finally:
                shutil.rmtree(d, ignore_errors=True)
            if results[name] is None or r[0] < results[name][0]:
                results[name] = r
    return results


def baseline(urls, read_size):
    def once(d):
        url_file = os.path.join(d, "urls.txt")
        with open(url_file, "w") as f:
            f.write("\n".join(urls) + "\n")
        return run_wine("baseline", port, win(url_file), win(d), read_size)

    return once


def update(target):
    return lambda d: run_wine("update", port, target, win(d))


def download(url):
    return lambda d: run_wine("download", port, url, win(os.path.join(d, "file.bin")))


def curl(urls):
    def once(d):
        cfg = os.path.join(d, "curl.cfg")
        with open(cfg, "w") as f:
            for i, u in enumerate(urls):
                f.write('url = "http://127.0.0.1:%d%s"\noutput = "%s/%d.bin"\n' % (port, u, d, i))
        start = time.perf_counter()
        subprocess.run(["curl", "-0", "-s", "-S", "-K", cfg], check=True)
        return ((time.perf_counter() - start) * 1000.0, 0, 0)

    return once


def mbps(size, ms):
    return size / (1 << 20) / (ms / 1000.0)


def main():
    small_urls = publish("small", [("f%04d.dat" % i, os.urandom(SMALL_SIZE)) for i in range(SMALL_FILES)])
    big = os.urandom(BIG_SIZE)
    big_urls = publish("big", [("big.dat", big)])
    del big
    publish("mid", [("mid.dat", os.urandom(MID_SIZE))])

    print("== download engine, Windows build under Wine, loopback nginx (best of %d interleaved runs)" % RUNS)
    if "small" in parts:
        r = measure([("base", baseline(small_urls, 65536)), ("update", update("small")), ("curl", curl(small_urls))])
        print("%d files of %d KiB: baseline %.0f ms, update %.0f ms, ratio %.2f (goal <= 1.5); curl %.0f ms"
              % (SMALL_FILES, SMALL_SIZE // 1024, r["base"][0], r["update"][0], r["update"][0] / r["base"][0],
                 r["curl"][0]))
    if "big" in parts:
        cases = [(rs, baseline(big_urls, rs)) for rs in READ_SIZES]
        cases += [("download", download(big_urls[0])), ("update", update("big")), ("curl", curl(big_urls))]
        r = measure(cases)
        for rs in READ_SIZES:
            print("256 MiB baseline, reads of %7d bytes: %.0f MB/s" % (rs, mbps(BIG_SIZE, r[rs][0])))
        base_ms = min(r[rs][0] for rs in READ_SIZES)
        print("256 MiB Download: %.0f MB/s, ratio %.2f of the best baseline (goal >= 0.8)"
              % (mbps(BIG_SIZE, r["download"][0]), base_ms / r["download"][0]))
        print("256 MiB whole update (checksum of the copy, move into place): %.0f MB/s, ratio %.2f"
              % (mbps(BIG_SIZE, r["update"][0]), base_ms / r["update"][0]))
        print("256 MiB curl: %.0f MB/s" % mbps(BIG_SIZE, r["curl"][0]))
    if "memory" in parts:
        r = measure([("mid", update("mid")), ("big", update("big"))])
        print("peak working set of the update: 16 MiB file %.1f MiB, 256 MiB file %.1f MiB, ratio %.2f (goal: flat)"
              % (r["mid"][2] / (1 << 20), r["big"][2] / (1 << 20), r["big"][2] / r["mid"][2]))


if __name__ == "__main__":
    main()
