#!/usr/bin/env python3
# The whole-process benchmark: scripted input on a pipe, against an input-and-output floor and bc.
"""Feeds deterministic scripted input to the calculator on a pipe and reports its speed.

Two workloads of ?-lines (the help example with its numbers varied, and a short ?=a+b*c^d)
go through three programs in the same run, each as cat INPUT | PROGRAM | cat >/dev/null:

  calculator  the release build (default build/calculator, the README's build);
  floor       bench/baseline.cpp: reads the same words the same way, writes the calculator's
              recorded answers with the same flushes, and computes nothing;
  bc -l       the same expressions in bc's syntax.

Each figure is the median of several runs (11 by default) taken in turns; on a machine shared
with other work the ratio of the fastest runs is printed beside it, for comparison. CPU time
(user and system) and peak memory come from /usr/bin/time -v; wall time spans the whole
pipeline. The budget: within 1.4x of the floor on both workloads, in CPU time and in wall
time, and the help example at least 40x faster than bc -l in CPU time; the ratios to the floor
are printed for each workload and once more at the end. The script also times start to first
prompt (within 1 ms of the floor's), counts heap allocations per word with valgrind (none) and
checks peak resident memory (under 4.5 MiB: the C and C++ runtime, libedit and the libraries it
loads). It exits with status 1 when an item misses.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parent.parent
PROMPT = "Готов: ".encode()  # the prompt as the calculator writes it on a UTF-8 console
TIME = "/usr/bin/time"

BUDGET_RATIO = 1.4
# How many times the calculator must be faster than bc -l on the help example, in CPU time.
BUDGET_OVER_BC = {"help example": 40}
BUDGET_RSS_KIB = 4608
# Over the floor's start, which is process creation and the C++ runtime's on this machine.
BUDGET_FIRST_PROMPT_OVER_FLOOR_MS = 1.0


# --- workloads -------------------------------------------------------------------------------
# Expression i of a workload is written once for the calculator and once for bc from the same
# numbers; expression 0 is the workload's model line itself.


def help_example(i):
    """?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5 with its numbers varied."""
    a = f"{(100 + (2267 + 7919 * i) % 9900) / 100:.2f}"  # 1.00 .. 99.99
    b = 10 + (13 + 7 * i) % 90
    c = 10 + (35 + 11 * i) % 90
    d = f"0.{(12 + 29 * i) % 100:02d}"
    e = 1 + (9 + 17 * i) % 99
    f = f"0.{900 + (56 + 37 * i) % 100}"
    calculator = f"?=(lg({a})/({b}+{c}))*sin({d})-sqrt({e})*{f}^5"
    # bc: lg is l(x)/l(10); an integer exponent stays "^" (a real one would be e(y*l(x))).
    bc = f"((l({a})/l(10))/({b}+{c}))*s({d})-sqrt({e})*{f}^5"
    return calculator, bc


def short_line(i):
    """?=2+3*4^2 with its digits varied."""
    a = 1 + (1 + 3 * i) % 9
    b = 1 + (2 + 5 * i) % 9
    c = 1 + (3 + 7 * i) % 9
    d = 1 + (1 + i) % 3
    return f"?={a}+{b}*{c}^{d}", f"{a}+{b}*{c}^{d}"


WORKLOADS = [
    ("help example", help_example),
    ("short line", short_line),
]


def write_workload(directory, name, make, count):
    """Writes the calculator's input (count ?-lines, then q) and bc's input."""
    calculator_lines = []
    bc_lines = []
    for i in range(count):
        calculator, bc = make(i)
        calculator_lines.append(calculator)
        bc_lines.append(bc)
    stem = name.replace(" ", "_")
    calculator_input = directory / f"{stem}.in"
    bc_input = directory / f"{stem}.bc"
    calculator_input.write_text("\n".join(calculator_lines) + "\nq\n")
    bc_input.write_text("\n".join(bc_lines) + "\n")
    return calculator_input, bc_input


# --- running ---------------------------------------------------------------------------------


def parse_time_report(path):
    """Peak resident KiB and exit status from the report of /usr/bin/time -v."""
    fields = {}
    for line in Path(path).read_text().splitlines():
        key, _, value = line.strip().rpartition(": ")
        fields[key] = value
    return {
        "rss": int(fields["Maximum resident set size (kbytes)"]),
        "status": int(fields["Exit status"]),
    }


def timed_run(command, input_path, work):
    """Runs cat INPUT | /usr/bin/time -v COMMAND | cat >/dev/null, timing the whole pipeline.

    CPU time comes from the resource usage of /usr/bin/time, which holds its child's to the
    microsecond (its own adds well under a millisecond); its report gives the peak memory.
    """
    report = work / "time.txt"
    start = time.perf_counter()
    feeder = subprocess.Popen(["cat", str(input_path)], stdout=subprocess.PIPE)
    program = subprocess.Popen(
        [TIME, "-v", "-o", str(report), *command], stdin=feeder.stdout, stdout=subprocess.PIPE
    )
    drain = subprocess.Popen(["cat"], stdin=program.stdout, stdout=subprocess.DEVNULL)
    feeder.stdout.close()
    program.stdout.close()
    _, _, usage = os.wait4(program.pid, 0)
    program.returncode = 0  # reaped here; keeps Popen from waiting for it again
    feeder.wait()
    drain.wait()
    wall = time.perf_counter() - start
    figures = parse_time_report(report)
    if figures["status"] != 0:
        sys.exit(f"{command[0]} ended with status {figures['status']}")
    figures.update(wall=wall, cpu=usage.ru_utime + usage.ru_stime)
    return figures


def capture(command, input_path):
    with open(input_path, "rb") as source:
        return subprocess.run(command, stdin=source, capture_output=True, check=True).stdout


def write_replies(output, path):
    """Cuts recorded output at every prompt: banner, one answer per word, closing text."""
    segments = output.split(PROMPT)
    if any(b"\0" in segment for segment in segments):
        sys.exit("the recorded output holds a NUL byte; it cannot be replayed")
    path.write_bytes(b"\0".join(segments))
    return len(segments)


def calculator_values(output):
    return [float(m) for m in re.findall(rb"^  \? = (\S+)$", output, re.MULTILINE)]


def bc_values(output):
    return [float(line) for line in output.replace(b"\\\n", b"").split()]


def check_same_values(name, ours, theirs):
    """The calculator (single precision, six digits shown) and bc agree on every expression."""
    if len(ours) != len(theirs):
        sys.exit(f"{name}: {len(ours)} calculator results but {len(theirs)} from bc")
    for i, (a, b) in enumerate(zip(ours, theirs)):
        if abs(a - b) > 1e-4 * max(1.0, abs(b)):
            sys.exit(f"{name}: expression {i} gives {a} here and {b} in bc")


def heap_allocations(command, input_path):
    result = subprocess.run(
        ["valgrind", "--tool=memcheck", *command],
        stdin=open(input_path, "rb"),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE,
        check=True,
    )
    found = re.search(rb"total heap usage: ([\d,]+) allocs", result.stderr)
    return int(found.group(1).replace(b",", b""))


def allocations_per_word(command, make, work):
    """Allocations of a run of 11 000 words less those of 1 000 words, per extra word."""
    counts = []
    for words in (1000, 11000):
        path, _ = write_workload(work, f"allocations {words}", make, words)
        counts.append(heap_allocations(command, path))
    return counts[0], (counts[1] - counts[0]) / 10000


def first_prompt_seconds(command):
    """Wall time from starting the process to reading its first prompt; then q ends it.

    Also returns the CPU time of the whole short run, which load on the machine hardly changes.
    """
    start = time.perf_counter()
    program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    seen = b""
    while PROMPT not in seen:
        chunk = os.read(program.stdout.fileno(), 4096)
        if not chunk:
            sys.exit(f"{command[0]} ended before its first prompt")
        seen += chunk
    elapsed = time.perf_counter() - start
    program.stdin.write(b"q\n")
    program.stdin.close()
    program.stdout.read()
    _, _, usage = os.wait4(program.pid, 0)
    program.returncode = 0  # reaped here
    return elapsed, usage.ru_utime + usage.ru_stime


def build_baseline(work):
    compiler = os.environ.get("CXX") or shutil.which("c++") or "g++"
    binary = work / "baseline"
    # The flags of the release build (CMAKE_BUILD_TYPE=Release).
    subprocess.run(
        [compiler, "-std=c++20", "-O3", "-DNDEBUG", "-o", str(binary),
         str(REPOSITORY / "bench" / "baseline.cpp")],
        check=True,
    )
    return binary


# --- reporting -------------------------------------------------------------------------------


def machine_description():
    model = "unknown CPU"
    try:
        for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
            if line.startswith("Model name:"):
                model = line.split(":", 1)[1].strip()
    except FileNotFoundError:
        pass
    return f"{model}, {os.cpu_count()} CPUs"


def load_average():
    return " ".join(f"{x:.2f}" for x in os.getloadavg())


def median_figures(runs):
    return {key: statistics.median(run[key] for run in runs) for key in runs[0]}


def fastest_figures(runs):
    return {key: min(run[key] for run in runs) for key in runs[0]}


def ratio(a, b, key):
    return a[key] / max(b[key], 1e-9)


def verdict(holds):
    return "holds" if holds else "MISSES"


def print_row(label, figures, words, output_bytes):
    print(
        f"  {label:<11} {figures['cpu']:6.3f} s {figures['wall']:7.3f} s"
        f" {words / figures['wall']:>10,.0f} {output_bytes / figures['wall'] / 1e6:9.1f} MB/s"
        f" {figures['rss']:>7,} KiB"
    )


# --- the run ---------------------------------------------------------------------------------


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", type=Path, default=REPOSITORY / "build" / "calculator",
                        help="the calculator to measure (default: build/calculator)")
    parser.add_argument("--baseline", type=Path,
                        help="a built bench/baseline.cpp (default: compiled here with c++ -O3)")
    parser.add_argument("--count", type=int, default=100000, help="expressions per workload")
    parser.add_argument("--runs", type=int, default=11, help="runs of each program, median taken")
    parser.add_argument("--bc-runs", type=int, default=3, help="runs of bc, median taken")
    parser.add_argument("--starts", type=int, default=200, help="starts timed to the first prompt")
    parser.add_argument("--no-bc", action="store_true", help="leave bc out")
    parser.add_argument("--no-valgrind", action="store_true", help="skip counting allocations")
    return parser.parse_args()


def prepare_workload(name, make, arguments, program, baseline, use_bc, work):
    """Writes a workload's inputs and checks that the three programs answer it alike.

    Returns the two inputs, the floor's command (which replays the calculator's recorded
    answers) and the bytes that each program writes.
    """
    calculator_input, bc_input = write_workload(work, name, make, arguments.count)
    recorded = capture([str(program)], calculator_input)
    replies = work / f"{name.replace(' ', '_')}.replies"
    if write_replies(recorded, replies) != arguments.count + 2:
        sys.exit(f"{name}: the calculator did not answer every word")
    baseline_command = [str(baseline), str(replies)]
    if capture(baseline_command, calculator_input) != recorded:
        sys.exit(f"{name}: the baseline does not write the calculator's bytes")
    output_bytes = {"calculator": len(recorded), "floor": len(recorded)}
    if use_bc:
        bc_output = capture(["bc", "-l"], bc_input)
        check_same_values(name, calculator_values(recorded), bc_values(bc_output))
        output_bytes["bc -l"] = len(bc_output)
    return calculator_input, bc_input, baseline_command, output_bytes


def measure_workload(name, make, arguments, program, baseline, use_bc, work):
    """Times the three programs on a workload in turns.

    Returns the median figures and the output bytes of each program, and its fastest figures.
    """
    calculator_input, bc_input, baseline_command, output_bytes = prepare_workload(
        name, make, arguments, program, baseline, use_bc, work)
    runs = {"calculator": [], "floor": [], "bc -l": []}
    # The programs take turns, so that a change of load touches all of them alike.
    for run in range(arguments.runs):
        runs["calculator"].append(timed_run([str(program)], calculator_input, work))
        runs["floor"].append(timed_run(baseline_command, calculator_input, work))
        if use_bc and run < arguments.bc_runs:
            runs["bc -l"].append(timed_run(["bc", "-l"], bc_input, work))
    medians = {label: median_figures(r) for label, r in runs.items() if r}
    fastest = {label: fastest_figures(r) for label, r in runs.items() if r}
    return (medians, output_bytes), fastest


def measure_starts(program, baseline, count, work):
    """Start to first prompt of the calculator and of the floor, count times each, in turns."""
    starts = {"calculator": [], "floor": []}
    quit_input = work / "quit.in"
    quit_input.write_text("q\n")
    quit_replies = work / "quit.replies"
    write_replies(capture([str(program)], quit_input), quit_replies)
    for _ in range(count):
        starts["calculator"].append(first_prompt_seconds([str(program)]))
        starts["floor"].append(first_prompt_seconds([str(baseline), str(quit_replies)]))
    return starts


def report_workload(name, figures, output_bytes, quickest, count):
    """Prints a workload's table and ratios; returns its ratios to the floor and the verdicts."""
    model, _ = dict(WORKLOADS)[name](0)
    print(f"\nworkload {name}: {model} and {count - 1:,} variations")
    print(f"  {'':<11} {'cpu':>8} {'wall':>9} {'words/s':>10} {'output':>14} {'peak RSS':>11}")
    for label, row in figures.items():
        print_row(label, row, count, output_bytes[label])
    calculator, floor = figures["calculator"], figures["floor"]
    cpu_ratio = ratio(calculator, floor, "cpu")
    wall_ratio = ratio(calculator, floor, "wall")
    within = cpu_ratio <= BUDGET_RATIO and wall_ratio <= BUDGET_RATIO
    print(f"  fastest runs, for comparison: {ratio(quickest['calculator'], quickest['floor'], 'cpu'):.2f}x cpu,"
          f" {ratio(quickest['calculator'], quickest['floor'], 'wall'):.2f}x wall")
    print(f"  calculator / floor: {cpu_ratio:.2f}x cpu, {wall_ratio:.2f}x wall"
          f" (budget {BUDGET_RATIO}x: {verdict(within)})")
    verdicts = [within]
    if "bc -l" in figures:
        bc = figures["bc -l"]
        over_bc = ratio(bc, calculator, "cpu")
        budget = ""
        if name in BUDGET_OVER_BC:
            verdicts.append(over_bc >= BUDGET_OVER_BC[name])
            budget = f" (budget at least {BUDGET_OVER_BC[name]}x in cpu: {verdict(verdicts[-1])})"
        print(f"  bc -l / calculator: {over_bc:.2f}x cpu,"
              f" {ratio(bc, calculator, 'wall'):.2f}x wall{budget}")
    rss = calculator["rss"]
    verdicts.append(rss < BUDGET_RSS_KIB)
    print(f"  peak RSS: calculator {rss:,} KiB, floor {floor['rss']:,} KiB"
          f" (budget under {BUDGET_RSS_KIB:,} KiB: {verdict(verdicts[-1])})")
    return (cpu_ratio, wall_ratio, within), verdicts


