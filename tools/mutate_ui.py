#!/usr/bin/env python3
"""Tries hand-written one-line slips in the editor's code against the editor's tests.

Each slip in the list file (tools/ui_mutants.txt) is applied alone to a scratch copy of the
tree, the editor's test binary is rebuilt (only the touched file compiles; ccache and one
reused build folder keep it quick) and run; a slip the tests do not notice survives.

    python3 tools/mutate_ui.py                 # all slips
    python3 tools/mutate_ui.py --only 3 7      # slips by number (1-based, as listed)
    python3 tools/mutate_ui.py --list other.txt --work /path/to/scratch
    python3 tools/mutate_ui.py --source /path/to/exported/tree   # e.g. an older commit's tests

Slow (a rebuild and a full run per slip), so CI does not run it.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
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
        shutil.copy2(a, b)
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


def run_tests(build, env, timeout):
    """True when every test passes. A hang past the timeout counts as noticed."""
    binary = os.path.join(build, "tests", "ui", TEST_TARGET)
    scratch = tempfile.mkdtemp(prefix="oxn3-mutant-")
    run_env = dict(env, HOME=os.path.join(scratch, "home"), XDG_DATA_HOME=os.path.join(scratch, "data"))
    os.makedirs(run_env["HOME"]), os.makedirs(run_env["XDG_DATA_HOME"])
    try:
        r = subprocess.run([binary, "--gtest_brief=1"], env=run_env, cwd=scratch, timeout=timeout,
                           capture_output=True, text=True)
        failed = [l.split("] ", 1)[1] for l in r.stdout.splitlines() if l.startswith("[  FAILED  ]") and "] " in l]
        return r.returncode == 0, failed
    except subprocess.TimeoutExpired:
        return False, ["(timed out)"]
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--list", default=os.path.join(ROOT, "tools", "ui_mutants.txt"))
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutants"))
    ap.add_argument("--source", default=ROOT, help="tree to copy (default: this checkout, edits included)")
    ap.add_argument("--only", type=int, nargs="*", help="slip numbers to try (1-based)")
    ap.add_argument("--jobs", type=int, default=3)
    ap.add_argument("--timeout", type=int, default=600, help="seconds for one run of the tests")
    args = ap.parse_args()

    slips = parse_list(args.list)
    chosen = [(i + 1, s) for i, s in enumerate(slips) if not args.only or (i + 1) in args.only]
    env = environment()
    src = sync_copy(os.path.abspath(args.source), os.path.abspath(args.work))
    build = os.path.join(src, "build")
    configure(src, build, env)

    ok, log = build_tests(build, env, args.jobs)
    if not ok:
        sys.exit("the unchanged tree does not build:\n" + log)
    ok, failed = run_tests(build, env, args.timeout)
    if not ok:
        sys.exit("the unchanged tree fails its editor tests: " + ", ".join(failed))

    killed, survivors, unbuilt = [], [], []
    for number, (file, old, new, line) in chosen:
        path = os.path.join(src, file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        count = original.count(old)
        label = f"#{number} {file}: {old.strip()} => {new.strip()}"
        if count != 1:
            print(f"{label}\n    not applied: the text occurs {count} times (list line {line})", flush=True)
            unbuilt.append(label)
            continue
        started = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(old, new, 1))
            built, log = build_tests(build, env, args.jobs)
            if not built:
                outcome = "does not compile"
                unbuilt.append(label)
            else:
                passed, failed = run_tests(build, env, args.timeout)
                if passed:
                    outcome = "SURVIVED"
                    survivors.append(label)
                else:
                    outcome = "killed by " + ", ".join(failed[:3]) + (" ..." if len(failed) > 3 else "")
                    killed.append(label)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{label}\n    {outcome} ({time.time() - started:.0f} s)", flush=True)

    tried = len(killed) + len(survivors)
    print(f"\nkilled {len(killed)} of {tried} slips" + (f" ({100 * len(killed) / tried:.0f} %)" if tried else ""))
    if unbuilt:
        print(f"{len(unbuilt)} not counted (not applied or not compiling)")
    if survivors:
        print("survivors:")
        for s in survivors:
            print("  " + s)
    build_tests(build, env, args.jobs)  # leave the scratch build matching the tree
    return 0


if __name__ == "__main__":
    sys.exit(main())
