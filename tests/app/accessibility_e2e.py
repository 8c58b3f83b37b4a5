#!/usr/bin/python3
"""End to end on the accessibility bus (AT-SPI), as a screen reader meets the program, and with
real key presses: every symbol button has a spoken name that is a Unicode character name, the
links are links, the text box and check box are named, a message box is an alert that says 确定,
and Enter and Space click the focused button in all three windows.

Usage: under xvfb-run and dbus-run-session, accessibility_e2e.py <path to lumo>
Screenshots of the windows go to $LUMO_SCREENSHOT_DIR when it is set.
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import unicodedata

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "common"))
from xtest import fail, stop, xdotool  # noqa: E402

import gi  # noqa: E402

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

LUMO = sys.argv[1]
SHOTS = os.environ.get("LUMO_SCREENSHOT_DIR")
MAIN_TITLE = "QQ个性繁体签名制作工具"
FORM2_TITLE = "特殊符号表"
FORM3_TITLE = "表情选择"
COMMANDS = {"转为繁体F", "复制C", "清空X", "表情", "更多", "关闭"}


def wait_for(what, probe, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree changes under us while windows open and close
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def enable_accessibility():
    """What a screen reader does when it starts: tell toolkits that someone listens."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 10000, None)


def frames():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for frame in app:
            if frame is not None:
                yield frame


def find_frame(title, present=True):
    for frame in frames():
        if title in (frame.name or "") and frame.getState().contains(pyatspi.STATE_SHOWING):
            return frame
    return None


def descendants(node, role=None):
    found = []
    for child in node:
        if child is None:
            continue
        if role is None or child.getRole() == role:
            found.append(child)
        found.extend(descendants(child, role))
    return found


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    fail(f"{node.name!r} has no press action")


def button(frame, name):
    for b in descendants(frame, pyatspi.ROLE_PUSH_BUTTON):
        if b.name == name:
            return b
    fail(f"no button named {name!r} in {frame.name!r}")


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def check_spoken_names(frame, expected_count):
    """Every symbol button's name is a list of real Unicode character names."""
    names = [b.name for b in descendants(frame, pyatspi.ROLE_PUSH_BUTTON)]
    symbols = [n for n in names if n not in COMMANDS]
    if len(symbols) != expected_count:
        fail(f"{frame.name!r}: {len(symbols)} symbol buttons, expected {expected_count}: {symbols}")
    for name in symbols:
        if not re.fullmatch(r"[A-Z0-9 -]+(, [A-Z0-9 -]+)*", name or ""):
            fail(f"{frame.name!r}: a symbol button is named {name!r}, not by character names")
        for part in name.split(", "):
            try:
                unicodedata.lookup(part)  # Python's own Unicode database agrees it is a name
            except KeyError:
                fail(f"{frame.name!r}: {part!r} is not a Unicode character name")
    return symbols


def window_id(title):
    out = xdotool("search", "--onlyvisible", "--name", title)
    return out.split()[-1] if out else None


def key_on(frame_title, node, key):
    """Gives `node` the focus in its window, then presses `key` on the X server."""
    xdotool("windowfocus", "--sync", window_id(frame_title), check=True)
    node.queryComponent().grabFocus()
    wait_for(f"focus on {node.name!r}", lambda: node.getState().contains(pyatspi.STATE_FOCUSED), 5)
    xdotool("key", "--clearmodifiers", key, check=True)


def screenshot(name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, name)], check=False)


