#!/usr/bin/env python3
"""Mutation testing of trobz3: does the test suite notice a planted fault?

Each mutant of the list (scripts/mutation/mutants.toml) is one realistic fault: a text in
a source file replaced by another. For each mutant the script

  1. applies the edit to a copy of the source file (the tree itself is never written),
  2. compiles the copy with the build's own command (compile_commands.json),
  3. relinks the test programs with the mutated object ahead of the libraries, into a
     scratch directory,
  4. runs them directly (not through CTest), those of the mutant's own subsystem first,
     one or two at a time (-j), and stops at the first failing test,

and reports the mutant killed (by which test, or by a timeout), survived, not applicable
(its text no longer matches the source) or equivalent (the mutated object has the same
machine code as the original one, so no test can tell them apart).

What a mutant can reach
  The relinked programs are the ones CTest runs directly: the GoogleTest programs
  (test_<dir>) and the corpus replayers of the fuzz targets (fuzz_<name>). Everything
  they execute in-process sees the mutant.
  The tool programs the tests start as child processes (makegfx, stageconv, stagepic,
  stagesolve, stagetmx, trobzmod, playstage) and the assets made with them stay as the
  build made them: a fault is found through them only where a test also runs the same
  code in-process. Tests that are not a relinkable program (the install test, the
  playstage command-line test) are left out.
  The four archives in BUILD/data are rebuilt only for a mutant that edits the archive
  writer (a source of zdapack under tools/): the archives are then packed again with the
  mutated zdapack for the length of that mutant's run and put back afterwards (a copy is
  kept in $TMPDIR and restored by the next run should this one be killed outright).

The build directory and the source tree are left as they were, also on Ctrl-C or a
failure: mutated copies, objects and programs live in a scratch directory that is
removed at the end, and the files and directories the tests make at the top of the build
directory (as they do under CTest) are removed again. The script does not start while
another process works in the build directory (a build), as it links against its libraries.

Examples
  scripts/mutation/mutate.py                          # every mutant, everyday tests
  scripts/mutation/mutate.py -s world -s anim         # the mutants of two subsystems
  scripts/mutation/mutate.py -f src/world/platforms.cpp
  scripts/mutation/mutate.py world/lift-crush-not-on-lethal   # one mutant by id
  scripts/mutation/mutate.py --keep-going 'world/lift-*'    # every test that kills them
  scripts/mutation/mutate.py --check                  # apply and compile only
  scripts/mutation/mutate.py -j2 -t 600 -o scripts/mutation/baseline.txt   # the baseline
"""

import argparse
import fnmatch
import hashlib
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import tomllib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))
SUBSYSTEMS = ("app", "game", "world", "anim", "gfx", "data", "audio")

# Test programs to try first for a mutant of each subsystem: a kill is found sooner.
AFFINITY = {
    "app": ["test_app", "test_game"],
    "game": ["test_game", "test_app"],
    "world": ["test_world", "test_stages", "test_anim"],
    "anim": ["test_anim", "test_world", "test_stages"],
    "gfx": ["test_gfx", "test_gfxassets", "test_world"],
    "data": ["test_data", "fuzz_config", "fuzz_hiscores", "fuzz_savegame"],
    "audio": ["test_audio", "test_game"],
}

# Tests left out of the everyday run when the suite carries no labels yet.
SLOW_TEST_NAMES = r"^(release_install$|Soak)"

HEADLESS = {"SDL_VIDEODRIVER": "dummy", "SDL_AUDIODRIVER": "dummy", "GTEST_COLOR": "no"}


class Failure(Exception):
    """A problem with the set-up (not with a mutant): the run stops."""


# ---- the list


class Edit:
    def __init__(self, table, where):
        for key in ("file", "find", "replace"):
            if not isinstance(table.get(key), str):
                raise Failure(f"{where}: '{key}' is missing or not a string")
        self.file = table["file"]
        self.find = table["find"]
        self.replace = table["replace"]
        self.nth = table.get("nth")  # 1-based occurrence when the text is not unique
        if self.find == self.replace:
            raise Failure(f"{where}: 'replace' is the same as 'find'")
        if self.nth is not None and (not isinstance(self.nth, int) or self.nth < 1):
            raise Failure(f"{where}: 'nth' must be a whole number from 1 on")

    def apply(self, text):
        """The edited text, or a reason why the edit does not apply."""
        count = text.count(self.find)
        if count == 0:
            return None, f"text not found in {self.file}"
        if self.nth is None:
            if count > 1:
                return None, f"text found {count} times in {self.file} and no 'nth' given"
            at = text.index(self.find)
        else:
            if self.nth > count:
                return None, f"occurrence {self.nth} asked, {count} found in {self.file}"
            at = -1
            for _ in range(self.nth):
                at = text.index(self.find, at + 1)
        return text[:at] + self.replace + text[at + len(self.find):], None


