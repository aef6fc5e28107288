#!/usr/bin/env python3
"""Split and join as the user waits for them, against what the machine's own tools do with the
same bytes: the engine (copy_driver, a folder target, 20 Mbyte parts) against `split -b 20M` +
`sync -f`, and QUIL.EXE against `cat` of the same parts + `sync -f`. Runs alternate A B A B with a
warm page cache; the table shows medians, ratios, throughput and peak memory.

Fairness: before every timed run the file system is settled with an untimed `sync -f`, so that
neither side pays for the other's deletions (this file system may discard freed blocks at the
next journal commit) or for dirty pages left by other programs; the inputs are then read once so
that both sides start from a warm cache. Each side runs once untimed first (binaries, the
directory layout), and every output is checked byte for byte against the source."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024
GIB = 1024 * MIB
PART_MB = 20
# A folder takes 99 parts (the 100th would be named 00): a source of several GiB is split into
# parts of this many Mbyte on both sides.
BIG_PART_MB = 1024


def run_measured(argv, shell=False, answers=None):
    """Runs a command, with answers typed on its input if given; returns (wall seconds, peak
    resident KiB of the command itself).

    GNU time execs the command from its own small process: measuring from a child that Python
    forked would count Python's own pages, which the fork copies before the exec."""
    if shell:
        argv = ["sh", "-c", argv]
    with tempfile.NamedTemporaryFile("r") as report:
        started = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv,
                                input=(answers or "").encode(), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        seconds = time.perf_counter() - started
        if result.returncode != 0:
            sys.exit(f"failed ({result.returncode}): {argv}\n{result.stderr.decode(errors='replace')}")
        peak_kib = int(report.read().strip().splitlines()[-1])
    return seconds, peak_kib


def make_source(path, size_bytes, sparse=False):
    if sparse:
        # Holes read as zeros without touching the disk: the parts written from it are real.
        with open(path, "wb") as out:
            out.truncate(size_bytes)
        return
    with open(path, "wb") as out:
        left = size_bytes
        while left > 0:
            block = min(left, 4 * MIB)
            out.write(os.urandom(block))
            left -= block


def warm(paths):
    buffer = bytearray(1 * MIB)
    for path in paths:
        with open(path, "rb", buffering=0) as f:
            while f.readinto(buffer):
                pass


def settle(folder):
    """Writes out everything pending on the folder's file system, untimed."""
    subprocess.run(["sync", "-f", folder], check=True)


def fresh_dir(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)


def parts_of(folder, prefix):
    return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.startswith(prefix))