def report_starts(starts, count):
    """Prints the times to the first prompt; returns whether the budget holds."""
    print(f"\nstart to first prompt, {count} starts from this script"
          f" (process creation included):")
    for label, times in starts.items():
        walls = [wall * 1000 for wall, _ in times]
        cpu = statistics.median(cpu * 1000 for _, cpu in times)
        median = statistics.median(walls)
        print(f"  {label:<11} median {median:.2f} ms, fastest {min(walls):.2f} ms;"
              f" cpu of the whole run of q {cpu:.2f} ms")
    first_prompt = statistics.median(wall * 1000 for wall, _ in starts["calculator"])
    floor_prompt = statistics.median(wall * 1000 for wall, _ in starts["floor"])
    prompt_holds = first_prompt - floor_prompt < BUDGET_FIRST_PROMPT_OVER_FLOOR_MS
    print(f"  budget: calculator median within {BUDGET_FIRST_PROMPT_OVER_FLOOR_MS} ms of the"
          f" floor's: {verdict(prompt_holds)}")
    return prompt_holds


def report_allocations(allocations):
    """Prints the heap allocations per workload; returns a verdict for each workload."""
    if not allocations:
        print("\nheap allocations: not counted (valgrind missing or --no-valgrind)")
        return []
    print("\nheap allocations counted by valgrind:")
    holds = []
    for name, (first, per_word) in allocations.items():
        holds.append(per_word == 0)
        print(f"  {name}: {first} in a run of 1,000 words, {per_word:g} per further word"
              f" (budget 0 per word: {verdict(per_word == 0)})")
    return holds