class Mutant:
    def __init__(self, table, index):
        where = f"mutant {index + 1}"
        self.id = table.get("id")
        if not isinstance(self.id, str) or not re.fullmatch(r"[a-z0-9][a-z0-9/_.-]*", self.id):
            raise Failure(f"{where}: 'id' is missing or not of the form subsystem/short-name")
        where = f"mutant {self.id}"
        self.desc = table.get("desc")
        if not isinstance(self.desc, str) or not self.desc.strip():
            raise Failure(f"{where}: 'desc' (one line saying what goes wrong) is missing")
        self.edits = [Edit(table, where)]
        for k, extra in enumerate(table.get("also", [])):
            self.edits.append(Edit(extra, f"{where}, also {k + 1}"))

    @property
    def file(self):
        return self.edits[0].file

    @property
    def subsystem(self):
        parts = self.file.split("/")
        return parts[1] if len(parts) > 2 and parts[0] == "src" else parts[0]


def load_mutants(path):
    try:
        with open(path, "rb") as f:
            data = tomllib.load(f)
    except (OSError, tomllib.TOMLDecodeError) as e:
        raise Failure(f"cannot read the list {path}: {e}")
    mutants = [Mutant(t, i) for i, t in enumerate(data.get("mutant", []))]
    seen = set()
    for m in mutants:
        if m.id in seen:
            raise Failure(f"mutant id {m.id} is given twice")
        seen.add(m.id)
    return mutants


# ---- the build


def run_quiet(cmd, cwd, timeout=None, env=None):
    return subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", timeout=timeout)


class Build:
    def __init__(self, path):
        self.dir = os.path.abspath(path)
        db = os.path.join(self.dir, "compile_commands.json")
        if not os.path.isfile(db):
            raise Failure(f"{db} is missing: configure and build first "
                          "(cmake -S . -B build && cmake --build build -j2)")
        with open(db) as f:
            self.compile = {os.path.realpath(e["file"]): e for e in json.load(f)}
        self.links = {}

    def compile_entry(self, source):
        entry = self.compile.get(os.path.realpath(os.path.join(SOURCE_ROOT, source)))
        if not entry:
            raise Failure(f"{source} is not compiled by this build")
        return entry

    def object_of(self, source):
        """(target name, object path relative to the build) of a source file."""
        args = shlex.split(self.compile_entry(source)["command"])
        obj = args[args.index("-o") + 1]
        m = re.match(r"CMakeFiles/([^/]+)\.dir/", obj)
        return (m.group(1) if m else None), obj

    def link_args(self, target):
        if target not in self.links:
            path = os.path.join(self.dir, "CMakeFiles", f"{target}.dir", "link.txt")
            if not os.path.isfile(path):
                raise Failure(f"{path} is missing: the script needs the Makefile generator")
            with open(path) as f:
                self.links[target] = shlex.split(f.read().strip().splitlines()[0])
        return self.links[target]

    def reaches(self, program, target, obj):
        """True when the program's link takes the mutated object's code."""
        args = self.link_args(program)
        return obj in args or f"lib{target}.a" in args

    def pack_commands(self):
        """The zdapack command lines that make the four archives."""
        path = os.path.join(self.dir, "CMakeFiles", "assets.dir", "build.make")
        cmds = []
        with open(path) as f:
            for line in f:
                line = line.strip()
                if "zdapack " in line and not line.startswith("@"):
                    cmds.append(shlex.split(line.split("&&")[-1].replace("$$", "$")))
        if not cmds:
            raise Failure(f"no zdapack command found in {path}")
        return cmds


# ---- the tests


