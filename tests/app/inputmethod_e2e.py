#!/usr/bin/python3
"""Typing Chinese as a person does, through a real input method: fcitx5 with its pinyin engine,
or ibus with libpinyin. Real key presses (XTEST) go to the program, Qt hands them to the input
method over D-Bus, and the committed characters must land in Text1 at the caret, once, with
nothing of the pre-edit left; a symbol button then inserts after them, and the conversion
converts what was typed.

Usage: under xvfb-run and dbus-run-session,
  inputmethod_e2e.py fcitx5|ibus <path to lumo> <path to lumo-convert>
Screenshots (the candidate window beside the caret) go to $LUMO_SCREENSHOT_DIR when it is set.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "common"))
from xtest import fail, stop, window_origin, xdotool  # noqa: E402

import gi  # noqa: E402

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

IM, LUMO, LUMO_CONVERT = sys.argv[1:4]
SHOTS = os.environ.get("LUMO_SCREENSHOT_DIR")

# Client-area pixels of the main window at 96 dpi (its layout in twips / 15).
TEXT1_END = (160, 150)  # inside Text1, below its last line: a click puts the caret at the end
COMMAND4 = (244, 175)  # 复制
COMMAND12 = (344, 172)  # ¤


def wait_for(what, probe, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def check_text(got, expected, when):
    if got != expected:
        fail(f"Text1 holds {got!r} {when}, expected {expected!r}")


def has_bus_name(name):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                          GLib.Variant("(s)", (name,)), None, Gio.DBusCallFlags.NONE, 5000, None)
    return reply.unpack()[0]


def private_home():
    """A home of the test's own, so that no user's input method settings or history count."""
    home = tempfile.mkdtemp(prefix="lumo-im-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_CACHE_HOME=os.path.join(home, "cache"),
               XDG_RUNTIME_DIR=os.path.join(home, "runtime"), LANG="C.UTF-8")
    for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
        os.makedirs(env[key], mode=0o700)
    return home, env


# fcitx5's profile: US keyboard, then pinyin (shared with the Wayland test).
FCITX5_PROFILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "fcitx5-profile")


def start_fcitx5(env, log):
    os.makedirs(os.path.join(env["XDG_CONFIG_HOME"], "fcitx5"))
    shutil.copyfile(FCITX5_PROFILE, os.path.join(env["XDG_CONFIG_HOME"], "fcitx5", "profile"))
    # Nothing that needs a Wayland compositor or a tray.
    process = subprocess.Popen(["fcitx5", "--disable=wayland,waylandim,notificationitem,kimpanel"],
                               env=env, stdout=log, stderr=log)
    wait_for("fcitx5 on the session bus", lambda: process.poll() is not None or has_bus_name("org.fcitx.Fcitx5"))
    if process.poll() is not None:
        fail("fcitx5 ended at start")
    return process, "fcitx"


def start_ibus(env, log):
    # Settings in memory: no dconf of the user's, nothing written.
    env["GSETTINGS_BACKEND"] = "memory"
    process = subprocess.Popen(["ibus-daemon", "--xim", "--replace"], env=env, stdout=log, stderr=log)
    wait_for("ibus on its bus", lambda: process.poll() is not None or subprocess.run(
        ["ibus", "address"], env=env, capture_output=True, text=True).stdout.startswith("unix:"))
    if process.poll() is not None:
        fail("ibus-daemon ended at start")
    engines = subprocess.run(["ibus", "list-engine"], env=env, capture_output=True, text=True, timeout=20).stdout
    if "libpinyin" not in engines:
        fail("ibus lists no libpinyin engine")
    return process, "ibus"


def fcitx5_state(env):
    """What fcitx5-remote says of the input context that last had the focus: 0 none has had it,
    1 its input method is off, 2 on; nothing when fcitx5 did not answer within its second."""
    return subprocess.run(["fcitx5-remote"], env=env, capture_output=True, text=True, timeout=10).stdout.strip()


def switch_on(env):
    if IM == "fcitx5":
        # fcitx5-remote -o switches on the input context that last had the focus. The program asks
        # fcitx5 for its own over D-Bus without waiting, and tells it of the focus only once it has
        # one: when fcitx5 or the program is slow (a loaded machine), a switch made before that is
        # lost and what follows is typed in plain letters. fcitx5-remote also gives up after a
        # second, so its exit status is no guide; its state is.
        wait_for("the program's input context to have the focus in fcitx5", lambda: fcitx5_state(env) in ("1", "2"))

        def switched_on():
            state = fcitx5_state(env)
            if state == "1":
                subprocess.run(["fcitx5-remote", "-o"], env=env, capture_output=True, timeout=10)
            return state == "2"

        wait_for("fcitx5 to switch pinyin on", switched_on)
    else:
        # ibus sets the engine of the focused input context; its exit status is no guide.
        subprocess.run(["ibus", "engine", "libpinyin"], env=env, timeout=10)
        engine = wait_for("the libpinyin engine", lambda: subprocess.run(
            ["ibus", "engine"], env=env, capture_output=True, text=True, timeout=10).stdout.strip() == "libpinyin")
        if not engine:
            fail("ibus did not switch to libpinyin")


def main():
    if IM not in ("fcitx5", "ibus"):
        fail(f"unknown input method {IM}")
    for tool in ("fcitx5", "fcitx5-remote") if IM == "fcitx5" else ("ibus-daemon", "ibus"):
        if not shutil.which(tool):
            fail(f"{tool} is not installed (scripts/setup.sh installs it)")
    home, env = private_home()
    log = open(os.path.join(home, "im.log"), "w")
    processes = []
    try:
        im, module = start_fcitx5(env, log) if IM == "fcitx5" else start_ibus(env, log)
        processes.append(im)
        lumo_env = dict(env, QT_IM_MODULE=module, QT_QPA_PLATFORM="xcb")
        lumo = subprocess.Popen([LUMO], env=lumo_env, stdout=log, stderr=log)
        processes.append(lumo)
        window = wait_for("the main window",
                          lambda: xdotool("search", "--onlyvisible", "--pid", lumo.pid).split()[:1])[0]
        xdotool("windowactivate", "--sync", window)
        xdotool("windowfocus", "--sync", window)
        time.sleep(0.5)
        ox, oy = window_origin(window)

        def click(point):
            xdotool("mousemove", ox + point[0], oy + point[1], check=True)
            xdotool("click", "1", check=True)
            time.sleep(0.4)

        def text1():
            click(COMMAND4)
            result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True,
                                    env=env, timeout=10)
            click(TEXT1_END)
            return result.stdout

        def keys(*names):
            for name in names:
                xdotool("key", name, check=True)
                time.sleep(0.1)
            time.sleep(0.5)

        def shot(name):
            if SHOTS:
                os.makedirs(SHOTS, exist_ok=True)
                subprocess.run(["import", "-window", "root", os.path.join(SHOTS, f"{IM}-{name}.png")], check=False)

        keys("alt+x")
        click(TEXT1_END)
        switch_on(env)
        time.sleep(0.5)

        # One word: the pre-edit and its candidate window, then the commit, once, at the caret.
        keys(*"nihao")
        shot("preedit")
        keys("space")
        shot("committed")
        check_text(text1(), "你好", "after typing nihao and space")

        # A symbol button inserts right after what was committed.
        click(COMMAND12)
        check_text(text1(), "你好¤", "after the symbol button")

        # A click on a button while a pre-edit is open: the input method finishes the pre-edit as
        # the focus leaves Text1 (fcitx5 commits what it showed, ibus what it showed or nothing), and the symbol goes after it,
        # never into it; nothing of it is lost or doubled.
        keys(*"shijie")
        shot("preedit-open")
        click(COMMAND12)
        got = text1()
        if not (got.startswith("你好¤") and got.endswith("¤") and got.count("¤") == 2):
            fail(f"Text1 holds {got!r} after a button click during a pre-edit")
        middle = got[len("你好¤"):-1]
        if middle.replace(" ", "").replace("'", "") not in ("shijie", "世界", ""):
            fail(f"the open pre-edit became {middle!r}")

        # The conversion converts what was typed (the same as lumo-convert makes of it).
        keys("alt+x")
        click(TEXT1_END)
        keys(*"nihao")
        keys("space")
        check_text(text1(), "你好", "after typing into the cleared box")
        expected = subprocess.run([LUMO_CONVERT], input="你好", capture_output=True, text=True,
                                  timeout=10, check=True).stdout
        keys("alt+f")
        time.sleep(0.5)
        box = wait_for("the first-use tip", lambda: xdotool("search", "--onlyvisible", "--name", "温馨提示").split())
        xdotool("windowfocus", "--sync", box[0])
        xdotool("key", "Return")
        time.sleep(0.5)
        converted = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True,
                                   env=env, timeout=10).stdout
        if converted != expected.rstrip("\n") or converted == "你好":
            fail(f"the conversion put {converted!r} on the clipboard, lumo-convert says {expected!r}")
        if lumo.poll() is not None:
            fail("the program ended")
    except BaseException:
        # What the input method and the program said goes with the failure: the home is deleted.
        with open(os.path.join(home, "im.log"), errors="replace") as said:
            sys.stderr.write("".join(said.readlines()[-40:]))
        raise
    finally:
        stop(*reversed(processes))
        log.close()
        shutil.rmtree(home, ignore_errors=True)
    print("input method end-to-end: ok")


if __name__ == "__main__":
    main()
