#!/usr/bin/env python3
"""Measures intstats against the same program reading with `std::cin >>`
(unsynchronised) and, when installed, GNU datamash, on the same seeded input.

The programs run alternately, round after round, and the median of each is
reported with its throughput, its peak resident memory and its ratio to
intstats. A last run times a count of 2147483647 with no numbers behind it.
"""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run(command, input_path):
    """Runs command with input_path on standard input and returns
    (seconds, peak resident KiB, standard output, (user s, system s))."""
    with open(input_path, "rb") as stdin, tempfile.TemporaryFile() as stdout:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdin=stdin, stdout=stdout)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode != 0:
            sys.exit(f"{command[0]} failed with status {process.returncode}")
        stdout.seek(0)
        return seconds, usage.ru_maxrss, stdout.read(), (usage.ru_utime, usage.ru_stime)


def cpu_name():
    try:
        with open("/proc/cpuinfo") as cpuinfo:
            for line in cpuinfo:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown processor"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--intstats", required=True)
    parser.add_argument("--iostream", required=True, help="the std::cin build")
    parser.add_argument("--make-input", required=True, help="the input generator")
    parser.add_argument("--count", type=int, default=10_000_000)
    parser.add_argument("--rounds", type=int, default=11)
    parser.add_argument("--seed", type=int, default=20261211)
    options = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        numbers = os.path.join(folder, "numbers.txt")
        column = os.path.join(folder, "column.txt")
        huge_count = os.path.join(folder, "huge_count.txt")
        subprocess.run([options.make_input, str(options.count), "10", str(options.seed), numbers], check=True)
        with open(huge_count, "w") as out:
            out.write("2147483647\n")

        programs = {"intstats": ([options.intstats], numbers),
                    "std::cin >>": ([options.iostream], numbers)}
        datamash = shutil.which("datamash")
        if datamash:
            subprocess.run([options.make_input, str(options.count), "1", str(options.seed), column], check=True)
            programs["datamash"] = ([datamash, "min", "1", "max", "1", "sum", "1", "mean", "1"], column)

        # Written back and read once before timing, so that no round pays for
        # the files' creation.
        os.sync()
        for command, path in programs.values():
            run(command, path)

        times = {name: [] for name in programs}
        cpu_times = {name: [] for name in programs}
        memory = {name: 0 for name in programs}
        outputs = {}
        for _ in range(options.rounds):
            for name, (command, path) in programs.items():
                seconds, peak, output, cpu = run(command, path)
                times[name].append(seconds)
                cpu_times[name].append(cpu)
                memory[name] = max(memory[name], peak)
                outputs[name] = output
        if outputs["intstats"] != outputs["std::cin >>"]:
            sys.exit("intstats and the std::cin build disagree:\n"
                     f"{outputs['intstats']!r}\n{outputs['std::cin >>']!r}")

        megabytes = os.path.getsize(numbers) / 1e6
        print(f"{options.count} random 32-bit numbers, ten to a line: {megabytes:.1f} MB; "
              f"median of {options.rounds} alternating rounds")
        print(f"machine: {cpu_name()}, {os.cpu_count()} cores, {platform.system()} {platform.release()}")
        print()
        print("| program | median s | MB/s | user s | system s | peak RSS MiB | intstats is faster by |")
        print("|---|---|---|---|---|---|---|")
        ours = statistics.median(times["intstats"])
        for name in programs:
            median = statistics.median(times[name])
            user = statistics.median(cpu[0] for cpu in cpu_times[name])
            system = statistics.median(cpu[1] for cpu in cpu_times[name])
            print(f"| {name} | {median:.3f} | {megabytes / median:.0f} | {user:.3f} | {system:.3f} "
                  f"| {memory[name] / 1024:.1f} | {median / ours:.1f}x |")
        allowed = 4 * options.count / 2**20 + 8
        print(f"\nintstats peak RSS {memory['intstats'] / 1024:.1f} MiB; "
              f"4 bytes a number plus 8 MiB is {allowed:.1f} MiB")

        seconds, peak, output, _ = run([options.intstats], huge_count)
        zeros = b"Minimum value: 0\nMaximum value: 0\nSum: 0\nAverage: 0\n"
        verdict = "four zero lines" if output.endswith(zeros) else f"unexpected output {output!r}"
        print(f"count 2147483647 with no numbers: {seconds:.3f} s, peak RSS {peak / 1024:.1f} MiB, {verdict}")

if __name__ == "__main__":
    main()
