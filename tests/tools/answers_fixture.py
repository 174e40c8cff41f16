#!/usr/bin/env python3
"""Writes answers files beside a results file, byte by byte as the README documents the format,
so that the command-line tests read files that the program's own writer did not make.

Usage: answers_fixture.py RESULTS_FILE < SPEC
SPEC lines:
  run N                       the answers that follow belong to record N of the results file
  FIRST SECOND PLACE TYPE TENTHS BOX1 BOX2 BOX3
                              one answer; PLACE is the exponent (2: hundreds), "_" an empty box
  garbage N                   N bytes of rubbish at the end of the last run's file
"""
import os
import struct
import sys

BOX_CHARACTERS = "*,-./0123456789"
MASK = (1 << 64) - 1


def checksum(block: bytes) -> int:
    h = 0x9E3779B97F4A7C15 ^ len(block)
    for at in range(0, len(block) - len(block) % 8, 8):
        word = struct.unpack_from("<Q", block, at)[0]
        if at == 24:
            word &= 0xFFFFFFFF  # the checksum field reads as zero
        h ^= word
        h = (h * 0xBF58476D1CE4E5B9) & MASK
        h ^= h >> 31
    return (h ^ (h >> 32)) & 0xFFFFFFFF


def rounded(number: int, place: int) -> int:
    unit = 10**place
    return (number + unit // 2) // unit * unit


def packed(text: str) -> int:
    value = 0
    for i, c in enumerate(text[:5]):
        value |= (BOX_CHARACTERS.index(c) + 1) << (4 * i)
    return value


def answer_slot(first, second, place, kind, tenths, boxes) -> bytes:
    right = [rounded(first, place), rounded(second, place)]
    right.append(right[0] + right[1])
    wrong = 0
    for i, (box, value) in enumerate(zip(boxes, right)):
        if box != str(value):
            wrong |= 1 << i
    flags = place | kind << 2 | wrong << 4
    texts = sum(packed(box) << (20 * i) for i, box in enumerate(boxes))
    return b"a" + struct.pack("<BHHHQ", flags, first, second, tenths, texts)


def block(record: bytes, answers) -> bytes:
    date, clock, student, level = struct.unpack_from("<ddhh", record, 0)
    head = bytearray(b"GAR1" + struct.pack("<ddhhHHI", date, clock, student, level,
                                            len(answers), 0, 0))
    whole = bytes(head) + b"".join(answers)
    return whole[:28] + struct.pack("<I", checksum(whole)) + whole[32:]


def file_of(results: str, record: bytes) -> str:
    date, _, student = struct.unpack_from("<ddh", record, 0)
    # Day serials count from 1899-12-30; the school year runs from April to March.
    import datetime
    day = datetime.date(1899, 12, 30) + datetime.timedelta(days=int(date))
    year = day.year if day.month >= 4 else day.year - 1
    folder = os.path.join(os.path.dirname(results), f"成績解答データ{year}")
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, f"生徒{student:04d}.dat")


def main() -> None:
    results = sys.argv[1]
    with open(results, "rb") as f:
        records = f.read()
    runs = []  # (record bytes, [answer slots])
    garbage = {}
    for line in sys.stdin:
        fields = line.split()
        if not fields:
            continue
        if fields[0] == "run":
            n = int(fields[1])
            runs.append((records[(n - 1) * 44:n * 44], []))
        elif fields[0] == "garbage":
            garbage[len(runs) - 1] = int(fields[1])
        else:
            first, second, place, kind, tenths = map(int, fields[:5])
            boxes = ["" if box == "_" else box for box in fields[5:8]]
            runs[-1][1].append(answer_slot(first, second, place, kind, tenths, boxes))
    for i, (record, answers) in enumerate(runs):
        with open(file_of(results, record), "ab") as f:
            f.write(block(record, answers))
            f.write(b"\x5a" * garbage.get(i, 0))


main()
