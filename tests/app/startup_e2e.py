#!/usr/bin/env python3
"""Start-up end to end, with the real lumo binary under a real X server (run
inside xvfb-run): link clicks reach the desktop's URL handler, a second copy
shows only its box and exits 0, a copy killed with SIGKILL does not block the
next start, two copies started together make one main window, and closing the
main window ends the program with status 0.

Usage: startup_e2e.py LUMO_BINARY PRODUCT_HEADER
"""

import glob
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "common"))
from xtest import close_window, fail, stop, window_origin, xdotool  # noqa: E402

BOX_TITLE = "温馨提示："
# Label1 ("访问Lumo官方主页") at 2880 x 3840 twips: a point inside it, in pixels.
LABEL1_POINT = (2880 // 15 + 20, 3840 // 15 + 6)
TIMEOUT = 20.0

started = []


def check(condition, message):
    if not condition:
        fail(message)
    print("ok:", message)


def wait_for(predicate, what, timeout=TIMEOUT, fail_on_timeout=True):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.1)
    if fail_on_timeout:
        fail("timed out waiting for %s; %s" % (what, describe_started()))
    return None


def describe_started():
    """What each copy started so far shows, for a failure message."""
    def said(process):
        process.log.seek(0)
        return process.log.read().decode(errors="replace").strip()[-400:]

    return "; ".join("pid %d: status %s, windows %s, said %r"
                     % (p.pid, p.poll(), windows_of(p) if p.poll() is None else {}, said(p)) for p in started)


def windows_of(process):
    """Visible top-level windows of a process, as {window id: title}."""
    ids = xdotool("search", "--onlyvisible", "--pid", process.pid).split()
    return {wid: xdotool("getwindowname", wid) for wid in ids}


def main_windows(process):
    return [wid for wid, title in windows_of(process).items() if title != BOX_TITLE]


def box_windows(process):
    return [wid for wid, title in windows_of(process).items() if title == BOX_TITLE]


def start(lumo, env):
    log = tempfile.TemporaryFile()
    process = subprocess.Popen([lumo], env=env, stdout=subprocess.DEVNULL, stderr=log)
    process.log = log
    started.append(process)
    return process


def press_ok(process):
    """Dismisses the box with Return, as a user would."""
    box = wait_for(lambda: box_windows(process), "the box of pid %d" % process.pid)[0]
    # Let the box settle before it gets the keyboard.
    time.sleep(0.3)
    xdotool("windowfocus", "--sync", box)
    xdotool("key", "Return")


def exit_status(process):
    try:
        return process.wait(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        fail("pid %d did not end" % process.pid)


def product_address(header, name):
    match = re.search(r'%s\[\]\s*=\s*"([^"]+)"' % name, open(header, encoding="utf-8").read())
    if not match:
        fail("no %s in %s" % (name, header))
    return match.group(1)


def run(lumo, header):
    home_page = product_address(header, "kHomePageUrl")
    work = tempfile.mkdtemp(prefix="lumo-e2e-")
    runtime = os.path.join(work, "runtime")
    fakebin = os.path.join(work, "bin")
    os.mkdir(runtime, 0o700)
    os.mkdir(fakebin)
    launches = os.path.join(work, "launches.log")
    fake = os.path.join(fakebin, "xdg-open")
    with open(fake, "w") as script:
        script.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % launches)
    os.chmod(fake, 0o755)
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, PATH=fakebin + os.pathsep + os.environ["PATH"],
               QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("BROWSER", None)
    env.pop("DEFAULT_BROWSER", None)

    def launch_lines():
        return open(launches).read().splitlines() if os.path.exists(launches) else []

    # First copy: its main window, and three clicks on Label1.
    first = start(lumo, env)
    main = wait_for(lambda: main_windows(first), "the first main window")[0]
    check(len(windows_of(first)) == 1, "the first copy shows one window, its main window")
    left, top = window_origin(main)
    x, y = left + LABEL1_POINT[0], top + LABEL1_POINT[1]
    xdotool("mousemove", "--sync", x, y)
    for _ in range(3):
        xdotool("click", "1")
        time.sleep(0.7)  # apart, so no two clicks make a double click
    wait_for(lambda: len(launch_lines()) >= 3, "three launches")
    time.sleep(0.5)
    check(launch_lines() == [home_page] * 3, "three clicks on Label1, three launches of " + home_page)

    # Second copy while the first runs: only the box, then status 0.
    second = start(lumo, env)
    wait_for(lambda: box_windows(second), "the second copy's box")
    time.sleep(0.5)
    check(main_windows(second) == [], "the second copy shows no main window")
    press_ok(second)
    check(exit_status(second) == 0, "the second copy exits 0 after OK")
    check(first.poll() is None and main_windows(first) == [main], "the first copy runs on with its window")

    # SIGKILL leaves the lock file behind; the next start is not blocked by it.
    locks = glob.glob(os.path.join(runtime, "lumo-*.lock"))
    check(len(locks) == 1, "the running copy holds one lock in the runtime directory")
    first.send_signal(signal.SIGKILL)
    first.wait(timeout=TIMEOUT)
    check(os.path.exists(locks[0]), "the killed copy left its lock file")
    third = start(lumo, env)
    third_main = wait_for(lambda: main_windows(third), "the main window after the killed copy")[0]
    check(box_windows(third) == [], "the next start is not turned away")
    close_window(third_main)
    check(exit_status(third) == 0, "closing the main window ends the program with status 0")
    check(not os.path.exists(locks[0]), "a normal end releases the lock")

    # Two copies at the same instant: one main window, one box.
    for round_number in range(2):
        pair = [start(lumo, env), start(lumo, env)]
        def settled():
            return any(main_windows(p) for p in pair) and any(box_windows(p) for p in pair)

        if not wait_for(settled, "one main window and one box", fail_on_timeout=False):
            fail("round %d: no main window and box pair; %s" % (round_number, describe_started()))
        time.sleep(0.5)
        mains = [wid for p in pair for wid in main_windows(p)]
        check(len(mains) == 1, "round %d: two copies started together make one main window" % round_number)
        winner = next(p for p in pair if main_windows(p))
        loser = next(p for p in pair if p is not winner)
        press_ok(loser)
        check(exit_status(loser) == 0, "round %d: the other copy exits 0 after OK" % round_number)
        close_window(mains[0])
        check(exit_status(winner) == 0, "round %d: the winner closes with status 0" % round_number)


def main():
    if len(sys.argv) != 3:
        fail(__doc__)
    try:
        run(sys.argv[1], sys.argv[2])
    finally:
        stop(*started)
    print("all passed")


if __name__ == "__main__":
    main()
