#!/usr/bin/env python3
"""The include direction, checked against the CMake links.

Each code folder's CMakeLists.txt says which of our targets its targets link. That is the
one written statement of the allowed direction: a file in folder F may include "G/..."
only when G is F or one of F's targets links (directly or through others) a target of G.
Prints every include that breaks it and exits 1; exit 0 when there is none.
    layering_check.py SOURCE_DIR
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
folders = sorted(p.parent.name for p in root.glob("*/CMakeLists.txt")
                 if p.parent.name not in ("tests", "bench", "fuzz", "packaging") and not p.parent.name.startswith("build"))

target_folder = {}
links = {}
for folder in folders:
    text = (root / folder / "CMakeLists.txt").read_text()
    text = re.sub(r"#[^\n]*", "", text)
    for m in re.finditer(r"add_(?:library|executable)\(\s*([\w-]+)", text):
        target_folder[m.group(1)] = folder
        links.setdefault(m.group(1), set())
    for m in re.finditer(r"target_link_libraries\(\s*([\w-]+)([^)]*)\)", text):
        links.setdefault(m.group(1), set()).update(m.group(2).split())

def closure(target, seen):
    for dep in links.get(target, ()):
        if dep in target_folder and dep not in seen:
            seen.add(dep)
            closure(dep, seen)
    return seen

allowed = {f: {f} for f in folders}
for target, folder in target_folder.items():
    allowed[folder] |= {target_folder[t] for t in closure(target, set())}

# Header-only uses that no link shows, each with its reason. Keep this short.
header_only = {
    ("datagen", "assets"): "the velocity file's layout, shared with its reader",
    ("studio", "audio"): "the timeline's record, for cue marks; the studio core stays pure",
}

include = re.compile(r'^\s*#\s*include\s+"([\w-]+)/')
broken = []
for folder in folders:
    for path in sorted((root / folder).rglob("*")):
        if path.suffix not in (".h", ".cpp", ".hpp"):
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = include.match(line)
            if m and m.group(1) in allowed and m.group(1) not in allowed[folder] and \
                    (folder, m.group(1)) not in header_only:
                broken.append(f"{path.relative_to(root)}:{number}: {folder}/ includes {m.group(1)}/, "
                              f"which no {folder}/ target links")
for b in broken:
    print(b)
print(f"{len(broken)} include(s) against the link direction" if broken else "every include follows the links")
sys.exit(1 if broken else 0)
