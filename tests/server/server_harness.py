"""Starts orvane-server for the end-to-end tests and talks raw RCON to it.

Every wait is bounded; a server that does not come up or stop in time fails the test.
"""

import os
import re
import signal
import socket
import struct
import subprocess
import tempfile
import threading
import time

SERVER = os.environ.get("ORVANE_SERVER", "")
PLUGIN = os.environ.get("ORVANE_PLUGIN", "")
PASSWORD = "rehearsal"
NOTICE = re.compile(r"RCON listening on (\S+) port (\d+)")
# How long a test waits for output it expects before it gives up on a hung server.
WAIT = 120


class Server:
    """A running orvane-server with RCON on a free loopback port."""

    def __init__(self, *extra, rcon=True, stdin=subprocess.DEVNULL, accounts=None):
        self.root = tempfile.TemporaryDirectory(prefix="orvane-e2e-")
        args = [SERVER, "--plugin", PLUGIN, "--root", self.root.name, "--timer-ms", "50"]
        if rcon:
            # python3-rcon reads each packet through a fresh buffered reader, so the second
            # packet of a login answer must not arrive with the first: on a loaded test
            # machine the default pause may be too short for it.
            login = ["--accounts", accounts] if accounts else ["--rcon-password", PASSWORD]
            args += ["--rcon-port", "0", *login, "--rcon-auth-gap-ms", "150"]
        else:
            args += ["--no-rcon"]
        self.process = subprocess.Popen(
            args + list(extra), stdin=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.stderr_lines = []
        self.stdout_lines = []
        self._changed = threading.Condition()
        self._readers = [
            threading.Thread(target=self._drain, args=(self.process.stderr, self.stderr_lines),
                             daemon=True),
            threading.Thread(target=self._drain, args=(self.process.stdout, self.stdout_lines),
                             daemon=True),
        ]
        for reader in self._readers:
            reader.start()
        self.port = None
        if rcon:
            line = self.wait_for_stderr(NOTICE)
            self.port = int(NOTICE.search(line).group(2))

    def _drain(self, stream, lines):
        for raw in stream:
            with self._changed:
                lines.append(raw.decode("utf-8", "replace").rstrip("\n"))
                self._changed.notify_all()

    # Waits end when the expected output is there; the limit is a generous guard against a
    # hung server, never a measure of speed (a loaded machine may take seconds to start one).
    def _wait_until(self, found, describe, timeout):
        deadline = time.monotonic() + timeout
        with self._changed:
            while True:
                result = found()
                if result is not None:
                    return result
                left = deadline - time.monotonic()
                if left <= 0 or (self.process.poll() is not None and not self._alive_readers()):
                    raise AssertionError(
                        f"no {describe}; stdout:\n" + "\n".join(self.stdout_lines) +
                        "\nstderr:\n" + "\n".join(self.stderr_lines))
                self._changed.wait(min(left, 0.1))

    def _alive_readers(self):
        return any(reader.is_alive() for reader in self._readers)

    def wait_for_stderr(self, pattern, timeout=WAIT):
        def found():
            return next((line for line in self.stderr_lines if re.search(pattern, line)), None)
        return self._wait_until(found, f"line matching {pattern!r}", timeout)

    def wait_for_stdout_count(self, count, timeout=WAIT):
        """The lines of standard output once there are at least `count`."""
        def found():
            return list(self.stdout_lines) if len(self.stdout_lines) >= count else None
        return self._wait_until(found, f"{count} lines on standard output", timeout)

    def stop(self, sig=signal.SIGTERM, timeout=30):
        """Sends `sig` and returns the exit code."""
        if self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise AssertionError("the server did not stop in time")
        for reader in self._readers:
            reader.join(5)
        for stream in (self.process.stdin, self.process.stdout, self.process.stderr):
            if stream is not None:
                stream.close()
        return code

    def close(self):
        if self.process.poll() is None:
            self.stop()
        self.root.cleanup()


def run_exec(*lines, extra=(), timeout=60):
    """Runs the server with --exec lines; returns the finished process (text output)."""
    with tempfile.TemporaryDirectory(prefix="orvane-exec-") as root:
        args = [SERVER, "--plugin", PLUGIN, "--root", root]
        for line in lines:
            args += ["--exec", line]
        return subprocess.run(args + list(extra), stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout, text=True)


def packet(request_id, kind, body=b""):
    payload = struct.pack("<ii", request_id, kind) + body + b"\0\0"
    return struct.pack("<i", len(payload)) + payload


class RawConnection:
    """A plain socket speaking RCON, for what a well-behaved client library never sends."""

    def __init__(self, port, timeout=10):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)

    def send(self, data):
        self.sock.sendall(data)

    def read_packet(self):
        """(id, type, body) or None when the server closed the connection."""
        header = self._exactly(4)
        if header is None:
            return None
        (size,) = struct.unpack("<i", header)
        rest = self._exactly(size)
        if rest is None:
            return None
        request_id, kind = struct.unpack("<ii", rest[:8])
        return request_id, kind, rest[8:-2]

    def login(self, password=PASSWORD):
        self.send(packet(1, 3, password.encode()))
        first, second = self.read_packet(), self.read_packet()
        return first is not None and second is not None and second[0] == 1

    def closed_by_server(self):
        try:
            return self.sock.recv(1) == b""
        except ConnectionResetError:
            return True

    def _exactly(self, n):
        data = b""
        while len(data) < n:
            try:
                chunk = self.sock.recv(n - len(data))
            except ConnectionResetError:
                return None
            if not chunk:
                return None
            data += chunk
        return data

    def close(self):
        self.sock.close()
