#!/usr/bin/env python3
"""Makes the sample ARRL RTTY Roundup log of examples/ from the country file.

The worked stations are exact-call entries of cty.dat (W/VE stations send the state or province of their
call area, DX stations a serial number that grows through the weekend); the own station is a US station
sending CT. Over the 30 hours of the contest weekend it works all five bands, by night on 80 and 40 m and
by day on 20, 15 and 10 m, in RTTY, the one mode of the contest since 2023; some Canadian stations
send the older spellings of their province (PEI, NF). The log holds the mistakes a real one has: a few
dupes, a bad exchange, a QSO on a band the contest does not have, one in a mode it never had (CW) and one
in a mode it no longer has (FT8, Cabrillo "DG"). The same QSOs are written as Cabrillo 3.0
and as ADIF, so both readers can be checked against each other.

usage: make_sample.py [--cty FILE] [--qsos N] [--seed S] [--out-dir DIR] [--name STEM]
"""
import argparse
import datetime
import os
import random
import re

W_STATES = {
    "1": ["CT", "MA", "ME", "NH", "RI", "VT"], "2": ["NY", "NJ"], "3": ["PA", "MD", "DE", "DC"],
    "4": ["FL", "GA", "NC", "SC", "VA", "TN", "KY", "AL"], "5": ["TX", "OK", "LA", "AR", "MS", "NM"],
    "6": ["CA"], "7": ["WA", "OR", "AZ", "ID", "MT", "NV", "UT", "WY"], "8": ["OH", "MI", "WV"],
    "9": ["IL", "IN", "WI"], "0": ["MN", "IA", "MO", "KS", "NE", "ND", "SD", "CO"],
}
VE_PROVINCES = {"VE1": "NS", "VE2": "QC", "VE3": "ON", "VE4": "MB", "VE5": "SK", "VE6": "AB", "VE7": "BC",
                "VA2": "QC", "VA3": "ON", "VA7": "BC", "VO1": "NL", "VY2": "PE", "VE9": "NB"}
# Older spellings still sent on the air, and the province each counts as.
CANONICAL = {"PEI": "PE", "NF": "NL", "LB": "NL", "NWT": "NT"}
CONTEST_MODES = ("RY",)
# RTTY segments of the five contest bands, in kHz.
SEGMENTS = {"80m": (3570, 3600), "40m": (7040, 7100), "20m": (14070, 14110), "15m": (21070, 21120),
            "10m": (28070, 28150)}
NIGHT_BANDS = ["80m", "80m", "40m", "40m", "40m", "20m"]
DAY_BANDS = ["20m", "20m", "20m", "15m", "15m", "15m", "10m", "10m", "40m"]
DX_ENTITIES = ["DL", "G", "F", "I", "EA", "OK", "SP", "S5", "OH", "SM", "UA", "JA", "KH6", "KL", "XE", "PY",
               "LU", "VK", "ZL", "ZS", "CE", "KP4", "EI", "ON", "PA", "HA", "YO", "LZ", "9A", "UR"]


def read_cty(path):
    """Exact calls per primary prefix; WAE-only entities are left out."""
    text = open(path, encoding="latin-1").read()
    calls = {}
    for m in re.finditer(r"([^:;]+):([^:;]*):([^:;]*):([^:;]*):([^:;]*):([^:;]*):([^:;]*):\s*([^:;]+):([^;]*);",
                         text):
        primary = m.group(8).strip()
        if primary.startswith("*"):
            continue
        for alias in m.group(9).split(","):
            alias = re.split(r"[(\[<{~]", alias.strip())[0]
            # Plain calls only: portable and special forms would need the resolver's rules to place.
            if alias.startswith("=") and re.fullmatch(r"[A-Z]{1,2}[0-9][A-Z]{1,3}", alias[1:]):
                calls.setdefault(primary, []).append(alias[1:])
    return calls


