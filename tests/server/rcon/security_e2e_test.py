"""orvane-server's security rules end to end, with raw sockets: the login lockout and the state
export's limits over RCON. (Slots, fairness and packet handling are tested on the listener.)

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 security_e2e_test.py
"""

import json
import re
import os
import socket
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from server_harness import PASSWORD, RawConnection, Server, packet  # noqa: E402

LOCKOUT = ("--rcon-login-failures", "3", "--rcon-login-window-ms", "60000",
           "--rcon-lockout-ms", "600000")


class TestCase(unittest.TestCase):
    def connect(self, server, source="127.0.0.1"):
        """A RawConnection from `source` (any 127.x.y.z is this machine), closed at the end."""
        connection = RawConnection.__new__(RawConnection)
        connection.sock = socket.create_connection(("127.0.0.1", server.port), timeout=10,
                                                   source_address=(source, 0))
        self.addCleanup(connection.close)
        return connection

    def serve(self, *options):
        server = Server(*options)
        self.addCleanup(server.close)
        return server


def auth_answers(connection):
    """The ids of the auth responses until the server closes the connection."""
    answers = []
    while (reply := connection.read_packet()) is not None:
        if reply[1] == 2:
            answers.append(reply[0])
    return answers


def run(connection, request_id, line):
    """One command and the joined bodies of its reply, found by an end marker after it."""
    connection.send(packet(request_id, 2, line.encode()) + packet(request_id + 1, 0))
    body = b""
    while (reply := connection.read_packet()) is not None:
        if reply[:2] == (request_id + 1, 0):
            return body.decode()
        body += reply[2]
    raise AssertionError(f"connection closed during {line!r}")


class Lockout(TestCase):
    def setUp(self):
        self.server = self.serve(*LOCKOUT)

    def test_a_locked_out_address_gets_the_auth_failure_even_for_the_right_password(self):
        pre_opened = self.connect(self.server)
        for _ in range(3):
            guesser = self.connect(self.server)
            guesser.send(packet(1, 3, b"wrong"))
            guesser.read_packet()
            self.assertEqual(guesser.read_packet()[0], -1)
        self.assertTrue(pre_opened.closed_by_server(),
                        "a connection opened before the lockout stops being served")
        admin = self.connect(self.server)
        admin.send(packet(5, 3, PASSWORD.encode()))
        self.assertEqual(auth_answers(admin), [-1])
        self.server.wait_for_stderr(
            r"refused login from 127\.0\.0\.1:\d+: address locked out until \d\d:\d\d:\d\d")
        elsewhere = self.connect(self.server, "127.0.0.2")
        self.assertTrue(elsewhere.login(), "other addresses are not locked out")


class StateExport(TestCase):
    def test_over_rcon_the_state_is_written_only_inside_the_state_folder(self):
        server = self.serve()
        connection = self.connect(server)
        self.assertTrue(connection.login())
        outside = os.path.join(server.root.name, "outside.json")
        for target in (outside, "../outside.json", "/etc/hostname"):
            self.assertRegex(run(connection, 10, f"emu.state {target}"),
                             r"^refused: over RCON, emu\.state writes only inside .*/state "
                             + re.escape(f'("{target}" is not)') + "$")
        self.assertFalse(os.path.exists(outside))
        os.makedirs(os.path.join(server.root.name, "state", "taken.json"))
        self.assertEqual(run(connection, 11, "emu.state taken.json"), "cannot write taken.json")
        self.assertEqual(run(connection, 12, "emu.state mine.json"), "saved")
        with open(os.path.join(server.root.name, "state", "mine.json")) as saved:
            self.assertIn("memory", json.load(saved))

    def test_a_state_larger_than_the_client_may_take_is_answered_by_one_line(self):
        server = self.serve("--rcon-max-unread-bytes", "65536")
        connection = self.connect(server)
        self.assertTrue(connection.login())
        self.assertRegex(
            run(connection, 20, "emu.state"),
            r"^the state is \d+ bytes, more than this connection can take \(\d+ bytes\); "
            r"use emu\.state FILE to write it to a file$")
        self.assertRegex(run(connection, 22, "GetOnlineNum"), r"^\d+$",
                         "the connection stays usable")


if __name__ == "__main__":
    unittest.main()
