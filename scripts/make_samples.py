#!/usr/bin/env python3
"""Writes the pattern files in samples/: a few realistic antennas the project made up
itself (3GPP-style parabolic beams with side-lobe ripple), plus one broken file of each kind.

Run from anywhere: python3 scripts/make_samples.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "samples")


def wrap(angle):
    """Angle folded into -180..180."""
    a = math.fmod(angle, 360.0)
    if a > 180:
        a -= 360
    if a < -180:
        a += 360
    return a


def beam(angle, peak, hpbw, floor, ripple=0.0, ripple_period=23.0):
    """Attenuation in dB (>= 0) of a parabolic main beam with a floor and a soft ripple."""
    off = wrap(angle - peak)
    att = min(12.0 * (off / hpbw) ** 2, floor)
    if ripple:
        att += ripple * (1 - math.cos(math.radians(off) * 360 / ripple_period)) / 2 * min(1.0, abs(off) / hpbw)
    return att


def array_beam(angle, tilt, vbw, floor, front_to_back=25.0):
    """Attenuation in dB of a vertical array: the array factor of n equally spaced
    elements (side lobes about 13 dB down, then falling) times a panel element that
    radiates forward, with a floor from the measurement noise."""
    spacing = 0.75
    n = max(2, int(round(50.8 / (vbw * spacing))))
    off = math.radians(wrap(angle - tilt))
    psi = math.pi * spacing * math.sin(off)
    if abs(math.sin(psi)) < 1e-12:
        factor = 1.0
    else:
        factor = abs(math.sin(n * psi) / (n * math.sin(psi)))
    att = -20 * math.log10(max(factor, 1e-6))
    behind = abs(wrap(angle)) / 180.0
    att += min(12 * behind ** 2 * 4, front_to_back)
    return min(att, floor)


def ostrel(name, header, horizontal, vertical, step=1.0, crlf=True, sep="\t", decimals=2):
    end = "\r\n" if crlf else "\n"
    lines = list(header)
    count = int(round(360 / step))
    lines.append("HORIZONTAL %d" % count)
    for i in range(count):
        a = i * step
        lines.append(("%g" % a) + sep + ("%.*f" % (decimals, horizontal(a))))
    lines.append("VERTICAL %d" % count)
    for i in range(count):
        a = i * step
        lines.append(("%g" % a) + sep + ("%.*f" % (decimals, vertical(a))))
    with open(os.path.join(OUT, name), "w", newline="") as f:
        f.write(end.join(lines) + end)


def verizon(name, gain_dbd, hbw, freq, horizontal, vertical):
    """Absolute gains in dBd; the vertical section lists -179..180 in reverse as the
    Verizon exporter does, so that its 180th line is the horizon."""
    lines = [
        "VERIZON WIRELESS RFTOOLS ANTENNA", "V2",
        "model_name:\tVLM-PX1917", "manufacturer:\tVelmor", "description:\tDual-slant panel",
        "antenna_type:\t0", "max_gain_dbd:\t%.2f" % gain_dbd,
        "horz_3db_beamwidth:\t%.2f" % hbw, "date_measured:\t03-14-2025",
        "freq_measured_mhz:\t%g" % freq, "lower_freq_mhz:\t1710", "upper_freq_mhz:\t2180",
        "electrical_tilt:\t2.00", "height_m:\t1.40", "width_m:\t0.30", "depth_m:\t0.12",
        "weight_kg:\t12.5", "HORIZONTAL_GAINS",
    ]
    for i in range(360):
        lines.append("%d.0\t%.3f" % (i, gain_dbd - horizontal(i)))
    lines.append("END")
    lines.append("VERTICAL_GAINS")
    # Line k (0-based) is the direction k - 179 degrees, read from -179 .. 180.
    for k in range(360):
        angle = k - 179
        lines.append("%.1f\t%.3f" % (-angle, gain_dbd - vertical(angle)))
    lines.append("END")
    with open(os.path.join(OUT, name), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def edx_lines(title, horizontal, vertical, cut_count=72):
    """An EDX export: a title, the azimuth pattern as "angle, level" lines 0..359, a
    caption, the number of cuts, then per azimuth reference direction a label line and the
    vertical cut seen in that direction from angle 90 down to -90."""
    lines = [title]
    for a in range(360):
        lines.append("%d, %.2f" % (a, horizontal(a)))
    lines.append("Vertical cuts by azimuth reference direction")
    lines.append("%d, cuts" % cut_count)
    for c in range(cut_count):
        azimuth = c * 360 // cut_count
        lines.append("%d" % azimuth)
        for j in range(181):
            angle = 90 - j  # of the vertical cut: positive below the horizon
            # Seen from a side direction the vertical pattern sits lower by the azimuth
            # attenuation there; the panel's back radiation floors both.
            level = min(horizontal(azimuth) + vertical(angle), 40.0)
            lines.append("%d, %.2f" % (angle, level))
    return lines


def nsma_lines(header, frequencies):
    """An NSMA WG16.99.050 file: header records, then per frequency the cuts given as
    (designator, polarisation, level function of the angle), angles -180..180, levels in
    relative dB (0 at the peak, negative below)."""
    lines = ["%s:,%s" % (key, value) for key, value in header]
    lines.append("NOFREQ:,%d" % len(frequencies))
    for freq, cuts in frequencies:
        lines += ["PATFRE:,%s" % freq, "NUMCUT:,%d" % len(cuts)]
        for name, polarisation, level in cuts:
            lines += ["PATCUT:,%s" % name, "POLARI:,%s" % polarisation, "NUPOIN:,361",
                      "FSTLST:,-180,180"]
            lines += ["%d,%.3f," % (a, -level(a) + 0.0) for a in range(-180, 181)]
    lines.append("ENDFIL:,EOF")
    return lines


def edx_pat_lines(name, gain, horizontal, slice_level, slices, step=5):
    """An EDX antenna pattern file in relative field strength (kypat 1): the azimuth pattern
    every `step` degrees, 999, then one slice per azimuth with elevations 90 down to -90."""
    field = lambda att: 10 ** (-att / 20)
    lines = ["'%s', %.2f, 1" % (name, gain)]
    lines += ["%d, %.5f" % (a, field(horizontal(a))) for a in range(0, 360, step)]
    lines += ["999", "%d, 181" % len(slices)]
    for azimuth in slices:
        lines.append("%d" % azimuth)
        lines += ["%d, %.5f" % (e, field(slice_level(azimuth, e))) for e in range(90, -91, -1)]
    return lines


def sphere_attenuation(azimuth, vertical):
    """Attenuation in dB of a made-up 65-degree panel tilted 4 degrees down, in the
    viewer's terms (azimuth clockwise, vertical angle positive below the horizon): the
    horizontal beam plus the vertical array's fall-off, the back half of the vertical cut
    behind the antenna."""
    behind = abs(wrap(azimuth)) > 90
    v = 180 - vertical if behind else vertical
    return min(beam(azimuth, 0, 65, 30, ripple=1.5) + array_beam(v, 4, 7.2, 32), 45.0)


def file_to_viewer(system, theta, phi):
    """A file direction (theta, phi) of a BASTA coordinate system in the viewer's terms."""
    if system == "SPCS_CW":
        return phi, theta
    if system == "SPCS_CCW":
        return -phi, theta
    if system == "SPCS_Polar":
        return -phi, theta - 90
    return phi, -theta  # SPCS_Geo


