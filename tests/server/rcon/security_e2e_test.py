"""orvane-server's RCON defences end to end, with raw sockets: the login lockout, slots,
fairness, packet types and the state export's limits.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 security_e2e_test.py
"""

import json
import os
import socket
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from server_harness import PASSWORD, RawConnection, Server, packet, run_exec  # noqa: E402

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

    def test_pipelined_guesses_meet_the_lockout_one_by_one(self):
        guesser = self.connect(self.server)
        guesser.send(b"".join(packet(10 + i, 3, b"guess%d" % i) for i in range(20)) +
                     packet(99, 3, PASSWORD.encode()))
        self.assertEqual(auth_answers(guesser), [-1, -1, -1],
                         "three guesses answered, then the close; the right one never taken")
        self.server.wait_for_stderr(
            r"locked out 127\.0\.0\.1 for 600 s after 3 failed logins \(until \d\d:\d\d:\d\d\)")

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


class Slots(TestCase):
    def test_idle_sockets_cannot_keep_an_administrator_out(self):
        server = self.serve()  # the default limits: 16 connections
        for i in range(16):
            self.connect(server, f"127.0.0.{2 + i % 3}")
        admin = self.connect(server)
        self.assertTrue(admin.login())
        self.assertRegex(run(admin, 7, "GetOnlineNum"), r"^\d+$")

    def test_a_connection_that_does_not_log_in_is_closed_at_the_deadline(self):
        server = self.serve("--rcon-login-deadline-ms", "200")
        self.assertTrue(self.connect(server).closed_by_server())
        server.wait_for_stderr(r"127\.0\.0\.1:\d+: no login within 0\.2 s")


class Fairness(TestCase):
    def test_a_dead_clients_waiting_requests_never_run(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        journal = os.path.join(folder.name, "journal.jsonl")
        server = self.serve("--journal", journal)
        other = self.connect(server)
        self.assertTrue(other.login())
        dying = self.connect(server)
        self.assertTrue(dying.login())
        dying.send(b"".join(packet(7000 + i, 2, b"emu.state") for i in range(64)))
        dying.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        dying.close()  # a reset, as a client that dies
        server.wait_for_stderr(r"RCON connection from 127\.0\.0\.1:\d+ closed")
        self.assertRegex(run(other, 1, "GetOnlineNum"), r"^\d+$")
        with open(journal) as lines:
            replies = [json.loads(line) for line in lines if "SendMessage" in line]
        ran = {r["args"][0] for r in replies if 7000 <= r["args"][0] < 7064}
        self.assertLess(len(ran), 8, f"{len(ran)} of the dead client's 64 requests ran")


class PacketTypes(TestCase):
    def test_only_commands_run_and_a_response_value_marks_the_end(self):
        server = self.serve()
        connection = self.connect(server)
        self.assertTrue(connection.login())
        connection.send(packet(3, 1, b"emu.plugin unload") + packet(4, 100, b"GetOnlineNum") +
                        packet(5, -1, b"x") + packet(6, 2, b"emu.plugin reload") + packet(7, 0))
        self.assertEqual(connection.read_packet(), (6, 2, b"reloaded"))
        self.assertEqual(connection.read_packet(), (7, 0, b""))
        server.wait_for_stderr(r"ignored a packet of type 100 from 127\.0\.0\.1:")
        self.assertRegex(run(connection, 8, "GetOnlineNum"), r"^\d+$")


class StateExport(TestCase):
    def test_over_rcon_the_state_is_written_only_inside_the_state_folder(self):
        server = self.serve()
        connection = self.connect(server)
        self.assertTrue(connection.login())
        outside = os.path.join(server.root.name, "outside.json")
        for target in (outside, "../outside.json", "/etc/hostname"):
            self.assertRegex(run(connection, 10, f"emu.state {target}"),
                             r"^refused: over RCON, emu\.state writes only inside .*/state")
        self.assertFalse(os.path.exists(outside))
        self.assertEqual(run(connection, 12, "emu.state mine.json"), "saved")
        with open(os.path.join(server.root.name, "state", "mine.json")) as saved:
            self.assertIn("memory", json.load(saved))

    def test_the_console_and_exec_write_anywhere(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "anywhere.json")
            self.assertEqual(run_exec(f"emu.state {target}").stdout, "saved\n")
            self.assertTrue(os.path.exists(target))

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