def run():
    main = wait_for("the main window on the accessibility bus", lambda: find_frame(MAIN_TITLE), 30)

    symbols = check_spoken_names(main, 35)
    for expected in ("BLACK STAR", "NOT EQUAL TO", "CJK RADICAL SMALL ONE", "CJK RADICAL HEART TWO",
                     "IDEOGRAPHIC DESCRIPTION CHARACTER SURROUND FROM LOWER LEFT", "SHIFT OUT",
                     "BOPOMOFO LETTER Z, LATIN SMALL LETTER S"):
        if expected not in symbols:
            fail(f"no main-window button is named {expected!r}")
    links = descendants(main, pyatspi.ROLE_LINK)
    if sorted(link.name for link in links) != ["访问Lumo官方主页", "访问Lumo官方论坛"]:
        fail(f"links: {[link.name for link in links]}")
    text1 = [t for t in descendants(main, pyatspi.ROLE_TEXT) if t.name == "转换内容"]
    if len(text1) != 1:
        fail(f"no text box named 转换内容: {[t.name for t in descendants(main, pyatspi.ROLE_TEXT)]}")
    text1 = text1[0]
    if not any(c.name == "禁用个性字转换" for c in descendants(main, pyatspi.ROLE_CHECK_BOX)):
        fail("the check box is not named by its caption")

    # An empty text to convert: the warning is an alert whose message is readable and whose
    # one button says 确定.
    press(button(main, "清空X"))
    wait_for("Text1 emptied", lambda: text_of(text1) == "", 5)
    press(button(main, "转为繁体F"))
    alert = wait_for("the message box", lambda: next(
        (f for f in frames() if f.getRole() == pyatspi.ROLE_ALERT and f.getState().contains(pyatspi.STATE_SHOWING)),
        None))
    if alert.name != "温馨提示：" or alert.description != "内容为空,请输入要转换的内容.":
        fail(f"alert reads {alert.name!r} / {alert.description!r}")
    if [b.name for b in descendants(alert, pyatspi.ROLE_PUSH_BUTTON)] != ["确定"]:
        fail(f"alert buttons: {[b.name for b in descendants(alert, pyatspi.ROLE_PUSH_BUTTON)]}")
    screenshot("a11y-message-box.png")
    press(button(alert, "确定"))
    wait_for("the message box to close", lambda: not any(
        f.getRole() == pyatspi.ROLE_ALERT and f.getState().contains(pyatspi.STATE_SHOWING) for f in frames()), 5)

    # Real keys in the main window: Enter on ★, Space on ≠, each clicks the focused button once.
    key_on(MAIN_TITLE, button(main, "BLACK STAR"), "Return")
    wait_for("★ from Enter", lambda: text_of(text1) == "\u2605", 5)
    key_on(MAIN_TITLE, button(main, "NOT EQUAL TO"), "space")
    wait_for("≠ from Space", lambda: text_of(text1) == "\u2605\u2260", 5)
    key_on(MAIN_TITLE, text1, "Return")
    wait_for("a new line from Enter in Text1", lambda: text_of(text1).count("\n") == 1, 5)
    time.sleep(0.3)
    if text_of(text1) != "\u2605\u2260\n":
        fail(f"Enter in Text1 did more than start a line: {text_of(text1)!r}")

    # The symbol palette, opened by Enter on 更多.
    key_on(MAIN_TITLE, button(main, "更多"), "Return")
    form2 = wait_for("the symbol palette", lambda: find_frame(FORM2_TITLE))
    palette_symbols = check_spoken_names(form2, 60)
    for expected in ("DATA LINK ESCAPE", "CJK RADICAL RAM", "CIRCLED IDEOGRAPH CORRECT"):
        if expected not in palette_symbols:
            fail(f"no symbol palette button is named {expected!r}")
    key_on(FORM2_TITLE, button(form2, "CARE OF"), "Return")
    wait_for("℅ from Enter in the palette", lambda: text_of(text1) == "\u2605\u2260\n\u2105", 5)

    # The emoticon palette: names are the emoticons, tool tips their descriptions; Enter on
    # another button clicks that one, Enter on 关闭 closes.
    key_on(MAIN_TITLE, button(main, "表情"), "space")
    form3 = wait_for("the emoticon palette", lambda: find_frame(FORM3_TITLE))
    happy = button(form3, "^_^")
    if happy.description != "快乐":
        fail(f"^_^ is described as {happy.description!r}")
    screenshot("a11y-three-windows.png")
    key_on(FORM3_TITLE, button(form3, "e_e"), "Return")
    wait_for("e_e from Enter", lambda: text_of(text1) == "\u2605\u2260\n\u2105e_e", 5)
    key_on(FORM3_TITLE, button(form3, "关闭"), "Return")
    wait_for("the emoticon palette to close", lambda: find_frame(FORM3_TITLE) is None, 5)
    time.sleep(0.3)
    if "~@^_^@~" in text_of(text1):
        fail("Enter on 关闭 inserted the default button's emoticon")


def main():
    enable_accessibility()
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="lumo-a11y-")  # a guard of its own
    lumo = subprocess.Popen([LUMO], env=env)
    try:
        run()
    finally:
        stop(lumo)
    print("PASS: accessibility end to end")


if __name__ == "__main__":
    main()
