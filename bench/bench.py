#!/usr/bin/env python3
"""Split and join as the user waits for them, against what the machine's own tools do with the
same bytes: the engine (copy_driver, a folder target, 20 Mbyte parts) against `split -b 20M` +
`sync -f`, and QUIL.EXE against `cat` of the same parts + `sync -f`. Runs alternate A B A B with a
warm page cache; the table shows medians, ratios, throughput and peak memory."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1024 * 1024


def run_measured(argv, shell=False):
    """Runs a command; returns (wall seconds, peak resident KiB of the command itself).

    GNU time execs the command from its own small process: measuring from a child that Python
    forked would count Python's own pages, which the fork copies before the exec."""
    if shell:
        argv = ["sh", "-c", argv]
    with tempfile.NamedTemporaryFile("r") as report:
        started = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        seconds = time.perf_counter() - started
        if result.returncode != 0:
            sys.exit(f"failed ({result.returncode}): {argv}\n{result.stderr.decode(errors='replace')}")
        peak_kib = int(report.read().strip().splitlines()[-1])
    return seconds, peak_kib


def make_source(path, size_bytes):
    with open(path, "wb") as out:
        left = size_bytes
        while left > 0:
            block = min(left, 4 * MIB)
            out.write(os.urandom(block))
            left -= block


def warm(path):
    with open(path, "rb") as f:
        while f.read(8 * MIB):
            pass


def fresh_dir(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)


def parts_of(folder):
    return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.startswith("QUILME"))


class Bench:
    def __init__(self, build, work):
        self.driver = os.path.join(build, "tests", "driver", "copy_driver")
        self.build = build
        self.work = work

    def engine_split(self, source, out):
        fresh_dir(out)
        warm(source)
        return run_measured([self.driver, "--source", source, "--folder", out, "--max", "20", "--unit", "Mbyte",
                             "--quil", self.build, "--quiet"])

    def reference_split(self, source, out):
        fresh_dir(out)
        warm(source)
        prefix = os.path.join(out, "x")
        return run_measured(f"split -b 20M '{source}' '{prefix}' && sync -f '{out}'", shell=True)

    def quil_join(self, set_folder, out):
        fresh_dir(out)
        for part in parts_of(set_folder):
            warm(part)
        return run_measured([os.path.join(set_folder, "QUIL.EXE"), out])

    def reference_join(self, set_folder, out):
        fresh_dir(out)
        for part in parts_of(set_folder):
            warm(part)
        parts = " ".join(f"'{p}'" for p in parts_of(set_folder))
        target = os.path.join(out, "joined")
        return run_measured(f"cat {parts} > '{target}' && sync -f '{out}'", shell=True)


def alternate(runs, a, b):
    times_a, times_b, mem_a = [], [], 0
    for _ in range(runs):
        seconds, rss = a()
        times_a.append(seconds)
        mem_a = max(mem_a, rss)
        seconds, _ = b()
        times_b.append(seconds)
    return statistics.median(times_a), statistics.median(times_b), mem_a


def same_file(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="release build tree with copy_driver and QUIL.SYS")
    parser.add_argument("--size-mib", type=int, default=1024, help="size of the timed source (MiB)")
    parser.add_argument("--runs", type=int, default=5, help="runs of each side (at least 5)")
    parser.add_argument("--dir", default="/var/tmp", help="folder on the file system to measure")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="splitwerk-bench-", dir=args.dir)
    bench = Bench(os.path.abspath(args.build), work)
    try:
        sizes = sorted({64, args.size_mib})
        memory = {}
        rows = []
        for size in sizes:
            source = os.path.join(work, f"quelle-{size}.bin")
            make_source(source, size * MIB)
            set_a = os.path.join(work, "set-engine")
            set_b = os.path.join(work, "set-split")
            join_a = os.path.join(work, "join-quil")
            join_b = os.path.join(work, "join-cat")
            runs = args.runs if size == args.size_mib else 1
            split_a, split_b, split_mem = alternate(runs, lambda: bench.engine_split(source, set_a),
                                                    lambda: bench.reference_split(source, set_b))
            join_a_t, join_b_t, join_mem = alternate(runs, lambda: bench.quil_join(set_a, join_a),
                                                     lambda: bench.reference_join(set_a, join_b))
            if not same_file(source, os.path.join(join_a, os.path.basename(source))):
                sys.exit("QUIL.EXE did not give back the source byte for byte")
            memory[size] = (split_mem, join_mem)
            if size == args.size_mib:
                warm(source)
                dd_seconds, _ = run_measured(["dd", f"if={source}", "of=/dev/null", "bs=128K"])
                mb = size * MIB / 1e6
                rows = [
                    ("split: engine", split_a, mb / split_a, split_a / split_b),
                    ("split: split -b 20M + sync -f", split_b, mb / split_b, None),
                    ("join: QUIL.EXE", join_a_t, mb / join_a_t, join_a_t / join_b_t),
                    ("join: cat + sync -f", join_b_t, mb / join_b_t, None),
                    ("read: dd bs=128K", dd_seconds, mb / dd_seconds, None),
                ]
            os.remove(source)
            for folder in (set_a, set_b, join_a, join_b):
                shutil.rmtree(folder, ignore_errors=True)

        print(f"\nSource {args.size_mib} MiB of random bytes in {args.dir}, {args.runs} runs each, alternating, "
              f"page cache warm; medians.\n")
        print("| what | median s | MB/s | ratio to reference |")
        print("|---|---:|---:|---:|")
        for name, seconds, rate, ratio in rows:
            print(f"| {name} | {seconds:.3f} | {rate:.0f} | {'' if ratio is None else f'{ratio:.3f}'} |")
        print("\n| peak resident memory | engine (copy_driver) | QUIL.EXE |")
        print("|---|---:|---:|")
        for size in sizes:
            split_mem, join_mem = memory[size]
            print(f"| {size} MiB source | {split_mem / 1024:.1f} MiB | {join_mem / 1024:.1f} MiB |")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
