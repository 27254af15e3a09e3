#!/usr/bin/python3
"""Runs command lines over RCON and prints every reply of each, however many it sends.

Some commands send no reply, some two, some one per player; a client that waits for one reply
per command hangs or falls behind. This one sends an empty response-value packet (type 0) after
each command; the server answers it in order with an empty one, so everything before that marker
is the command's reply.

    scripts/rcon-run.py --password PW "Orvane.info" "GetAllActors" "ListOnlinePlayers"
"""

import argparse
import os
import socket
import struct
import sys


def packet(request_id, kind, body=b""):
    return struct.pack("<iii", len(body) + 10, request_id, kind) + body + b"\0\0"


def read_exactly(sock, n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            sys.exit("the server closed the connection")
        data += chunk
    return data


def read_packet(sock):
    size, request_id, kind = struct.unpack("<iii", read_exactly(sock, 12))
    body = read_exactly(sock, size - 8)[:-2]
    return request_id, kind, body


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("lines", nargs="+", help="command lines to run, in order")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=27020)
    parser.add_argument("--password", default=os.environ.get("ORVANE_RCON_PASSWORD"))
    args = parser.parse_args()
    if not args.password:
        sys.exit("give --password (or set ORVANE_RCON_PASSWORD)")

    with socket.create_connection((args.host, args.port), timeout=60) as sock:
        sock.sendall(packet(1, 3, args.password.encode()))
        read_packet(sock)  # the empty response value that comes first
        if read_packet(sock)[0] == -1:
            sys.exit("wrong password")
        for n, line in enumerate(args.lines):
            command_id, marker_id = 100 + 2 * n, 101 + 2 * n
            sock.sendall(packet(command_id, 2, line.encode()) + packet(marker_id, 0))
            # A reply longer than 4096 bytes comes in packets of exactly 4096 and a shorter last
            # one: a full packet is continued by the next.
            replies, continued = [], False
            while (reply := read_packet(sock))[0] != marker_id:
                if continued:
                    replies[-1] += reply[2]
                else:
                    replies.append(reply[2])
                continued = len(reply[2]) == 4096
            print(f"> {line}")
            for body in replies:
                print(body.decode(errors="replace"))


if __name__ == "__main__":
    main()