def basta(path, system, thetas, phis, columns, sampling=None, shuffle_seed=None, **header):
    """A BASTA 3D JSON file of sphere_attenuation. Without `sampling` the rows carry Theta
    and Phi columns (optionally shuffled); with it they run theta-major, phi fastest."""
    import json
    import random
    rows = []
    for theta in thetas:
        for phi in phis:
            azimuth, vertical = file_to_viewer(system, theta, phi)
            total = sphere_attenuation(azimuth, vertical)
            values = {"Theta": theta, "Phi": phi, "MagAttenuationTP": round(total, 2),
                      # The cross-polar part sits 15 dB below the co-polar one.
                      "MagAttenuationCo": round(total + 10 * math.log10(1 + 10 ** -1.5), 3),
                      "MagAttenuationCr": round(total + 10 * math.log10(1 + 10 ** 1.5), 3),
                      "PhaseCo": 0, "PhaseCr": 90}
            rows.append([values[c] for c in columns])
    if shuffle_seed is not None:
        random.Random(shuffle_seed).shuffle(rows)
    document = {
        "BASTA_AA_WP_version": "3.0", "Supplier": "Velmor", "Antenna_Model": "VLM-S65-18",
        "Antenna_Type": "Passive", "Revision_Version": "1", "Released_Date": "2026-12-01",
        "Coordinate_System": system, "Pattern_Name": "made-up panel", "Beam_ID": None,
        "Pattern_Type": "Generic", "Frequency": {"value": 1.85, "unit": "GHz"},
        "Frequency_Range": {"lower": 1710, "upper": 2170, "unit": "MHz"}, "EIRP": None,
        "Configured_Output_Power": None, "Gain": {"value": 15.85, "unit": "dBd"},
        "Configuration": None, "RF_Port": "1", "Array_ID": None, "Array_Position": None,
        "Phi_HPBW": 65, "Theta_HPBW": 7.2, "Front_to_Back": 40, "Phi_Electrical_Pan": None,
        "Theta_Electrical_Tilt": 4, "Nominal_Polarization": "P45",
        "Theta_Sampling": sampling[0] if sampling else None,
        "Phi_Sampling": sampling[1] if sampling else None,
        "Data_Set_Row_Structure": columns,
    }
    document.update(header)
    text = json.dumps(document, indent=1)
    # One row a line, as vendors write them.
    body = ",\n  ".join(json.dumps(row) for row in rows)
    text = text[:-2] + ',\n "Data_Set": [\n  ' + body + "\n ]\n}\n"
    with open(path, "w", newline="") as f:
        f.write(text)


