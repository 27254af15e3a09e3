"""orvane-server end to end over RCON with python3-rcon as the client: a session as a standard
client sees it, and the log file as it stands when a reply arrives. (The protocol's defences are
tested on the listener and its parts.)

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 rcon_e2e_test.py
"""

import json
import os
import signal
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from rcon.source import Client  # noqa: E402

from server_harness import PASSWORD, Server  # noqa: E402


def client(port, password=PASSWORD):
    return Client("127.0.0.1", port, passwd=password, timeout=10)


class RconWithClientLibrary(unittest.TestCase):
    def test_a_session_of_a_standard_client(self):
        server = Server()
        self.addCleanup(server.close)
        with client(server.port) as c:
            self.assertRegex(c.run("GetOnlineNum"), r"^\d+$")
            self.assertEqual(c.run("getonlinenum"), c.run("GetOnlineNum"))
            self.assertEqual(c.run("Zoë日本🦖", "x"), "Unknown command: Zoë日本🦖")
            state = json.loads(c.run("emu.state"))  # far longer than one packet
            self.assertIn("memory", state)
            self.assertEqual(c.run("NextCommand"), "Unknown command: NextCommand",
                             "the stream stays in step after the long reply")


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


if __name__ == "__main__":
    unittest.main()
