#!/usr/bin/env python3
"""Plants faults in a scratch copy of the project and checks the tests catch each.

Each fault in scripts/mutations.txt is one line of src/ replaced by a wrong
one, the kind of slip that really happens. For every fault the script applies
it to a scratch copy, builds, and runs the test suite; the fault must make the
suite fail ("killed"). A fault the suite lets through ("survived") means a
rule nobody checks: add a test, not a bigger one.

The scratch copy and its build live in build-mutation/ (reused between runs,
so only what a fault touches is rebuilt). To save time, the tests a fault names
as its hint run first; only when they pass does the whole suite run.

  scripts/mutation-check.py                  every fault against today's tests
  scripts/mutation-check.py --tests-from REV the same faults against the tests (and code) of REV
  scripts/mutation-check.py --only NAME ...  just the named faults
  scripts/mutation-check.py --no-e2e        without the end-to-end runs (quicker)
"""
import argparse
import filecmp
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tarfile
import io

TOP = pathlib.Path(__file__).resolve().parent.parent
IGNORED = {".git", ".cache"}


def read_faults(path):
    """Blocks of 'fault:', 'file:', 'hint:', then the '-' lines a fault replaces and
    the '+' lines it puts in their place."""
    faults, current = [], None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not raw.strip() or raw.startswith("#"):
            continue
        if raw.startswith("fault:"):
            current = {"name": raw[6:].strip(), "line": number}
            faults.append(current)
        elif current is None:
            raise SystemExit(f"{path}:{number}: a fault starts with 'fault:'")
        elif raw.startswith("file:"):
            current["file"] = raw[5:].strip()
        elif raw.startswith("hint:"):
            current["hint"] = raw[5:].strip()
        elif raw.startswith("-"):
            current["old"] = current["old"] + "\n" + raw[1:] if "old" in current else raw[1:]
        elif raw.startswith("+"):
            current["new"] = current["new"] + "\n" + raw[1:] if "new" in current else raw[1:]
        else:
            raise SystemExit(f"{path}:{number}: cannot read this line")
    for fault in faults:
        missing = {"file", "hint", "old", "new"} - fault.keys()
        if missing:
            raise SystemExit(f"fault '{fault['name']}' lacks {', '.join(sorted(missing))}")
    return faults


def sync_tree(source, target):
    """Copies what changed from source to target, stamped now so the build sees it,
    and leaves the rest (and its times) alone, so only what differs is rebuilt."""
    for folder, dirs, files in os.walk(source):
        rel = pathlib.Path(folder).relative_to(source)
        dirs[:] = [d for d in dirs if d not in IGNORED and not (rel == pathlib.Path(".") and d.startswith("build"))]
        (target / rel).mkdir(parents=True, exist_ok=True)
        for name in files:
            src, dst = pathlib.Path(folder) / name, target / rel / name
            if not dst.exists() or not filecmp.cmp(src, dst, shallow=False):
                shutil.copy(src, dst)
    for folder, dirs, files in os.walk(target):
        rel = pathlib.Path(folder).relative_to(target)
        if rel.parts and (rel.parts[0] in IGNORED or rel.parts[0] == "build"):
            continue
        for name in files:
            if not (source / rel / name).exists():
                (pathlib.Path(folder) / name).unlink()


def replace_folder(tree, revision, folder):
    """Puts `folder` as it was at `revision` in place of the scratch copy's own."""
    archive = subprocess.run(["git", "-C", str(TOP), "archive", revision, folder],
                             check=True, capture_output=True).stdout
    target = tree / folder
    if target.is_dir():
        shutil.rmtree(target)
    elif target.exists():
        target.unlink()
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        tar.extractall(tree)


def run(command, cwd, log):
    with open(log, "a") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode


def test_names(build, pattern):
    listing = subprocess.run(["ctest", "-N", "-R", pattern], cwd=build, capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in listing.splitlines() if line.strip().startswith("Test #")]


def failing_tests(build, log):
    """Names of the tests that failed in the last ctest run."""
    path = build / "Testing" / "Temporary" / "LastTestsFailed.log"
    if not path.exists():
        return []
    return [line.split(":", 1)[1].strip() for line in path.read_text().splitlines() if ":" in line]