class Program:
    """One test program with the tests of it that were picked."""

    def __init__(self, name, path, cwd, env):
        self.name, self.path, self.cwd, self.env = name, path, cwd, env
        self.tests = []      # CTest names
        self.filters = []    # GoogleTest names, empty for a program without them
        self.args = None     # the command's arguments for a program that is not GoogleTest
        self.total = 0       # GoogleTest tests the program has in all
        self.seconds = 0.0   # time of the clean run

    def command(self, exe, fail_fast):
        if self.args is not None:
            return [exe] + self.args
        cmd = [exe]
        if self.filters and len(self.filters) < self.total:
            cmd.append("--gtest_filter=" + ":".join(self.filters))
        if fail_fast:
            cmd.append("--gtest_fail_fast")
        return cmd


def ctest_tests(build, selection):
    env = dict(os.environ, **HEADLESS)
    r = run_quiet(["ctest", "--show-only=json-v1"] + selection, build.dir, env=env)
    if r.returncode != 0:
        raise Failure("ctest --show-only failed:\n" + r.stdout)
    text = r.stdout[r.stdout.index("{"):]
    return json.loads(text).get("tests", [])


def pick_tests(build, everyday, ctest_args):
    selection = shlex.split(ctest_args or "")
    everything = ctest_tests(build, [])
    labelled = any(p["name"] == "LABELS" for t in everything for p in t.get("properties", []))
    how = "all tests"
    if everyday:
        if labelled:
            selection += ["-LE", "slow"]
            how = "everyday tests (ctest -LE slow)"
        else:
            selection += ["-E", SLOW_TEST_NAMES]
            how = f"everyday tests (ctest -E '{SLOW_TEST_NAMES}': no labels yet)"
    if ctest_args:
        how += f", ctest {ctest_args}"
    tests = ctest_tests(build, selection) if selection else everything

    programs, unreachable = {}, []
    for t in tests:
        cmd = t.get("command") or []
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        exe = cmd[0] if cmd else ""
        name = os.path.basename(exe)
        linkable = (os.path.dirname(os.path.realpath(exe)) == os.path.realpath(build.dir) and
                    os.path.isfile(os.path.join(build.dir, "CMakeFiles", f"{name}.dir", "link.txt")))
        if not linkable:
            unreachable.append(t["name"])
            continue
        env = dict(HEADLESS)
        for kv in props.get("ENVIRONMENT", []):
            k, _, v = kv.partition("=")
            env[k] = v
        cwd = props.get("WORKING_DIRECTORY", build.dir)
        p = programs.setdefault(name, Program(name, exe, cwd, env))
        p.tests.append(t["name"])
        flt = [a[len("--gtest_filter="):] for a in cmd[1:] if a.startswith("--gtest_filter=")]
        if flt:
            p.filters.append(flt[0])
        else:
            p.args = cmd[1:]
    for p in programs.values():
        if p.args is None:
            p.total = len(ctest_names_of(build, p))
    return list(programs.values()), unreachable, how


def ctest_names_of(build, program):
    r = run_quiet([program.path, "--gtest_list_tests"], build.dir, env=dict(os.environ, **HEADLESS))
    names, suite = [], ""
    for line in r.stdout.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()
        else:
            names.append(suite + line.split("#")[0].strip())
    return names


# ---- running a program


class Outcome:
    def __init__(self, ok, killer="", seconds=0.0, timed_out=False):
        self.ok, self.killer, self.seconds, self.timed_out = ok, killer, seconds, timed_out


def kill_group(proc):
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


