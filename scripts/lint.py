#!/usr/bin/env python3
"""Runs clang -fsyntax-only over the project's C++ sources listed in compile_commands.json."""
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

CROSS_GXX = "x86_64-w64-mingw32-g++-posix"
SOURCE_DIRS = ("app", "ui", "views", "model", "i18n", "aisync", "vscode", "bench", "tests")
WARNING_FLAGS = ["-Wall", "-Wextra"]


def cross_include_dirs():
    """libstdc++ and MinGW header folders of the cross compiler, in its own order."""
    out = subprocess.run([CROSS_GXX, "-E", "-x", "c++", "-", "-v"], input="", capture_output=True,
                         text=True, check=True).stderr
    block = out.split("#include <...> search starts here:")[1].split("End of search list.")[0]
    dirs = [os.path.normpath(line.strip()) for line in block.splitlines() if line.strip()]
    # GCC's own intrinsics headers are not for clang; clang brings its own.
    return [d for d in dirs if "/include/c++" in d or d.endswith("x86_64-w64-mingw32/include")]


def build_flags(entry):
    """Defines and include paths of one compile command, response files expanded."""
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    directory = entry["directory"]
    expanded = []
    for arg in args:
        if arg.startswith("@"):
            with open(os.path.join(directory, arg[1:]), encoding="utf-8") as rsp:
                expanded += shlex.split(rsp.read())
        else:
            expanded.append(arg)
    flags = []
    it = iter(expanded)
    for arg in it:
        if arg.startswith(("-D", "-I")) and len(arg) > 2:
            flags.append(arg)
        elif arg in ("-D", "-I", "-isystem"):
            flags += [arg, next(it)]
        elif arg.startswith("-isystem"):
            flags.append(arg)
    return [f if not f.startswith("-I") or os.path.isabs(f[2:]) else "-I" + os.path.join(directory, f[2:])
            for f in flags]


def main():
    root, database = sys.argv[1], sys.argv[2]
    # An optional pattern limits the run to the sources whose path matches it.
    only = re.compile(sys.argv[3]) if len(sys.argv) > 3 else None
    with open(database, encoding="utf-8") as f:
        entries = json.load(f)
    system = []
    for d in cross_include_dirs():
        system += ["-isystem", d]
    jobs = []
    seen = set()
    for entry in entries:
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        relative = os.path.relpath(path, root)
        if not relative.endswith(".cpp") or relative.split(os.sep)[0] not in SOURCE_DIRS or path in seen:
            continue
        seen.add(path)
        if only and not only.search(relative):
            continue
        command = ["clang++", "--target=x86_64-w64-mingw32", "-fsyntax-only", "-std=c++20", "-nostdinc++",
                   "-fno-color-diagnostics"] + WARNING_FLAGS + system + build_flags(entry) + [path]
        jobs.append((relative, command))

    def run(job):
        relative, command = job
        result = subprocess.run(command, capture_output=True, text=True, cwd=root)
        return relative, result.returncode, result.stderr

    problems = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for relative, code, stderr in pool.map(run, sorted(jobs)):
            count = len(re.findall(r": (?:warning|error): ", stderr))
            if code != 0 or count:
                problems += max(count, 1)
                sys.stdout.write(stderr)
    print(f"lint: {len(jobs)} sources, {problems} finding(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
