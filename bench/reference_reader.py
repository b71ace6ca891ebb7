#!/usr/bin/env python3
"""Our own reference reader in plain Python, the peer bench_loaders compares against.

Reads every file named on standard input (one path a line) the plain way a script would:
the whole file, its lines, the two cuts as lists of (angle, level) floats and the header
values as text. Ostrel files (keyword header, HORIZONTAL and VERTICAL sections), Verizon
files (HORIZONTAL_GAINS and VERTICAL_GAINS sections closed by END) and NSMA files
(KEY:,value records, PATCUT blocks of "angle,level," records) are told apart by their
extension. Prints the CPU time per file in microseconds, measured in this one process over
all files after a first pass that warms the file cache, as "per_file_us N" (CPU time, as
bench_loaders gives its own figures, so that a busy machine does not favour either side).
"""

import sys
import time


def read_sections(text, is_section_start, end_closes):
    """Header values and the cuts of a keyword file with two sections of data lines."""
    header, cuts, current = {}, {}, None
    for line in text.splitlines():
        fields = line.split()
        if not fields:
            continue
        key = fields[0].upper()
        if is_section_start(key):
            current = cuts.setdefault(key[0], [])
        elif end_closes and key == "END":
            current = None
        elif current is None:
            header[key] = fields[1] if len(fields) > 1 else ""
        elif len(fields) >= 2:
            current.append((float(fields[0]), float(fields[1])))
    return header, cuts


def read_ostrel(text):
    return read_sections(text, lambda key: key.startswith(("HORIZONTAL", "VERTICAL")), False)


def read_verizon(text):
    return read_sections(text, lambda key: key in ("HORIZONTAL_GAINS", "VERTICAL_GAINS"), True)


def read_nsma(text):
    header, cuts, current = {}, {}, None
    for line in text.splitlines():
        line = line.strip()
        if not line:
            continue
        key, colon, rest = line.partition(":")
        if colon and key.isalnum():
            value = rest.lstrip(",").strip()
            if key.upper() == "PATCUT":
                current = cuts.setdefault(value, [])
            else:
                header[key.upper()] = value
        elif current is not None:
            angle, level = line.split(",")[:2]
            current.append((float(angle), float(level)))
    return header, cuts


READERS = {".txt": read_ostrel, ".msi": read_ostrel, ".pln": read_ostrel,
           ".vwa": read_verizon, ".nsm": read_nsma, ".adf": read_nsma, ".nsma": read_nsma}


def read_all(paths):
    count = 0
    for path in paths:
        reader = READERS.get(path[path.rfind("."):].lower(), read_ostrel)
        with open(path, "rb") as handle:
            header, cuts = reader(handle.read().decode("latin-1"))
        count += len(cuts)
    return count


def main():
    paths = [line.rstrip("\n") for line in sys.stdin if line.strip()]
    if not paths:
        print("per_file_us 0")
        return
    read_all(paths)
    start = time.process_time()
    read_all(paths)
    elapsed = time.process_time() - start
    print("per_file_us %.2f" % (elapsed * 1e6 / len(paths)))


if __name__ == "__main__":
    main()