class Run:
    """One test program running, its output going to a log file."""

    def __init__(self, program, exe, fail_fast, log_path, timeout, scratch_exe=True):
        self.program, self.log_path, self.timeout = program, log_path, timeout
        self.exe = exe if scratch_exe else None  # removed once it has run
        self.start = time.monotonic()
        with open(log_path, "w") as log:
            self.proc = subprocess.Popen(program.command(exe, fail_fast), cwd=program.cwd,
                                         env=dict(os.environ, **program.env), stdout=log,
                                         stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                         start_new_session=True)

    def outcome(self):
        """None while the program runs, then how it ended; one over its time is stopped."""
        code = self.proc.poll()
        if code is None and time.monotonic() - self.start < self.timeout:
            return None
        if code is None:
            self.stop()
        else:
            self.forget()
        return self.judge(code)

    def stop(self):
        """Ends the program and whatever it started."""
        if self.proc.poll() is None:  # not reaped yet, so its group is still ours
            kill_group(self.proc)
        self.proc.wait()
        self.forget()

    def forget(self):
        if self.exe and os.path.exists(self.exe):
            os.remove(self.exe)

    def judge(self, code):
        seconds = time.monotonic() - self.start
        name = self.program.name
        with open(self.log_path, errors="replace") as f:
            output = f.read()
        current = ""
        for line in output.splitlines():
            m = re.match(r"\[ RUN +\] (\S+)", line)
            if m:
                current = m.group(1)
        where = f" in {current}" if current else ""
        if code is None:
            return Outcome(False, f"{name}: timeout after {self.timeout:g} s{where}", seconds, True)
        if code == 0:
            return Outcome(True, seconds=seconds)
        failed = []
        for test in re.findall(r"^\[  FAILED  \] ([^\s,]+\.[^\s,]+)", output, re.M):
            if test not in failed:
                failed.append(test)
        if failed:
            return Outcome(False, f"{name}: {', '.join(failed)}", seconds)
        how = f"signal {-code}" if code < 0 else f"exit status {code}"
        if self.program.args is not None:
            return Outcome(False, f"{self.program.tests[0]} ({name}, {how})", seconds)
        return Outcome(False, f"{name}: {how}{where}", seconds)


def run_all(programs, start, jobs, keep_going):
    """Runs the programs in order, `jobs` at a time, each started by `start`; returns the
    Outcomes of the ones that failed, stopping at the first failure unless keep_going."""
    pending, running, failures = list(programs), [], []
    try:
        while pending or running:
            while pending and len(running) < jobs:
                running.append(start(pending.pop(0)))
            time.sleep(0.05)
            for r in list(running):
                out = r.outcome()
                if out is None:
                    continue
                running.remove(r)
                if not out.ok:
                    failures.append(out)
                    if not keep_going:
                        for other in running:
                            other.stop()
                        return failures
        return failures
    except BaseException:  # interrupted: nothing of ours goes on running
        for r in running:
            r.stop()
        raise


def run_program(program, exe, timeout, log_path):
    """Runs one program to its first failure; its Outcome."""
    r = Run(program, exe, True, log_path, timeout, scratch_exe=False)
    try:
        while True:
            out = r.outcome()
            if out is not None:
                return out
            time.sleep(0.05)
    except BaseException:
        r.stop()
        raise


class LinkError(Exception):
    pass


# ---- the scratch space and what has to be put back


class Deferred:
    """Holds Ctrl-C and termination back while the build directory is being changed or put
    back, and raises KeyboardInterrupt once that is done."""

    SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)

    def __enter__(self):
        self.got = None
        self.old = {s: signal.signal(s, self.hold) for s in self.SIGNALS}
        return self

    def hold(self, signum, frame):
        self.got = signum

    def __exit__(self, kind, value, trace):
        for s, handler in self.old.items():
            signal.signal(s, handler)
        if self.got and kind is None:
            raise KeyboardInterrupt


def archive_backup_dir(build):
    tag = hashlib.sha1(build.dir.encode()).hexdigest()[:12]
    return os.path.join(tempfile.gettempdir(), f"trobz3-mutation-archives-{tag}")


def restore_archives(build, backup, say):
    """Puts back the archives saved before a rebuild, also those of an interrupted run."""
    if not os.path.isdir(backup):
        return
    for name in sorted(os.listdir(backup)):
        if name.endswith(".zda"):
            dst = os.path.join(build.dir, "data", name)
            tmp = dst + ".restore"
            shutil.copy2(os.path.join(backup, name), tmp)
            os.replace(tmp, dst)
    shutil.rmtree(backup)
    say("archives in the build directory restored")


BUILDERS = {"make", "gmake", "ninja", "cmake", "ctest", "ccache", "cc1", "cc1plus", "collect2",
            "ld", "as", "ar", "ranlib", "zdapack", "makegfx", "stageconv", "trobzmod", "trobzsfx"}


