"""The world-file documentation holds: the schema accepts the commented sample, the default
world and an export after commands (a non-finite position included), and refuses wrong types
and unknown keys; the sample loads; every key the schema knows is documented.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 world_file_docs_test.py
"""

import json
import os
import re
import sys
import tempfile
import unittest

import jsonschema

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, "tests", "server"))

from server_harness import run_exec  # noqa: E402

SAMPLE = os.path.join(REPO, "examples", "small-world.json")
DOC = os.path.join(REPO, "docs", "world-file.md")
with open(os.path.join(REPO, "docs", "world-file.schema.json"), encoding="utf-8") as f:
    SCHEMA = json.load(f)
VALIDATOR = jsonschema.Draft202012Validator(SCHEMA)


def without_comments(text):
    """JSON text less its // and /* */ comments (strings kept whole)."""
    return re.sub(r'("(?:\\.|[^"\\])*")|//[^\n]*|/\*.*?\*/',
                  lambda m: m.group(1) or "", text, flags=re.S)


def read_sample():
    with open(SAMPLE, encoding="utf-8") as f:
        return json.loads(without_comments(f.read()))


def export(*lines):
    """The world file emu.state writes after `lines` ran on the default world."""
    with tempfile.TemporaryDirectory() as folder:
        saved = os.path.join(folder, "state.json")
        result = run_exec(*lines, f"emu.state {saved}")
        if result.returncode != 0:
            raise AssertionError(result.stderr)
        with open(saved, encoding="utf-8") as f:
            return json.load(f)


def problems(world):
    return [f"{'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in VALIDATOR.iter_errors(world)]


class Schema(unittest.TestCase):
    def test_the_schema_is_a_valid_schema(self):
        jsonschema.Draft202012Validator.check_schema(SCHEMA)

    def test_the_sample_passes_and_loads(self):
        self.assertEqual(problems(read_sample()), [])
        result = run_exec("GetOnlineNum", "GetDinoPos 101 1", extra=["--world", SAMPLE])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.splitlines()[0], "3")
        self.assertTrue(result.stdout.splitlines()[1].startswith("X=1100.000"), result.stdout)

    def test_the_default_world_and_an_export_after_commands_pass(self):
        self.assertEqual(problems(export()), [])
        dino = export()["dinos"][0]
        changed = export(f"SetDinoPos {dino['id1']} {dino['id2']} nan inf -inf",
                         f"SetImprintQuality {dino['id1']} {dino['id2']} 0.5",
                         "SendMessageToChat Admin hi", "SendMessageToNotification hi",
                         "TribeChatMsg 1 1000001 hi")
        self.assertEqual(changed["dinos"][0]["position"], ["nan", "inf", "-inf"])
        self.assertEqual(problems(changed), [])

    def test_wrong_types_and_unknown_keys_are_refused(self):
        cases = {
            "players/0/team": lambda w: w["players"][0].update(team="1200001"),
            "dinos/0/position": lambda w: w["dinos"][0].update(position=[1, 2]),
            "map": lambda w: w.update(map=7),
            "tribes/0": lambda w: w["tribes"][0].update(members=[]),
            "dinos/1/food/0": lambda w: w["dinos"][1].update(food=["NaN", 1]),
        }
        for where, spoil in cases.items():
            with self.subTest(where):
                world = read_sample()
                spoil(world)
                found = problems(world)
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith(where + ":"), found)


class Documentation(unittest.TestCase):
    def test_every_key_of_the_schema_is_documented(self):
        with open(DOC, encoding="utf-8") as f:
            doc = f.read()
        keys = set()

        def collect(node):
            if isinstance(node, dict):
                keys.update(node.get("properties", {}))
                for value in node.values():
                    collect(value)
            elif isinstance(node, list):
                for value in node:
                    collect(value)

        collect(SCHEMA)
        self.assertEqual(sorted(k for k in keys if f"`{k}`" not in doc), [])


if __name__ == "__main__":
    unittest.main()
