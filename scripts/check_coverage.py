#!/usr/bin/env python3
"""Checks ostrel-inspect --coverage against a computation of its own from the definitions.

usage: check_coverage.py OSTREL_INSPECT PATH...

For every pattern file (a PATH or a file directly in a PATH folder) this reads the pattern's
vertical cut and gain from `ostrel-inspect --cuts`, recomputes the four key distances and the
boresight profile for every path-loss model, without and with mechanical tilt, and compares
them with `ostrel-inspect --coverage` (distances within 0.5 m, levels within 0.02 dB); the
grid's points on boresight must match the profile. The profile of a file with a measured
sphere reads the sphere's levels in the antenna's vertical plane from `--grid3d 1 --method
measured`. Files that do not load are skipped. Exit status 0 when everything agrees, 1
otherwise, 2 on wrong use.
"""

import math
import os
import subprocess
import sys

HEIGHT = 30.0
RX_HEIGHT = 1.5
POWER = 43.0
RADIUS_KM = 5.0
GRID_STEP = 1000.0
# The third puts the nearest profile points behind the antenna; the last turns it over.
TILTS = (0.0, 6.0, 25.0, 186.0)
MODELS = ("free", "hata-urban", "hata-suburban", "hata-open", "cost231", "cost231-metro")
DISTANCE_TOLERANCE = 0.5
LEVEL_TOLERANCE = 0.02


def free_space(f, d_km):
    # The straight line from the antenna to the receiver, in km.
    d3 = math.hypot(d_km, (HEIGHT - RX_HEIGHT) / 1000.0)
    return 20 * math.log10(d3) + 20 * math.log10(f) + 32.44


def path_loss(model, f, d_km):
    """Free space, Okumura-Hata (Hata 1980) and COST-231 Hata, never below free space."""
    fs = free_space(f, d_km)
    if model == "free":
        return fs
    d = max(d_km, 0.001)
    lf, lhb = math.log10(f), math.log10(HEIGHT)
    a_hm = (1.1 * lf - 0.7) * RX_HEIGHT - (1.56 * lf - 0.8)
    slope = (44.9 - 6.55 * lhb) * math.log10(d)
    urban = 69.55 + 26.16 * lf - 13.82 * lhb - a_hm + slope
    cost = 46.3 + 33.9 * lf - 13.82 * lhb - a_hm + slope
    loss = {
        "hata-urban": urban,
        "hata-suburban": urban - 2 * math.log10(f / 28) ** 2 - 5.4,
        "hata-open": urban - 4.78 * lf * lf + 18.33 * lf - 40.94,
        "cost231": cost,
        "cost231-metro": cost + 3,
    }[model]
    return max(fs, loss)


def default_model(f):
    if f > 1500:
        return "cost231"
    return "hata-urban" if f >= 150 else "free"


def out_of_range(model, f):
    if model == "free":
        return False
    low, high = (150, 1500) if model.startswith("hata") else (1500, 2000)
    return not (low <= f <= high) or not (30 <= HEIGHT <= 200) or not (1 <= RX_HEIGHT <= 10)


def cut_level(v, angle):
    """The vertical cut (levels at -180..180) at any angle, linear between whole degrees."""
    position = (angle + 180.0) % 360.0
    lower = min(int(math.floor(position)), 359)
    fraction = position - lower
    return v[lower] + (v[lower + 1] - v[lower]) * fraction


def key_angles(v):
    """Peak, -3 dB crossings below and above it and the first null, on -90..90."""
    at = lambda a: v[a + 180]
    highest = max(at(a) for a in range(-90, 91))
    peak = next(a for d in range(91) for a in (-d, d) if at(a) == highest)
    threshold = highest - 3

    def first_below(step):
        a = peak + step
        while -90 <= a <= 90:
            if at(a) < threshold:
                return a
            a += step
        return None

    def crossing(step):
        below = first_below(step)
        if below is None:
            return None
        before = at(below - step)
        return below - step + step * (before - threshold) / (before - at(below))

    null = None
    below = first_below(1)
    if below is not None:
        for a in range(below + 1, 91):
            if at(a) > at(a - 1):
                null = a - 1
                break
    return peak, crossing(1), crossing(-1), null


def ground_distance(angle, tilt):
    if angle is None:
        return "none"
    # Below the horizon: between straight ahead and straight behind; a tilt past 90 degrees
    # turns the antenna over.
    below = math.remainder(angle + tilt, 360)
    if not 0 < below < 180:
        return "horizon"
    return (HEIGHT - RX_HEIGHT) / math.tan(math.radians(below))


def plane_angle(tilt, d):
    """The angle below the antenna's horizon, in its vertical plane, of the ground point d
    metres ahead (past 90 degrees: behind the antenna)."""
    dh = HEIGHT - RX_HEIGHT
    t = math.radians(tilt)
    return math.degrees(math.atan2(dh * math.cos(t) - d * math.sin(t),
                                   d * math.cos(t) + dh * math.sin(t)))


def sphere_plane_level(plane, tilt, d):
    """The measured level in the antenna's vertical plane, from the 1-degree grid's columns
    at azimuth 0 and 180: exact, as the sphere is linear in theta between its samples."""
    a = plane_angle(tilt, d)
    column, vertical = (plane[0], a) if abs(a) <= 90 else (plane[180], math.copysign(180, a) - a)
    lower = min(int(math.floor(vertical)), 89)
    return column[lower] + (column[lower + 1] - column[lower]) * (vertical - lower)