def others_in(root):
    """Builds and tests other than ours working in `root`."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            cwd = os.readlink(f"/proc/{pid}/cwd")
            with open(f"/proc/{pid}/comm") as f:
                name = f.read().strip()
        except OSError:
            continue
        inside = cwd == root or cwd.startswith(root + os.sep)
        if inside and (name in BUILDERS or name.startswith(("test_", "fuzz_"))):
            found.append(f"{name} ({pid})")
    return found


def remove_new_entries(root, before, since):
    """Removes the files and directories the tests left at the top of the build directory:
    those that were not there before the run and were made during it. Returns their names."""
    removed = []
    for name in sorted(set(os.listdir(root)) - before):
        path = os.path.join(root, name)
        try:
            if os.lstat(path).st_mtime < since:
                continue
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path)
            else:
                os.remove(path)
            removed.append(name)
        except OSError:
            pass
    return removed


class Scratch:
    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="trobz3-mutation-")
        self.reference = {}  # source -> stripped reference object

    def path(self, *parts):
        p = os.path.join(self.dir, *parts)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        return p

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def compile_copy(build, scratch, source, text, obj_out):
    """Compiles `text` as `source` with the build's flags; returns the compiler output or ''."""
    entry = build.compile_entry(source)
    copy = scratch.path("src", source)
    with open(copy, "w") as f:
        f.write(text)
    args = shlex.split(entry["command"])
    out, skip = [], False
    for i, a in enumerate(args):
        if skip:
            skip = False
            continue
        if a in ("-MT", "-MF", "-MQ"):
            skip = True
            continue
        # a planted fault may well leave a variable unused: a warning, not a build failure
        if a in ("-MD", "-MMD", "-Werror"):
            continue
        if i > 0 and args[i - 1] == "-o":
            a = obj_out
        elif os.path.realpath(os.path.join(entry["directory"], a)) == os.path.realpath(entry["file"]):
            a = copy
        out.append(a)
    # the copy's own directory is not the original's: keep "same directory" includes working
    out.insert(1, "-iquote" + os.path.dirname(os.path.realpath(entry["file"])))
    r = run_quiet(out, entry["directory"])
    return "" if r.returncode == 0 else (r.stdout or "compiler failed")


def machine_code(obj):
    stripped = obj + ".code"
    r = run_quiet(["objcopy", "--strip-debug", obj, stripped], os.path.dirname(obj))
    if r.returncode != 0:
        return None
    with open(stripped, "rb") as f:
        return f.read()


def link_program(build, program, mutated, out):
    """Links `program` with the mutated objects {build-relative object: scratch object}."""
    args = list(build.link_args(program))
    o = args.index("-o")
    args[o + 1] = out
    extra = []
    for obj, new in mutated.items():
        if obj in args:
            args[args.index(obj)] = new
        else:
            extra.append(new)
    # ahead of the libraries: right after the program's own objects
    args[o:o] = extra
    r = run_quiet(args, build.dir)
    return "" if r.returncode == 0 else (r.stdout or "linker failed")


# ---- one mutant


class Result:
    def __init__(self, mutant, status, detail="", seconds=0.0):
        self.mutant, self.status, self.detail, self.seconds = mutant, status, detail, seconds


def original_text(source):
    with open(os.path.join(SOURCE_ROOT, source)) as f:
        return f.read()