def exchange_of(call):
    if call[:3] in VE_PROVINCES:
        return VE_PROVINCES[call[:3]]
    digit = re.search(r"[0-9]", call).group(0)
    return None if digit is None else W_STATES[digit][sum(map(ord, call)) % len(W_STATES[digit])]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cty", default="/usr/share/hamradio-files/cty.dat")
    ap.add_argument("--qsos", type=int, default=320)
    ap.add_argument("--seed", type=int, default=2026)
    ap.add_argument("--out-dir", default=os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
    ap.add_argument("--name", default="arrl-rtty-sample")
    ap.add_argument("--own-call", default=None)
    args = ap.parse_args()

    rnd = random.Random(args.seed)
    calls = read_cty(args.cty)
    us = sorted(c for c in calls.get("K", []) if not c.startswith(("KH", "KL", "KP", "AH", "AL", "NH", "NL", "WH",
                                                                   "WL", "KG4")))
    ve = sorted(c for c in calls.get("VE", []) if c[:3] in VE_PROVINCES)
    dx = {p: sorted(calls[p]) for p in DX_ENTITIES if calls.get(p)}
    own = args.own_call or next(c for c in us if c.startswith("W1") and exchange_of(c) == "CT")
    own_exch = "CT"

    start = datetime.datetime(2026, 1, 3, 18, 0)  # first full weekend of January 2026
    # Minutes of the 30 hours in which the station is on the air, leaving a night's sleep out.
    on_air = [m for m in range(30 * 60) if not (11 * 60 <= m < 17 * 60)]
    minutes = sorted(rnd.sample(on_air, args.qsos))

    dx_serials = {}
    log = []  # (time, kHz, mode, call, rst_rcvd, exch_rcvd)
    worked = set()
    for minute in minutes:
        t = start + datetime.timedelta(minutes=minute)
        band = rnd.choice(NIGHT_BANDS if t.hour < 12 or t.hour >= 23 else DAY_BANDS)
        for _ in range(50):
            r = rnd.random()
            if r < 0.62:
                call = rnd.choice(us)
            elif r < 0.74:
                call = rnd.choice(ve)
            else:
                entity = rnd.choice(sorted(dx))
                call = rnd.choice(dx[entity])
            if (call, band) not in worked and call != own:
                break
        worked.add((call, band))
        if call in us or call in ve:
            exch = exchange_of(call)
        else:
            dx_serials[call] = dx_serials.get(call, rnd.randint(1, 400)) + rnd.randint(1, 25)
            exch = "%d" % dx_serials[call]
        lo, hi = SEGMENTS[band]
        log.append([t, rnd.randint(lo, hi), "RY", call, "599", exch])

    # Without further random draws, so the rest of the log stays as it was: the first Quebec stations'
    # QSOs given to a station of Prince Edward Island and one of Newfoundland, each worked on two bands,
    # once with the older spelling of the province and once with today's.
    stand_ins = [("VY2ZZZ", "PEI"), ("VO1ZZZ", "NF"), ("VY2ZZZ", "PE"), ("VO1ZZZ", "NL")]
    bands_of = {}
    for q in log:
        if not stand_ins:
            break
        call, exch = stand_ins[0]
        band = next(b for b, (lo, hi) in SEGMENTS.items() if lo <= q[1] <= hi)
        if q[5] == "QC" and band not in bands_of.get(call, set()):
            q[3], q[5] = call, exch
            bands_of.setdefault(call, set()).add(band)
            stand_ins.pop(0)

    # The mistakes of a real log, each on its own QSO.
    def copy_later(src, minutes_later):
        q = list(log[src])
        q[0] = q[0] + datetime.timedelta(minutes=minutes_later)
        q[1] = q[1] + 1
        return q

    extra = [copy_later(i, 7 + i % 5) for i in (40, 41, 180, 181)]  # dupes: same call, band and mode
    extra[1][5] = log[41][5]                                       # one repeats the exchange as is
    no_longer = copy_later(250, 6)
    no_longer[2], no_longer[4] = "DG", "-05"                       # FT8 counted up to 2022 only
    extra.append(no_longer)
    bad = list(log[90])
    bad[3], bad[5] = rnd.choice(us), "XX"                          # no such state
    extra.append(bad)
    wrong_band = copy_later(120, 3)
    wrong_band[1], wrong_band[3] = 10142, rnd.choice(ve)          # 30 m is not a contest band
    wrong_band[5] = exchange_of(wrong_band[3])
    extra.append(wrong_band)
    wrong_mode = copy_later(200, 2)
    wrong_mode[2], wrong_mode[3] = "CW", rnd.choice(us)            # CW is not a contest mode
    wrong_mode[5] = exchange_of(wrong_mode[3])
    extra.append(wrong_mode)
    log.extend(extra)
    log.sort(key=lambda q: (q[0], q[3]))

    # The score the station claims, by the contest's own rules: one point per good QSO, and as multipliers
    # the states and provinces plus the DXCC entities other than the USA and Canada.
    seen, points, mults = set(), 0, set()
    entity_of = {c: p for p, cs in dx.items() for c in cs}
    for t, khz, mode, call, rst, exch in log:
        band = next((b for b, (lo, hi) in SEGMENTS.items() if lo <= khz <= hi + 1), None)
        if band is None or mode not in CONTEST_MODES or (call, band) in seen or exch == "XX":
            continue
        seen.add((call, band))
        points += 1
        mults.add(entity_of[call] if call in entity_of else CANONICAL.get(exch, exch))
    claimed = points * len(mults)

    stem = os.path.join(args.out_dir, args.name)
    header = [
        "START-OF-LOG: 3.0", "CONTEST: ARRL-RTTY", "CALLSIGN: " + own, "LOCATION: CT",
        "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-ASSISTED: NON-ASSISTED", "CATEGORY-BAND: ALL",
        "CATEGORY-MODE: RTTY", "CATEGORY-POWER: LOW", "CATEGORY-STATION: FIXED", "CATEGORY-TRANSMITTER: ONE",
        "CLAIMED-SCORE: %d" % claimed, "CREATED-BY: make_sample.py (seed %d)" % args.seed, "OPERATORS: " + own,
        "SOAPBOX: A sample log made from the calls of the country file; not a real contest entry.",
    ]
    with open(stem + ".log", "w", newline="\n") as f:
        f.write("\n".join(header) + "\n")
        for t, khz, mode, call, rst, exch in log:
            f.write("QSO: %5d %s %s %-13s %-3s %-6s %-13s %-3s %s\n" % (
                khz, mode, t.strftime("%Y-%m-%d %H%M"), own, "599", own_exch, call, rst, exch))
        f.write("END-OF-LOG:\n")

    def field(name, value):
        return "<%s:%d>%s " % (name, len(value), value)

    with open(stem + ".adi", "w", newline="\n") as f:
        f.write("Sample ARRL RTTY Roundup log, the same QSOs as %s.log\n" % args.name)
        f.write(field("ADIF_VER", "3.1.4") + field("PROGRAMID", "make_sample.py") + "<EOH>\n")
        for t, khz, mode, call, rst, exch in log:
            rec = field("CALL", call) + field("QSO_DATE", t.strftime("%Y%m%d")) + field("TIME_ON", t.strftime("%H%M"))
            adif_mode = {"RY": "RTTY", "DG": "FT8"}.get(mode, mode)
            rec += field("FREQ", "%d.%03d" % (khz // 1000, khz % 1000)) + field("MODE", adif_mode)
            rec += field("RST_SENT", "599") + field("RST_RCVD", rst) + field("STX_STRING", own_exch)
            rec += field("SRX_STRING", exch) + field("STATION_CALLSIGN", own) + "<EOR>\n"
            f.write(rec)
    print("%s.log and %s.adi: %d QSOs, own call %s" % (stem, stem, len(log), own))


if __name__ == "__main__":
    main()
