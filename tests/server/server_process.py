#!/usr/bin/python3
"""gaisan-server as the classroom machine runs it: what it prints, what it refuses at the HTTP
level (bodies and headers too large, requests sent too slowly, paths outside its pages), a run
whose last answer arrives together with SIGTERM (recorded whole before the server ends), a
restart that keeps the code and the devices, a new code that sends every device back to the
code screen, Ctrl-C, a port already taken and a wrong command line.

Usage: server_process.py GAISAN_SERVER GAISAN_RECORDS
"""

import http.client
import json
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import classroom_browser as served

WAIT_SECONDS = 20


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


class Server:
    """gaisan-server on `port` of the loopback address, serving `installation`."""

    def __init__(self, program, installation, port, *extra):
        self.process = subprocess.Popen(
            [program, "--listen", f"127.0.0.1:{port}", installation, *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, encoding="utf-8")
        self.url = self.process.stdout.readline().strip()
        self.code = self.process.stdout.readline().strip()
        if self.url != f"http://127.0.0.1:{port}/" or not re.fullmatch(r"[0-9]{6,}", self.code):
            self.process.kill()
            fail(f"no address and code: {self.url!r} {self.code!r} {self.process.stderr.read()}")
        self.qr_code = [self.process.stdout.readline() for _ in range(8)]
        self.port = port

    def stop(self, signal_number=signal.SIGTERM):
        self.process.send_signal(signal_number)
        try:
            return self.process.wait(timeout=WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail(f"the server did not stop on signal {signal_number}")


class Device:
    """A browser's calls over one kept connection, with the cookie the code gave it."""

    def __init__(self, port, cookie=None):
        self.connection = http.client.HTTPConnection("127.0.0.1", port, timeout=WAIT_SECONDS)
        self.cookie = cookie

    def send(self, path, body=None):
        headers = {"Cookie": self.cookie} if self.cookie else {}
        if body is None:
            self.connection.request("GET", path, headers=headers)
        else:
            headers["Content-Type"] = "application/json"
            self.connection.request("POST", path, body=json.dumps(body), headers=headers)

    def receive(self):
        response = self.connection.getresponse()
        cookie = response.getheader("Set-Cookie")
        if cookie:
            self.cookie = cookie.split(";")[0]
        return response.status, json.loads(response.read())

    def call(self, path, body=None):
        self.send(path, body)
        return self.receive()


def raw_answer(port, request):
    """The status line the server answers a hand-made request with, or "" when it closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=WAIT_SECONDS) as connection:
        connection.sendall(request)
        try:
            return connection.recv(4096).split(b"\r\n")[0].decode("latin-1")
        except ConnectionResetError:
            return ""


def keys_of(values):
    keys = []
    for value in values:
        keys += list(str(value)) + ["next"]
    return keys


def check_http_bounds(server):
    port = server.port
    for path in (b"/../gaisan/%E3%83%96.txt", b"/%2e%2e/%2e%2e/etc/passwd", b"/web/index.html",
                 b"//etc/passwd"):
        status = raw_answer(port, b"GET " + path + b" HTTP/1.1\r\nHost: x\r\n\r\n")
        if not re.match(r"HTTP/1\.1 4\d\d", status):
            fail(f"GET {path!r} answered {status!r}")
    status = raw_answer(port, b"POST /api/code HTTP/1.1\r\nHost: x\r\nContent-Length: 1000000\r\n"
                              b"Content-Type: application/json\r\n\r\n" + b" " * 65536)
    if not status.startswith("HTTP/1.1 413"):
        fail(f"a body of a megabyte answered {status!r}")
    status = raw_answer(port, b"GET /" + b"a" * 100000 + b" HTTP/1.1\r\nHost: x\r\n\r\n")
    if status and not re.match(r"HTTP/1\.1 4\d\d", status):
        fail(f"a path of 100 kB answered {status!r}")
    # A request that never ends its header is refused after the read timeout.
    started = time.monotonic()
    status = raw_answer(port, b"GET / HTTP/1.1\r\nHost: x\r\n")
    if (status and not status.startswith("HTTP/1.1 400")) or time.monotonic() - started > 10:
        fail(f"a request without the end of its header got {status!r}")
    status, state = Device(port).call("/api/state")
    if status != 200 or state["screen"] != "code":
        fail("the server does not answer after the refused requests")


def work_run_and_stop(server, device):
    """Works a level-1 run to its last answer, sends that answer and SIGTERM at once; the server
    answers it, records the run with its answers, and ends with 0."""
    status, state = device.call("/api/code", {"code": server.code})
    student = state["names"]["rows"][0]["student"]
    device.call("/api/login", {"student": student})
    status, state = device.call("/api/level", {"level": 1})
    while state["screen"] == "drill":
        boxes = state["drill"]["boxes"]
        answers = served.right_answers(int(boxes[0]["text"]), int(boxes[1]["text"]),
                                       state["drill"]["instruction"])
        if state["drill"]["remaining"] == 1:
            device.send("/api/keys", {"keys": keys_of(answers)})
            server.process.send_signal(signal.SIGTERM)
            status, state = device.receive()
            break
        status, state = device.call("/api/keys", {"keys": keys_of(answers)})
    if status != 200 or state["drill"]["ending"] != "recording":
        fail(f"the last answer before SIGTERM answered {status} {state}")
    exit_status = server.process.wait(timeout=WAIT_SECONDS)
    if exit_status != 0:
        fail(f"the server ended with {exit_status} on SIGTERM")
    return student


def records_of(records, installation):
    dump = subprocess.run([records, "dump", installation / "data/gaisan/成績累積データ.dat"],
                          check=True, capture_output=True, text=True).stdout
    return [line.split("\t") for line in dump.splitlines() if line]


def main():
    program, records = sys.argv[1:]
    work = Path(tempfile.mkdtemp(prefix="gaisan-server-"))
    try:
        subprocess.run([served.REPOSITORY / "scripts/lay-out-demo", work], check=True,
                       stdout=subprocess.DEVNULL)
        installation = work / "demo"
        port = served.free_port()

        server = Server(program, installation, port)
        if not any("█" in line for line in server.qr_code):
            fail(f"no QR code after the address: {server.qr_code}")
        check_http_bounds(server)
        device = Device(port)
        student = work_run_and_stop(server, device)
        rows = records_of(records, installation)
        if len(rows) != 1:
            fail(f"the run was not recorded once: {rows}")
        answers = subprocess.run([records, "answers", installation / "data/gaisan",
                                  "--student", str(student)],
                                 check=True, capture_output=True, text=True).stdout
        if len(answers.splitlines()) != 1 + 10:
            fail(f"the run's ten answers were not recorded: {answers}")
        check = subprocess.run([records, "check", installation / "data/gaisan/成績累積データ.dat"],
                               capture_output=True, text=True)
        if check.returncode != 0:
            fail(f"check after the stop: {check.stdout}{check.stderr}")

        # A restart keeps the code and the device; the finished run is not recorded again.
        code = server.code
        server = Server(program, installation, port)
        if server.code != code:
            fail("a restart changed the code")
        status, state = Device(port, device.cookie).call("/api/state")
        if state["screen"] != "names":
            fail(f"a restart forgot the device: {state['screen']}")
        taken = subprocess.run([program, "--listen", f"127.0.0.1:{port}", installation],
                               capture_output=True, text=True, timeout=WAIT_SECONDS)
        if taken.returncode != 1 or not taken.stderr:
            fail(f"a second server on the port: {taken.returncode} {taken.stderr}")
        if server.stop(signal.SIGINT) != 0:
            fail("the server did not end with 0 on Ctrl-C")
        if len(records_of(records, installation)) != 1:
            fail("a restart recorded a run again")

        # A new code sends every device back to the code screen.
        renewed = subprocess.run([program, "--new-code", installation],
                                 check=True, capture_output=True, text=True).stdout.strip()
        if not re.fullmatch(r"[0-9]{6,}", renewed):
            fail(f"--new-code printed {renewed!r}")
        server = Server(program, installation, port)
        if server.code != renewed:
            fail("the server does not use the new code")
        if Device(port, device.cookie).call("/api/state")[1]["screen"] != "code":
            fail("a device kept its place past a new code")
        server.stop()

        for arguments in ([], ["--listen", "nowhere", installation], ["--frobnicate", installation]):
            wrong = subprocess.run([program, *arguments], capture_output=True, text=True)
            if wrong.returncode != 2 or "usage" not in wrong.stderr:
                fail(f"{arguments}: {wrong.returncode} {wrong.stderr}")
        missing = subprocess.run([program, work / "nowhere"], capture_output=True, text=True)
        if missing.returncode != 1 or "パスデータ.txt" not in missing.stderr:
            fail(f"an installation that is not there: {missing.returncode} {missing.stderr}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main()