def run_mutant(m, build, scratch, programs, opts, say):
    start_time = time.monotonic()
    work = os.path.join("m", m.id.replace("/", "_"))
    texts = {}
    for e in m.edits:
        base = texts.get(e.file)
        if base is None:
            base = original_text(e.file)
        edited, why = e.apply(base)
        if why:
            return Result(m, "n/a", why)
        texts[e.file] = edited

    mutated = {}   # build-relative object -> scratch object
    targets = []   # (target, object, source): which programs the mutant reaches
    for source, text in texts.items():
        target, obj = build.object_of(source)
        out = scratch.path(work, obj)
        err = compile_copy(build, scratch, source, text, out)
        if err:
            return Result(m, "error", "does not compile: " + err.strip().splitlines()[0])
        if source not in scratch.reference:
            ref = scratch.path("ref", obj)
            err = compile_copy(build, scratch, source, original_text(source), ref)
            if err:
                raise Failure(f"{source} does not compile as it is:\n{err}")
            scratch.reference[source] = machine_code(ref)
        code = machine_code(out)
        if code is not None and code == scratch.reference[source] and len(texts) == 1:
            return Result(m, "equivalent", "same machine code as the original")
        mutated[obj] = out
        targets.append((target, obj, source))

    rebuild = any(s.startswith("tools/") and (t == "zdapack" or build.reaches("zdapack", t, o))
                  for t, o, s in targets)
    backup = archive_backup_dir(build)
    try:
        if rebuild:
            with Deferred():
                err = rebuild_archives(build, scratch, work, mutated, backup)
            if err:
                return Result(m, "error", "archives not rebuilt: " + err.strip().splitlines()[0])
        reached = [p for p in ordered(programs, m.subsystem)
                   if rebuild or any(build.reaches(p.name, t, o) for t, o, _ in targets)]

        def start(p):
            exe = scratch.path(work, "bin", p.name)
            err = link_program(build, p.name, mutated, exe)
            if err:
                raise LinkError(f"{p.name} does not link: " + err.strip().splitlines()[0])
            return Run(p, exe, not opts.keep_going, scratch.path(work, "log", p.name + ".txt"),
                       opts.timeout)

        try:
            failures = run_all(reached, start, opts.jobs, opts.keep_going)
        except LinkError as e:
            return Result(m, "error", str(e))
        seconds = time.monotonic() - start_time
        if not failures:
            return Result(m, "survived", "", seconds)
        status = "killed" if any(not f.timed_out for f in failures) else "timeout"
        return Result(m, status, "; ".join(f.killer for f in failures), seconds)
    finally:
        if rebuild:
            with Deferred():
                restore_archives(build, backup, say)


def rebuild_archives(build, scratch, work, mutated, backup):
    exe = scratch.path(work, "bin", "zdapack")
    err = link_program(build, "zdapack", mutated, exe)
    if err:
        return err
    os.makedirs(backup)
    data = os.path.join(build.dir, "data")
    for name in os.listdir(data):
        if name.endswith(".zda"):
            shutil.copy2(os.path.join(data, name), os.path.join(backup, name))
    for cmd in build.pack_commands():
        r = run_quiet([exe] + cmd[1:], build.dir)
        if r.returncode != 0:
            return r.stdout or "zdapack failed"
    return ""


def ordered(programs, subsystem):
    first = AFFINITY.get(subsystem, [])
    rank = {name: i for i, name in enumerate(first)}
    return sorted(programs, key=lambda p: (rank.get(p.name, len(first)), p.seconds))


# ---- the report


def summary_lines(results):
    count = {}
    for r in results:
        count[r.status] = count.get(r.status, 0) + 1
    killed = count.get("killed", 0) + count.get("timeout", 0)
    survived = count.get("survived", 0)
    judged = killed + survived
    rate = f"{100.0 * killed / judged:.1f} %" if judged else "-"
    lines = [
        f"total {len(results)}, killed {killed} (of which {count.get('timeout', 0)} by a timeout), "
        f"survived {survived}, not applicable {count.get('n/a', 0)}, "
        f"equivalent {count.get('equivalent', 0)}, errors {count.get('error', 0)}",
        f"kill rate {killed}/{judged} = {rate} (killed / (killed + survived))",
    ]
    by_sub = {}
    for r in results:
        if r.status in ("killed", "timeout", "survived"):
            k, n = by_sub.get(r.mutant.subsystem, (0, 0))
            by_sub[r.mutant.subsystem] = (k + (r.status != "survived"), n + 1)
    lines.append("by subsystem: " + ", ".join(
        f"{s} {k}/{n}" for s, (k, n) in sorted(by_sub.items(), key=lambda i: i[0])))
    return lines


def write_report(path, results, header):
    lines = list(header) + [""] + summary_lines(results) + ["", "Survivors:"]
    survivors = [r for r in results if r.status == "survived"]
    for r in survivors:
        lines.append(f"  {r.mutant.id}  ({r.mutant.file})")
        lines.append(f"      {r.mutant.desc}")
    if not survivors:
        lines.append("  none")
    others = [r for r in results if r.status in ("n/a", "equivalent", "error")]
    if others:
        lines += ["", "Not run:"]
        for r in others:
            lines.append(f"  {r.status:10} {r.mutant.id}: {r.detail}")
    lines += ["", "Every mutant:"]
    for r in results:
        detail = f"  {r.detail}" if r.detail else ""
        secs = f"  ({r.seconds:.0f} s)" if r.seconds else ""
        lines.append(f"  {r.status:10} {r.mutant.id}{detail}{secs}")
    text = "\n".join(lines) + "\n"
    if path:
        with open(path, "w") as f:
            f.write(text)
    return text


