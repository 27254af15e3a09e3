"""Soak runs of orvane-server, bounded in count and time and outside the default suite
(scripts/soak.sh runs them). Each prints its figures and fails on the first fault.

  pipelining  64 clients, each pipelining 1,000 requests; every reply correct and in order
  reloads     1,000 plugin reload cycles; no game block and no file handle left behind
  timer       a server run of some minutes with the timer firing often under a light load;
              the game's live blocks constant and the resident memory flat
  churn       sockets from 30 addresses that connect and never log in, as fast as they can,
              while an administrator logs in 200 times from another; every login must succeed

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 soak.py [--minutes M] [NAME ...]
"""

import argparse
import collections
import json
import os
import socket
import struct
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server"))

from server_harness import RawConnection, Server, packet  # noqa: E402

CLIENTS = 64
REQUESTS = 1000
RELOADS = 1000
CHURN_ADDRESSES = 30
ADMIN_LOGINS = 200


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def open_files(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def run(connection, request_id, line):
    """One request and its one reply's body (a reply may come in several packets)."""
    connection.send(packet(request_id, 2, line.encode()) + packet(request_id + 1, 0))
    body = b""
    while True:
        reply = connection.read_packet()
        if reply is None:
            fail(f"connection closed during {line!r}")
        if reply[0] == request_id + 1 and reply[1] == 0:
            return body.decode()
        body += reply[2]


def live_blocks(connection):
    return json.loads(run(connection, 1, "emu.state"))["memory"]["live_blocks"]


def pipelining():
    server = Server("--rcon-max-connections", str(CLIENTS + 4), "--rcon-max-per-address",
                    str(CLIENTS + 4), "--rcon-reserved-slots", "1", "--rcon-auth-gap-ms", "0")
    errors = []

    def client(number):
        try:
            connection = RawConnection(server.port, timeout=120)
            if not connection.login():
                raise AssertionError("login refused")
            burst = b"".join(
                packet(i, 2, (f"C{number}-{i}" if i % 2 else "GetOnlineNum").encode())
                for i in range(REQUESTS))
            sender = threading.Thread(target=connection.send, args=(burst,))
            sender.start()
            for i in range(REQUESTS):
                reply = connection.read_packet()
                expected = f"Unknown command: C{number}-{i}" if i % 2 else None
                if reply is None or reply[0] != i or (
                        expected is not None and reply[2].decode() != expected) or (
                        expected is None and not reply[2].decode().isdigit()):
                    raise AssertionError(f"client {number} request {i}: {reply!r}")
            sender.join()
            connection.close()
        except Exception as error:  # noqa: BLE001 (reported below)
            errors.append(repr(error))

    try:
        start = time.monotonic()
        threads = [threading.Thread(target=client, args=(n,)) for n in range(CLIENTS)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join(600)
        seconds = time.monotonic() - start
        if errors:
            fail(f"{len(errors)} clients failed, first: {errors[0]}")
        total = CLIENTS * REQUESTS
        print(f"pipelining: {CLIENTS} clients x {REQUESTS} requests, {total} replies correct "
              f"and in order in {seconds:.1f} s ({total / seconds:.0f} requests/s)", flush=True)
    finally:
        server.close()


def reloads():
    server = Server()
    try:
        connection = RawConnection(server.port, timeout=60)
        if not connection.login():
            fail("login refused")
        run(connection, 10, "emu.plugin reload")  # the first load's one-time work is done
        blocks, files = live_blocks(connection), open_files(server.process.pid)
        rss = rss_kib(server.process.pid)
        start = time.monotonic()
        for i in range(RELOADS):
            reply = run(connection, 100 + 2 * i, "emu.plugin reload")
            if reply != "reloaded":
                fail(f"reload {i}: {reply!r}")
        seconds = time.monotonic() - start
        blocks_after, files_after = live_blocks(connection), open_files(server.process.pid)
        rss_after = rss_kib(server.process.pid)
        with open(f"/proc/{server.process.pid}/maps") as maps:
            mapped = sum(1 for line in maps if "libOrvane" in line)
        print(f"reloads: {RELOADS} cycles in {seconds:.1f} s; live blocks {blocks} -> "
              f"{blocks_after}, open files {files} -> {files_after}, resident "
              f"{rss} -> {rss_after} KiB, plugin mappings {mapped}", flush=True)
        if blocks_after != blocks or files_after != files:
            fail("blocks or file handles left behind")
        connection.close()
    finally:
        server.close()


def timer(minutes):
    server = Server("--timer-ms", "10")
    try:
        connection = RawConnection(server.port, timeout=60)
        if not connection.login():
            fail("login refused")
        # The structure destruction schedules two timed sweeps 15 and 20 s on (of a tribe
        # without structures, so that the world stays as it is): the timer has work to do.
        lines = ["GetOnlineNum", "ListOnlinePlayers", "emu.state", "NoSuchCommand x",
                 "DestroyTribeStructures 1999999"]
        samples = []
        start = time.monotonic()
        next_sample = start
        request = 0
        while time.monotonic() - start < minutes * 60:
            run(connection, 10 + 2 * request, lines[request % len(lines)])
            request += 1
            if time.monotonic() >= next_sample:
                samples.append((time.monotonic() - start, rss_kib(server.process.pid),
                                live_blocks(connection)))
                next_sample += 10
            time.sleep(0.01)
        blocks = {s[2] for s in samples}
        half = samples[len(samples) // 2:]
        growth = half[-1][1] - half[0][1]
        sweeps = sum("Timed Destroyed Requested" in line for line in server.stderr_lines)
        print(f"timer: {minutes} min with a 10 ms timer, {request} requests, {sweeps} timed "
              f"sweeps run; resident {samples[0][1]} -> {samples[-1][1]} KiB (second half "
              f"{growth:+d} KiB); live blocks {sorted(blocks)}", flush=True)
        if len(blocks) != 1:
            fail("the game's live blocks changed")
        if sweeps == 0:
            fail("no timed sweep ran: the timer did not fire")
        if growth > 1024:
            fail("resident memory grew in the second half")
        connection.close()
    finally:
        server.close()


def churn():
    server = Server()  # a login's answer takes the harness's pause of 150 ms
    stop = threading.Event()
    opened = [0] * CHURN_ADDRESSES

    # Each address keeps its last 8 sockets open (the per-address limit) and never speaks;
    # a socket is reset on close, so that no port waits in TIME_WAIT.
    def flood(number):
        held = collections.deque()
        while not stop.is_set():
            try:
                sock = socket.socket()
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                sock.bind((f"127.0.2.{number + 1}", 0))
                sock.connect(("127.0.0.1", server.port))
            except OSError:
                sock.close()
                continue
            opened[number] += 1
            held.append(sock)
            if len(held) > 8:
                held.popleft().close()
        for sock in held:
            sock.close()

    try:
        threads = [threading.Thread(target=flood, args=(n,)) for n in range(CHURN_ADDRESSES)]
        for thread in threads:
            thread.start()
        time.sleep(1)
        start = time.monotonic()
        failed = 0
        for _ in range(ADMIN_LOGINS):
            connection = RawConnection(server.port, timeout=10)
            try:
                if not connection.login() or run(connection, 10, "GetOnlineNum") == "":
                    failed += 1
            except (OSError, SystemExit):
                failed += 1
            connection.close()
        seconds = time.monotonic() - start
        stop.set()
        for thread in threads:
            thread.join(60)
        evicted = sum("its slot was needed" in line for line in server.stderr_lines)
        print(f"churn: {sum(opened)} connections from {CHURN_ADDRESSES} addresses that never "
              f"log in ({sum(opened) / (seconds + 1):.0f}/s), {evicted} evicted; "
              f"{failed} of {ADMIN_LOGINS} administrator logins failed in {seconds:.1f} s",
              flush=True)
        if failed:
            fail(f"{failed} administrator logins failed")
    finally:
        server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=3)
    parser.add_argument("names", nargs="*", default=["pipelining", "reloads", "timer", "churn"])
    args = parser.parse_args()
    for name in args.names:
        if name == "timer":
            timer(args.minutes)
        else:
            {"pipelining": pipelining, "reloads": reloads, "churn": churn}[name]()


if __name__ == "__main__":
    main()
