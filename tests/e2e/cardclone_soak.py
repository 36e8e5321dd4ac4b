#!/usr/bin/env python3
"""cardclone against random cards and random faults, for a bounded time.

Each trial makes a golden card and one to three target cards in folders
(names with case variants and Chinese, sound files around the piece size,
links, old settings, a user's files), runs cardclone with one fault or none,
and holds the outcome to the rules every run must keep:
  - the golden card, and whatever a link points to, are left as they were;
  - on a target nothing but audio/ and the settings file changes (a settings
    write's own leftover excepted);
  - a card reported ready is the golden card (audio tree and settings), and
    cardcheck calls it ready; its row of the record carries its fingerprint
    and the golden card's, both as tests/support/fingerprint.py works them
    out from the definition alone (a failed card's row none of its own);
  - a user's file at a name like the clone's temporary ones is kept with
    --keep-extra; a golden card holding one of the clone's own is refused;
  - a card reported failed does not pass cardcheck, unless it was left as it
    was; a refused run leaves every card as it was;
  - after a kill mid-run no card is half ready, and a second run makes every
    card ready.
Faults: a card that fills up, a card whose writes fail (pulled), a read-back
that differs from what was written, the program killed part-way, the golden
card changed while it is copied (then no card may be ready or keep settings).

  cardclone_soak.py CARDCLONE CARDCHECK FAULT_SHIM WORK_FOLDER
BCT_SOAK_SECONDS bounds the run (default 30); a failing trial prints its
seed, and BCT_SOAK_SEED=N BCT_SOAK_TRIALS=1 replays it.
"""
import csv
import json
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import time

PIECE = 1 << 20
# Sensor playback at random: the device plays audio/SenseRand.
SETTINGS = bytes.fromhex(
    "0105071c1c00010a" + "00" * 74 + "00010000")
assert len(SETTINGS) == 86
NAMES = ["dog.wav", "Dog bark.wav", "狗叫.wav", "鸟鸣 2.wav", "s1.wav", "S2.WAV", "风声.wav", "a.wav"]
LEFTOVER = re.compile(r"^CFG_BROADCAST\.~\d\d$")
FINGERPRINT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "fingerprint.py")
# The look-alikes of the clone's temporary names that a user's files may have.
LOOKALIKES = ["audio/SenseRand/.cardclone-notes.tmp", "audio/.cardclone-backup.tmp/a.txt"]
# How the golden card is changed while it is copied, by a shell command.
CHANGES = ["printf RIFF > audio/SenseRand/added.wav", "mkdir -p audio/Alarm/B",
           "printf '\\001\\006' | dd of=CFG_BROADCAST.bin bs=1 count=2 conv=notrunc status=none"]


def fingerprint(folder):
    run = subprocess.run(["/usr/bin/python3", FINGERPRINT, folder], stdout=subprocess.PIPE, check=True)
    return run.stdout.decode().strip()