def shown_path(path):
    rel = os.path.relpath(os.path.abspath(path), SOURCE_ROOT)
    return os.path.abspath(path) if rel.startswith("..") else rel


def git_describe():
    r = run_quiet(["git", "log", "-1", "--format=%h (%cs)"], SOURCE_ROOT)
    b = run_quiet(["git", "rev-parse", "--abbrev-ref", "HEAD"], SOURCE_ROOT)
    dirty = run_quiet(["git", "status", "--porcelain", "--untracked-files=no", "src", "tools"],
                      SOURCE_ROOT)
    state = ", with uncommitted changes in src/ or tools/" if dirty.stdout.strip() else ""
    return f"{b.stdout.strip()} at {r.stdout.strip()}{state}"


# ---- main


def parse_args(argv):
    ap = argparse.ArgumentParser(
        prog="scripts/mutation/mutate.py",
        description=__doc__.split("\n\n")[0],
        epilog=__doc__.split("\n\n", 1)[1],
        formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("ids", nargs="*", metavar="ID",
                    help="only these mutants (ids or shell patterns such as 'world/lift-*')")
    ap.add_argument("-b", "--build", default=os.path.join(SOURCE_ROOT, "build"),
                    help="the build directory (default: build/ of the source tree)")
    ap.add_argument("-l", "--list", default=os.path.join(HERE, "mutants.toml"),
                    help="the mutant list (default: %(default)s)")
    ap.add_argument("-s", "--subsystem", action="append", choices=SUBSYSTEMS,
                    help="only the mutants of src/SUBSYSTEM (may be repeated)")
    ap.add_argument("-f", "--file", action="append",
                    help="only the mutants that edit this file (may be repeated)")
    ap.add_argument("-t", "--timeout", type=float, default=300,
                    help="seconds one test program may run before the mutant counts as killed "
                         "by a timeout (default: %(default)s)")
    ap.add_argument("--all-tests", dest="everyday", action="store_false",
                    help="run the slow tests too (default: only the everyday ones, "
                         "'ctest -LE slow', or without labels every test but the soak and "
                         "the install test)")
    ap.add_argument("--ctest-args", default="",
                    help="further CTest selection options, e.g. \"-L unit\" or \"-R Hero\"")
    ap.add_argument("-j", "--jobs", type=int, default=1,
                    help="test programs of a mutant run at the same time (default: %(default)s; "
                         "the tests are made to run two at a time, as ctest -j2 does)")
    ap.add_argument("--keep-going", action="store_true",
                    help="run every test program to its end and name every test that fails, "
                         "instead of stopping at the first failing test")
    ap.add_argument("--check", action="store_true",
                    help="only apply and compile every mutant (finds stale and equivalent ones)")
    ap.add_argument("--no-baseline", action="store_true",
                    help="skip the clean run of the test programs that checks they pass")
    ap.add_argument("-o", "--output", help="write the results to this file")
    ap.add_argument("--json", help="write the results as JSON to this file")
    return ap.parse_args(argv)


def select(mutants, opts):
    chosen = mutants
    if opts.subsystem:
        chosen = [m for m in chosen if m.subsystem in opts.subsystem]
    if opts.file:
        wanted = [os.path.relpath(os.path.abspath(f), SOURCE_ROOT) if os.path.exists(f) else f
                  for f in opts.file]
        chosen = [m for m in chosen if any(e.file in wanted for e in m.edits)]
    if opts.ids:
        chosen = [m for m in chosen if any(fnmatch.fnmatchcase(m.id, p) for p in opts.ids)]
    return chosen


def main(argv):
    opts = parse_args(argv)
    say = lambda text: print(text, file=sys.stderr, flush=True)  # noqa: E731
    build = Build(opts.build)
    mutants = select(load_mutants(opts.list), opts)
    if not mutants:
        raise Failure("no mutant matches the selection")

    def interrupted(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)

    busy = others_in(build.dir)
    if busy:
        raise Failure(f"{', '.join(busy)} work in {build.dir}: wait until the build is done")
    restore_archives(build, archive_backup_dir(build), say)
    before = set(os.listdir(build.dir))
    scratch = Scratch()
    results = []
    load_start = os.getloadavg()
    started = time.time()
    programs, unreachable, how = [], [], "none (--check)"
    status = 0
    try:
        if not opts.check:
            programs, unreachable, how = pick_tests(build, opts.everyday, opts.ctest_args)
            if not programs:
                raise Failure("no relinkable test program in the selection")
            for p in sorted(programs, key=lambda p: p.name):
                if opts.no_baseline:
                    continue
                out = run_program(p, p.path, opts.timeout, scratch.path("base", p.name))
                if not out.ok:
                    raise Failure(f"the unmutated build fails: {out.killer}; fix it first")
                p.seconds = out.seconds
                say(f"clean run: {p.name} ({len(p.tests)} tests) {out.seconds:.1f} s")
        for i, m in enumerate(mutants):
            if opts.check:
                r = check_mutant(m, build, scratch)
            else:
                r = run_mutant(m, build, scratch, programs, opts, say)
            results.append(r)
            detail = f": {r.detail}" if r.detail else ""
            say(f"[{i + 1:3}/{len(mutants)}] {r.status:10} {m.id}{detail}")
    except KeyboardInterrupt:
        say("interrupted: the results so far follow")
        status = 130
    finally:
        with Deferred():
            scratch.remove()
            restore_archives(build, archive_backup_dir(build), say)
            busy = others_in(build.dir)
            if busy:
                say(f"{', '.join(busy)} work in {build.dir}: left the files the tests made there")
            else:
                gone = remove_new_entries(build.dir, before, started)
                if gone:
                    say(f"removed what the tests left in {build.dir}: {', '.join(gone)}")

    header = [
        "Mutation run of trobz3",
        f"source: {git_describe()}",
        f"build: {build.dir}, tests: {how}",
        f"list: {shown_path(opts.list)}, {len(mutants)} mutants selected; "
        f"timeout {opts.timeout:g} s per test program",
        "killers: " + ("every failing test (--keep-going)" if opts.keep_going else
                       "the first failing test"),
        f"started {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime(started))}, took "
        f"{(time.time() - started) / 60:.0f} min; load average "
        f"{load_start[0]:.1f} at the start, {os.getloadavg()[0]:.1f} at the end "
        f"({os.cpu_count()} cores)",
    ]
    if status:
        header.append(f"interrupted after {len(results)} mutants: the figures below are of those")
    if not opts.check and unreachable:
        header.append(f"left out (not a relinkable program): {', '.join(sorted(unreachable))}")
    print(write_report(opts.output, results, header), end="")
    if opts.json:
        with open(opts.json, "w") as f:
            json.dump([{"id": r.mutant.id, "file": r.mutant.file, "desc": r.mutant.desc,
                        "status": r.status, "detail": r.detail, "seconds": round(r.seconds, 1)}
                       for r in results], f, indent=1)
    return status


def check_mutant(m, build, scratch):
    """Applies and compiles a mutant without running anything."""
    texts = {}
    for e in m.edits:
        edited, why = e.apply(texts.get(e.file) or original_text(e.file))
        if why:
            return Result(m, "n/a", why)
        texts[e.file] = edited
    work = os.path.join("m", m.id.replace("/", "_"))
    for source, text in texts.items():
        _, obj = build.object_of(source)
        out = scratch.path(work, obj)
        err = compile_copy(build, scratch, source, text, out)
        if err:
            return Result(m, "error", "does not compile: " + err.strip().splitlines()[0])
        if len(texts) == 1:
            ref = scratch.path("ref", obj)
            if source not in scratch.reference:
                err = compile_copy(build, scratch, source, original_text(source), ref)
                if err:
                    raise Failure(f"{source} does not compile as it is:\n{err}")
                scratch.reference[source] = machine_code(ref)
            if machine_code(out) == scratch.reference[source]:
                return Result(m, "equivalent", "same machine code as the original")
        os.remove(out)
    return Result(m, "compiles")


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except Failure as e:
        print(f"mutate.py: {e}", file=sys.stderr)
        sys.exit(2)