EXCLUDE = []
SUITE = []


def suite_fails(build, pattern, log, jobs):
    """Builds what the tests matching `pattern` need and runs them; None runs everything.
    Returns the failing tests, or ["(build)"] when the fault does not build."""
    if pattern is None and SUITE:
        pattern = SUITE[0]
    if pattern is None:
        targets = ["all"]
        select = []
    else:
        names = test_names(build, pattern)
        if not names:
            return []
        # Tests run the program itself too (--list-apps, end-to-end runs).
        targets = [n for n in names if not n.startswith("e2e_")] + ["quorlin"]
        select = ["-R", pattern]
    if run(["cmake", "--build", ".", "-j", str(jobs), "--target", *targets], build, log) != 0:
        return ["(build)"]
    stop = ["--stop-on-failure"]
    code = run(["ctest", "-j", "1", "--timeout", "600", *stop, *select, *EXCLUDE], build, log)
    return failing_tests(build, log) if code != 0 else []


def main():
    # A run stopped with SIGTERM takes its fault back out like one that ends.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tests-from", metavar="REV",
                        help="use the tests (and the code) of this git revision")
    parser.add_argument("--only", nargs="*", help="names of faults to try")
    parser.add_argument("--scratch", default=str(TOP / "build-mutation"))
    parser.add_argument("--suite", metavar="REGEX", help="only these tests make up the suite")
    parser.add_argument("--no-e2e", action="store_true", help="leave the end-to-end runs out")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    args = parser.parse_args()

    if args.suite:
        SUITE.append(args.suite)
    if args.no_e2e:
        EXCLUDE.extend(["-LE", "e2e"])
    faults = read_faults(TOP / "scripts" / "mutations.txt")
    if args.only:
        faults = [f for f in faults if f["name"] in args.only]
    scratch = pathlib.Path(args.scratch)
    tree, build = scratch / "tree", scratch / "build"
    tree.mkdir(parents=True, exist_ok=True)
    sync_tree(TOP, tree)
    if args.tests_from:
        # The code of that time too: the tests were written against it.
        for folder in ("tests", "src", "CMakeLists.txt"):
            replace_folder(tree, args.tests_from, folder)
    log = scratch / "log.txt"
    log.write_text("")

    for fault in faults:
        text = (tree / fault["file"]).read_text(encoding="utf-8")
        if text.count(fault["old"]) != 1:
            raise SystemExit(f"fault '{fault['name']}': the line must occur once in {fault['file']}")

    if not (build / "build.ninja").exists():
        if run(["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=",
                "-DQUORLIN_BUILD_BENCH=OFF"], scratch, log) != 0:
            raise SystemExit(f"configuring the scratch build failed, see {log}")
    print("baseline: building and running the unchanged suite", flush=True)
    if suite_fails(build, None, log, args.jobs):
        raise SystemExit(f"the suite fails without any fault, see {log}")

    survived = []
    for index, fault in enumerate(faults, 1):
        path = tree / fault["file"]
        original = path.read_bytes()
        path.write_text(original.decode("utf-8").replace(fault["old"], fault["new"]), encoding="utf-8")
        try:
            with open(log, "a") as out:
                out.write(f"\n=== fault: {fault['name']}\n")
            failed = suite_fails(build, fault["hint"], log, args.jobs) or suite_fails(build, None, log, args.jobs)
        finally:
            path.write_bytes(original)
        if failed == ["(build)"]:
            raise SystemExit(f"fault '{fault['name']}' does not build, see {log}")
        verdict = "killed by " + ", ".join(failed) if failed else "SURVIVED"
        print(f"[{index}/{len(faults)}] {fault['name']}: {verdict}", flush=True)
        if not failed:
            survived.append(fault["name"])

    print(f"{len(faults) - len(survived)} of {len(faults)} faults caught")
    for name in survived:
        print("survived:", name)
    return 1 if survived else 0


if __name__ == "__main__":
    sys.exit(main())
