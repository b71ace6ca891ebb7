#!/usr/bin/env python3
"""Recomputes envelopes, interpolations and comparisons of pattern files from their
definitions and checks what ostrel-inspect prints for them.

    check_derived.py INSPECT FILE...

The source patterns are read from `INSPECT --cuts FILE` (gain in dBi, then per angle
-180..180 the azimuth, vertical and horizontal levels); nothing else of the program is used.
Checked, to 0.001 dB:
  - the envelope of every pattern of the files (E = max of gain + level per cut and angle;
    gain = the highest E; levels = E - gain; the horizontal cut shifted from the azimuth cut
    so that it meets the vertical cut at 0 degrees; frequency the common one or none);
  - the frequency interpolation of neighbouring patterns of different frequencies, at both
    ends, a third of the way and half way (t = (x - xA) / (xB - xA), every level and the gain
    (1 - t) A + t B);
  - the comparison of neighbouring patterns, absolute and relative: d per angle, the largest
    |d| with its angle (ties: smallest |angle|, then the smaller angle), RMS over -180..179 and
    over the reference's main lobe (its whole-degree points from its peak to its -10 dB
    crossings; the whole cut when a side has none).
Neighbours are consecutive files of one pattern each, or the two patterns of one file.
Prints the largest difference of each kind; exit status 0 when all are within 0.001 dB, 1
otherwise, 2 for a usage error.
"""

import math
import subprocess
import sys

TOLERANCE = 0.001


