#!/usr/bin/env python3
"""Seeds of the document reader and renderer with glue and label links that a
reader must ignore: a link to an identity nobody has, an identity two shapes
claim, links to a text and to a picture, a text that labels itself and a line
glued to itself, a connection point index far out of range. Each is the
shapes seed with extension records added after some of its items."""
import importlib.util
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
module_plan = importlib.util.spec_from_file_location("heads", ROOT / "scripts/make-arrowhead-seeds.py")
heads = importlib.util.module_from_spec(module_plan)
module_plan.loader.exec_module(heads)

LINE, RECTANGLE, TRIANGLE, TEXT, PICTURE = 1000200, 1000500, 1000300, 1000100, 1004000


def glue(end, target, point):
    return heads.integer(f"fc.glue.{end}", target) + heads.integer(f"fc.glue.{end}.pt", point)


def ident(v):
    return heads.integer("fc.id", v)


def build(data, values):
    for owner, stream in values:
        data = heads.with_values(data, owner, stream)
    return data


def main():
    data = heads.SOURCE.read_bytes()
    seeds = {
        "links_missing_target.lmra": [(RECTANGLE, ident(1)), (LINE, glue("end", 999, 0))],
        "links_duplicate_ids.lmra": [(RECTANGLE, ident(1)), (TRIANGLE, ident(1)), (LINE, glue("start", 1, 2))],
        "links_wrong_kinds.lmra": [(PICTURE, ident(3)), (TEXT, ident(4) + heads.integer("fc.label.of", 3)),
                                   (LINE, glue("end", 4, 0))],
        "links_cycle.lmra": [(TEXT, ident(5) + heads.integer("fc.label.of", 5)),
                             (LINE, ident(6) + glue("start", 6, 0) + glue("end", 6, 1))],
        "links_point_out_of_range.lmra": [(RECTANGLE, ident(1)), (LINE, glue("end", 1, 2**40))],
    }
    for folder in ("read_document", "render_document"):
        for name, values in seeds.items():
            (ROOT / "fuzz/corpus" / folder / name).write_bytes(build(data, values))
    return 0


if __name__ == "__main__":
    sys.exit(main())
