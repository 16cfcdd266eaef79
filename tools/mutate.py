#!/usr/bin/env python3
# Mutation testing of src/: the project's own command, on the standard library alone.
"""Mutation testing of src/: single-change mutants, each built and tested in a build dir of its own.

Every mutant changes one spot of one source file by a rule (a comparison flipped, + and -
swapped, an integer literal one off, && and || swapped, a condition negated, a statement
deleted, true and false swapped). The file is changed in place, the build directory is built,
the tests run and the file is put back, also on Ctrl+C. A mutant whose tests fail, or that runs
past the time limit, is killed; one that does not compile is left out of the score, and so are
the mutants listed in tools/mutation_equivalents.tsv, which no test can tell from the code.

    python3 tools/mutate.py                      # a sample of 80 mutants of src/, seed 1
    python3 tools/mutate.py --sample 0           # every mutant
    python3 tools/mutate.py --list src/parse     # only list the mutants of these paths
"""

import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
EQUIVALENTS = ROOT / "tools" / "mutation_equivalents.tsv"

# Operator swaps; clang-format puts blanks around every binary operator, which tells them from
# template brackets, pointers, references and unary signs.
SWAPS = [
    (" < ", " <= "), (" <= ", " < "), (" > ", " >= "), (" >= ", " > "),
    (" == ", " != "), (" != ", " == "),
    (" + ", " - "), (" - ", " + "), (" * ", " / "), (" / ", " * "),
    (" && ", " || "), (" || ", " && "),
    (" += ", " -= "), (" -= ", " += "),
]
WORD_SWAPS = [("true", "false"), ("false", "true")]
INCREMENTS = [("++", "--"), ("--", "++")]

# A statement alone on its line that can be deleted: a return of a constant, an increment, an
# assignment to a plain place, a call.
DELETABLE = re.compile(
    r"^(return (true|false|0|1|-1|nullptr);"
    r"|(\+\+|--)[\w.\[\]>*-]+;"
    r"|[\w.\[\]>*-]+(\+\+|--);"
    r"|\*?[\w.\[\]>-]+ (=|\+=|-=|\*=|/=|\|=|&=|<<=|>>=) [^=].*;"
    r"|[\w:.>-]+\(.*\);"
    r"|break;|continue;)$")


def mask_literals(line):
    """The line with the insides of string and character literals and any comment blanked."""
    out = []
    i = 0
    quote = None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            if c == quote:
                quote = None
                out.append(c)
            else:
                out.append(" ")
        elif c in "\"'":
            # A digit separator (1'000) is no quote.
            if c == "'" and i > 0 and line[i - 1].isalnum():
                out.append(c)
            else:
                quote = c
                out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)[: len(line)]