def steps(start, stop, step):
    count = int(round((stop - start) / step))
    return [start + i * step for i in range(count + 1)]


def write_lines(path, lines):
    with open(path, "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def main():
    os.makedirs(OUT, exist_ok=True)
    # A 65-degree sector panel, gain in dBd, tab-separated, CR LF.
    ostrel("sector65_dbd.txt",
           ["NAME VLM-S65-18", "MAKE Velmor", "FREQUENCY 1850", "H_WIDTH 65", "V_WIDTH 7.2",
            "FRONT_TO_BACK 30.5", "GAIN 15.85 dBd", "TILT ELECTRICAL", "COMMENT 0 deg downtilt"],
           lambda a: beam(a, 0, 65, 30, ripple=1.5),
           lambda a: array_beam(a, 0, 7.2, 32))
    # A narrow beam sampled every half degree, LF line ends, gain in dBi.
    ostrel("narrow_beam_0p5deg.pln",
           ["NAME VLM-N18-23", "MAKE Velmor", "FREQUENCY 2600.5", "H_WIDTH 18", "V_WIDTH 4.5",
            "FRONT_TO_BACK 35", "GAIN 23.1 dBi", "TILT MECHANICAL"],
           lambda a: beam(a, 0, 18, 35, ripple=4, ripple_period=7),
           lambda a: array_beam(a, 0, 4.5, 38, front_to_back=35),
           step=0.5, crlf=False, sep=" ", decimals=3)
    # An omni: flat horizontal cut with a little ripple, no H_WIDTH line.
    ostrel("omni_850.msi",
           ["NAME VLM-O850", "MAKE Velmor", "FREQUENCY 850", "V_WIDTH 12", "GAIN 8.5 dBi",
            "TILT NONE"],
           lambda a: 0.4 * (1 - math.cos(math.radians(a) * 3)) / 2,
           lambda a: min(array_beam(a, 0, 12, 30, front_to_back=0),
                         array_beam(a + 180, 0, 12, 30, front_to_back=0)))
    # Electrically tilted: the vertical peak is 6 degrees below the horizon.
    ostrel("tilted_6deg.msi",
           ["NAME VLM-T90-6T", "MAKE Velmor", "FREQUENCY 1960", "BEAM_WIDTH 90", "V_WIDTH 9",
            "FRONT_TO_BACK 25", "GAIN 14.2 dBd", "TILT 6"],
           lambda a: beam(a, 0, 90, 25, ripple=1),
           lambda a: array_beam(a, 6, 9, 30))
    verizon("panel_1900.vwa", 15.4, 63.5, 1900,
            lambda a: beam(a, 0, 63.5, 32, ripple=1.2),
            lambda a: array_beam(a, 2, 6.8, 33))

    # An EDX export of a 65-degree panel tilted 4 degrees down: 72 vertical cuts every 5
    # degrees of azimuth. The angles of a cut are those of the vertical cut the viewer
    # draws, so the tilted beam sits on the line of angle 4, as in tilted_6deg.msi.
    h65 = lambda a: beam(a, 0, 65, 30, ripple=1.5)
    v7 = lambda a: array_beam(a, 4, 7.2, 32)
    edx = edx_lines("VLM-S65-18 1850 MHz EDX export", h65, v7)
    write_lines(os.path.join(OUT, "sector65_edx.doc"), edx)

    # An NSMA file of a sector panel at two frequencies; each also has a cut at phi 45,
    # which the viewer lists but does not draw.
    header = [("REVNUM", "NSMA WG16.99.050"), ("REVDAT", "19990520"),
              ("COMNT1", "Made up by the Ostrel Viewer project"), ("ANTMAN", "Velmor"),
              ("MODNUM", "VLM-S65-16"), ("DESCR1", "65 deg sector panel, 2 deg electrical tilt"),
              ("DTDATA", "20261201"), ("LOWFRQ", "1710"), ("HGHFRQ", "2170"),
              ("GUNITS", "DBD/DBR"), ("MDGAIN", "15.6"), ("AZWIDT", "65"), ("ELWIDT", "7.5"),
              ("FRTOBA", "28"), ("ELTILT", "2"), ("PATTYP", "typical")]
    nsma = nsma_lines(header, [
        (freq, [("H", "V/V", lambda a, w=hbw: beam(a, 0, w, 28, ripple=1.2)),
                ("V", "V/V", lambda a, w=vbw: array_beam(a, 2, w, 30)),
                ("45", "V/V", lambda a: array_beam(a, 2, 9, 30))])
        for freq, hbw, vbw in (("1850", 65, 7.5), ("2100", 62, 6.6))])
    write_lines(os.path.join(OUT, "sector65_2freq.nsm"), nsma)

    # An EDX pattern file of a 90-degree sector in relative field strength with four slices;
    # the viewer joins those at azimuth 0 and 180 into the vertical cut.
    h90 = lambda a: beam(a, 0, 90, 25, ripple=1)
    v9 = lambda angle: array_beam(angle, 3, 9, 30)
    slice_level = lambda azimuth, e: min(h90(azimuth) + v9(-e if azimuth != 180 else 180 + e), 40.0)
    pat = edx_pat_lines("VLM-T90-3T", 16.3, h90, slice_level, [0, 90, 180, 270])
    write_lines(os.path.join(OUT, "sector90_edx.pat"), pat)

    broken = os.path.join(OUT, "broken")
    os.makedirs(broken, exist_ok=True)
    with open(os.path.join(broken, "no_vertical_section.txt"), "w", newline="") as f:
        f.write("NAME BROKEN\r\nFREQUENCY 900\r\nGAIN 10 dBi\r\nHORIZONTAL 360\r\n0\t0.0\r\n1\t0.5\r\n")
    with open(os.path.join(broken, "level_with_unit.msi"), "w", newline="") as f:
        f.write("NAME BROKEN\nFREQUENCY 900\nHORIZONTAL 360\n0 0.0\n1 3.5 dB\nVERTICAL 360\n0 0.0\n")
    with open(os.path.join(broken, "unclosed_vertical.vwa"), "w", newline="") as f:
        rows = ["max_gain_dbi:\t17", "HORIZONTAL_GAINS"]
        rows += ["%d.0\t%.1f" % (i, 17 - i / 30.0) for i in range(360)]
        rows += ["END", "VERTICAL_GAINS"]
        rows += ["%.1f\t%.1f" % (180 - k, 17 - abs(k - 179) / 10.0) for k in range(360)]
        rows += ["end"]
        f.write("\r\n".join(rows) + "\r\n")
    # An NSMA file cut off inside the third cut of its first frequency.
    write_lines(os.path.join(broken, "nsma_cut_off.nsm"), nsma[:900])
    # An EDX pattern file whose slices miss azimuth 180.
    write_lines(os.path.join(broken, "edx_without_back_slice.pat"),
                edx_pat_lines("VLM-T90-3T", 16.3, h90, slice_level, [0, 90]))
    # BASTA 3D files of one made-up panel: a uniform SPCS_CW file every 5 degrees (phi -180
    # and 180 both written), a polar file of Theta/Phi rows, denser near the horizon and
    # shuffled, and a co- plus cross-polar one.
    basta(os.path.join(OUT, "panel65_cw_5deg.json"), "SPCS_CW", steps(-90, 90, 5),
          steps(-180, 180, 5), ["MagAttenuationTP"], sampling=([-90, 5, 90], [-180, 5, 180]))
    polar_thetas = steps(0, 70, 10) + steps(80, 100, 2) + steps(110, 180, 10)
    basta(os.path.join(OUT, "panel65_polar_shuffled.json"), "SPCS_Polar", polar_thetas,
          steps(0, 350, 10), ["Phi", "MagAttenuationTP", "Theta"], shuffle_seed=7)
    basta(os.path.join(OUT, "panel65_co_cr.json"), "SPCS_CCW", steps(-90, 90, 5),
          steps(0, 350, 10), ["MagAttenuationCo", "MagAttenuationCr", "PhaseCo", "PhaseCr"],
          sampling=([-90, 5, 90], [0, 10, 350]))
    explicit = ["Theta", "Phi", "MagAttenuationTP"]
    basta(os.path.join(broken, "basta_unknown_system.json"), "SPCS_Foo", steps(-90, 90, 30),
          steps(0, 330, 30), explicit)
    basta(os.path.join(broken, "basta_half_sphere.json"), "SPCS_Polar", steps(0, 90, 30),
          steps(0, 330, 30), explicit)
    # Theta 60, phi 90 is missing: the rows of theta 60 give phi 120 twice.
    basta(os.path.join(broken, "basta_missing_pair.json"), "SPCS_CW", steps(-90, 90, 30),
          steps(0, 330, 30), explicit)
    path = os.path.join(broken, "basta_missing_pair.json")
    with open(path) as f:
        text = f.read()
    with open(path, "w", newline="") as f:
        f.write(text.replace("[60, 90,", "[60, 120,", 1))
    # An EDX export that stops inside its third vertical cut.
    write_lines(os.path.join(broken, "edx_ends_in_third_cut.doc"), edx[:363 + 2 * 182 + 50])


if __name__ == "__main__":
    main()
