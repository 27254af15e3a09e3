"""Accounts end to end: a refused command has no effect and its audit line names the account;
a reload takes effect for new logins and a bad file keeps the accounts in force; a bad file
stops the server at start.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 accounts_e2e_test.py
"""

import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from rcon.source import Client  # noqa: E402

from server_harness import SERVER, Server, run_exec  # noqa: E402


def hashed(password):
    done = subprocess.run([SERVER, "--hash-password"], input=password + "\n",
                          capture_output=True, text=True, timeout=60, check=True)
    return done.stdout.strip()


HASHES = {p: hashed(p) for p in ("alice-pw", "helper-pw")}


def write(path, *accounts):
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"accounts": [{"name": n, "password_hash": HASHES[p], "allow": allow}
                                for n, p, allow in accounts]}, f)


class Accounts(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.file = os.path.join(self.folder.name, "accounts.json")
        self.journal = os.path.join(self.folder.name, "journal.jsonl")
        write(self.file, ("alice", "alice-pw", ["*"]),
              ("helper", "helper-pw", ["messaging", "ListOnlinePlayers"]))
        self.server = Server("--journal", self.journal, accounts=self.file)

    def tearDown(self):
        self.server.close()
        self.folder.cleanup()

    def client(self, password):
        return Client("127.0.0.1", self.server.port, passwd=password, timeout=10)

    def journal_lines(self):
        with open(self.journal, encoding="utf-8") as f:
            return f.read().splitlines()

    def test_a_refused_command_has_no_effect_and_is_audited_by_name(self):
        with self.client("alice-pw") as alice, self.client("helper-pw") as helper:
            state = alice.run("emu.state")
            journal = self.journal_lines()
            for line in ("KillAllPlayers", "killallplayers x", "emu.state", "NoSuchCommand"):
                self.assertEqual(helper.run(line), "Not allowed: " + line.split()[0], line)
            self.assertEqual(self.journal_lines(), journal)
            self.assertEqual(alice.run("emu.state"), state)
            self.assertNotIn("Not allowed", helper.run("ListOnlinePlayers"))
        self.server.wait_for_stderr(re.compile(
            r'rcon helper@127\.0\.0\.1:\d+ #\d+ "KillAllPlayers": refused, 1 reply in'))
        self.server.wait_for_stderr(re.compile(r'rcon alice@127\.0\.0\.1:\d+ #\d+ "emu.state": 1'))

    def test_reload_serves_new_logins_and_a_bad_file_keeps_the_accounts(self):
        with self.client("alice-pw") as alice, self.client("helper-pw") as helper:
            write(self.file, ("alice", "alice-pw", ["*"]), ("helper2", "helper-pw", ["*"]))
            self.assertEqual(alice.run("emu.accounts reload"),
                             f"reloaded 2 accounts from {self.file}")
            self.assertEqual(helper.run("GetOnlineNum"), "Not allowed: GetOnlineNum")
            with self.client("helper-pw") as helper2:
                self.assertRegex(helper2.run("GetOnlineNum"), r"^\d+$")
            with open(self.file, "w", encoding="utf-8") as f:
                f.write('{"accounts": [], "extra": 1}')
            self.server.process.send_signal(signal.SIGHUP)
            self.server.wait_for_stderr(re.compile(r'kept the 2 accounts in force: .*unknown key'))
            with self.client("helper-pw") as helper2:
                self.assertRegex(helper2.run("GetOnlineNum"), r"^\d+$")

    def test_a_bad_file_stops_the_start(self):
        with open(self.file, "w", encoding="utf-8") as f:
            f.write('{"accounts": [{"name": "a\\nb"}]}')
        done = run_exec("GetOnlineNum", extra=["--accounts", self.file])
        self.assertEqual(done.returncode, 1)
        self.assertIn("accounts[0].name: a name is 1 to 64", done.stderr)


if __name__ == "__main__":
    unittest.main()
