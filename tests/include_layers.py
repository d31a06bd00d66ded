#!/usr/bin/env python3
"""Checks that every #include runs down the layers of docs/ARCHITECTURE.md, never up or across.

Usage: include_layers.py SOURCE_DIR. Prints each include that the table below does not allow and
exits 1 when there is one. A folder may always include itself; a folder missing from the table is
an error too, so that a new folder gets its place in the layers.
"""
import pathlib
import re
import sys

# The engine beneath the game; its platform backends are left out: only the programs choose one.
ENGINE = [
    "engine/base", "engine/archive", "engine/platform", "engine/sound", "engine/timing",
    "engine/input", "engine/drawing", "engine/pictures", "engine/sprites",
]
BACKENDS = ["engine/platform/sdl", "engine/platform/headless", "engine/platform/ttf"]
GAME = ENGINE + ["protocol", "settings", "game", "sim", "menus", "online", "shell"]
ANY = None

ALLOWED = {
    "engine/base": [],
    "engine/archive": ["engine/base"],
    "engine/platform": ["engine/base"],
    "engine/platform/ttf": ["engine/platform", "engine/base"],
    "engine/platform/sdl": ["engine/platform/ttf", "engine/platform", "engine/base"],
    "engine/platform/headless": ["engine/platform/ttf", "engine/platform", "engine/base"],
    "engine/sound": ["engine/archive", "engine/platform", "engine/base"],
    "engine/timing": ["engine/platform", "engine/base"],
    "engine/input": ["engine/platform", "engine/base"],
    "engine/drawing": ["engine/platform", "engine/base"],
    "engine/pictures": ["engine/drawing", "engine/archive", "engine/platform", "engine/base"],
    "engine/sprites": ["engine/pictures", "engine/drawing", "engine/platform", "engine/base"],
    "protocol": [],
    "settings": ["engine/platform", "engine/base"],
    "game": ENGINE,
    "sim": ENGINE + ["protocol", "game"],
    "menus": ENGINE,
    "online": ENGINE + ["protocol"],
    "shell": ENGINE + ["protocol", "settings", "game", "sim", "menus", "online"],
    "server": ["protocol", "sim"],
    "tools/xm": ENGINE,
    "tools/assetgen": ENGINE + ["tools/xm"],
    "tools/screens": GAME + BACKENDS,
    "bench": ANY,
    "fuzz": ANY,
    "tests": ANY,
}
# The one file above the engine that picks a backend: the game's main program.
FILE_ALLOWED = {"shell/main.cpp": ["engine/platform/sdl"]}

# Headers of the machine's libraries that only the backends (and tests and benchmarks) may see.
PLATFORM_HEADER = re.compile(r"(SDL|xmp\.h)")
PLATFORM_HEADER_FOLDERS = BACKENDS + ["tests", "bench", "fuzz"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# Build trees and other checkouts' leftovers hold no sources of ours.
SKIPPED = re.compile(r"^(\.|build)")


def layer(folder):
    """The table's entry for a folder: the longest key the folder lies in, or None."""
    best = None
    for key in ALLOWED:
        if (folder == key or folder.startswith(key + "/")) and (best is None or len(key) > len(best)):
            best = key
    return best


def violations(root):
    for top in sorted(p for p in root.iterdir() if p.is_dir() and not SKIPPED.match(p.name)):
        for path in sorted(top.rglob("*")):
            if path.suffix not in (".h", ".cpp") or "corpus" in path.parts:
                continue
            rel = path.relative_to(root).as_posix()
            source = layer(path.parent.relative_to(root).as_posix())
            if source is None:
                yield f"{rel}: its folder has no place in the layers"
                continue
            allowed = ALLOWED[source]
            for kind, name in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if kind == "<":
                    if PLATFORM_HEADER.match(name) and source not in PLATFORM_HEADER_FOLDERS:
                        yield f"{rel}: <{name}> is seen only by the platform backends"
                    continue
                target = layer(name.rpartition("/")[0])
                if target is None:
                    yield f'{rel}: "{name}" is in no folder of the layers'
                elif target != source and allowed is not ANY and target not in allowed \
                        and target not in FILE_ALLOWED.get(rel, []):
                    yield f'{rel}: {source} may not include "{name}" ({target})'


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    found = list(violations(root))
    for line in found:
        print(line)
    print(f"{len(found)} include(s) against the layers")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