def record_rows(path):
    """The record's rows after its header, each a list of fields."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.reader(f))[1:]


def wav(size, rng):
    """A 16 kHz mono 16-bit PCM file of size bytes (at least 44), one less when odd."""
    data = (size - 44) & ~1
    header = b"RIFF" + struct.pack("<I", 36 + data) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, 16000, 32000, 2, 16) + b"data" + struct.pack("<I", data)
    seed = rng.randrange(256)
    block = bytes((seed + i * 7) & 0xFF for i in range(4096))
    return header + (block * (data // 4096 + 1))[:data]


def sound_size(rng):
    return rng.choice([46, 47, 1000, PIECE - 1, PIECE, PIECE + 1, 2 * PIECE + 77, rng.randrange(46, 3 * PIECE)])


def put(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def snapshot(root):
    """Every entry below root: bytes of a file, target of a link, None for a folder."""
    tree = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root)
            if os.path.islink(path):
                tree[rel] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                tree[rel] = None
            else:
                with open(path, "rb") as f:
                    tree[rel] = f.read()
    return tree


def part(tree, audio):
    """The audio tree and settings (audio=True) or everything else."""
    inside = lambda rel: rel == "audio" or rel.startswith("audio/") or rel == "CFG_BROADCAST.bin"
    return {rel: v for rel, v in tree.items() if inside(rel) == audio}


def own_leftover(rel, value):
    return LEFTOVER.match(rel) and isinstance(value, bytes) and len(value) in (0, 86)


class Trial:
    def __init__(self, seed, args, work):
        self.rng = random.Random(seed)
        self.seed = seed
        self.clone, self.check, self.shim = args
        self.work = work
        self.golden = os.path.join(work, "golden")
        self.record = os.path.join(work, "record.csv")
        self.changed = os.path.join(work, "golden-changed")
        self.outside = os.path.join(work, "outside")
        self.cards = []
        self.problems = []
        self.seen = []  # what happened, for the run's tally

    def fail(self, text):
        self.problems.append(text)

    def make(self):
        rng = self.rng
        put(os.path.join(self.golden, "CFG_BROADCAST.bin"), SETTINGS)
        put(os.path.join(self.golden, "captures", "0001.jpg"), b"golden capture")
        put(os.path.join(self.outside, "keep.wav"), wav(100, rng))
        names = rng.sample(NAMES, rng.randint(1, 4))
        for name in names:
            put(os.path.join(self.golden, "audio", "SenseRand", name), wav(sound_size(rng), rng))
        if rng.random() < 0.3:
            put(os.path.join(self.golden, "audio", "Alarm", "A", "dog", "bark.wav"), wav(sound_size(rng), rng))
        self.refused = False
        trouble = rng.random()
        if trouble < 0.08:  # two names equal but for case
            name = names[0]
            put(os.path.join(self.golden, "audio", "SenseRand", name.swapcase()), wav(100, rng))
            self.refused = name.swapcase() != name
        elif trouble < 0.12:  # a folder beside another spelling of it
            put(os.path.join(self.golden, "audio", "senserand", "x.wav"), wav(100, rng))
            self.refused = True
        elif trouble < 0.16:  # a link in the golden card
            os.symlink(os.path.join(self.outside, "keep.wav"), os.path.join(self.golden, "audio", "SenseRand", "l.wav"))
            self.refused = True
        elif trouble < 0.19:  # a file at one of the clone's own temporary names
            put(os.path.join(self.golden, "audio", "SenseRand", ".cardclone-%d.tmp" % rng.randrange(100)), b"x")
            self.refused = True
        for i in range(rng.randint(1, 3)):
            card = os.path.join(self.work, "card%d" % i)
            os.makedirs(card)
            if rng.random() < 0.6:
                self.use(card)
            self.cards.append(card)

    def use(self, card):
        """A card used before: old settings, other and equal sounds, a link, a user's files."""
        rng = self.rng
        put(os.path.join(card, "CFG_BROADCAST.bin"), rng.choice([bytes(86), SETTINGS, os.urandom(86)]))
        put(os.path.join(card, "DCIM", "0001.jpg"), b"a capture")
        put(os.path.join(card, "notes.txt"), b"my notes")
        put(os.path.join(card, "CFG_BROADCAST.~00"), rng.choice([b"my notes", bytes(86)]))
        sense = os.path.join(card, "audio", "SenseRand")
        put(os.path.join(sense, "stale.wav"), wav(sound_size(rng), rng))
        for name in os.listdir(os.path.join(self.golden, "audio", "SenseRand")):
            source = os.path.join(self.golden, "audio", "SenseRand", name)
            if os.path.islink(source) or rng.random() < 0.5:
                continue
            with open(source, "rb") as f:
                data = f.read()
            if rng.random() < 0.5 and len(data) > 44:
                data = bytearray(data)
                data[rng.randrange(44, len(data))] ^= 1
            put(os.path.join(sense, name), bytes(data))
        if rng.random() < 0.3:
            os.symlink(self.outside, os.path.join(sense, "linked"))
        if rng.random() < 0.3:
            put(os.path.join(sense, ".cardclone-%d.tmp" % rng.randrange(100)), b"left by a clone cut short")
        if rng.random() < 0.3:
            for rel in LOOKALIKES:
                put(os.path.join(card, rel), b"the user's")

    def run(self, fault, victim, keep_extra):
        env = dict(os.environ, ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=0")
        if fault in ("full", "write", "read"):
            env["BCT_FAULT"] = "%s:/%s/" % (fault, os.path.basename(victim))
            env["LD_PRELOAD"] = self.shim
        if fault == "golden":
            # At the reader's first piece of a golden sound, if it reads one.
            env["BCT_FAULT"] = "hook:/golden/audio/"
            env["BCT_HOOK"] = "cd '%s' && %s && touch '%s'" % (self.golden, self.rng.choice(CHANGES), self.changed)
            env["LD_PRELOAD"] = self.shim
        if os.path.exists(self.record):
            os.remove(self.record)
        command = [self.clone, "--any-folder", "--yes", "--json", "--record", self.record] + \
            (["--keep-extra"] if keep_extra else [])
        process = subprocess.Popen(command + [self.golden] + self.cards, env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if fault == "kill":
            try:
                out, _ = process.communicate(timeout=self.rng.uniform(0, 0.4))
            except subprocess.TimeoutExpired:
                process.send_signal(signal.SIGKILL)
                process.communicate()
                return None, None
        else:
            out, _ = process.communicate(timeout=300)
        return process.returncode, out

    def ready_by_cardcheck(self, card):
        run = subprocess.run([self.check, card], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"), timeout=120)
        return run.returncode == 0

    def is_golden(self, card, keep_extra):
        want, have = part(snapshot(self.golden), True), part(snapshot(card), True)
        if keep_extra:
            have = {rel: v for rel, v in have.items() if rel in want}
        return want == have

    def hold(self, before, golden_before, outside_before, keep_extra):
        if snapshot(self.golden) != golden_before:
            self.fail("the golden card changed")
        if snapshot(self.outside) != outside_before:
            self.fail("the folder behind a link changed")
        for card in self.cards:
            was = {rel: v for rel, v in part(before[card], False).items() if not own_leftover(rel, v)}
            now = {rel: v for rel, v in part(snapshot(card), False).items() if not own_leftover(rel, v)}
            if was != now:
                self.fail("%s: something outside audio/ and the settings changed" % card)

    def go(self):
        self.make()
        rng = self.rng
        keep_extra = rng.random() < 0.25
        fault = "none" if self.refused else rng.choice(["none", "full", "write", "read", "kill", "golden"])
        victim = rng.choice(self.cards)
        golden_before, outside_before = snapshot(self.golden), snapshot(self.outside)
        before = {card: snapshot(card) for card in self.cards}
        code, out = self.run(fault, victim, keep_extra)
        if os.path.exists(self.changed):
            return self.changed_golden(code, out, before)
        if fault == "golden":
            fault = "none"  # no golden sound was large enough to be read in pieces
        self.hold(before, golden_before, outside_before, keep_extra)
        label = "fault %s on %s, keep-extra %s" % (fault, os.path.basename(victim), keep_extra)
        if fault == "kill" and code is None:
            self.seen.append("killed mid-run")
            for card in self.cards:
                if self.ready_by_cardcheck(card) and not self.is_golden(card, keep_extra) and \
                        part(snapshot(card), True) != part(before[card], True):
                    self.fail("%s: after the kill cardcheck calls it ready, but it is not the golden card" % card)
            code, out = self.run("none", victim, keep_extra)
            self.hold(before, golden_before, outside_before, keep_extra)
            label += ", run again"
            fault = "none"
        if self.refused:
            self.seen.append("refused")
            if code != 2:
                self.fail("a golden card with a collision or a link was not refused (exit %s)" % code)
            for card in self.cards:
                if snapshot(card) != before[card]:
                    self.fail("%s: changed by a refused run" % card)
            return label
        try:
            report = json.loads(out)
        except ValueError:
            self.fail("no report (exit %s): %r" % (code, out[:300]))
            return label
        if report.get("errors"):
            self.fail("refused (exit %s): %s" % (code, "; ".join(report["errors"])))
            return label
        for result in report.get("cards", []):
            card = result["target"]
            self.seen.append("%s card %s" % (fault, "ready" if result["ready"] else "failed"))
            if result["ready"]:
                if not self.is_golden(card, keep_extra):
                    self.fail("%s: reported ready but not the golden card" % card)
                if not self.ready_by_cardcheck(card):
                    self.fail("%s: reported ready but cardcheck disagrees" % card)
            else:
                if fault == "none":
                    self.fail("%s: failed without a fault: %s" % (card, result.get("reason")))
                if card != victim:
                    self.fail("%s: failed, though the fault hit %s" % (card, victim))
                if snapshot(card) != before[card] and self.ready_by_cardcheck(card):
                    self.fail("%s: reported failed (%s) but cardcheck calls it ready" % (card, result.get("reason")))
        self.hold_record(report, keep_extra, before)
        if len(report.get("cards", [])) != len(self.cards):
            self.fail("the report names %d cards of %d" % (len(report.get("cards", [])), len(self.cards)))
        if (code == 0) != all(r["ready"] for r in report.get("cards", [])):
            self.fail("exit %s does not match the cards' states" % code)
        return label


    def changed_golden(self, code, out, before):
        self.seen.append("golden changed")
        if code != 1:
            self.fail("the golden card changed while copied: exit %s" % code)
        for result in json.loads(out).get("cards", []):
            card = result["target"]
            if result["ready"]:
                self.fail("%s: ready, though the golden card changed while copied" % card)
            if os.path.exists(os.path.join(card, "CFG_BROADCAST.bin")) and snapshot(card) != before[card]:
                self.fail("%s: keeps a settings file, though the golden card changed while copied" % card)
        for row in record_rows(self.record):
            if row[7]:
                self.fail("%s: a card fingerprint in the record of a failed card" % row[1])
        return "golden changed"

    def hold_record(self, report, keep_extra, before):
        rows = {row[1]: row for row in record_rows(self.record)}
        golden_code = fingerprint(self.golden)
        for result in report.get("cards", []):
            card = result["target"]
            row = rows.get(card)
            if row is None:
                self.fail("%s: no row in the record" % card)
                continue
            if row[6] != golden_code:
                self.fail("%s: the record's golden fingerprint %s, the golden card's %s" % (card, row[6], golden_code))
            if row[7] != (fingerprint(card) if result["ready"] else ""):
                self.fail("%s: the record's card fingerprint %r is not the card's" % (card, row[7]))
            if not result["ready"]:
                continue
            for rel in LOOKALIKES:
                if keep_extra and rel in before[card] and not os.path.exists(os.path.join(card, rel)):
                    self.fail("%s: the user's %s removed, though extras are kept" % (card, rel))
            sense = os.path.join(card, "audio", "SenseRand")
            if any(re.match(r"^\.cardclone-\d+\.tmp$", name) for name in os.listdir(sense)):
                self.fail("%s: ready with a temporary file of the clone left" % card)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    args, work = [os.path.realpath(a) for a in sys.argv[1:4]], sys.argv[4]
    seconds = float(os.environ.get("BCT_SOAK_SECONDS", "30"))
    trials = int(os.environ.get("BCT_SOAK_TRIALS", "0"))
    seed = int(os.environ.get("BCT_SOAK_SEED", str(random.SystemRandom().randrange(1 << 30))))
    print("cardclone soak: first seed %d, %g s" % (seed, seconds))
    deadline = time.monotonic() + seconds
    done = failed = 0
    tally = {}
    while (trials == 0 and time.monotonic() < deadline) or (trials and done < trials):
        trial_seed = seed + done
        folder = os.path.join(work, "trial")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        trial = Trial(trial_seed, args, folder)
        label = trial.go()
        done += 1
        for event in trial.seen:
            tally[event] = tally.get(event, 0) + 1
        if trial.problems:
            failed += 1
            print("FAILED trial, seed %d (%s); replay: BCT_SOAK_SEED=%d BCT_SOAK_TRIALS=1" %
                  (trial_seed, label, trial_seed))
            for problem in trial.problems:
                print("  " + problem)
            if failed >= 3:
                break
    shutil.rmtree(work, ignore_errors=True)
    print("cardclone soak: %d trials, %d failed; seen: %s" %
          (done, failed, ", ".join("%s %d" % item for item in sorted(tally.items()))))
    sys.exit(1 if failed or done == 0 else 0)


if __name__ == "__main__":
    main()
