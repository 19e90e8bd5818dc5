#!/usr/bin/env python3
"""Runs a test program beside its loopback servers and stops them afterwards.

    run_with_servers.py [--nginx] -- COMMAND [ARGS...]

Starts fault_server.py on a fresh directory (and, with --nginx, an nginx of its own serving
the same tree) and runs COMMAND with PELLARIN_SERVER_DIR (the directory), PELLARIN_FAULT_PORT
and PELLARIN_NGINX_PORT in its environment. Exits with the command's status. Only the
processes started here are stopped, by their pids.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

NGINX_CONF = """daemon off;
master_process off;
worker_processes 1;
pid {dir}/nginx.pid;
error_log {dir}/nginx-error.log;
events {{ worker_connections 256; }}
http {{
    access_log off;
    client_body_temp_path {dir}/tmp;
    proxy_temp_path {dir}/tmp;
    fastcgi_temp_path {dir}/tmp;
    uwsgi_temp_path {dir}/tmp;
    scgi_temp_path {dir}/tmp;
    sendfile on;
    server {{
        listen 127.0.0.1:{port};
        root {dir}/www;
        location / {{ }}
    }}
}}
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(predicate, what, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return
        time.sleep(0.05)
    raise SystemExit("run_with_servers: %s did not start" % what)


def accepts(port):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
        return True
    except OSError:
        return False


def main():
    args = sys.argv[1:]
    nginx = False
    if args and args[0] == "--nginx":
        nginx, args = True, args[1:]
    if not args or args[0] != "--" or len(args) < 2:
        raise SystemExit(__doc__)
    command = args[1:]
    workdir = tempfile.mkdtemp(prefix="pellarin-servers-")
    procs = []
    try:
        os.makedirs(os.path.join(workdir, "www"))
        os.makedirs(os.path.join(workdir, "tmp"))
        procs.append(subprocess.Popen([sys.executable, os.path.join(HERE, "fault_server.py"), workdir]))
        port_file = os.path.join(workdir, "port")
        wait_for(lambda: os.path.exists(port_file), "the fault server")
        env = dict(os.environ)
        env["PELLARIN_SERVER_DIR"] = workdir
        env["PELLARIN_FAULT_PORT"] = open(port_file).read().strip()
        if nginx:
            port = free_port()
            conf = os.path.join(workdir, "nginx.conf")
            with open(conf, "w") as f:
                f.write(NGINX_CONF.format(dir=workdir, port=port))
            procs.append(subprocess.Popen(["nginx", "-p", workdir, "-e", os.path.join(workdir, "nginx-error.log"),
                                           "-c", conf], stderr=subprocess.DEVNULL))
            wait_for(lambda: accepts(port), "nginx")
            env["PELLARIN_NGINX_PORT"] = str(port)
        return subprocess.call(command, env=env)
    finally:
        for p in procs:
            p.terminate()
        for p in procs:
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
