"""Plugin commands end to end: orvane-server on a small world file, python3-rcon as the client.

Run: ORVANE_SERVER=... ORVANE_PLUGIN=... /usr/bin/python3 commands_e2e_test.py
"""

import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from rcon.source import Client  # noqa: E402

from server_harness import PASSWORD, Server  # noqa: E402

WORLD = {
    "map": "Aberration_P",
    "game_state": {"day_time": "Day 7, 06:30:00", "framerate": 15.0},
    "classes": [{"name": "Raptor_Character_BP_C", "kind": "dino",
                 "path": "/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP_C"}],
    "tribes": [{"id": 1000001, "name": "Night Owls"}],
    "players": [
        {"eos_id": "00021a2b3c4d", "character_name": "Alice", "player_name": "alice",
         "player_data_name": "PrimalPlayerData_7", "team": 1000001,
         "position": [100.0, -250.5, 30.0]},
        {"eos_id": "0002ffff", "character_name": "Zo\u00eb", "player_name": "zoe",
         "player_id": 77},
    ],
    "dinos": [{"class": "Raptor_Character_BP_C", "id1": 11, "id2": 22, "team": 1000001,
               "position": [1, 2, 3]}],
}


class PluginCommandsOverRcon(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.world = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
        json.dump(WORLD, cls.world)
        cls.world.close()
        cls.server = Server("--world", cls.world.name)

    @classmethod
    def tearDownClass(cls):
        cls.server.close()
        os.unlink(cls.world.name)

    def run_lines(self, *lines):
        with Client("127.0.0.1", self.server.port, passwd=PASSWORD, timeout=10) as c:
            return [c.run(line) for line in lines]

    def test_server_information(self):
        self.assertEqual(
            self.run_lines("GetMapName", "GetInGameTime", "GetServerFrames", "GetOnlineNum"),
            ["Aberration", "Day 7, 06:30:00", "WARNING - Serverframes: 15", "2"])

    def test_player_queries(self):
        self.assertEqual(
            self.run_lines("GetPlayerPos 00021a2b3c4d", "GetTribeIdOfPlayer 0002ffff",
                           "GetPlayerName nobody", "ListAllPlayerEOSId", "ListOnlineTribes"),
            ["X=100.000 Y=-250.500 Z=30.000", "Tribe ID: 77",
             "Can't find player from the given eos id",
             "Alice [PrimalPlayerData_7]: 00021a2b3c4d\nZo\u00eb [PrimalPlayerData_1]: 0002ffff\n",
             "[Night Owls]: 1000001\n"])

    def test_dino_commands_move_and_describe_the_dino(self):
        self.assertEqual(
            self.run_lines("GetDinoBP 11 22", "SetDinoPos 11 22 10 20 30", "GetDinoPos 11 22",
                           "KillDino 11", "GetDinoPos 11 twenty-two"),
            ["Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP'",
             "Successfully teleported dino", "X=10.000 Y=20.000 Z=30.000",
             "Not enough arguments: KillDino <DinoID1> <DinoID2>", "Request has failed"])


if __name__ == "__main__":
    unittest.main()
