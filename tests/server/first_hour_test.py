"""What a new administrator meets first: the command list, the audit trail of every request,
a refused empty password, and a world file that is missing, not a file, too large or
unparsable, each refused with a clear reason and exit 1 (never an abort).

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 first_hour_test.py
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from server_harness import PASSWORD, Server, run_exec  # noqa: E402

from rcon.source import Client  # noqa: E402

AUDIT = r"\[audit\]\[info\] "


class Commands(unittest.TestCase):
    def test_emu_commands_lists_the_servers_then_the_plugins_in_registration_order(self):
        names = run_exec("emu.commands").stdout.splitlines()
        self.assertEqual(names[0], "emu.state")
        self.assertIn("emu.commands", names)
        self.assertIn("GetOnlineNum", names)
        plugin = [n for n in names if not n.startswith("emu.")]
        self.assertEqual(plugin[0], "Orvane.info", "the marker is registered first")
        self.assertTrue(all(n.startswith("emu.") for n in names[:len(names) - len(plugin)]))
        self.assertEqual(len(set(names)), len(names))
        version = run_exec("emu.version").stdout.splitlines()
        self.assertRegex(version[0], r"^orvane-server \d+\.\d+\.\d+ \(commit \w+, .*build-id [0-9a-f]+\)$")
        self.assertRegex(version[1], r"^plugin .*libOrvane\.so \(build-id [0-9a-f]+\)$")

    def test_after_a_reload_the_plugins_commands_are_listed_again(self):
        lines = run_exec("emu.commands", "emu.plugin reload", "emu.commands").stdout.splitlines()
        middle = lines.index("reloaded")
        self.assertEqual(lines[:middle], lines[middle + 1:])


class AuditTrail(unittest.TestCase):
    def test_exec_requests_are_audited_with_id_line_replies_and_time(self):
        result = run_exec("GetOnlineNum", "Orvane.info", "x" * 300)
        lines = re.findall(AUDIT + r"(.*)", result.stderr)
        self.assertEqual(len(lines), 3, result.stderr)
        self.assertRegex(lines[0], r'^exec #1 "GetOnlineNum": 1 reply in \d+\.\d{3} ms$')
        self.assertRegex(lines[1], r'^exec #2 "Orvane.info": 0 replies in ')
        self.assertRegex(lines[2], '^exec #3 "' + "x" * 200 + r'" \(cut, 300 characters\): 1 reply')

    def test_no_audit_turns_the_lines_off(self):
        result = run_exec("GetOnlineNum", extra=["--no-audit"])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotRegex(result.stderr, AUDIT)

    def test_rcon_and_console_requests_are_audited_with_their_source(self):
        server = Server(stdin=subprocess.PIPE)
        try:
            with Client("127.0.0.1", server.port, passwd=PASSWORD, timeout=10) as client:
                self.assertRegex(client.run("GetOnlineNum"), r"^\d+$")
            server.process.stdin.write(b"ListOnlinePlayers\n")
            server.process.stdin.flush()
            server.wait_for_stderr(AUDIT + r'rcon 127\.0\.0\.1:\d+ #\d+ "GetOnlineNum": 1 reply in ')
            server.wait_for_stderr(AUDIT + r'console #1 "ListOnlinePlayers": 1 reply in ')
        finally:
            server.close()


class Password(unittest.TestCase):
    def test_an_empty_password_is_refused_with_exit_2(self):
        result = run_exec("GetOnlineNum", extra=["--rcon-password", ""])
        self.assertEqual(result.returncode, 2)
        self.assertIn("--rcon-password", result.stderr)
        self.assertEqual(run_exec(extra=["--rcon-password="]).returncode, 2)


class WorldFiles(unittest.TestCase):
    def test_a_bad_world_file_is_refused_with_its_reason_and_exit_1(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        written = os.path.join(folder.name, "world.json")
        cases = [  # (file text or a path, extra options, the last line of standard error)
            ("/nonexistent/world.json", [],
             r"/nonexistent/world\.json: cannot open: No such file or directory$"),
            (folder.name, [], r": not a regular file but a directory$"),
            ("/dev/zero", [],
             r"^orvane-server: /dev/zero: not a regular file but a character device$"),
            ('{"map": "TheIsland_WP"}' + " " * 100, ["--world-max-bytes", "64"],
             r"too large: 123 bytes, the limit is 64 \(--world-max-bytes\)$"),
            ('{"dinos": [{"level": ' + "9" * 400 + "}]}", [],
             r"world\.json: dinos\[0\]\.level: number overflow parsing '9+\.\.\.$"),
            ('{"players": [\n  {"team": tru}]}', [],
             r"players\[0\]\.team: parse error at line 2, column 15: "),
        ]
        for source, extra, reason in cases:
            with self.subTest(source=source[:40]):
                path = source
                if source.startswith("{"):
                    with open(written, "w", encoding="utf-8") as f:
                        f.write(source)
                    path = written
                result = run_exec("GetOnlineNum", extra=["--world", path, *extra])
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertNotIn("json.exception", result.stderr)
                self.assertRegex(result.stderr.strip().splitlines()[-1], reason)
        with open(written, "w", encoding="utf-8") as f:
            f.write('{"map": "TheIsland_WP"}' + " " * 100)
        ok = run_exec("GetOnlineNum", extra=["--world", written, "--world-max-bytes", "123"])
        self.assertEqual(ok.returncode, 0, ok.stderr)


if __name__ == "__main__":
    unittest.main()