def closing_paren(masked, start):
    depth = 0
    for i in range(start, len(masked)):
        if masked[i] == "(":
            depth += 1
        elif masked[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def mutants_of_line(line, masked, prev_code):
    """(column, original text, replacement, rule) for each mutant of one line."""
    found = []
    stripped = masked.strip()
    if not stripped or stripped.startswith("#") or stripped.startswith("static_assert"):
        return found
    for old, new in SWAPS:
        for m in re.finditer(re.escape(old), masked):
            # "a <= b" holds " < " nowhere, but " >= " must not be read as " > " + "=".
            found.append((m.start(), old, new, "operator"))
    for old, new in INCREMENTS:
        for m in re.finditer(re.escape(old), masked):
            found.append((m.start(), old, new, "increment"))
    for old, new in WORD_SWAPS:
        for m in re.finditer(r"\b%s\b" % old, masked):
            found.append((m.start(), old, new, "boolean"))
    # Integer literals, not part of a name, a float or a hexadecimal literal.
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.'])", masked):
        value = int(m.group(1))
        for other in (value + 1, value - 1):
            if other >= 0:
                found.append((m.start(), m.group(1), str(other), "literal"))
    for m in re.finditer(r"\b(if|while) \(", masked):
        open_at = m.end() - 1
        close_at = closing_paren(masked, open_at)
        if close_at < 0:
            continue
        condition = line[open_at + 1: close_at]
        found.append((open_at + 1, condition, "!(%s)" % condition, "negation"))
    statement_start = prev_code.endswith((";", "{", "}", ")", ":")) or prev_code.endswith("else")
    if statement_start and DELETABLE.match(stripped):
        column = masked.index(stripped[0])
        found.append((column, line[column:].rstrip(), ";", "deletion"))
    return found


def compiled_sources(build_dir):
    """The files of src/ that this build compiles, and the headers of src/ beside them."""
    commands = json.loads((build_dir / "compile_commands.json").read_text())
    sources = {Path(entry["file"]).resolve() for entry in commands}
    files = sorted(p for p in (ROOT / "src").rglob("*.cpp") if p.resolve() in sources)
    files += sorted((ROOT / "src").rglob("*.hpp"))
    return files


def enumerate_mutants(files):
    mutants = []
    for path in files:
        lines = path.read_text().split("\n")
        prev_code = ";"
        in_block_comment = False
        for number, line in enumerate(lines, 1):
            if in_block_comment:
                if "*/" in line:
                    in_block_comment = False
                continue
            if line.strip().startswith("/*"):
                in_block_comment = "*/" not in line
                continue
            masked = mask_literals(line)
            for column, old, new, rule in mutants_of_line(line, masked, prev_code):
                mutated = line[:column] + new + line[column + len(old):]
                mutants.append({
                    "file": str(path.relative_to(ROOT)), "line": number, "rule": rule,
                    "original": line.strip(), "mutated": mutated.strip(),
                    "column": column, "old": old, "new": new})
            code = masked.strip()
            if code:
                prev_code = code
    return mutants


def read_equivalents():
    """(file, line, original, mutated) of each mutant judged equivalent."""
    equivalents = []
    if not EQUIVALENTS.exists():
        return equivalents
    for row in EQUIVALENTS.read_text().split("\n"):
        if not row.strip() or row.startswith("#"):
            continue
        fields = row.split("\t")
        if len(fields) >= 4:
            equivalents.append((fields[0], int(fields[1]), fields[2], fields[3]))
    return equivalents


def mark_equivalents(mutants, equivalents):
    """Marks the mutants listed as equivalent. The texts identify one; where a file has the same
    change on several equal lines (a `return false;`), the one nearest the listed line is meant,
    so that lines moving as the file changes do not lose it."""
    for name, line, original, mutated in equivalents:
        same = [m for m in mutants
                if (m["file"], m["original"], m["mutated"]) == (name, original, mutated)]
        if same:
            min(same, key=lambda m: abs(m["line"] - line))["equivalent"] = True


class Restorer:
    """Puts the file being mutated back as it was, at the end, on an error or on a signal."""

    def __init__(self):
        self.path = None
        self.text = None

    def mutate(self, path, text, mutated):
        self.path, self.text = path, text
        backup = path.with_name(path.name + ".mutate-original")
        backup.write_text(text)
        path.write_text(mutated)

    def restore(self):
        if self.path is not None:
            self.path.write_text(self.text)
            self.path.with_name(self.path.name + ".mutate-original").unlink(missing_ok=True)
            self.path = None


def recover_interrupted():
    """A run killed outright leaves NAME.mutate-original beside the mutated file."""
    for backup in (ROOT / "src").rglob("*.mutate-original"):
        original = backup.with_name(backup.name[: -len(".mutate-original")])
        original.write_text(backup.read_text())
        backup.unlink()
        print("restored %s from an interrupted run" % original.relative_to(ROOT))


def run(command, timeout, log):
    """Exit status of the command, or None when it ran past the timeout (its group is killed)."""
    with open(log, "w") as out:
        process = subprocess.Popen(command, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return None
        except BaseException:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise


def configure(build_dir, sanitize):
    if not (build_dir / "CMakeCache.txt").exists():
        # The tested configuration of the README's test command, optimised as it is, without
        # the cross-file optimisation that would make every link of every mutant slow; or the
        # sanitizer build's.
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir),
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG",
                        "-DCALCULATOR_SANITIZE=%s" % ("ON" if sanitize else "OFF"),
                        "-DBUILD_TESTING=ON"], check=True, stdout=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="*", help="files or folders of src/ to mutate (all of src/)")
    parser.add_argument("--build-dir", help="build-mutation, or build-mutation-sanitize")
    parser.add_argument("--sanitize", action="store_true",
                        help="build with AddressSanitizer and UBSan, as the sanitize preset does")
    parser.add_argument("--sample", type=int, default=80, help="how many mutants (0: all)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=float, default=0,
                        help="seconds of testing per mutant (default: 3 times the clean run + 30)")
    parser.add_argument("--test-command", help="instead of ctest in the build dir")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--survivors", nargs="?", const="", metavar="DIR",
                        help="run again only the mutants that survived the last run in this "
                        "build dir (or in the build dir DIR: --sanitize --survivors build-mutation)")
    args = parser.parse_args()

    recover_interrupted()
    default_dir = "build-mutation-sanitize" if args.sanitize else "build-mutation"
    build_dir = (ROOT / (args.build_dir or default_dir)).resolve()
    configure(build_dir, args.sanitize)
    files = compiled_sources(build_dir)
    if args.paths:
        wanted = [(ROOT / p).resolve() for p in args.paths]
        files = [f for f in files if any(f == w or w in f.parents for w in wanted)]
    mutants = enumerate_mutants(files)
    mark_equivalents(mutants, read_equivalents())
    total = len(mutants)
    if args.sample and args.sample < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.sample)
    results_file = build_dir / "mutation-results.json"
    earlier = []
    if args.survivors is not None:
        earlier_file = (ROOT / args.survivors / "mutation-results.json" if args.survivors
                        else results_file)
        earlier = json.loads(earlier_file.read_text())
        mutants = enumerate_mutants(files)
        mark_equivalents(mutants, read_equivalents())
        again = []
        for old in earlier:
            if old["outcome"] != "survived":
                continue
            same = [m for m in mutants if (m["file"], m["original"], m["mutated"]) ==
                    (old["file"], old["original"], old["mutated"])]
            if same:
                again.append(min(same, key=lambda m: abs(m["line"] - old["line"])))
        earlier = [m for m in earlier if m["outcome"] != "survived"]
        mutants = again
    mutants.sort(key=lambda m: (m["file"], m["line"], m["column"]))
    if args.list:
        for m in mutants:
            print("%s:%d\t%s\t%s\t%s" % (m["file"], m["line"], m["rule"], m["original"],
                                         m["mutated"]))
        print("%d of %d mutants" % (len(mutants), total))
        return 0

    build = ["cmake", "--build", str(build_dir), "-j%d" % args.jobs]
    test = (args.test_command.split() if args.test_command else
            ["ctest", "--test-dir", str(build_dir), "--stop-on-failure", "-j%d" % args.jobs,
             "--timeout", "60"])
    logs = build_dir / "mutation-logs"
    logs.mkdir(exist_ok=True)

    print("== clean build and tests in %s" % build_dir.relative_to(ROOT), flush=True)
    if run(build, None, logs / "clean-build.log") != 0:
        print("the unmutated sources do not build: see %s" % (logs / "clean-build.log"))
        return 2
    started = time.monotonic()
    if run(test, None, logs / "clean-test.log") != 0:
        print("the unmutated sources fail their tests: see %s" % (logs / "clean-test.log"))
        return 2
    clean_seconds = time.monotonic() - started
    timeout = args.timeout or 3 * clean_seconds + 30
    print("   tests pass in %.0f s; a mutant's tests get %.0f s" % (clean_seconds, timeout))
    print("== %d mutants of %d (seed %d)" % (len(mutants), total, args.seed), flush=True)

    restorer = Restorer()

    def interrupted(signum, frame):
        restorer.restore()
        results.clear()  # no final build
        print("\ninterrupted; the sources are as they were")
        sys.exit(130)

    results = []
    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    try:
        for index, m in enumerate(mutants, 1):
            where = "%s:%d" % (m["file"], m["line"])
            if m.get("equivalent"):
                m["outcome"] = "equivalent"
            else:
                path = ROOT / m["file"]
                text = path.read_text()
                lines = text.split("\n")
                line = lines[m["line"] - 1]
                lines[m["line"] - 1] = line[: m["column"]] + m["new"] + line[m["column"] + len(m["old"]):]
                restorer.mutate(path, text, "\n".join(lines))
                try:
                    log = logs / ("%03d.log" % index)
                    # A mutant that the program does not compile with is left out; one that
                    # only a test refuses to compile (a compile-time check of a test) is killed.
                    if run(build + ["--target", "calculator"], None, log) != 0:
                        m["outcome"] = "uncompilable"
                    elif run(build, None, log) != 0:
                        m["outcome"] = "killed (build)"
                    else:
                        status = run(test, timeout, log)
                        m["outcome"] = ("killed (time)" if status is None else
                                        "killed" if status != 0 else "survived")
                finally:
                    restorer.restore()
            results.append(m)
            print("[%d/%d] %-14s %s  %s  ->  %s" % (index, len(mutants), m["outcome"], where,
                                                   m["original"], m["mutated"]), flush=True)
    finally:
        restorer.restore()
        # The build dir is left built from the sources as they are.
        if results:
            run(build, None, logs / "final-build.log")

    if args.survivors is not None:
        # The earlier run's outcomes, with those of the mutants run again replaced.
        results = sorted(earlier + results, key=lambda m: (m["file"], m["line"], m["column"]))
    results_file.write_text(json.dumps(results, indent=1))
    report(results)
    return 0


