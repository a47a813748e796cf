#!/usr/bin/env python3
"""Fails when a file includes a header of a layer above its own, or when the
thread's session (Session()) is reached outside the component's entry points.

The layers, lowest first, and what each may include:
  common <- eventlogger, db <- core <- session <- forms <- component <- gui <- cli
Tests (and gui/gui_test_support, their shared part) may also include
testing/; testing/, bench/ and examples/ are tools
and may include any layer.

The thread's SessionState is fetched only where a host's call enters the
component (Manager's methods); everything below is handed the state it works
on. Besides those files, only the session's own definition and the
component's tests (which prove that a thread's Managers share it) name it.

    scripts/check-layers.py [ROOT]
"""
import pathlib
import re
import sys

ALLOWED = {
    "common": {"common"},
    "eventlogger": {"common", "eventlogger"},
    "db": {"common", "db"},
    "core": {"common", "db", "core"},
    "session": {"common", "eventlogger", "db", "core", "session"},
    "forms": {"common", "eventlogger", "db", "session", "core", "forms"},
    "component": {"common", "eventlogger", "db", "session", "core", "forms", "component"},
}
# pelmar loads the windows' module for `pelmar gui` only, through the module's
# interface header.
ALLOWED["cli"] = ALLOWED["component"] | {"cli", "gui"}
ALLOWED["gui"] = ALLOWED["component"] | {"gui"}
# The core works on explicit jobs: nothing of the session, whatever the table
# above comes to say.
assert "session" not in ALLOWED["core"]
# The files where the thread's SessionState may be reached.
SESSION_ENTRY_POINTS = {
    "session/session_state.h",
    "session/session_state.cpp",
    "component/manager.cpp",
    "component/entry_points.cpp",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)
SESSION_CALL = re.compile(r"\bSession\(\)")


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".c", ".cpp"} or not path.is_file():
            continue
        relative = path.relative_to(root)
        layer = relative.parts[0]
        if layer not in ALLOWED and layer != "testing":
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        # gui_test_support holds what the window tests share.
        is_test = path.stem.endswith("_test") or path.stem == "gui_test_support"
        # The test helpers may include any layer; they only check Session().
        testing = is_test or layer == "testing"
        allowed = ALLOWED.get(layer, set(ALLOWED)) | ({"testing"} if testing else set())
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if target in ALLOWED and target not in allowed or target == "testing" and not testing:
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"{relative}:{line}: {layer} must not include {target}/")
        if relative.as_posix() not in SESSION_ENTRY_POINTS and not (is_test and layer == "component"):
            for match in SESSION_CALL.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"{relative}:{line}: Session() is used outside the component's entry points")
    for problem in problems:
        print(problem)
    if problems:
        print(f"check-layers: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print("check-layers: every include points down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
