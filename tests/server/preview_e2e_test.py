"""emu.preview and emu.diff end to end on the default world: every plugin command, previewed and
then run for real on a fresh server, previews the world changes, files and game calls the real run
makes, and leaves the live state export byte for byte as it was; bad lines are answered, not
crashed on.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 preview_e2e_test.py
"""

import json
import os
import re
import sys
import tempfile
import unittest
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

from rcon.source import Client  # noqa: E402

from server_harness import PASSWORD, Server, run_exec  # noqa: E402


def command_lines(world):
    """One line per command of the reference, its placeholders filled from the default world."""
    tribe = world["tribes"][1]["id"]
    player = next(p for p in world["players"] if p.get("tribe", p.get("team")) == tribe)
    dino = next(d for d in world["dinos"] if d["team"] == tribe)
    values = {"eos-id": player["eos_id"], "tribeid": tribe, "dinoid1": dino["id1"],
              "dinoid2": dino["id2"], "playerid": player["player_id"],
              "blueprint/classname": "StoneWall_C", "class": dino["class"],
              "structurename": "Stone", "blueprintpath": world["items"][0], "itemid": 0,
              "x": 0, "y": 0, "z": 0, "r": 50000, "message": "hi", "sender": "Admin",
              "command": "say", "newname": "Zed"}
    with open(os.path.join(REPO, "docs", "commands.md"), encoding="utf-8") as f:
        rows = re.findall(r"^\| `([^`]+)` \| `([^`]+)`", f.read(), re.M)
    lines = []
    for name, usage in rows:
        words = [str(values.get(w.lower(), 1)) for w in re.findall(r"<([^>]+)>", usage)]
        lines.append(" ".join([name] + words))
    return lines


def sorted_world(world):
    return {k: sorted(json.dumps(e, sort_keys=True) for e in v) for k, v in world.items()}


def calls_of(journal, request_id):
    """The journal's calls of one request, without what differs between two requests: the id."""
    calls = []
    for line in journal:
        call = json.loads(line)
        if call.pop("id", None) != request_id:
            continue
        if call["fn"].startswith("RCONClientConnection.SendMessage"):
            call["args"][0] = None
        calls.append(call)
    return calls


def preview_then_run(line, extra=()):
    with tempfile.TemporaryDirectory() as folder:
        before, between = os.path.join(folder, "a.json"), os.path.join(folder, "b.json")
        journal = os.path.join(folder, "j.jsonl")
        result = run_exec("emu.state " + before, "emu.preview " + line, "emu.state " + between,
                          line, "emu.diff " + before,
                          extra=("--journal", journal, "--no-audit") + tuple(extra))
        with open(before, "rb") as a, open(between, "rb") as b:
            unchanged = a.read() == b.read()
        with open(journal, encoding="utf-8") as f:
            journal_lines = f.read().splitlines()
    out = result.stdout.split("\n")
    return json.loads(out[1]), unchanged, json.loads(out[-2]), journal_lines


class Preview(unittest.TestCase):
    maxDiff = 2000

    def test_every_command_previews_what_it_then_does(self):
        world = json.loads(run_exec("emu.state", extra=("--no-audit",)).stdout)
        lines = command_lines(world)
        self.assertGreaterEqual(len(lines), 79)
        with ThreadPoolExecutor(2) as pool:
            outcomes = list(pool.map(preview_then_run, lines))
        for line, (report, unchanged, real_world, journal) in zip(lines, outcomes):
            with self.subTest(line=line):
                self.assertTrue(unchanged, "the preview changed the live state")
                self.assertEqual(sorted_world(report["world"]), sorted_world(real_world))
                real_calls = calls_of(journal, 4)
                self.assertEqual(calls_of([json.dumps(c) for c in report["calls"]], 2), real_calls)
                files = {k: [c["args"][0] for c in real_calls if c["fn"] == "file." + k]
                         for k in ("created", "removed", "changed")}
                self.assertEqual(report["files"], files)

    def test_a_destruction_of_many_batches_previews_what_it_then_does(self):
        """So many structures go that the parent and the copy each describe some of them."""
        world = json.loads(run_exec("emu.state", extra=("--no-audit",)).stdout)
        tribe = world["tribes"][1]["id"]
        wall = next(s for s in world["structures"] if s["team"] == tribe)
        world["structures"] += [dict(wall, position=[i * 10.0, 0.0, 0.0]) for i in range(30000)]
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "large.json")
            with open(path, "w", encoding="utf-8") as f:
                json.dump(world, f)
            report, unchanged, real_world, _ = preview_then_run(f"DestroyTribeAll {tribe}",
                                                                ("--world", path))
        self.assertTrue(unchanged, "the preview changed the live state")
        self.assertGreater(len(report["world"]["removed"]), 30000)
        self.assertEqual(sorted_world(report["world"]), sorted_world(real_world))

    def test_previews_leave_no_descriptor_open(self):
        server = Server()
        self.addCleanup(server.close)
        descriptors = f"/proc/{server.process.pid}/fd"
        with Client("127.0.0.1", server.port, passwd=PASSWORD, timeout=60) as client:
            client.run("emu.preview GetOnlineNum")
            before = len(os.listdir(descriptors))
            for _ in range(5):
                client.run("emu.preview GetOnlineNum")
            self.assertEqual(len(os.listdir(descriptors)), before)

    def test_bad_lines_are_answered(self):
        result = run_exec("emu.preview", "emu.preview emu.state", "emu.preview NoSuchCommand 1",
                          "emu.preview KillDino 11", "emu.preview --text DestroyTribeAll 1000002")
        out = result.stdout.split("\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(out[0].startswith("usage: emu.preview"), out[0])
        self.assertTrue(out[1].startswith("refused:"), out[1])
        for line, reply in ((out[2], "Unknown command: NoSuchCommand"),
                            (out[3], "Not enough arguments: KillDino <DinoID1> <DinoID2>")):
            self.assertEqual([r["body"] for r in json.loads(line)["replies"]], [reply], line)
        self.assertRegex(out[4], r"^would remove \d+ dinos and \d+ structures of tribe 1000002 "
                                 r"\(Stone Circle\); .*would run again at "
                                 r"\d\d:\d\d:\d\d UTC and \d\d:\d\d:\d\d UTC")


if __name__ == "__main__":
    unittest.main()