def report_floor_ratios(floor_ratios):
    print(f"\nratio to the floor (budget {BUDGET_RATIO}x in cpu and in wall time):")
    for name, (cpu_ratio, wall_ratio, within) in floor_ratios.items():
        print(f"  {name:<13} {cpu_ratio:.2f}x cpu  {wall_ratio:.2f}x wall  {verdict(within)}")


def find_tools(arguments):
    """The program to measure, and whether bc and valgrind take part; exits if one is missing."""
    program = arguments.program.resolve()
    if not program.is_file():
        sys.exit(f"no program at {program}; build it first: cmake --workflow --preset release")
    if not Path(TIME).is_file():
        sys.exit(f"{TIME} is missing; install Debian's package: apt-get install time")
    use_bc = not arguments.no_bc and shutil.which("bc") is not None
    use_valgrind = not arguments.no_valgrind and shutil.which("valgrind") is not None
    return program, use_bc, use_valgrind


def print_header(arguments, program, use_bc):
    print(f"machine: {machine_description()}; load average {load_average()} at the start")
    print(f"program: {program}")
    medians = f"median of {arguments.runs} runs"
    if use_bc:
        medians += f" ({arguments.bc_runs} of bc)"
    print(f"{arguments.count:,} expressions per workload, from a pipe to a pipe; {medians}")


