"""orvane-server end to end over RCON, with python3-rcon as the client and raw sockets for
what a client library would never send.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 rcon_e2e_test.py
"""

import json
import os
import signal
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from rcon.exceptions import WrongPassword  # noqa: E402
from rcon.source import Client  # noqa: E402

from server_harness import PASSWORD, RawConnection, Server, packet  # noqa: E402


def client(port, password=PASSWORD):
    return Client("127.0.0.1", port, passwd=password, timeout=10)


class RconWithClientLibrary(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server()

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def test_login_and_a_plugin_command(self):
        with client(self.server.port) as c:
            self.assertRegex(c.run("GetOnlineNum"), r"^\d+$")
            self.assertEqual(c.run("getonlinenum"), c.run("GetOnlineNum"))
            self.assertEqual(c.run("NoSuchCommand", "x"), "Unknown command: NoSuchCommand")

    def test_wrong_password_is_refused(self):
        with self.assertRaises(WrongPassword):
            with client(self.server.port, "not-the-password"):
                pass
        self.server.wait_for_stderr(r"refused login from 127\.0\.0\.1:")

    def test_reply_longer_than_4096_bytes_is_reassembled(self):
        with client(self.server.port) as c:
            text = c.run("emu.state")
            self.assertGreater(len(text.encode()), 4096)
            state = json.loads(text)
            self.assertIn("memory", state)
            self.assertEqual(c.run("NextCommand"), "Unknown command: NextCommand",
                             "the stream stays in step after the long reply")

    def test_two_clients_interleave(self):
        with client(self.server.port) as a, client(self.server.port) as b:
            for i in range(20):
                self.assertEqual(a.run(f"A{i}"), f"Unknown command: A{i}")
                self.assertEqual(b.run(f"B{i}"), f"Unknown command: B{i}")
                self.assertRegex(b.run("GetOnlineNum"), r"^\d+$")

    def test_non_ascii_text_survives_the_round_trip(self):
        with client(self.server.port) as c:
            self.assertEqual(c.run("Zoë日本🦖"), "Unknown command: Zoë日本🦖")


class RconLogFile(unittest.TestCase):
    def test_a_reply_leaves_after_its_lines_are_in_the_log_file(self):
        with tempfile.TemporaryDirectory(prefix="orvane-log-") as folder:
            log_path = os.path.join(folder, "server.log")
            server = Server("--log-file", log_path)
            try:
                requests = [("GetServerFrames", "ServerFramerate: "),
                            ("DestroyPlayerProfile 0002", "Got save directory: "),
                            ("DestroyPlayerProfile x\nrcon 1.2.3.4 #1 \"fake\"\x1b[2J", "\\n")]
                with client(server.port) as c:
                    for done, (line, logged) in enumerate(requests, 1):
                        c.run(line)
                        with open(log_path, encoding="utf-8") as log:
                            text = log.read()
                        self.assertIn(logged, text, f"at the reply to {line!r}")
                        self.assertEqual(text.count("[audit][info] rcon "), done, line)
                server.stop(signal.SIGKILL)
                with open(log_path, encoding="utf-8") as log:
                    text = log.read()
                self.assertEqual(text.count("[audit][info] rcon "), len(requests))
                self.assertNotIn("\x1b", text)
                self.assertNotRegex(text, r"(?m)^rcon 1\.2\.3\.4", "no forged line of its own")
            finally:
                server.close()


class RconDefences(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server("--rcon-idle-timeout-ms", "30000")

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def assert_closed_while_others_served(self, data, logged):
        with client(self.server.port) as other:
            bad = RawConnection(self.server.port)
            bad.send(data)
            self.assertTrue(bad.closed_by_server())
            bad.close()
            self.server.wait_for_stderr(logged)
            self.assertRegex(other.run("GetOnlineNum"), r"^\d+$")

    def test_sizes_outside_the_limits_close_the_connection(self):
        for size in (0, 9, 4097, 1 << 30, -1):
            with self.subTest(size=size):
                bad = packet(1, 3, PASSWORD.encode())
                self.assert_closed_while_others_served(
                    size.to_bytes(4, "little", signed=True) + bad[4:],
                    rf"packet size {size} outside 10\.\.4096")

    def test_garbage_closes_the_connection(self):
        self.assert_closed_while_others_served(b"\x16\x03\x01\x02\x00garbage" * 10, "outside")

    def test_packet_without_its_terminating_zeros_closes_the_connection(self):
        self.assert_closed_while_others_served(packet(1, 3, PASSWORD.encode())[:-2] + b"ab",
                                               "without its two terminating zeros")

    def test_command_before_login_closes_the_connection(self):
        self.assert_closed_while_others_served(packet(7, 2, b"GetOnlineNum"),
                                               r"127\.0\.0\.1:\d+: command before login")

    def test_truncated_packet_closes_the_connection(self):
        with client(self.server.port) as other:
            bad = RawConnection(self.server.port)
            self.assertTrue(bad.login())
            bad.send(packet(2, 2, b"GetOnlineNum")[:11])
            bad.sock.shutdown(1)  # no more bytes will come
            self.assertTrue(bad.closed_by_server())
            bad.close()
            self.server.wait_for_stderr(r"127\.0\.0\.1:\d+: truncated packet")
            self.assertRegex(other.run("GetOnlineNum"), r"^\d+$")

    def test_pipelined_requests_are_answered_in_order(self):
        raw = RawConnection(self.server.port)
        self.assertTrue(raw.login())
        raw.send(b"".join(packet(100 + i, 2, f"P{i}".encode()) for i in range(50)))
        for i in range(50):
            self.assertEqual(raw.read_packet(), (100 + i, 2, f"Unknown command: P{i}".encode()))
        raw.send(packet(9, 2, b""))
        self.assertEqual(raw.read_packet(), (9, 2, b""), "an empty body gets one empty reply")
        raw.close()


if __name__ == "__main__":
    unittest.main()