def run(inspect, arguments):
    done = subprocess.run([inspect] + arguments, capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def parse_blocks(text):
    """The blocks of an inspect output: dicts of their keys, 'cuts' as rows of floats."""
    blocks = []
    for chunk in text.split("\n\n"):
        block = {}
        lines = chunk.strip("\n").split("\n")
        for i, line in enumerate(lines):
            if line == "cuts:":
                block["cuts"] = [[float(v) for v in row.split("\t")] for row in lines[i + 1:]]
                break
            key, _, value = line.partition(": ")
            block[key.rstrip(":")] = value
        if block.get("loaded") == "yes":
            blocks.append(block)
    return blocks


def cut(block, column):
    """Levels -180..180 of one cut: 1 azimuth, 2 vertical, 3 horizontal."""
    return [row[column] for row in block["cuts"]]


def number(text):
    return float(text) if text not in ("", None) else None


def peak_index(levels):
    """The highest of the 360 directions; ties: nearest 0 degrees, the negative side first."""
    highest = max(levels[:360])
    for distance in range(180):
        if levels[180 - distance] == highest:
            return 180 - distance
        if levels[180 + distance] == highest:
            return 180 + distance
    return 0


def main_lobe(levels, vertical):
    """Indexes (0..359) of the main lobe down to -10 dB, or None when a side has no crossing."""
    ring = levels[:360]
    peak = peak_index(levels)
    threshold = ring[peak] - 10
    max_steps = 180 if vertical else 359
    sides = []
    for direction in (-1, 1):
        steps = None
        for k in range(1, max_steps + 1):
            if ring[(peak + direction * k) % 360] < threshold:
                steps = k
                break
        if steps is None:
            return None
        sides.append(steps - 1)
    return [(peak + s) % 360 for s in range(-sides[0], sides[1] + 1)]


def compare_cut(ref, ref_gain, other, other_gain, vertical):
    d = [(other_gain + b) - (ref_gain + a) for a, b in zip(ref, other)]
    best = None
    for k, value in enumerate(d):
        angle = k - 180
        key = (-abs(value), abs(angle), angle)
        if best is None or key < best[0]:
            best = (key, value, angle)
    rms = math.sqrt(sum(v * v for v in d[:360]) / 360)
    lobe = main_lobe(ref, vertical)
    rms_main = rms if lobe is None else math.sqrt(sum(d[i] ** 2 for i in lobe) / len(lobe))
    return d, best[1], best[2], rms, rms_main


def horizontal_from(azimuth, vertical):
    return [a - abs(vertical[180]) + abs(azimuth[180]) for a in azimuth]


class Checker:
    def __init__(self, inspect):
        self.inspect = inspect
        self.largest = {}
        self.failures = 0

    def note(self, kind, difference, what):
        self.largest[kind] = max(self.largest.get(kind, 0.0), difference)
        if difference > TOLERANCE:
            self.failures += 1
            print(f"FAIL {kind}: {what}: differs by {difference:.6f}")

    def levels(self, kind, expected, actual, what):
        self.note(kind, max(abs(e - a) for e, a in zip(expected, actual)), what)

    def envelope(self, files, patterns):
        status, out, err = run(self.inspect, ["--cuts", "--envelope"] + files)
        if status != 0:
            self.failures += 1
            print(f"FAIL envelope: exit {status}: {err.strip()}")
            return
        block = parse_blocks(out)[0]
        e = []
        for column in (1, 2):
            e.append([max(number(p["gain"]) + cut(p, column)[k] for p in patterns)
                      for k in range(361)])
        gain = max(max(e[0]), max(e[1]))
        self.note("envelope", abs(number(block["gain"]) - gain), "gain")
        azimuth = [v - gain for v in e[0]]
        vertical = [v - gain for v in e[1]]
        self.levels("envelope", azimuth, cut(block, 1), "azimuth")
        self.levels("envelope", vertical, cut(block, 2), "vertical")
        self.levels("envelope", horizontal_from(azimuth, vertical), cut(block, 3), "horizontal")
        frequencies = {p["frequency"] for p in patterns}
        common = frequencies.pop() if len(frequencies) == 1 else ""
        if block["frequency"] != common:
            self.failures += 1
            print(f"FAIL envelope: frequency {block['frequency']!r}, expected {common!r}")

    def interpolation(self, files, a, b):
        xa, xb = number(a["frequency"]), number(b["frequency"])
        if xa is None or xb is None or xa == xb:
            return
        for x in (xa, xb, xa + (xb - xa) / 3, (xa + xb) / 2):
            text = repr(round(x, 6))
            status, out, err = run(self.inspect, ["--cuts", "--interpolate", "freq", text] + files)
            what = f"{a['file']} / {b['file']} at {text}"
            if status != 0:
                self.failures += 1
                print(f"FAIL interpolation: {what}: exit {status}: {err.strip()}")
                continue
            block = parse_blocks(out)[0]
            t = (float(text) - xa) / (xb - xa)
            self.note("interpolation",
                      abs(number(block["gain"]) -
                          ((1 - t) * number(a["gain"]) + t * number(b["gain"]))), what)
            for column in (1, 2, 3):
                expected = [(1 - t) * la + t * lb for la, lb in zip(cut(a, column), cut(b, column))]
                self.levels("interpolation", expected, cut(block, column), what)

    def comparison(self, files, a, b):
        for relative in (False, True):
            status, out, err = run(self.inspect, ["--cuts", "--compare"] + files +
                                   (["--relative"] if relative else []))
            what = f"{a['file']} / {b['file']}{' relative' if relative else ''}"
            if status != 0:
                self.failures += 1
                print(f"FAIL comparison: {what}: exit {status}: {err.strip()}")
                continue
            head, _, table = out.partition("diff: angle az v h\n")
            stats = dict(line.split(": ", 1) for line in head.strip().split("\n"))
            rows = [[float(v) for v in line.split("\t")] for line in table.strip().split("\n")]
            ga = 0.0 if relative else number(a["gain"])
            gb = 0.0 if relative else number(b["gain"])
            for prefix, column in (("az", 1), ("v", 2), ("h", 3)):
                d, worst, angle, rms, rms_main = compare_cut(
                    cut(a, column), ga, cut(b, column), gb, column == 2)
                self.levels("comparison", d, [row[column] for row in rows], what + " " + prefix)
                printed, _, printed_angle = stats[prefix + "_max_diff"].partition(" at ")
                self.note("comparison", abs(float(printed) - worst), what + " max " + prefix)
                # Near-equal magnitudes may tie differently after the printed round trip.
                if float(printed_angle) != angle and \
                        abs(abs(d[int(float(printed_angle)) + 180]) - abs(worst)) > 1e-9:
                    self.failures += 1
                    print(f"FAIL comparison: {what} {prefix}: max at {printed_angle}, "
                          f"expected {angle}")
                self.note("comparison", abs(float(stats[prefix + "_rms"]) - rms), what)
                self.note("comparison", abs(float(stats[prefix + "_rms_main"]) - rms_main), what)


def main(arguments):
    if len(arguments) < 3:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    inspect, paths = arguments[1], arguments[2:]
    checker = Checker(inspect)
    loaded = []  # (path, its patterns)
    for path in paths:
        _, out, _ = run(inspect, ["--cuts", path])
        patterns = parse_blocks(out)
        if patterns:
            loaded.append((path, patterns))
    every = [p for _, patterns in loaded for p in patterns]
    if len(every) < 2:
        print("fewer than two patterns loaded", file=sys.stderr)
        return 2
    checker.envelope([path for path, _ in loaded], every)
    pairs = [([path], patterns[0], patterns[1]) for path, patterns in loaded if len(patterns) == 2]
    singles = [(path, patterns[0]) for path, patterns in loaded if len(patterns) == 1]
    pairs += [([p, q], a, b) for (p, a), (q, b) in zip(singles, singles[1:])]
    for files, a, b in pairs:
        checker.interpolation(files, a, b)
        checker.comparison(files, a, b)
    print(f"patterns: {len(every)}, pairs: {len(pairs)}")
    for kind in ("envelope", "interpolation", "comparison"):
        print(f"{kind}: largest difference {checker.largest.get(kind, 0.0):.2e} dB")
    return 1 if checker.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
