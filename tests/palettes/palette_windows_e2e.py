#!/usr/bin/env python3
"""End to end under a real X server: the main window opens both palettes, symbols
and emoticons from all three windows go into the main text, Alt+C copies it to the
X clipboard, and closing the main window ends the program with every window gone.

Usage (under xvfb-run): palette_windows_e2e.py <path to lumo>
Screenshots of the windows go to $LUMO_SCREENSHOT_DIR when it is set.
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "common"))
from xtest import close_window, fail, stop, window_origin, xdotool  # noqa: E402

LUMO = sys.argv[1]
SHOTS = os.environ.get("LUMO_SCREENSHOT_DIR")

MAIN_TITLE = "QQ个性繁体签名制作工具"
FORM2_TITLE = "特殊符号表"
FORM3_TITLE = "表情选择"


def find_window(title, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = xdotool("search", "--onlyvisible", "--name", title)
        if out:
            return int(out.split()[-1])
        time.sleep(0.1)
    return None


def visible_windows(title):
    out = xdotool("search", "--onlyvisible", "--name", title)
    return out.split() if out else []


def click(window, x, y):
    """Clicks at client position x, y (pixels) of `window`."""
    left, top = window_origin(window)
    xdotool("mousemove", "--sync", str(left + x), str(top + y), check=True)
    xdotool("click", "1", check=True)
    time.sleep(0.15)


def twips_centre(frame, control):
    """Centre of a control inside a frame, both (left, top, width, height) in twips."""
    return ((frame[0] + control[0] + control[2] // 2) // 15, (frame[1] + control[1] + control[3] // 2) // 15)


def clipboard(expected_start, timeout=5.0):
    deadline = time.monotonic() + timeout
    text = ""
    while time.monotonic() < deadline:
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
        text = result.stdout.decode("utf-8", "replace")
        if text.startswith(expected_start):
            break
        time.sleep(0.1)
    return text


def screenshot(name, window="root"):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        subprocess.run(["import", "-window", str(window), os.path.join(SHOTS, name)], check=False)


def main():
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="lumo-e2e-")  # a guard of its own
    lumo = subprocess.Popen([LUMO], env=env)
    try:
        run(lumo)
    finally:
        stop(lumo)


def run(lumo):
    main_window = find_window(MAIN_TITLE)
    if not main_window:
        fail("the main window did not appear")
    time.sleep(0.3)

    # Main window, Frame3 at 4920, 60: "更多" (Command22) and "表情" (Command16).
    frame3 = (4920, 60)
    click(main_window, *twips_centre(frame3, (1080, 3440, 735, 375)))
    form2 = find_window(FORM2_TITLE, 5)
    click(main_window, *twips_centre(frame3, (120, 3440, 735, 375)))
    form3 = find_window(FORM3_TITLE, 5)
    if not form2 or not form3:
        fail(f"palettes did not open: Form2 {form2}, Form3 {form3}")
    # A second "更多" shows the same window.
    click(main_window, *twips_centre(frame3, (1080, 3440, 735, 375)))
    if len(visible_windows(FORM2_TITLE)) != 1:
        fail("a second 更多 opened a second symbol palette")
    if window_origin(form2) != (852, 285) or window_origin(form3) != (64, 285):
        fail(f"palettes misplaced: Form2 at {window_origin(form2)}, Form3 at {window_origin(form3)}")

    # The load event selected the whole text: the caret is at 0, so the symbols
    # go to the front, one after another.
    frame1 = (60, 60)
    click(form2, *twips_centre(frame1, (240, 360, 255, 255)))     # Form2 Command2  U+3023
    click(form3, *twips_centre(frame1, (240, 360, 855, 255)))     # Form3 Command13 $_$
    click(form2, *twips_centre(frame1, (2640, 3240, 255, 255)))   # Form2 Command61 U+2468
    click(form3, *twips_centre(frame1, (2400, 2880, 1215, 255)))  # Form3 Command26, nine characters
    click(main_window, *twips_centre(frame3, (120, 2400, 255, 255)))  # Form1 Command12 U+00A4
    expected = "\u3023$_$\u2468`(*^\ufe4f^*)\u2032\u00a4"
    screenshot("e2e-three-windows.png")
    for name, window in (("e2e-form1.png", main_window), ("e2e-form2.png", form2), ("e2e-form3.png", form3)):
        screenshot(name, window)

    xdotool("windowfocus", "--sync", str(main_window), check=True)
    time.sleep(0.2)
    xdotool("key", "--clearmodifiers", "alt+c", check=True)
    text = clipboard(expected)
    if not text.startswith(expected):
        fail(f"clipboard holds {text[:40]!r}, expected it to start with {expected!r}")
    if "Lumo" not in text:
        fail("the clipboard lacks the rest of the main text")

    close_window(main_window)
    try:
        code = lumo.wait(timeout=10)
    except subprocess.TimeoutExpired:
        fail(f"the program still runs after its main window closed; visible: "
             f"{visible_windows(MAIN_TITLE)} {visible_windows(FORM2_TITLE)} {visible_windows(FORM3_TITLE)}")
    if code != 0:
        fail(f"the program ended with exit code {code}")
    for title in (MAIN_TITLE, FORM2_TITLE, FORM3_TITLE):
        if visible_windows(title):
            fail(f"a window {title!r} is still visible")
    print("PASS: palettes end to end")


if __name__ == "__main__":
    main()
