#!/usr/bin/env python3
"""Mutation testing of the product code; run through tools/mutants.

Plants one small fault (a mutant) at a time in a copy of the repository,
rebuilds that copy incrementally, runs the tests that reach the mutated code
and reports whether they kill the mutant. The working tree is only read.

The mutants, each one change at one place of the product's .cpp and .h files
(never in comments, literals or preprocessor lines): '<' <-> '<=', '>' <->
'>=', '==' <-> '!=', '+' <-> '-', '*' <-> '/', '&&' <-> '||', true <-> false,
TRUE <-> FALSE, an integer literal n written as n + 1 (0 -> 1, 0xFF -> 0x100;
the literal, so -1 becomes -2), a '!' dropped, and a statement that is one
call replaced by {} (an empty block, which also leaves `if (x) f();` free of
warnings). Portable files are those compiled natively: their mutants meet the
native tests, then the Windows ones; the other (window) files' mutants meet
the Windows tests and end-to-end runs only.
"""
import argparse
import contextlib
import dataclasses
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

PRODUCT_DIRS = ("app", "fw", "view", "pictures", "saver", "settings")
# Long tests run shorter through their own settings (the user's value wins).
TEST_ENV = {"VLM_LEAK_FRAMES": "2000", "VLM_SOAK_SECONDS": "20"}
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "+": "-", "-": "+", "*": "/", "/": "*", "&&": "||", "||": "&&",
         "true": "false", "false": "true", "TRUE": "FALSE", "FALSE": "TRUE"}