def blocks(text):
    return [b for b in text.split("\n\n") if b.strip()]


def run(inspect, arguments):
    done = subprocess.run([inspect] + arguments, capture_output=True, text=True)
    return done.returncode, done.stdout


class Checker:
    def __init__(self, inspect):
        self.inspect = inspect
        self.worst_distance = 0.0
        self.worst_level = 0.0
        self.failures = []
        self.checked = 0

    def fail(self, where, what):
        self.failures.append(where + ": " + what)

    def check_file(self, path):
        status, cuts_text = run(self.inspect, ["--cuts", "--figures", path])
        if status != 0:
            print("skipped (does not load):", path)
            return
        self.checked += 1
        patterns = []
        for block in blocks(cuts_text):
            fields, v = {}, []
            in_cuts = False
            for line in block.splitlines():
                if in_cuts:
                    v.append(float(line.split("\t")[2]))
                elif line == "cuts:":
                    in_cuts = True
                elif ": " in line or line.endswith(":"):
                    key, _, value = line.partition(":")
                    fields[key] = value.strip()
            patterns.append((fields, v))
        plane = None
        if len(patterns) == 1 and "directivity" in patterns[0][0]:
            status, grid = run(self.inspect, ["--grid3d", "1", "--method", "measured", path])
            plane = {0: {}, 180: {}}
            for line in grid.splitlines()[1:]:
                azimuth, vertical, level = (float(x) for x in line.split())
                if abs(azimuth) in plane:
                    plane[abs(azimuth) if azimuth > -180 else 180][int(vertical)] = level
        for tilt in TILTS:
            for model in MODELS + (None,):
                args = ["--coverage", path, "--mech-tilt", str(tilt), "--radius", str(RADIUS_KM),
                        "--step", str(GRID_STEP)]
                if model:
                    args += ["--model", model]
                status, text = run(self.inspect, args)
                where = "%s tilt %g model %s" % (path, tilt, model or "default")
                if status != 0:
                    self.fail(where, "ostrel-inspect --coverage exit %d" % status)
                    continue
                outputs = blocks(text)
                if len(outputs) != len(patterns):
                    self.fail(where, "%d coverages for %d patterns" % (len(outputs), len(patterns)))
                    continue
                for (fields, v), output in zip(patterns, outputs):
                    self.check_one(where, fields, v, plane, model, tilt, output.splitlines())

    def check_one(self, where, fields, v, plane, model, tilt, lines):
        lines = [l for l in lines if not l.startswith("file: ")]
        f = float(fields["frequency"]) if fields.get("frequency") else 0.0
        f = f if f > 0 else 1800.0
        gain = float(fields.get("gain", "0"))
        sphere = "directivity" in fields
        used = model or default_model(f)
        if lines[0] != "model: " + used:
            self.fail(where, "%r, not model %s" % (lines[0], used))
        notes = [l for l in lines if l.startswith("note: outside the model's range: ")]
        if bool(notes) != out_of_range(used, f):
            self.fail(where, "range note %r" % notes)
        values = dict(l.split(": ", 1) for l in lines if l.split(":")[0].endswith("_m"))
        for key, angle in zip(("beam_hit_m", "inner_3db_m", "outer_3db_m", "first_null_m"),
                              key_angles(v)):
            expected = ground_distance(angle, tilt)
            got = values.get(key)
            if isinstance(expected, str) or got in ("none", "horizon"):
                if got != expected:
                    self.fail(where, "%s %s, expected %s" % (key, got, expected))
                continue
            difference = abs(float(got) - expected)
            self.worst_distance = max(self.worst_distance, difference)
            if difference > DISTANCE_TOLERANCE:
                self.fail(where, "%s %s, expected %.2f" % (key, got, expected))
        profile = {}
        for line in lines:
            if line.startswith("profile "):
                _, d, level = line.split()
                profile[float(d)] = float(level)
        if len(profile) != int(RADIUS_KM * 100):
            self.fail(where, "%d profile points" % len(profile))
        for line in lines:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "0" and float(parts[1]) > 0:
                grid_level = float(parts[2])
                if abs(grid_level - profile.get(float(parts[1]), math.inf)) > 0.011:
                    self.fail(where, "grid at %s m %s, profile %s" %
                              (parts[1], parts[2], profile.get(float(parts[1]))))
        if sphere and plane is None:
            return
        for d, level in profile.items():
            pattern_level = (sphere_plane_level(plane, tilt, d) if sphere else
                             cut_level(v, plane_angle(tilt, d)))
            expected = POWER + gain + pattern_level - path_loss(used, f, d / 1000.0)
            difference = abs(level - expected)
            self.worst_level = max(self.worst_level, difference)
            if difference > LEVEL_TOLERANCE:
                self.fail(where, "profile %g m %.2f, expected %.4f" % (d, level, expected))


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    checker = Checker(argv[1])
    files = []
    for path in argv[2:]:
        if os.path.isdir(path):
            files += sorted(os.path.join(path, n) for n in os.listdir(path)
                            if os.path.isfile(os.path.join(path, n)) and n[0] != "."
                            and not n.endswith((".md", ".tsv")))
        else:
            files.append(path)
    for path in files:
        checker.check_file(path)
    for failure in checker.failures[:50]:
        print("MISMATCH", failure)
    print("files checked %d of %d, largest difference: distance %.3f m, level %.4f dB, "
          "mismatches %d" % (checker.checked, len(files), checker.worst_distance, checker.worst_level, len(checker.failures)))
    return 1 if checker.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
