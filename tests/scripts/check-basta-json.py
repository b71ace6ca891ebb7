#!/usr/bin/env python3
# usage: check-basta-json.py SCHEMA OSTREL-CONVERT FILE... Each pattern's BASTA JSON must be
# the SPCS_CW sphere in 1 degree steps levelled to 0 dB, give back its cuts (its CSV table)
# within 0.001 dB of one constant, and validate against the schema (exit 77: no jsonschema).

import json
import pathlib
import subprocess
import sys
import tempfile


def convert(tool, to, source, folder):
    run = subprocess.run([tool, "--to", to, "-o", folder, source], capture_output=True, text=True)
    assert run.returncode == 0, f"{source}: ostrel-convert --to {to} failed: {run.stderr}"
    return [pathlib.Path(line.split(" -> ", 1)[1]) for line in run.stdout.splitlines()]


def check_sphere(document, table, name):
    columns = document["Data_Set_Row_Structure"]
    theta, phi, tp = (columns.index(key) for key in ("Theta", "Phi", "MagAttenuationTP"))
    grid = {(round(row[theta]), round(row[phi])): -row[tp] for row in document["Data_Set"]}
    sphere = {(t, p) for t in range(-90, 91) for p in range(-180, 180)}
    assert document["Coordinate_System"] == "SPCS_CW" and set(grid) == sphere, f"{name}: sphere"
    assert len(document["Data_Set"]) == len(sphere) and max(grid.values()) == 0, f"{name}: rows"
    differences = []
    for line in table.splitlines()[1:]:
        a, _, vertical, horizontal = (float(x) for x in line.split(","))
        a = round(a)
        differences.append(grid[(0, a if a < 180 else -180)] - horizontal)
        if abs(a) <= 90:
            differences.append(grid[(a, 0)] - vertical)
        elif abs(a) < 180:  # straight behind on the horizon, the horizontal cut has the say
            differences.append(grid[(180 - a if a > 0 else -180 - a, -180)] - vertical)
    middle = (max(differences) + min(differences)) / 2
    assert len(differences) == 2 * 361 - 2, f"{name}: not 361 points a cut"
    assert max(abs(d - middle) for d in differences) <= 0.001, f"{name}: cuts not given back"


def main():
    schema_path, tool, *sources = sys.argv[1:]
    documents = []
    with tempfile.TemporaryDirectory() as folder:
        for source in sources:
            tables = convert(tool, "csv", source, folder)
            for written, table in zip(convert(tool, "json", source, folder), tables):
                document = json.loads(written.read_text(encoding="utf-8"))
                check_sphere(document, table.read_text(), written.name)
                documents.append((written.name, document))
    try:
        import jsonschema
    except ImportError:
        print("SKIPPED the schema check: python3-jsonschema is not installed")
        return 77
    if not pathlib.Path(schema_path).is_file():
        print(f"SKIPPED the schema check: no schema at {schema_path}")
        return 77
    schema = json.loads(pathlib.Path(schema_path).read_text())
    validator = jsonschema.Draft202012Validator(schema, format_checker=jsonschema.FormatChecker())
    for name, document in documents:
        errors = [error.message for error in validator.iter_errors(document)]
        assert not errors, f"{name}: " + "; ".join(errors)


if __name__ == "__main__":
    sys.exit(main())