def same_file(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def file_system_of(path):
    out = subprocess.run(["df", "--output=source,fstype", path], capture_output=True, text=True)
    lines = out.stdout.strip().splitlines()
    return " ".join(lines[-1].split()) if len(lines) > 1 else "?"


class Bench:
    def __init__(self, build, work):
        self.driver = os.path.join(build, "tests", "support", "copy_driver", "copy_driver")
        self.build = build
        self.work = work
        self.part_mb = PART_MB

    def _prepare(self, out, inputs):
        # The old output goes last, right before the run: on a virtual machine that hands free
        # memory back to its host, pages freed a few seconds earlier come back only with a
        # fault in the host each, and which side got such pages would decide the comparison.
        warm(inputs)
        fresh_dir(out)
        settle(self.work)

    def engine_split(self, source, out):
        self._prepare(out, [source, os.path.join(self.build, "QUIL.SYS")])
        return run_measured([self.driver, "--source", source, "--folder", out, "--max", str(self.part_mb), "--unit",
                             "Mbyte", "--quil", self.build, "--quiet"])

    def engine_split_with_recovery(self, source, out):
        self._prepare(out, [source, os.path.join(self.build, "QUIL.SYS")])
        return run_measured([self.driver, "--source", source, "--folder", out, "--max", str(self.part_mb), "--unit",
                             "Mbyte", "--quil", self.build, "--quiet", "--mit-ersatzdiskette"])

    def quil_rebuild(self, set_folder, out):
        """QUIL.EXE on a set mit Ersatzdiskette whose second part is lost: told so ("v"), it
        rebuilds the part from the recovery data and the other parts."""
        self._prepare(out, [os.path.join(set_folder, n) for n in os.listdir(set_folder)])
        return run_measured([os.path.join(set_folder, "QUIL.EXE"), out], answers="v\n")

    def reference_split(self, source, out):
        self._prepare(out, [source])
        prefix = os.path.join(out, "x")
        return run_measured(f"split -b {self.part_mb}M '{source}' '{prefix}' && sync -f '{out}'", shell=True)

    def quil_join(self, set_folder, out):
        self._prepare(out, [os.path.join(set_folder, "QUIL.EXE")] + parts_of(set_folder, "QUILME"))
        return run_measured([os.path.join(set_folder, "QUIL.EXE"), out])

    def reference_join(self, set_folder, out):
        parts = parts_of(set_folder, "QUILME")
        self._prepare(out, parts)
        quoted = " ".join(f"'{p}'" for p in parts)
        target = os.path.join(out, "joined")
        return run_measured(f"cat {quoted} > '{target}' && sync -f '{out}'", shell=True)


class Timing:
    def __init__(self, name):
        self.name = name
        self.seconds = []
        self.peak_kib = 0

    def add(self, measured):
        seconds, peak_kib = measured
        self.seconds.append(seconds)
        self.peak_kib = max(self.peak_kib, peak_kib)

    @property
    def median(self):
        return statistics.median(self.seconds)


def alternate(runs, name_a, a, name_b, b):
    """A B A B ..., after one untimed run of each; returns the two timings."""
    a()
    b()
    timing_a, timing_b = Timing(name_a), Timing(name_b)
    for _ in range(runs):
        timing_a.add(a())
        timing_b.add(b())
    for timing in (timing_a, timing_b):
        print(f"  {timing.name}: " + " ".join(f"{s:.3f}" for s in timing.seconds), file=sys.stderr)
    return timing_a, timing_b


def check_outputs(source, set_a, set_b, join_a, join_b):
    engine_parts = parts_of(set_a, "QUILME")
    split_parts = parts_of(set_b, "x")
    if len(engine_parts) != len(split_parts) or not all(map(same_file, engine_parts, split_parts)):
        sys.exit("the engine's parts differ from split's pieces")
    if not same_file(source, os.path.join(join_a, os.path.basename(source))):
        sys.exit("QUIL.EXE did not give back the source byte for byte")
    if not same_file(source, os.path.join(join_b, "joined")):
        sys.exit("cat did not give back the source byte for byte")


def spread(timing):
    return f"{min(timing.seconds):.3f}–{max(timing.seconds):.3f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="release build tree with copy_driver and QUIL.SYS")
    parser.add_argument("--size-mib", type=int, default=1024, help="size of the timed source (MiB)")
    parser.add_argument("--runs", type=int, default=5, help="timed runs of each side (at least 5)")
    parser.add_argument("--dir", default="/var/tmp", help="folder on the file system to measure")
    parser.add_argument("--big-gib", type=int, default=5,
                        help=f"size of a sparse source split into {BIG_PART_MB} Mbyte parts (GiB; 0: none)")
    parser.add_argument("--big-runs", type=int, default=3, help="timed runs of each side for that source")
    args = parser.parse_args()
    if args.runs < 5:
        parser.error("--runs must be at least 5")
    if args.size_mib > 99 * PART_MB:
        parser.error(f"--size-mib at most {99 * PART_MB}: a folder takes 99 parts")

    work = tempfile.mkdtemp(prefix="splitwerk-bench-", dir=args.dir)
    bench = Bench(os.path.abspath(args.build), work)
    try:
        sizes = sorted({64, args.size_mib}) + ([args.big_gib * 1024] if args.big_gib > 0 else [])
        memory = {}
        rows = []
        big_rows = []
        recovery_rows = []
        recovery_costs = None
        for size in sizes:
            big = args.big_gib > 0 and size == args.big_gib * 1024
            print(f"{size} MiB:", file=sys.stderr)
            source = os.path.join(work, f"quelle-{size}.bin")
            make_source(source, size * MIB, sparse=big)
            bench.part_mb = BIG_PART_MB if big else PART_MB
            set_a = os.path.join(work, "set-engine")
            set_b = os.path.join(work, "set-split")
            join_a = os.path.join(work, "join-quil")
            join_b = os.path.join(work, "join-cat")
            runs = args.big_runs if big else args.runs if size == args.size_mib else 1
            split_a, split_b = alternate(runs, "engine", lambda: bench.engine_split(source, set_a),
                                         "split+sync", lambda: bench.reference_split(source, set_b))
            join_a_t, join_b_t = alternate(runs, "QUIL.EXE", lambda: bench.quil_join(set_a, join_a),
                                           "cat+sync", lambda: bench.reference_join(set_a, join_b))
            check_outputs(source, set_a, set_b, join_a, join_b)
            memory[size] = (split_a.peak_kib, join_a_t.peak_kib)
            if big:
                big_rows = [
                    (f"split: engine, {BIG_PART_MB} Mbyte parts", split_a, split_a.median / split_b.median),
                    (f"split: split -b {BIG_PART_MB}M + sync -f", split_b, None),
                    ("join: QUIL.EXE", join_a_t, join_a_t.median / join_b_t.median),
                    ("join: cat + sync -f", join_b_t, None),
                ]
            elif size == args.size_mib:
                dd = Timing("dd")
                for _ in range(3):
                    warm([source])
                    dd.add(run_measured(["dd", f"if={source}", "of=/dev/null", "bs=128K"]))
                mb = size * MIB / 1e6
                # The recovery data: its cost on top of the plain split, and a join that
                # rebuilds one lost part, each against the plain engine and QUIL.EXE.
                set_r = os.path.join(work, "set-recovery")
                plain = Timing("engine")
                with_recovery = Timing("engine mit Ersatzdiskette")
                for _ in range(3):
                    plain.add(bench.engine_split(source, set_a))
                    with_recovery.add(bench.engine_split_with_recovery(source, set_r))
                # What the bounds are measured by: one pass with MD5 over the source, and the join
                # of the same set with nothing lost (its QUIL.EXE checks every part's MD5).
                md5 = Timing("md5sum")
                for _ in range(3):
                    warm([source])
                    md5.add(run_measured(["md5sum", source]))
                # The join with nothing lost and the one that rebuilds QUILME02.sys take turns, the
                # part kept aside while it is lost, into one folder: each run frees the pages of the
                # other's output, so that neither finds them freshly handed back to the host.
                join_i = join_r = os.path.join(work, "join-recovery")
                part = os.path.join(set_r, "QUILME02.sys")
                aside = os.path.join(work, "QUILME02.aside")

                def join_intact():
                    if os.path.exists(aside):
                        os.rename(aside, part)
                    return bench.quil_join(set_r, join_i)

                def join_rebuilt():
                    if os.path.exists(part):
                        os.rename(part, aside)
                    return bench.quil_rebuild(set_r, join_r)

                intact, rebuilt = alternate(args.runs, "QUIL.EXE, nothing lost", join_intact,
                                            "QUIL.EXE, QUILME02.sys lost", join_rebuilt)
                if not same_file(source, os.path.join(join_r, os.path.basename(source))):
                    sys.exit("QUIL.EXE did not rebuild the lost part byte for byte")
                join_intact()
                if not same_file(source, os.path.join(join_i, os.path.basename(source))):
                    sys.exit("QUIL.EXE did not join the set mit Ersatzdiskette byte for byte")
                for folder in (set_r, join_i):
                    shutil.rmtree(folder, ignore_errors=True)
                if os.path.exists(aside):
                    os.remove(aside)
                recovery_rows = [
                    ("split: engine mit Ersatzdiskette", with_recovery, with_recovery.median / plain.median),
                    ("split: engine (the same 3 runs, alternating)", plain, None),
                    ("read + MD5: md5sum over the source", md5, None),
                    ("join: QUIL.EXE, nothing lost", intact, intact.median / join_a_t.median),
                    ("join: QUIL.EXE, one part lost and rebuilt", rebuilt, rebuilt.median / join_a_t.median),
                ]
                # From the fastest runs: a busy host only ever adds time, and here it adds seconds
                # to one run in a few, on either side.
                recovery_costs = (min(with_recovery.seconds) - min(plain.seconds), min(md5.seconds),
                                  min(rebuilt.seconds) - min(intact.seconds))
                rows = [
                    ("split: engine (copy_driver)", split_a, split_a.median / split_b.median),
                    ("split: split -b 20M + sync -f", split_b, None),
                    ("join: QUIL.EXE", join_a_t, join_a_t.median / join_b_t.median),
                    ("join: cat + sync -f", join_b_t, None),
                    ("read: dd bs=128K (warm cache)", dd, None),
                ]
            os.remove(source)
            for folder in (set_a, set_b, join_a, join_b):
                shutil.rmtree(folder, ignore_errors=True)

        print(f"\nSource {args.size_mib} MiB of random bytes in {args.dir} ({file_system_of(args.dir)}), "
              f"{args.runs} runs each, alternating, page cache warm; medians.\n")
        print("| what | median s | min–max s | MB/s | ratio to reference |")
        print("|---|---:|---:|---:|---:|")
        for name, timing, ratio in rows:
            rate = mb / timing.median
            print(f"| {name} | {timing.median:.3f} | {spread(timing)} | {rate:.0f} | "
                  f"{'' if ratio is None else f'{ratio:.3f}'} |")
        if recovery_rows:
            print("\nMit Ersatzdiskette (recovery data), same source; ratios to the plain engine and to the plain "
                  "QUIL.EXE join above:\n")
            print("| what | median s | min–max s | MB/s | ratio | peak memory |")
            print("|---|---:|---:|---:|---:|---:|")
            for name, timing, ratio in recovery_rows:
                print(f"| {name} | {timing.median:.3f} | {spread(timing)} | {mb / timing.median:.0f} | "
                      f"{'' if ratio is None else f'{ratio:.3f}'} | {timing.peak_kib / 1024:.1f} MiB |")
            split_cost, md5_pass, rebuild_cost = recovery_costs
            print(f"\nFastest runs: the recovery data costs the split {split_cost:.3f} s on top (one pass with MD5 "
                  f"over the source: {md5_pass:.3f} s); a rebuilt part costs the join {rebuild_cost:.3f} s on top "
                  f"of the join with nothing lost.")
        noisy = [name for name, timing, _ in rows if max(timing.seconds) > 1.3 * min(timing.seconds)]
        if noisy:
            print(f"\nNoisy (slowest run over 1.3 x the fastest): {', '.join(noisy)}; "
                  f"another program or the host was busy. Run again, or with more --runs.")
        if big_rows:
            big_mb = args.big_gib * GIB / 1e6
            print(f"\nSource {args.big_gib} GiB, sparse (the parts and the joined file are real), "
                  f"{args.big_runs} runs each:\n")
            print("| what | median s | min–max s | MB/s | ratio to reference |")
            print("|---|---:|---:|---:|---:|")
            for name, timing, ratio in big_rows:
                print(f"| {name} | {timing.median:.3f} | {spread(timing)} | {big_mb / timing.median:.0f} | "
                      f"{'' if ratio is None else f'{ratio:.3f}'} |")
        print("\n| peak resident memory | engine (copy_driver) | QUIL.EXE |")
        print("|---|---:|---:|")
        for size in sizes:
            split_mem, join_mem = memory[size]
            label = f"{size // 1024} GiB source (sparse)" if size >= 1024 and size % 1024 == 0 and size > args.size_mib \
                else f"{size} MiB source"
            print(f"| {label} | {split_mem / 1024:.1f} MiB | {join_mem / 1024:.1f} MiB |")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
