#!/usr/bin/env python3
"""Writes pattern files as BASTA 3D JSON with ostrel-convert and checks what it wrote.

usage: check-basta-json.py SCHEMA OSTREL-CONVERT FILE...

Every output must read as JSON, cover the sphere in 1 degree steps (SPCS_CW: theta -90..90
positive below the horizon, phi clockwise, -180..179) with attenuations >= 0 that reach 0,
and give back the pattern's cuts (as the same tool writes them in its CSV table) within
0.001 dB of one constant: the horizon row is the horizontal cut, the phi 0 and 180 columns
the vertical cut (but straight behind on the horizon, where the horizontal cut has the say). It must also validate against the public schema; without Debian's
python3-jsonschema that check is skipped (exit status 77) once the others have passed.
"""

import json
import pathlib
import subprocess
import sys
import tempfile

SKIPPED = 77
TOLERANCE_DB = 0.001


def convert(tool, to, source, folder):
    run = subprocess.run([tool, "--to", to, "-o", folder, source], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"{source}: ostrel-convert --to {to} failed: {run.stderr}")
    return [line.split(" -> ", 1)[1] for line in run.stdout.splitlines()]


def level_grid(document, source):
    columns = document["Data_Set_Row_Structure"]
    theta, phi, attenuation = (columns.index(name) for name in ("Theta", "Phi", "MagAttenuationTP"))
    grid = {}
    for row in document["Data_Set"]:
        grid[(round(row[theta]), round(row[phi]))] = -row[attenuation]
    wanted = {(t, p) for t in range(-90, 91) for p in range(-180, 180)}
    if document["Coordinate_System"] != "SPCS_CW" or set(grid) != wanted:
        sys.exit(f"{source}: not the SPCS_CW sphere in 1 degree steps")
    if len(document["Data_Set"]) != len(wanted) or max(grid.values()) != 0:
        sys.exit(f"{source}: rows repeat or are not levelled to 0 dB at the maximum")
    return grid


def check_cuts(grid, table, source):
    """Each (written, cut) pair differs by one constant, within the tolerance."""
    differences = []
    for line in table.splitlines()[1:]:
        angle, _, vertical, horizontal = (float(x) for x in line.split(","))
        a = round(angle)
        differences.append(grid[(0, a if a < 180 else -180)] - horizontal)
        # Straight behind on the horizon lies on both cuts, which need not agree there: the
        # horizontal cut has the say.
        if abs(a) == 180:
            continue
        if abs(a) <= 90:
            direction = (a, 0)
        else:
            direction = (180 - a if a > 90 else -180 - a, -180)
        differences.append(grid[direction] - vertical)
    if len(differences) != 2 * 361 - 2:
        sys.exit(f"{source}: the cut table has not 361 rows")
    middle = (max(differences) + min(differences)) / 2
    worst = max(abs(d - middle) for d in differences)
    if worst > TOLERANCE_DB:
        sys.exit(f"{source}: the cuts come back {worst:.4f} dB off one constant")


def main():
    schema_path, tool, *sources = sys.argv[1:]
    try:
        import jsonschema
    except ImportError:
        jsonschema = None
    with tempfile.TemporaryDirectory() as folder:
        documents = []
        for source in sources:
            tables = convert(tool, "csv", source, folder)
            for written, table in zip(convert(tool, "json", source, folder), tables):
                document = json.loads(pathlib.Path(written).read_text(encoding="utf-8"))
                grid = level_grid(document, written)
                check_cuts(grid, pathlib.Path(table).read_text(), written)
                documents.append((written, document))
        if jsonschema is None:
            print("SKIPPED the schema check: python3-jsonschema is not installed")
            return SKIPPED
        schema = json.loads(pathlib.Path(schema_path).read_text())
        validator = jsonschema.Draft202012Validator(schema, format_checker=jsonschema.FormatChecker())
        for written, document in documents:
            errors = [error.message for error in validator.iter_errors(document)]
            if errors:
                sys.exit(f"{written}: " + "; ".join(errors))
        print(f"{len(documents)} files valid and true to their cuts")
    return 0


if __name__ == "__main__":
    sys.exit(main())
