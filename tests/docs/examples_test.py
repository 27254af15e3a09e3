"""The command lines that the README and the server's start-up notice offer to try work on the
default world: none of them answers with a usage line, an unknown command or a failed lookup.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 examples_test.py
"""

import os
import re
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, "tests", "server"))

from server_harness import Server, run_exec  # noqa: E402

FAILED = re.compile(r"^(Can't find|Not enough arguments|Unknown command|Request has failed)")


def readme_lines():
    """Lines shown to type (indented, starting with a command name) and every --exec line."""
    with open(os.path.join(REPO, "README.md"), encoding="utf-8") as f:
        text = f.read()
    typed = re.findall(r"^    ((?:[A-Z][A-Za-z]+|emu\.[a-z]+)\b[^\n]*)$", text, re.M)
    return typed + re.findall(r'--exec "([^"]+)"', text)


class Examples(unittest.TestCase):
    def assert_works(self, line):
        result = run_exec(line)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotRegex(result.stdout, FAILED, line)

    def test_the_readme_examples_work_on_the_default_world(self):
        lines = readme_lines()
        self.assertGreaterEqual(len(lines), 5, lines)
        with tempfile.TemporaryDirectory() as folder:
            for line in lines:
                with self.subTest(line):
                    # emu.state FILE writes into the scratch folder, not the working directory
                    self.assert_works(re.sub(r"^emu\.state (\S+)",
                                             lambda m: f"emu.state {folder}/{m.group(1)}", line))

    def test_the_start_up_notice_names_emu_commands_and_working_examples(self):
        server = Server()
        try:
            server.wait_for_stderr("Ctrl-C")
            notice = "\n".join(server.stderr_lines)
        finally:
            server.close()
        self.assertIn("emu.commands", notice)
        lines = re.findall(r'c\.run\("([^"]+)"\)', notice)
        self.assertGreaterEqual(len(lines), 2, notice)
        for line in lines:
            with self.subTest(line):
                self.assert_works(line)


if __name__ == "__main__":
    unittest.main()
