"""orvane-server's command line, console and life cycle: --exec, a bad world file, the
server's own commands, standard input, and a clean stop on SIGTERM and SIGINT.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 server_cli_test.py
"""

import datetime
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from server_harness import PLUGIN, SERVER, Server, run_exec  # noqa: E402

UNLOADED = "Unloaded additional commands"


class Exec(unittest.TestCase):
    def test_replies_of_several_lines_come_in_order_and_the_server_exits_0(self):
        result = run_exec("First", "", "GetOnlineNum", "emu.plugin", "Last word")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.split("\n")
        self.assertEqual(lines[0], "Unknown command: First")
        self.assertEqual(lines[1], "", "an empty line gets one empty reply")
        self.assertRegex(lines[2], r"^\d+$")
        self.assertEqual(lines[3], "usage: emu.plugin unload|load|reload")
        self.assertEqual(lines[4:], ["Unknown command: Last", ""])
        self.assertIn(UNLOADED, result.stderr, "the plugin is unloaded before exiting")
        labelled = run_exec("First", "Last word", extra=["--label-replies"]).stdout
        self.assertEqual(labelled, "First\tUnknown command: First\n"
                                   "Last word\tUnknown command: Last\n")

    def test_plugin_unload_and_load(self):
        result = run_exec("emu.plugin unload", "GetOnlineNum", "emu.plugin unload",
                          "emu.plugin load", "GetOnlineNum", "emu.plugin reload", "GetOnlineNum")
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[:4], ["unloaded", "Unknown command: GetOnlineNum",
                                     "the plugin is not loaded", "loaded"])
        self.assertRegex(lines[4], r"^\d+$")
        self.assertEqual(lines[5], "reloaded")
        self.assertRegex(lines[6], r"^\d+$")

    def test_state_is_json_and_can_be_saved_and_loaded_again(self):
        with tempfile.TemporaryDirectory() as folder:
            saved = os.path.join(folder, "state.json")
            result = run_exec("emu.state", f"emu.state {saved}")
            self.assertEqual(result.returncode, 0, result.stderr)
            reply, status = result.stdout.rsplit("\n", 2)[:2]
            self.assertEqual(status, "saved")
            self.assertIn("memory", json.loads(reply))
            again = run_exec("GetOnlineNum", extra=["--world", saved])
            self.assertEqual(again.returncode, 0, again.stderr)

    def test_a_command_that_moves_the_current_directory_breaks_no_path_of_the_server(self):
        # Every path relative to where the server starts; the profile removal then moves the
        # process's current directory into the save folder.
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "world.json"), "w") as f:
                json.dump({"save_directory": "SavedWorlds", "profiles": ["e1"],
                           "dinos": [{"class": "Raptor_Character_BP_C", "id1": 11, "id2": 22}]},
                          f)
            lines = ["DestroyPlayerProfile e1", "emu.state before.json", "KillDino 11 22",
                     "emu.state state.json", "emu.plugin reload", "GetOnlineNum"]
            args = [SERVER, "--plugin", os.path.relpath(PLUGIN, folder), "--root", "root",
                    "--world", "world.json", "--journal", "journal.jsonl",
                    "--log-file", "server.log"]
            for line in lines:
                args += ["--exec", line]
            result = subprocess.run(args, cwd=folder, stdin=subprocess.DEVNULL,
                                    capture_output=True, timeout=60, text=True)
            self.assertEqual(result.returncode, 0, result.stderr)
            replies = result.stdout.splitlines()
            self.assertEqual(replies[0].split(":")[0], "Successfully removed")
            self.assertEqual(replies[1:], ["saved", "Killed dino", "saved", "reloaded", "0"])
            map_folder = os.path.join(folder, "root", "Saved", "SavedWorlds", "TheIsland_WP")
            self.assertEqual(os.listdir(map_folder), [], "the profile is gone")
            memory = []
            for name in ("before.json", "state.json"):
                with open(os.path.join(folder, name)) as f:
                    memory.append(json.load(f)["memory"]["live_blocks"])
            self.assertLess(memory[1], memory[0], "the killed dino is collected after its request")
            with open(os.path.join(folder, "journal.jsonl")) as f:
                calls = [json.loads(line)["fn"] for line in f]
            self.assertIn("APrimalDinoCharacter.Destroy(bool,bool)", calls)
            with open(os.path.join(folder, "server.log")) as f:
                log = f.read()
            self.assertLess(log.index("Successfully removed"), log.index(UNLOADED))

    def test_a_starting_directory_that_is_gone_is_refused_with_its_reason(self):
        with tempfile.TemporaryDirectory() as folder:
            gone = os.path.join(folder, "gone")
            os.mkdir(gone)
            result = subprocess.run(
                ["/bin/sh", "-c", 'cd "$1" && rmdir "$1" && exec "$2" --no-rcon --exec x', "sh",
                 gone, SERVER], capture_output=True, timeout=60, text=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot read the current directory: No such file or directory",
                      result.stderr)

    def test_disconnect_needs_a_live_player(self):
        result = run_exec("emu.disconnect", "emu.disconnect nobody")
        self.assertEqual(result.stdout.splitlines(),
                         ["usage: emu.disconnect <EOS-ID>",
                          "no live controller with EOS id nobody"])

    def test_clock_advances_by_exactly_the_given_seconds(self):
        before = int(time.time())
        result = run_exec("emu.clock", "emu.clock advance 20", "emu.clock")
        after = int(time.time()) + 1
        self.assertEqual(result.returncode, 0, result.stderr)
        readings = []
        for line in result.stdout.splitlines():
            match = re.fullmatch(r"(\d+) (\S+) \(advanced (\d+) s\)", line)
            self.assertIsNotNone(match, line)
            epoch, iso, advanced = int(match[1]), match[2], int(match[3])
            self.assertEqual(iso, datetime.datetime.fromtimestamp(
                epoch, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ"))
            readings.append((epoch, advanced))
        self.assertEqual([advanced for _, advanced in readings], [0, 20, 20])
        system = [epoch - advanced for epoch, advanced in readings]
        self.assertEqual(system, sorted(system), "the system's time under the clock runs on")
        self.assertTrue(before <= system[0] and system[-1] <= after, (before, system, after))

    def test_clock_refuses_what_is_not_a_whole_number_of_seconds_ahead(self):
        result = run_exec("emu.clock advance -5", "emu.clock advance 1.5", "emu.clock advance",
                          "emu.clock back 5", "emu.clock advance 99999999999999999999", "emu.clock")
        lines = result.stdout.splitlines()
        for line in lines[:5]:
            self.assertRegex(line, r"^usage: emu.clock \[advance SECONDS\]")
        self.assertRegex(lines[5], r"\(advanced 0 s\)$", "nothing moved the clock")


class Serving(unittest.TestCase):
    def test_sigterm_and_sigint_unload_the_plugin_and_exit_0(self):
        for stop in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=stop), tempfile.TemporaryDirectory() as folder:
                log = os.path.join(folder, "server.log")
                server = Server("--log-file", log)
                try:
                    self.assertEqual(server.stop(stop), 0)
                finally:
                    server.close()
                with open(log) as f:
                    text = f.read()
                self.assertLess(text.index(UNLOADED), text.index("RCON listener closed"))

    def test_console_lines_are_dispatched_and_replies_printed(self):
        server = Server(rcon=False, stdin=subprocess.PIPE)
        try:
            server.process.stdin.write(b"Hello there\nGetOnlineNum\n")
            server.process.stdin.flush()
            lines = server.wait_for_stdout_count(2)
            self.assertEqual(lines[0], "Unknown command: Hello")
            self.assertRegex(lines[1], r"^\d+$")
            server.process.stdin.close()  # end of input does not stop the server
            self.assertIsNone(server.process.poll())
            self.assertEqual(server.stop(), 0)
        finally:
            server.close()

    def test_exec_with_serve_keeps_running(self):
        server = Server("--exec", "Before", "--serve")
        try:
            self.assertEqual(server.wait_for_stdout_count(1)[0], "Unknown command: Before")
            self.assertEqual(server.stop(), 0)
        finally:
            server.close()

    def test_port_in_use_exits_non_zero(self):
        server = Server()
        try:
            result = run_exec(extra=["--rcon-port", str(server.port), "--serve"])
            self.assertNotEqual(result.returncode, 0)
            self.assertIn(f"cannot listen on 127.0.0.1:{server.port}", result.stderr)
        finally:
            server.close()


if __name__ == "__main__":
    unittest.main()