def measure(arguments, program, use_bc, use_valgrind):
    """Every measurement, in a temporary directory: the workloads, the starts, the allocations."""
    results = {}
    fastest = {}
    allocations = {}
    with tempfile.TemporaryDirectory(prefix="calculator-bench-") as directory:
        work = Path(directory)
        baseline = arguments.baseline.resolve() if arguments.baseline else build_baseline(work)
        for name, make in WORKLOADS:
            results[name], fastest[name] = measure_workload(
                name, make, arguments, program, baseline, use_bc, work)
        starts = measure_starts(program, baseline, arguments.starts, work)
        if use_valgrind:
            for name, make in WORKLOADS:
                allocations[name] = allocations_per_word([str(program)], make, work)
    return results, fastest, starts, allocations


def main():
    arguments = parse_arguments()
    program, use_bc, use_valgrind = find_tools(arguments)
    print_header(arguments, program, use_bc)
    results, fastest, starts, allocations = measure(arguments, program, use_bc, use_valgrind)

    print(f"load average {load_average()} at the end")
    holds = []
    floor_ratios = {}
    for name, (figures, output_bytes) in results.items():
        floor_ratios[name], verdicts = report_workload(
            name, figures, output_bytes, fastest[name], arguments.count)
        holds += verdicts
    holds.append(report_starts(starts, arguments.starts))
    holds += report_allocations(allocations)
    report_floor_ratios(floor_ratios)
    print(f"\nbudget: {'every item holds' if all(holds) else 'an item MISSES'}")
    return 0 if all(holds) else 1


if __name__ == "__main__":
    sys.exit(main())
