#!/usr/bin/python3
"""Writes the command reference (docs/commands.md) from a built orvane-server.

The server is asked for its registered commands (emu.commands), then runs every plugin command
once without arguments on the default world through --exec; the usage line each one answers is
the reference. Each command's group, which an account's patterns may name, comes from the table
the server builds in (server/accounts/command_groups.json); a command without one is an error. Replies are read from the call journal, where every reply carries its request's
id, so a command that answers with several lines, several replies or none at all is still told
apart from its neighbours.

  scripts/command-reference.py                   print the reference
  scripts/command-reference.py --output FILE     write it to FILE
  scripts/command-reference.py --check FILE      exit 1, with a diff, when FILE differs
"""
import argparse
import difflib
import html
import json
import os
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEND = "RCONClientConnection.SendMessage(int,int,FString&)"
USAGE_PREFIX = "Not enough arguments: "
SERVER_PREFIX = "emu."  # the server's own commands; the rest are the plugin's
REGENERATE = "scripts/command-reference.py --output docs/commands.md"
NOTES_FILE = os.path.join(REPO, "plugin", "commands", "command_notes.json")


def notes_of(plugin):
    """The notes kept beside the commands, in registration order; each must name a command."""
    with open(NOTES_FILE, encoding="utf-8") as table:
        notes = {name: text for name, text in json.load(table).items() if name != "_"}
    stray = [name for name in notes if name not in plugin]
    if stray:
        sys.exit(f"{NOTES_FILE} has notes for no registered command: {', '.join(stray)}")
    return [f"- {code(name)}: {notes[name]}" for name in plugin if name in notes]
GROUPS_FILE = os.path.join(REPO, "server", "accounts", "command_groups.json")


def run_lines(server, lines):
    """Runs `lines` in one server process; gives the reply texts of each line, in order."""
    with tempfile.TemporaryDirectory(prefix="orvane-commands-") as scratch:
        journal = os.path.join(scratch, "journal.jsonl")
        argv = [server, "--no-rcon", "--root", os.path.join(scratch, "root"),
                "--journal", journal]
        for line in lines:
            argv += ["--exec", line]
        done = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True, timeout=600, check=False)
        replies = {i: [] for i in range(1, len(lines) + 1)}
        with open(journal, encoding="utf-8") as calls:
            for entry in map(json.loads, calls):
                if entry["fn"] == SEND and entry["args"][0] in replies:
                    replies[entry["args"][0]].append(entry["args"][2])
        if done.returncode != 0:
            answered = max([i for i, texts in replies.items() if texts] or [0])
            sys.exit(f"orvane-server exited with {done.returncode} after "
                     f"{lines[answered - 1] if answered else 'no reply'!r}:\n{done.stderr}")
        return [replies[i] for i in range(1, len(lines) + 1)]


def registered_commands(server):
    [replies] = run_lines(server, ["emu.commands"])
    return [name for text in replies for name in text.splitlines() if name]


def groups_of(names):
    """Each command's group, by the name it is registered under."""
    with open(GROUPS_FILE, encoding="utf-8") as table:
        groups = {command: group["name"]
                  for group in json.load(table)["groups"] for command in group["commands"]}
    missing = [n for n in names if n not in groups]
    if missing:
        sys.exit(f"no group for {', '.join(missing)}: add each to {GROUPS_FILE}")
    return groups


def code(text):
    return "`" + text.replace("|", "\\|") + "`"


def plain(text):
    return html.escape(text, quote=False).replace("|", "\\|")


def usage_cell(name, replies):
    """The usage line a bare call answered, or what the call showed instead."""
    if len(replies) == 1 and replies[0].startswith(USAGE_PREFIX):
        first, *more = replies[0][len(USAGE_PREFIX):].split("\n")
        return "<br>".join([code(first.rstrip())] + [plain(line) for line in more if line])
    return code(name) + (" (no arguments; sends no reply)" if not replies else " (no arguments)")


def reference(server):
    names = registered_commands(server)
    plugin = [n for n in names if not n.startswith(SERVER_PREFIX)]
    own = [n for n in names if n.startswith(SERVER_PREFIX)]
    if not plugin:
        sys.exit("orvane-server listed no plugin command: did the plugin load?")
    group = groups_of(names)
    rows = [f"| {code(n)} | {code(group[n])} | {usage_cell(n, r)} |"
            for n, r in zip(plugin, run_lines(server, plugin))]
    return "\n".join([
        "# Command reference",
        "",
        f"<!-- Generated from the built server by {REGENERATE}; do not edit. -->",
        "",
        "Every RCON command of the plugin, in the order it registers them, with the usage line",
        "it answers when sent without arguments. Words in angle brackets are required, words in",
        "parentheses optional; commands marked \"no arguments\" run as they are. A running",
        "server lists its commands with `emu.commands`. An account's allow and deny patterns",
        "(see accounts.md) name a command, its group or `*`. Dump commands (\"generated file ...",
        "in plugins root folder!\") write their files in",
        "`<root>/Binaries/Win64/HostApi/Plugins/Orvane/`.",
        "",
        "| command | group | usage |",
        "|---|---|---|",
        *rows,
        "",
        "## Notes",
        "",
        "Every command sends one reply, except where a note says otherwise. Units, accepted",
        "values and what a command does later:",
        "",
        *notes_of(plugin),
        "",
        "## The server's own commands",
        "",
        "Registered by `orvane-server`, not by the plugin (see the README); each is a group of",
        "its own:",
        "",
        *[f"- {code(n)} (group {code(group[n])})" for n in own],
        "",
    ])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", default=os.path.join(REPO, "build/server/orvane-server"))
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--output", help="write the reference to this file")
    group.add_argument("--check", help="compare the reference with this file")
    args = parser.parse_args()
    text = reference(args.server)
    if args.output:
        with open(args.output, "w", encoding="utf-8") as out:
            out.write(text)
    elif args.check:
        with open(args.check, encoding="utf-8") as checked:
            old = checked.read()
        if old != text:
            sys.stdout.writelines(difflib.unified_diff(
                old.splitlines(True), text.splitlines(True), args.check, "generated"))
            sys.exit(f"\n{args.check} is out of date with the registered commands; "
                     f"regenerate it with {REGENERATE}")
    else:
        sys.stdout.write(text)


if __name__ == "__main__":
    main()
