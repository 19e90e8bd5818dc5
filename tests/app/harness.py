"""Pieces of the end-to-end tests: a scratch installation, a loopback HTTP update server with a
request log, Wine processes, the stand-in platform's record, X windows and screenshots.

Everything runs inside `scripts/wine-run --host`, which gives the driver its own Xvfb display
and the Wine environment. Every process a test starts is ended by the test, by its pid."""

import http.server
import os
import shutil
import socketserver
import subprocess
import tempfile
import threading
import time
import zlib


def crc(data):
    """The checksum of the file lists: zlib's CRC-32 from 0xFFFFFFFF, as a signed integer."""
    value = zlib.crc32(data, 0xFFFFFFFF)
    return value - (1 << 32) if value >= 1 << 31 else value


def filelist(rows):
    """Text of a file list from (directory, name, bytes or None for a directory) rows."""
    lines = []
    for directory, name, data in rows:
        lines.append("%s:%s:%d" % (directory, name, 0 if data is None else crc(data)))
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


class UpdateServer:
    """Serves a dict of URL path -> bytes (or a callable returning bytes) on 127.0.0.1 and logs
    every request path. `rate` limits the body to that many bytes per second; a path in `holds`
    gets its headers at once and its body only after that many seconds."""

    def __init__(self, files=None, rate=None, holds=None):
        self.files = dict(files or {})
        self.rate = rate
        self.holds = dict(holds or {})
        self.log = []
        self.lock = threading.Lock()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            # One request per connection, said so in the answer: the client asks in HTTP/1.0,
            # and a connection it believes reusable while the server closes it fails the next
            # request.
            protocol_version = "HTTP/1.0"

            def log_message(self, *args):
                pass

            def do_GET(self):
                with server.lock:
                    server.log.append(self.path)
                    body = server.files.get(self.path)
                if callable(body):
                    body = body()
                if body is None:
                    self.send_response(404)
                    self.send_header("Content-Length", "0")
                    self.end_headers()
                    return
                self.send_response(200)
                self.send_header("Connection", "close")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                try:
                    if self.path in server.holds:
                        self.wfile.flush()
                        time.sleep(server.holds[self.path])
                    if server.rate is None:
                        self.wfile.write(body)
                        return
                    chunk = max(1, server.rate // 20)
                    for i in range(0, len(body), chunk):
                        self.wfile.write(body[i:i + chunk])
                        self.wfile.flush()
                        time.sleep(0.05)
                except (BrokenPipeError, ConnectionResetError):
                    pass

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            allow_reuse_address = True

        self.httpd = Server(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def requests(self):
        with self.lock:
            return list(self.log)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Installation:
    """A scratch installation directory: the program, its skin, the stand-in platform and an
    "updatelist.ini" for the server (none when port is None)."""

    def __init__(self, build_dir, tarsuvio, port, skin=True):
        self.dir = tempfile.mkdtemp(prefix="pellarin-e2e-")
        shutil.copy(os.path.join(build_dir, "Pellarin.exe"), self.dir)
        os.makedirs(self.path("Patch"))
        if skin:
            for name in os.listdir(os.path.join(build_dir, "Patch")):
                shutil.copy(os.path.join(build_dir, "Patch", name), self.path("Patch"))
        shutil.copy(tarsuvio, self.path("Tarsuvio.exe"))
        if port is not None:
            self.write("updatelist.ini", b"# test server\r\n1;1;loopback;127.0.0.1;%d\r\n" % port)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def write(self, relative, data):
        full = self.path(*relative.split("/"))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)

    def read(self, relative):
        full = self.path(*relative.split("/"))
        if not os.path.exists(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    def record(self):
        """Lines of the stand-in platform's record."""
        data = self.read("tarsuvio-record.txt")
        return [] if data is None else data.decode("gbk", "replace").splitlines()

    def quit_platform(self, timeout=10, killed=0):
        """Ends every stand-in platform of this installation and waits for their exit lines;
        `killed` of them were terminated and write none."""
        self.write("tarsuvio-quit", b"")
        deadline = time.time() + timeout
        while time.time() < deadline:
            lines = self.record()
            if sum(l.startswith("start ") for l in lines) <= sum(l.startswith("exit ") for l in lines) + killed:
                return
            time.sleep(0.1)

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


class Wine:
    """Starts Windows programs with wine and keeps their pids to end them."""

    def __init__(self):
        self.procs = []

    def start(self, exe, *args, cwd=None, env=None):
        full_env = dict(os.environ)
        full_env.update(env or {})
        proc = subprocess.Popen(["wine", exe] + list(args), cwd=cwd or os.path.dirname(exe), env=full_env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        return proc

    def stop_all(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        self.procs = []


def xdotool(*args):
    out = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True)
    return out.stdout.strip()


def find_window(name, timeout=15.0):
    """The X window whose whole title is `name`, or None after the timeout."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        ids = xdotool("search", "--onlyvisible", "--name", "^%s$" % name.replace("(", "\\(").replace(")", "\\)"))
        if ids:
            return ids.split()[0]
        time.sleep(0.1)
    return None


def window_gone(name, timeout=15.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if not xdotool("search", "--onlyvisible", "--name", "^%s$" % name.replace("(", "\\(").replace(")", "\\)")):
            return True
        time.sleep(0.1)
    return False


def geometry(window):
    """(x, y, width, height) of an X window."""
    out = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class Screenshot:
    """The whole screen as RGB pixels."""

    def __init__(self, save_as=None):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
        # Binary PPM: "P6\n<w> <h>\n<max>\n" followed by the pixels.
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]
        if save_as:
            subprocess.run(["convert", "ppm:-", save_as], input=data, check=True)

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def near(a, b, tolerance=24):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def wait_for(predicate, timeout=20.0, step=0.1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()
