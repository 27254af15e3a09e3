"""Writes the world files found in the repository as seeds for the world-file fuzzer: every
JSON object written as a raw string literal in the tests' C++ sources, every .json file under
tests/ and examples/, every world written inline in a command transcript, and every file of the
table of refused world files.

Usage: test_worlds.py REPOSITORY OUTPUT_DIR
"""

import json
import pathlib
import re
import sys

RAW_STRING = re.compile(r'R"([^(\s]*)\((.*?)\)\1"', re.S)


def worlds(repository):
    for source in sorted(repository.glob("tests/**/*.cpp")):
        for match in RAW_STRING.finditer(source.read_text(errors="replace")):
            text = match.group(2)
            try:
                if isinstance(json.loads(text), dict):
                    yield text
            except ValueError:
                pass
    for path in sorted(repository.glob("tests/**/*.transcript")):
        for line in path.read_text(errors="replace").splitlines():
            if line.startswith(("world {", "world+root {")):
                yield line.split(" ", 1)[1]
    for path in sorted(repository.glob("tests/**/world_file_errors.txt")):
        for line in path.read_text(errors="replace").splitlines():
            if line.startswith("["):
                yield json.loads(line)[0]
    for folder in ("tests", "examples"):
        for path in sorted((repository / folder).glob("**/*.json")):
            yield path.read_text(errors="replace")


def main():
    repository, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    output.mkdir(parents=True, exist_ok=True)
    count = 0
    for count, text in enumerate(worlds(repository), 1):
        (output / f"test-world-{count}.json").write_text(text)
    print(f"{count} test worlds written to {output}")


if __name__ == "__main__":
    main()
