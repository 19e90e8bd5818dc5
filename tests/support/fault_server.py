#!/usr/bin/env python3
"""A small HTTP/1.0 server on loopback for the engine's tests.

Serves the files below DIR/www and appends every request line to DIR/requests.log before it
answers. DIR/faults.txt (read on every request) names faults per URL path, one a line:

    /path 404 | 500          answer with that status
    /path nolength           200 without a Content-Length header
    /path short              announce the whole length, send half of it, close
    /path long               announce the length, send 1000 bytes more
    /path corrupt            the right length with the first byte changed
    /path corrupt-once       corrupt for the first request of the path since the log was
                             emptied, right afterwards
    /path slow CHUNK MS      the body in chunks of CHUNK bytes, MS milliseconds apart
    /path drop               close the connection without an answer

Paths and file names are bytes, as the client sends them. The chosen port is written to
DIR/port once the server listens.
"""
import os
import socketserver
import sys
import threading
import time

DIR = os.fsencode(sys.argv[1])
ROOT = os.path.join(DIR, b"www")
LOG = os.path.join(DIR, b"requests.log")
FAULTS = os.path.join(DIR, b"faults.txt")

log_lock = threading.Lock()


def read_faults():
    faults = {}
    try:
        with open(FAULTS, "rb") as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 2:
                    faults[parts[0]] = parts[1:]
    except FileNotFoundError:
        pass
    return faults


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = sock.recv(4096)
            if not chunk:
                return
            data += chunk
        line = data.split(b"\r\n", 1)[0]
        with log_lock:
            # Earlier requests of the same line since the test last emptied the log.
            try:
                with open(LOG, "rb") as f:
                    count = f.read().split(b"\n").count(line)
            except FileNotFoundError:
                count = 0
            with open(LOG, "ab") as f:
                f.write(line + b"\n")
            parts = line.split(b" ")
            path = parts[1] if len(parts) == 3 else b"/"
        fault = read_faults().get(path, [])
        kind = fault[0] if fault else b""
        if kind == b"drop":
            return
        if kind in (b"404", b"500"):
            body = b"fault"
            sock.sendall(b"HTTP/1.0 " + kind + b" Fault\r\nContent-Length: 5\r\n\r\n" + body)
            return
        full = os.path.normpath(os.path.join(ROOT, path.lstrip(b"/")))
        if not full.startswith(ROOT) or not os.path.isfile(full):
            sock.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
            return
        with open(full, "rb") as f:
            body = f.read()
        length = len(body)
        if kind == b"corrupt" or (kind == b"corrupt-once" and count == 0):
            body = bytes([body[0] ^ 0xFF]) + body[1:] if body else b"x"
        elif kind == b"short":
            body = body[: length // 2]
        elif kind == b"long":
            body = body + b"\0" * 1000
        head = b"HTTP/1.0 200 OK\r\n"
        if kind != b"nolength":
            head += b"Content-Length: %d\r\n" % length
        sock.sendall(head + b"\r\n")
        if kind == b"slow":
            step, delay = int(fault[1]), int(fault[2]) / 1000.0
            for i in range(0, len(body), step):
                sock.sendall(body[i : i + step])
                time.sleep(delay)
        else:
            sock.sendall(body)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    os.makedirs(ROOT, exist_ok=True)
    with Server(("127.0.0.1", 0), Handler) as server:
        with open(os.path.join(DIR, b"port.tmp"), "w") as f:
            f.write(str(server.server_address[1]))
        os.rename(os.path.join(DIR, b"port.tmp"), os.path.join(DIR, b"port"))
        server.serve_forever()


if __name__ == "__main__":
    main()
