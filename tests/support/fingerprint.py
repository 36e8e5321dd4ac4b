#!/usr/bin/python3
"""A card's fingerprint, worked out from its definition alone (README, "The
fingerprint"), apart from the programs' code: the check of the code the tests
expect.   fingerprint.py CARD_FOLDER   (needs Debian's python3-xxhash)"""
import os
import sys

import xxhash


def lines(card):
    for name in os.listdir(card):
        path = os.path.join(card, name)
        if name.lower() == "cfg_broadcast.bin" and os.path.isfile(path) and not os.path.islink(path):
            yield entry(card, path)
        if name.lower() == "audio" and os.path.isdir(path) and not os.path.islink(path):
            for folder, dirs, files in os.walk(path):
                dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(folder, d))
                           and not os.path.ismount(os.path.join(folder, d))]
                for file in files:
                    full = os.path.join(folder, file)
                    if os.path.isfile(full) and not os.path.islink(full):
                        yield entry(card, full)


def entry(card, path):
    rel = os.path.relpath(path, card).replace(os.sep, "/").encode("utf-8")
    rel = bytes(c + 32 if 65 <= c <= 90 else c for c in rel)
    with open(path, "rb") as f:
        digest = xxhash.xxh3_128_hexdigest(f.read())
    return rel + b"\t" + str(os.path.getsize(path)).encode() + b"\t" + digest.encode() + b"\n"


if __name__ == "__main__":
    print(xxhash.xxh3_64_hexdigest(b"".join(sorted(lines(sys.argv[1])))).upper())