def report(results):
    by_file = {}
    for m in results:
        by_file.setdefault(m["file"], []).append(m)
    print("\n== score by file (killed of mutants that compile and are not equivalent)")
    killed_all = counted_all = 0
    for name in sorted(by_file):
        counted = [m for m in by_file[name] if m["outcome"] not in ("uncompilable", "equivalent")]
        killed = [m for m in counted if m["outcome"].startswith("killed")]
        other = len(by_file[name]) - len(counted)
        killed_all += len(killed)
        counted_all += len(counted)
        print("  %-36s %3d of %3d%s" % (name, len(killed), len(counted),
                                        "  (%d left out)" % other if other else ""))
    score = 100.0 * killed_all / counted_all if counted_all else 100.0
    print("  %-36s %3d of %3d  %.1f %%" % ("all", killed_all, counted_all, score))
    survivors = [m for m in results if m["outcome"] == "survived"]
    if survivors:
        print("\n== survivors")
        for m in survivors:
            print("  %s:%d  %s  ->  %s" % (m["file"], m["line"], m["original"], m["mutated"]))
    left_out = [m for m in results if m["outcome"] in ("uncompilable", "equivalent")]
    if left_out:
        print("\n== left out")
        for m in left_out:
            print("  %s:%d  %s: %s  ->  %s" % (m["file"], m["line"], m["outcome"], m["original"],
                                               m["mutated"]))


if __name__ == "__main__":
    sys.exit(main())
