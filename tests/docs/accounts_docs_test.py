"""The accounts documentation holds: the schema accepts the sample and the server loads it; the
schema refuses what the server refuses by shape (unknown keys, names that could forge a log line,
a password in clear).

Run: ORVANE_SERVER=... /usr/bin/python3 accounts_docs_test.py
"""

import copy
import json
import os
import subprocess
import tempfile
import unittest

import jsonschema

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
SAMPLE = os.path.join(REPO, "examples", "accounts.json")
with open(os.path.join(REPO, "docs", "accounts.schema.json"), encoding="utf-8") as f:
    VALIDATOR = jsonschema.Draft202012Validator(json.load(f))
with open(SAMPLE, encoding="utf-8") as f:
    SAMPLE_ACCOUNTS = json.load(f)


class AccountsDocs(unittest.TestCase):
    def test_the_sample_fits_the_schema(self):
        self.assertEqual([e.message for e in VALIDATOR.iter_errors(SAMPLE_ACCOUNTS)], [])

    def test_the_schema_refuses_bad_shapes(self):
        cases = {
            "unknown key": ("role", "admin"),
            "name with a newline": ("name", "a\nrcon b@1.2.3.4:5"),
            "empty name": ("name", ""),
            "password in clear": ("password_hash", "alice-example"),
            "allow not a list": ("allow", "*"),
        }
        for what, (key, value) in cases.items():
            accounts = copy.deepcopy(SAMPLE_ACCOUNTS)
            accounts["accounts"][0][key] = value
            self.assertFalse(VALIDATOR.is_valid(accounts), what)

    def test_the_server_loads_the_sample(self):
        server = os.environ["ORVANE_SERVER"]
        done = subprocess.run([server, "--hash-password"], input="x\n", capture_output=True,
                              text=True, timeout=60, check=False)
        self.assertTrue(VALIDATOR.is_valid(
            {"accounts": [{"name": "x", "password_hash": done.stdout.strip(), "allow": []}]}),
            done.stdout + done.stderr)
        with tempfile.TemporaryDirectory() as root:
            done = subprocess.run([server, "--no-rcon", "--accounts", SAMPLE, "--root", root,
                                   "--exec", "GetOnlineNum"],
                                  capture_output=True, text=True, timeout=60, check=False)
        self.assertEqual(done.returncode, 0, done.stderr)


if __name__ == "__main__":
    unittest.main()
