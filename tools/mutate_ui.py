#!/usr/bin/env python3
"""Tries hand-written one-line slips in the editor's code against the editor's tests.

Each slip in the list file (tools/ui_mutants.txt) is applied alone to a scratch copy of the
tree, the editor's test binary is rebuilt (only the touched file compiles; ccache and one
reused build folder keep it quick) and run; a slip the tests do not notice survives.

    python3 tools/mutate_ui.py                 # all slips
    python3 tools/mutate_ui.py --only 3 7      # slips by number (1-based, as listed)
    python3 tools/mutate_ui.py --workers 3     # three scratch copies side by side
    python3 tools/mutate_ui.py --list other.txt --work /path/to/scratch
    python3 tools/mutate_ui.py --source /path/to/exported/tree   # e.g. an older commit's tests
    python3 tools/mutate_ui.py --new '^(SuiteA|SuiteB)\.'       # also the rate without those tests

Scratch copies and their builds live in build-mutants/ (ignored by git); a later run reuses them.

Slow (a rebuild and a full run per slip), so CI does not run it.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST_TARGET = "oxn3_ui_tests"


def parse_list(path):
    """Lines 'file :: old => new'; '#' starts a comment line."""
    slips = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            try:
                file, rest = line.split(" :: ", 1)
                old, new = rest.split(" => ", 1)
            except ValueError:
                sys.exit(f"{path}:{number}: expected 'file :: old => new'")
            slips.append((file.strip(), old, new, number))
    return slips


def tree_files(source):
    """The tree's files: git's (committed or not) in a checkout, else every file but build folders."""
    if os.path.isdir(os.path.join(source, ".git")) or os.path.isfile(os.path.join(source, ".git")):
        listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=source, check=True,
                                capture_output=True).stdout.decode().split("\0")
        return [rel for rel in listed if rel]
    files = []
    for folder, dirs, names in os.walk(source):
        dirs[:] = [d for d in dirs if not d.startswith("build")]
        files += [os.path.relpath(os.path.join(folder, n), source) for n in names]
    return files


def sync_copy(source, work):
    """Copies the tree into work/src, leaving unchanged files alone so their build outputs stay valid."""
    src = os.path.join(work, "src")
    for rel in tree_files(source):
        a, b = os.path.join(source, rel), os.path.join(src, rel)
        if not os.path.isfile(a):
            continue
        with open(a, "rb") as f:
            data = f.read()
        if os.path.isfile(b):
            with open(b, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(b), exist_ok=True)
        shutil.copyfile(a, b)  # a fresh time stamp, so the build never keeps an object of an older text
        shutil.copymode(a, b)
    return src


def environment():
    env = dict(os.environ)
    env.setdefault("CCACHE_DIR", "/work/.ccache")
    env.setdefault("CCACHE_BASEDIR", "/work")
    env.setdefault("CCACHE_NOHASHDIR", "1")
    env.setdefault("CCACHE_MAXSIZE", "20G")
    return env


def configure(src, build, env):
    if os.path.isfile(os.path.join(build, "build.ninja")):
        return
    subprocess.run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DOXN3_BUILD_TESTS=ON", "-DOXN3_BUILD_BENCH=OFF",
                    "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"],
                   check=True, env=env, stdout=subprocess.DEVNULL)


def build_tests(build, env, jobs):
    r = subprocess.run(["cmake", "--build", build, "--target", TEST_TARGET, f"-j{jobs}"], env=env,
                       capture_output=True, text=True)
    return r.returncode == 0, r.stdout[-3000:] + r.stderr[-3000:]


def run_tests(build, env, timeout, shards):
    """True when every test passes. The tests run in `shards` processes at once; a hang past the
    timeout counts as noticed."""
    binary = os.path.join(build, "tests", "ui", TEST_TARGET)
    scratch = tempfile.mkdtemp(prefix="oxn3-mutant-")
    runs = []
    try:
        for k in range(shards):
            home = os.path.join(scratch, str(k))
            run_env = dict(env, HOME=os.path.join(home, "home"), XDG_DATA_HOME=os.path.join(home, "data"),
                           GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(k))
            os.makedirs(run_env["HOME"]), os.makedirs(run_env["XDG_DATA_HOME"])
            runs.append(subprocess.Popen([binary, "--gtest_brief=1"], env=run_env, cwd=home, text=True,
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL))
        passed, failed, deadline = True, [], time.time() + timeout
        for r in runs:
            try:
                out, _ = r.communicate(timeout=max(1, deadline - time.time()))
            except subprocess.TimeoutExpired:
                r.kill()
                r.communicate()
                passed = False
                failed.append("(timed out)")
                continue
            names = [l.split("] ", 1)[1] for l in out.splitlines() if l.startswith("[  FAILED  ]") and "] " in l]
            if r.returncode != 0 and not names:
                running = [l.split("] ", 1)[1] for l in out.splitlines() if l.startswith("[ RUN      ]")]
                names = ["(crashed in " + (running[-1] if running else "?") + ")"]
            passed = passed and r.returncode == 0
            failed += names
        return passed, failed
    finally:
        for r in runs:
            if r.poll() is None:
                r.kill()
        shutil.rmtree(scratch, ignore_errors=True)


def prepare(source, work, env):
    src = sync_copy(source, work)
    build = os.path.join(src, "build")
    configure(src, build, env)
    ok, log = build_tests(build, env, 3)
    if not ok:
        sys.exit("the unchanged tree does not build:\n" + log)
    return src, build


def try_slip(src, build, slip, env, args):
    """Applies one slip, rebuilds, runs the tests, puts the file back. Returns (outcome, detail)."""
    file, old, new, line = slip
    path = os.path.join(src, file)
    with open(path, encoding="utf-8") as f:
        original = f.read()
    count = original.count(old)
    if count != 1:
        return "unbuilt", f"not applied: the text occurs {count} times (list line {line})"
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original.replace(old, new, 1))
        built, _ = build_tests(build, env, args.jobs)
        if not built:
            return "unbuilt", "does not compile"
        passed, failed = run_tests(build, env, args.timeout, args.shards)
        if passed:
            return "survived", "SURVIVED"
        return "killed", failed
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--list", default=os.path.join(ROOT, "tools", "ui_mutants.txt"))
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutants"))
    ap.add_argument("--source", default=ROOT, help="tree to copy (default: this checkout, edits included)")
    ap.add_argument("--only", type=int, nargs="*", help="slip numbers to try (1-based)")
    ap.add_argument("--workers", type=int, default=2, help="scratch copies trying slips side by side")
    ap.add_argument("--jobs", type=int, default=1, help="build jobs per worker and slip")
    ap.add_argument("--shards", type=int, default=2, help="test processes per run")
    ap.add_argument("--timeout", type=int, default=600, help="seconds for one run of the tests")
    ap.add_argument("--new", help="regular expression of test names added since a baseline: the summary also "
                                  "gives the rate the other tests reach on their own")
    args = ap.parse_args()

    slips = parse_list(args.list)
    chosen = [(i + 1, s) for i, s in enumerate(slips) if not args.only or (i + 1) in args.only]
    env = environment()
    source, work = os.path.abspath(args.source), os.path.abspath(args.work)
    copies = [prepare(source, os.path.join(work, f"w{k}"), env) for k in range(max(1, args.workers))]
    ok, failed = run_tests(copies[0][1], env, args.timeout, args.shards)
    if not ok:
        sys.exit("the unchanged tree fails its editor tests: " + ", ".join(failed))

    results = {"killed": [], "survived": [], "unbuilt": [], "new only": []}
    queue = list(chosen)
    lock = threading.Lock()

    def worker(src, build):
        while True:
            with lock:
                if not queue:
                    return
                number, slip = queue.pop(0)
            started = time.time()
            outcome, detail = try_slip(src, build, slip, env, args)
            label = f"#{number} {slip[0]}: {slip[1].strip()} => {slip[2].strip()}"
            if outcome == "killed":
                if args.new and detail and all(re.search(args.new, name) for name in detail):
                    results["new only"].append((number, label))
                detail = "killed by " + ", ".join(detail)
            with lock:
                results[outcome].append((number, label))
                print(f"{label}\n    {detail} ({time.time() - started:.0f} s)", flush=True)

    threads = [threading.Thread(target=worker, args=copy) for copy in copies]
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    killed, survivors, unbuilt = (sorted(results[k]) for k in ("killed", "survived", "unbuilt"))
    tried = len(killed) + len(survivors)
    print(f"\nkilled {len(killed)} of {tried} slips" + (f" ({100 * len(killed) / tried:.0f} %)" if tried else ""))
    if args.new and tried:
        before = len(killed) - len(results["new only"])
        print(f"without the tests matching {args.new}: killed {before} of {tried} ({100 * before / tried:.0f} %); "
              "caught only by them: " + " ".join(f"#{n}" for n, _ in sorted(results["new only"])))
    if unbuilt:
        print(f"{len(unbuilt)} not counted (not applied or not compiling): " + " ".join(f"#{n}" for n, _ in unbuilt))
    if survivors:
        print("survivors:")
        for _, s in survivors:
            print("  " + s)
    for src, build in copies:
        build_tests(build, env, args.jobs)  # leave the scratch builds matching the tree
    return 0


if __name__ == "__main__":
    sys.exit(main())