# clang-format puts spaces round binary operators, never round template
# brackets, pointer stars or unary signs: ' < ' is a comparison.
BINARY = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||[<>+*/-])(?= )")
BOOLEAN = re.compile(r"\b(true|false|TRUE|FALSE)\b")
INTEGER = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)(?=[uUlL]*(?![\w.']))")
NEGATION = re.compile(r"!(?!=)")
PURE_VIRTUAL = re.compile(r"\)(\s*(const|override|noexcept))*\s*=\s*$")
CALL = re.compile(r"(::)?[A-Za-z_]\w*(((::|\.|->)[A-Za-z_]\w*)|@|\[[^\[\]]*\])*@;")
NOT_CALLS = {"return", "sizeof", "static_assert", "assert", "delete", "throw"}
# What mutants never touch, scanned from left to right. Numbers are matched
# (and kept) so that the ' of a digit separator (1'000) starts no character.
MASKED = re.compile(r"""
    ^[ \t]*\#(?:\\\n|[^\n])*      # a preprocessor line and its continuations
  | //[^\n]* | (?s:/\*.*?\*/)        # comments
  | (?s:R"([^(\s]*)\(.*?\)\1")      # a raw string
  | "(?:\\.|[^"\\\n])*"           # a string
  | '(?:\\.|[^'\\\n])*'           # a character
  | (?P<number>\b\d[\w']*)""", re.M | re.X)


@dataclasses.dataclass
class Mutant:
    path: str
    line: int  # from 1
    col: int  # from 0
    old: str
    new: str
    what: str  # the change as reported
    klass: str = ""  # portable or window

    def key(self):
        return (self.path, self.line, self.col, self.what)

    def label(self):
        return f"{self.path}:{self.line}: {self.what}"


# ---- Reading the sources --------------------------------------------------

def mask(text):
    """The text with comments, string and character literals and preprocessor
    lines (with their continuations) blanked, lines and columns kept."""
    def blank(m):
        return m.group() if m.group("number") else re.sub(r"[^\n]", " ", m.group())
    return MASKED.sub(blank, text)


def code_lines(masked):
    """For each line (0-based), whether it starts inside a function body, and
    the last significant character before it (to tell a statement's start)."""
    inside, before, stack, prefix, last = [], [], [], "", ";"
    for line in masked.split("\n"):
        inside.append(bool(stack) and stack[-1])
        before.append(last)
        for c in line:
            if c == "{":  # a function's body follows its ")"; blocks in it are code too
                body = bool(stack) and stack[-1]
                body = body or bool(re.search(r"\)(\s*(const|override|final|noexcept|mutable))*\s*$", prefix))
                stack.append(body)
            elif c == "}" and stack:
                stack.pop()
            prefix = "" if c in ";{}" else prefix + c
        prefix += " "
        words = line.split()
        if words:
            last = "{" if words[-1] in ("else", "do") else words[-1][-1]
    return inside, before


def call_statement(code):
    """Whether a line (masked, stripped) is one whole call statement."""
    if "{" in code or "}" in code or not code.endswith(");"):
        return False
    if re.match(r"\w*", code).group() in NOT_CALLS:
        return False
    reduced = None
    while reduced != code:  # each innermost (...) becomes @
        reduced, code = code, re.sub(r"\([^()]*\)", "@", code)
    return bool(CALL.fullmatch(code))


def sites(path, text):
    """Every mutant of one file, in the order of line, column and operator."""
    found = []
    masked = mask(text)
    inside, before = code_lines(masked)
    asserted = set()  # the lines of static_assert declarations: their mutants cannot compile
    for m in re.finditer(r"\bstatic_assert\b[^;]*", masked):
        first = masked.count("\n", 0, m.start())
        asserted.update(range(first, first + m.group().count("\n") + 1))
    for number, (code, real) in enumerate(zip(masked.split("\n"), text.split("\n"))):
        if number in asserted:
            continue
        seen = {}

        def add(col, old, new, what=None):
            what = what or f"'{old}' -> '{new}'"
            seen[what] = seen.get(what, 0) + 1
            if seen[what] > 1:  # the same change again further right
                what += f" (#{seen[what]} on the line)"
            found.append(Mutant(path, number + 1, col, old, new, what))

        for m in BINARY.finditer(code):
            left, right = real[:m.start()].rstrip(), real[m.end():].lstrip()
            if m.group() in "+-" and (left.endswith('"') or right.startswith('"')):
                continue  # string concatenation: '-' cannot compile
            add(m.start(), m.group(), SWAPS[m.group()])
        for m in INTEGER.finditer(code):
            if m.group() == "0" and PURE_VIRTUAL.search(code[:m.start()]):
                continue  # "= 0" of a pure virtual function
            digits = m.group()
            if digits[:2].lower() == "0x":
                new = "%s%0*x" % (digits[:2], len(digits) - 2, int(digits, 16) + 1)
                new = new if digits == digits.lower() else new.upper().replace("0X", digits[:2])
            else:
                new = str(int(digits) + 1)
            add(m.start(), digits, new)
        for m in BOOLEAN.finditer(code):
            add(m.start(), m.group(), SWAPS[m.group()])
        for m in NEGATION.finditer(code):
            operand = re.match(r"[\w:.>-]*\(?", real[m.end():]).group()
            add(m.start(), "!", "", f"'!{operand}' -> '{operand}'")
        stripped = code.strip()
        if inside[number] and before[number] in ";{}:)" and call_statement(stripped):
            col = code.index(stripped)
            statement = real[col:col + len(stripped)]
            add(col, statement, "{}", f"call removed: {statement}")
    return sorted(found, key=Mutant.key)


# ---- Which files are portable ----------------------------------------------

def cmake_sources(cmake_file, text, top):
    """The .cpp files that a piece of a CMakeLists.txt names: relative to its
    folder or to the top (leading ${VAR}/ dropped), whichever exists."""
    found = set()
    for name in re.findall(r"[\w${}/.+-]+\.cpp\b", text):
        name = re.sub(r"^\$\{\w+\}/", "", name)
        for base in (cmake_file.parent, top):
            if (base / name).is_file():
                found.add((base / name).resolve().relative_to(top).as_posix())
                break
    return found


def portable_files(top):
    """The files compiled natively: the vlm_core library's sources and every
    product header that they or the native tests include, transitively."""
    root_cmake, tests_cmake = top / "CMakeLists.txt", top / "tests" / "CMakeLists.txt"
    core = re.search(r"add_library\(\s*vlm_core\b[^)]*\)", root_cmake.read_text())
    native = re.search(r"if\(NOT WIN32\)(.*?)\breturn\(\)", tests_cmake.read_text(), re.S)
    if not core or not native:
        sys.exit("mutants: no vlm_core library or native tests in the CMakeLists.txt files")
    todo = list(cmake_sources(root_cmake, core.group(), top) | cmake_sources(tests_cmake, native.group(1), top))
    seen = set(todo)
    while todo:
        path = top / todo.pop()
        for name in re.findall(r'^\s*#\s*include\s*"([^"]+)"', path.read_text(), re.M):
            for base in (top, path.parent):
                if (base / name).is_file():
                    found = (base / name).resolve().relative_to(top).as_posix()
                    if found not in seen:
                        seen.add(found)
                        todo.append(found)
                    break
    return {path for path in seen if path.split("/")[0] in PRODUCT_DIRS}


def repository_files(top):
    """The repository's files, uncommitted ones included."""
    out = subprocess.run(["git", "-C", str(top), "ls-files", "-z", "-co", "--exclude-standard"],
                         check=True, capture_output=True).stdout.decode()
    return sorted(name for name in set(out.split("\0")) if name and (top / name).is_file())


def sample(root, names, seed, klass, files=None):
    """Every mutant of the chosen classes (in the given files, when given), each
    class in its shuffled order."""
    portable = portable_files(root)
    groups = {"portable": [], "window": []}
    for name in names:
        if name.split("/")[0] in PRODUCT_DIRS and name.endswith((".cpp", ".h")) and (not files or name in files):
            for mutant in sites(name, (root / name).read_text()):
                mutant.klass = "portable" if name in portable else "window"
                groups[mutant.klass].append(mutant)
    for name in groups:
        random.Random(seed).shuffle(groups[name])  # a generator per class
    return {name: groups[name] for name in groups if klass in (name, "all")}


# ---- Builds and tests in the tool's folder ---------------------------------

class Lab:
    """The tool's folder: the copy (src), its builds (native, win64), logs."""

    def __init__(self, top, folder):
        self.top, self.folder = top, folder
        self.src = folder / "src"
        self.native, self.win64 = folder / "native", folder / "win64"
        self.env = dict(os.environ)
        for name, value in TEST_ENV.items():
            self.env.setdefault(name, value)
        self.tests = {}  # build -> [(duration, name)], shortest first
        self.logs = folder / "logs"
        self.logs.mkdir(parents=True, exist_ok=True)
        self.planted = folder / "planted"  # the file of the mutant under test, until its rebuild

    def sync(self):
        """Copies the repository's files into src/, writing only the files
        that differ (so that builds stay incremental) and deleting the rest.
        Returns their names."""
        names = repository_files(self.top)
        for name in names:
            data, dest = (self.top / name).read_bytes(), self.src / name
            if not dest.is_file() or dest.read_bytes() != data:
                dest.parent.mkdir(parents=True, exist_ok=True)
                dest.write_bytes(data)
            os.chmod(dest, (self.top / name).stat().st_mode & 0o777)
        keep = set(names)
        for path in sorted(self.src.rglob("*"), reverse=True):
            if path.is_file() and path.relative_to(self.src).as_posix() not in keep:
                path.unlink()
        if self.planted.exists():  # an interrupted run: objects of its mutant may be newer than the file
            with contextlib.suppress(FileNotFoundError):
                os.utime(self.src / self.planted.read_text())
            self.planted.unlink()
        return names

    def configure(self):
        toolchain = f"-DCMAKE_TOOLCHAIN_FILE={self.src}/cmake/mingw-x86_64.cmake"
        for build, options in ((self.native, []), (self.win64, [toolchain])):
            subprocess.run(["cmake", "-S", self.src, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"] + options,
                           check=True, stdout=subprocess.DEVNULL)

    def build(self, build):
        """An incremental build; False when it fails (-Werror included)."""
        done = subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count())],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        (self.logs / f"build-{build.name}.log").write_bytes(done.stdout)
        return done.returncode == 0

    def run_test(self, build, name, limit=None):
        """Runs one test (its fixtures with it); returns (passed, timed out,
        seconds). The limit is kept from outside: the test's process group is
        killed, and then every wine process. The output goes to a
        file, which a process left behind cannot hold open as it can a pipe."""
        start = time.monotonic()
        log = self.logs / f"test-{name}.log"
        with open(log, "wb") as output:
            proc = subprocess.Popen(["ctest", "--test-dir", build, "--output-on-failure", "--no-tests=error",
                                     "-R", f"^{re.escape(name)}$"], env=self.env, stdout=output,
                                    stderr=subprocess.STDOUT, start_new_session=True)
            try:
                proc.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                pass
            finally:  # also on Ctrl-C: the test's process group goes
                timed_out = proc.poll() is None
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        timed_out = timed_out or b"***Timeout" in log.read_bytes()
        passed = proc.returncode == 0 and not timed_out
        if not passed:
            self.restart_wine(build)
        return passed, timed_out, time.monotonic() - start

    def restart_wine(self, build):
        """No wine process of a failed test survives: the wineserver of our
        prefix ends with all of them, and starts again as start_wine does."""
        if build == self.win64:
            for command in (["wineserver", "-k"], ["wineserver", "-w"], ["wineserver", "-p"], ["wineboot"]):
                subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def list_tests(self, build):
        """The tests of a build but the fixtures' setups, which ctest runs
        with the tests that need them."""
        show = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                              check=True, capture_output=True).stdout
        tests = json.loads(show)["tests"]
        return [test["name"] for test in tests
                if not any(p["name"] == "FIXTURES_SETUP" for p in test.get("properties", []))]

    def unmutated_pass(self):
        """Builds both copies and runs every test once, timing each; the suite
        must be green before any mutant."""
        self.configure()
        for build in (self.native, self.win64):
            if not self.build(build):
                sys.exit(f"mutants: the unmutated build fails, see {self.logs}/build-{build.name}.log")
            timed = []
            for name in self.list_tests(build):
                passed, _, seconds = self.run_test(build, name)
                print(f"unmutated: {name}: {seconds:.1f} s", flush=True)
                if not passed:
                    sys.exit(f"mutants: {name} fails unmutated, see {self.logs}/test-{name}.log")
                timed.append((seconds, name))
            self.tests[build] = sorted(timed)

    def try_mutant(self, mutant):
        """Plants the mutant and tests it; the file is restored exactly (also
        on Ctrl-C) and the builds that saw the mutant are built again, so that
        the next mutant starts from the clean build. Returns the verdict."""
        path = self.src / mutant.path
        original = path.read_bytes()
        lines = original.decode().split("\n")
        line = lines[mutant.line - 1]
        assert line[mutant.col:mutant.col + len(mutant.old)] == mutant.old, mutant.label()
        lines[mutant.line - 1] = line[:mutant.col] + mutant.new + line[mutant.col + len(mutant.old):]
        built = []
        self.planted.write_text(mutant.path)
        try:
            path.write_bytes("\n".join(lines).encode())
            verdict = self.verdict(mutant, built)
        finally:
            path.write_bytes(original)
        for build in built:
            if not self.build(build):
                sys.exit(f"mutants: the restored build fails, see {self.logs}/build-{build.name}.log")
        self.planted.unlink()
        return verdict

    def verdict(self, mutant, built):
        """Builds and runs the tests, each build's shortest first, up to the
        first failure; a portable mutant meets the native tests first. Each
        build started is added to `built`, to be built again clean."""
        builds = [self.native, self.win64] if mutant.klass == "portable" else [self.win64]
        for build in builds:
            built.append(build)
            if not self.build(build):
                return "not viable"
            for duration, name in self.tests[build]:
                passed, timed_out, _ = self.run_test(build, name, 3 * duration + 30)
                if timed_out:
                    return f"timeout in {name}"
                if not passed:
                    return f"killed by {name}"
        return "survived"


# ---- The run ---------------------------------------------------------------

def score(killed, viable):
    percent = f"{100 * killed / viable:.1f}%" if viable else "n/a"
    return f"{killed} of {viable} ({percent})"


def run(lab, groups, count):
    started = time.monotonic()
    lab.unmutated_pass()
    print(f"unmutated pass: {time.monotonic() - started:.0f} s", flush=True)
    results, survivors = {}, []
    for klass, mutants in groups.items():
        viable = killed = 0
        klass_started = time.monotonic()
        for mutant in mutants:
            if viable == count:
                break
            verdict = lab.try_mutant(mutant)
            print(f"{mutant.label()}: {verdict}", flush=True)
            if verdict != "not viable":
                viable += 1
                killed += verdict != "survived"
            if verdict == "survived":
                survivors.append(mutant)
        results[klass] = (killed, viable, time.monotonic() - klass_started)
    print("survivors:" if survivors else "survivors: none")
    for mutant in survivors:
        print(f"  {mutant.label()}")
    for klass, (killed, viable, seconds) in results.items():
        print(f"{klass}: {score(killed, viable)} in {seconds:.0f} s")
    print("mutation score: " + score(sum(r[0] for r in results.values()), sum(r[1] for r in results.values())))


def main():
    parser = argparse.ArgumentParser(prog="tools/mutants", description=__doc__.split("\n\n", 1)[1],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seed", type=int, default=1, help="seed of the shuffle (default 1)")
    parser.add_argument("--count", type=int, default=20, help="viable mutants a class (default 20)")
    parser.add_argument("--class", dest="klass", choices=("portable", "window", "all"), default="all")
    parser.add_argument("--list", action="store_true", help="print the sample (no builds)")
    parser.add_argument("--files", nargs="+", metavar="FILE", help="only these product files (say, a change's)")
    parser.add_argument("--folder", type=Path, help=argparse.SUPPRESS)  # given by tools/mutants
    args = parser.parse_args()
    top = Path(__file__).resolve().parent.parent
    if args.list:
        groups = sample(top, repository_files(top), args.seed, args.klass, args.files)
        for klass, mutants in groups.items():
            files = len({m.path for m in mutants})
            print(f"{klass}: {len(mutants)} sites in {files} files; the first {args.count}"
                  " (later ones stand in for any that are not viable):")
            for mutant in mutants[:args.count]:
                print(f"  {mutant.label()}")
        return
    signal.signal(signal.SIGTERM, signal.default_int_handler)  # restores as Ctrl-C does
    lab = Lab(top, args.folder or top / "build" / "mutants")
    try:
        groups = sample(lab.src, lab.sync(), args.seed, args.klass, args.files)  # the copy's code, as it is built
        run(lab, groups, args.count)
    except KeyboardInterrupt:
        sys.exit("mutants: interrupted")


if __name__ == "__main__":
    main()
