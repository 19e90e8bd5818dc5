"""End-to-end tests of Pellarin.exe under Wine and Xvfb.

Each scenario lays out a scratch installation (program, skin, "updatelist.ini", the stand-in
platform), serves an update from a loopback HTTP server, starts the program as the platform
would, drives it with xdotool where a user would, and judges by the installation's contents,
the server's request log, the platform's record and screenshots checked by pixel.

Run inside scripts/wine-run --host:  e2e.py --build BUILD_DIR GROUP   (GROUP: update, dialog)"""

import argparse
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (Installation, Screenshot, UpdateServer, Wine, crc, filelist, find_window, geometry, near,
                     wait_for, window_gone, xdotool)

PLAT_TITLE = "自动更新程序 大厅plat"
SCREEN_W, SCREEN_H = 1024, 768
DLG_W, DLG_H = 406, 302
DLG_X, DLG_Y = (SCREEN_W - DLG_W) // 2, (SCREEN_H - DLG_H) // 2
BUTTON_X, BUTTON_Y = 370, 8  # client position of the close button
BAR_LEFT, FILE_BAR_TOP, TOTAL_BAR_TOP = 18, 226, 245

# Colours of the default skin where the tests sample it (see scripts/make-skin).
FACE_NORMAL, FACE_HOVER, FACE_DOWN = (0x4a, 0x64, 0x78), (0xc0, 0x39, 0x2b), (0x6e, 0x1a, 0x12)
BAR_FILL_TOP_ROW = (0xb6, 0xff, 0xc0)
# Colours the program uses without pictures (src/ui).
PLAIN_BACKGROUND, PLAIN_FILL = (24, 32, 40), (75, 133, 170)


class Context:
    def __init__(self, build, shots):
        self.build = build
        self.tarsuvio = os.path.join(build, "tests", "support", "Tarsuvio.exe")
        self.shots = shots
        self.wine = Wine()

    def install(self, server, skin=True):
        return Installation(self.build, self.tarsuvio, None if server is None else server.port, skin=skin)

    def shot(self, name):
        return Screenshot(os.path.join(self.shots, name + ".png"))


def bmp_pixel(path, x, y):
    """A pixel of a 24-bit bottom-up Windows bitmap."""
    with open(path, "rb") as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little")
    height = int.from_bytes(data[22:26], "little")
    stride = (width * 3 + 3) // 4 * 4
    i = offset + (height - 1 - y) * stride + x * 3
    return data[i + 2], data[i + 1], data[i]


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def client(x, y, origin=(DLG_X, DLG_Y)):
    return origin[0] + x, origin[1] + y


def fill_width(shot, top, colour, origin=(DLG_X, DLG_Y)):
    """Width of the run of fill pixels on the top row of a bar (the texts start a row lower)."""
    w = 0
    while w < 400 and near(shot.at(*client(BAR_LEFT + w, top, origin)), colour, 8):
        w += 1
    return w


def face_is(ctx, shot_name, colour):
    return near(ctx.shot(shot_name).at(*client(BUTTON_X + 3, BUTTON_Y + 3)), colour, 4)


def start_and_wait_exit(ctx, inst, *args, timeout=20):
    proc = ctx.wine.start(inst.path("Pellarin.exe"), *args)
    proc.wait(timeout)
    return proc


def platform_starts(inst):
    return [l for l in inst.record() if l.startswith("start ")]


def close_dialog(title):
    """Ends a dialog still open at the end of a scenario with Escape."""
    win = find_window(title, timeout=0.5)
    if win:
        xdotool("windowfocus", "--sync", win)
        xdotool("key", "Escape")
        window_gone(title, 5)


# ----------------------------------------------------------------------------------------------
# Group "update": real updates and the hand-off.


def scenario_platform_update(ctx):
    """No argument: the launcher starts the shadow, the dialog shows the skin centred at the
    picture's size, a second start with the same argument changes nothing, the missing and the
    out-of-date files are installed, and the platform is started with "run"."""
    a_dat, new_dat, same = b"alpha " * 50, b"new contents " * 40, b"unchanged\r\n"
    big = bytes(range(256)) * 1000  # 256 kB at 128 kB/s keeps the dialog up for two seconds
    server = UpdateServer({
        "/kv9update/plat/filelist.list": filelist([("data", "maps", None), ("\\", "a.dat", a_dat),
                                                   ("data", "old.dat", new_dat), ("\\", "same.txt", same),
                                                   ("data", "big.dat", big)]),
        "/kv9update/plat/release/a.dat": a_dat,
        "/kv9update/plat/release/data/old.dat": new_dat,
        "/kv9update/plat/release/data/big.dat": big,
    }, rate=128000)
    inst = ctx.install(server)
    try:
        inst.write("same.txt", same)
        inst.write("data/old.dat", b"old contents")
        launcher = ctx.wine.start(inst.path("Pellarin.exe"))
        win = find_window(PLAT_TITLE)
        check(win, "no window titled %s" % PLAT_TITLE)
        check(geometry(win) == (DLG_X, DLG_Y, DLG_W, DLG_H), "window at %s, not centred at 406 x 302" % (geometry(win),))
        check(launcher.wait(10) == 0, "the launcher did not end")
        check(os.path.exists(inst.path("Pellarin.san")), "no shadow file")
        shadow_mtime = os.path.getmtime(inst.path("Pellarin.san"))

        # Away from the button, then onto it and off again: normal, hover, normal faces.
        xdotool("mousemove", *client(200, 100))
        time.sleep(0.3)
        shot = ctx.shot("update-normal")
        bg = os.path.join(inst.dir, "Patch", "bg.bmp")
        for x, y in [(200, 100), (5, 5), (400, 150)]:
            check(near(shot.at(*client(x, y)), bmp_pixel(bg, x, y), 4), "background at %d,%d is not bg.bmp" % (x, y))
        check(near(shot.at(*client(BUTTON_X + 3, BUTTON_Y + 3)), FACE_NORMAL, 4), "no normal face at 370,8")
        check(not near(shot.at(*client(BUTTON_X - 2, BUTTON_Y + 3)), FACE_NORMAL, 20), "button starts left of 370")
        check(not near(shot.at(*client(BUTTON_X + 3, BUTTON_Y - 2)), FACE_NORMAL, 20), "button starts above 8")
        check(near(shot.at(*client(BUTTON_X + 20, BUTTON_Y + 20)), FACE_NORMAL, 4), "face not 22 x 22")
        check(not near(shot.at(*client(BUTTON_X + 23, BUTTON_Y + 11)), FACE_NORMAL, 20), "face wider than 22")
        xdotool("mousemove", *client(BUTTON_X + 11, BUTTON_Y + 11))
        check(wait_for(lambda: face_is(ctx, "update-hover", FACE_HOVER), 3), "no hover face")
        # The leave notification comes from Wine's tracking timer, a few tenths of a second late.
        xdotool("mousemove", *client(200, 100))
        check(wait_for(lambda: face_is(ctx, "update-left", FACE_NORMAL), 3), "normal face not back after leaving")

        # A second updater for the platform finds the window and ends without touching anything.
        second = start_and_wait_exit(ctx, inst, "plat", timeout=15)
        check(second.returncode == 0, "second start failed")
        check(os.path.getmtime(inst.path("Pellarin.san")) == shadow_mtime, "second start copied the shadow")
        check(find_window(PLAT_TITLE, 1) == win, "the first dialog is gone")

        check(window_gone(PLAT_TITLE, 30), "dialog did not close at the end of the update")
        check(wait_for(lambda: platform_starts(inst), 10), "platform not started")
        time.sleep(2.5)  # the hand-off's own wait: a started platform is not started again
        starts = platform_starts(inst)
        check(len(starts) == 1, "platform started %d times" % len(starts))
        check(starts[0].endswith(" run"), "platform not started with run: %s" % starts[0])
        check(("cwd=" + "Z:" + inst.dir.replace("/", "\\")).lower() in starts[0].lower(), "platform cwd: %s" % starts[0])

        check(inst.read("a.dat") == a_dat, "a.dat not installed")
        check(inst.read("data/old.dat") == new_dat, "data\\old.dat not updated")
        check(inst.read("data/big.dat") == big, "data\\big.dat not installed")
        check(inst.read("same.txt") == same, "same.txt changed")
        check(os.path.isdir(inst.path("data", "maps")), "data\\maps not created")
        check(inst.read("updatetmp/plat/filelist.list") is not None, "file list not kept")
        requests = server.requests()
        check(requests.count("/kv9update/plat/filelist.list") == 1, "file list requests: %s" % requests)
        check(sorted(requests[1:]) == ["/kv9update/plat/release/a.dat", "/kv9update/plat/release/data/big.dat",
                                       "/kv9update/plat/release/data/old.dat"], "requests: %s" % requests)
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        server.close()
        inst.remove()


def scenario_game_notification(ctx):
    """With the platform running: a successful game update posts message 2024 with wParam 20
    and both numbers' low 16 bits; a failed one posts nothing and starts no platform."""
    game = b"game data " * 20
    server = UpdateServer({
        "/kv9update/12/filelist.list": filelist([("\\", "game12.dat", game)]),
        "/kv9update/12/release/game12.dat": game,
        "/kv9update/70000/filelist.list": filelist([("\\", "game12.dat", game)]),
    })
    inst = ctx.install(server)
    try:
        platform = ctx.wine.start(inst.path("Tarsuvio.exe"), "run", env={"TARSUVIO_LIFETIME_MS": "60000"})
        check(find_window("Tarsuvio"), "stand-in platform has no window")

        start_and_wait_exit(ctx, inst, "12,3")
        check(window_gone("自动更新程序 游戏(12)", 20), "game dialog did not close")
        check(inst.read("game12.dat") == game, "game file not installed")
        check(wait_for(lambda: [l for l in inst.record() if l.startswith("message")], 10), "no message 2024")

        # Numbers beyond 16 bits; the file is already installed, so the update is empty.
        start_and_wait_exit(ctx, inst, "70000,-2")
        check(window_gone("自动更新程序 游戏(70000)", 20), "second game dialog did not close")
        # A failed update (no file list for abc): nothing is posted.
        start_and_wait_exit(ctx, inst, "abc,5")
        check(window_gone("自动更新程序 游戏(0)", 20), "abc dialog did not close")
        time.sleep(1.0)

        messages = [l for l in inst.record() if l.startswith("message")]
        check(messages == ["message 2024 wparam=20 lparam=0x0003000c low=12 high=3",
                           "message 2024 wparam=20 lparam=0xfffe1170 low=4464 high=65534"],
              "messages: %s" % messages)
        check(len(platform_starts(inst)) == 1, "a game update started the platform")
        requests = server.requests()
        check("/kv9update/abc/filelist.list" in requests, "abc's list not asked for: %s" % requests)
        check(requests.count("/kv9update/12/release/game12.dat") == 1, "requests: %s" % requests)
    finally:
        inst.quit_platform()
        platform.wait(15)
        server.close()
        inst.remove()


def after_launcher_ends(make_body):
    """Answers the first request a second late: a launcher still ending holds Pellarin.exe,
    which the shadow cannot replace until the launcher's process is gone."""
    state = {"first": True}

    def body():
        if state["first"]:
            state["first"] = False
            time.sleep(1.0)
        return make_body()

    return body


def scenario_self_update(ctx):
    """The update replaces the updater's own executable: only the shadow is relaunched, it
    runs the update again (now empty) and then starts the platform, once."""
    with open(os.path.join(ctx.build, "Pellarin.exe"), "rb") as f:
        new_exe = f.read() + b"\0" * 64  # a different file that is still a working program
    server = UpdateServer({
        "/kv9update/plat/filelist.list": after_launcher_ends(lambda: filelist([("\\", "Pellarin.exe", new_exe)])),
        "/kv9update/plat/release/Pellarin.exe": new_exe,
    })
    inst = ctx.install(server)
    try:
        start_and_wait_exit(ctx, inst)
        check(wait_for(lambda: platform_starts(inst), 30), "platform never started")
        time.sleep(2.5)
        requests = server.requests()
        check(requests == ["/kv9update/plat/filelist.list", "/kv9update/plat/release/Pellarin.exe",
                           "/kv9update/plat/filelist.list"], "requests: %s" % requests)
        check(inst.read("Pellarin.exe") == new_exe, "new Pellarin.exe not installed")
        check(len(platform_starts(inst)) == 1, "platform started %d times" % len(platform_starts(inst)))
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        server.close()
        inst.remove()


def scenario_self_update_bound(ctx):
    """A server whose updater never stays current: the shadow relaunches itself three times in
    a row, then the hand-off goes on and starts the platform."""
    state = {"n": 0}

    def listing():
        state["n"] += 1
        return filelist([("\\", "Pellarin.exe", b"updater build %d" % state["n"])])

    server = UpdateServer({
        "/kv9update/plat/filelist.list": after_launcher_ends(listing),
        "/kv9update/plat/release/Pellarin.exe": lambda: b"updater build %d" % state["n"],
    })
    inst = ctx.install(server)
    try:
        start_and_wait_exit(ctx, inst)
        check(wait_for(lambda: platform_starts(inst), 60), "platform never started")
        time.sleep(1.0)
        lists = server.requests().count("/kv9update/plat/filelist.list")
        check(lists == 4, "%d runs instead of 1 + 3 relaunches" % lists)
        check(len(platform_starts(inst)) == 1, "platform started %d times" % len(platform_starts(inst)))
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        server.close()
        inst.remove()


def scenario_platform_restart(ctx):
    """The platform's first start shows no window within 2000 ms: that process is ended and
    the platform started once more."""
    same = b"same"
    server = UpdateServer({"/kv9update/plat/filelist.list": filelist([("\\", "same.txt", same)])})
    inst = ctx.install(server)
    try:
        inst.write("same.txt", same)
        inst.write("tarsuvio-nowindow", b"")
        start_and_wait_exit(ctx, inst)
        check(wait_for(lambda: len(platform_starts(inst)) >= 2, 30), "platform not restarted: %s" % inst.record())
        time.sleep(1.0)
        starts = platform_starts(inst)
        check(len(starts) == 2, "starts: %s" % starts)
        check(starts[0].endswith("(no window)") and starts[1].endswith(" run"), "starts: %s" % starts)
        first_pid = starts[0].split()[1]
        check(not any(l == "exit " + first_pid for l in inst.record()), "the hung platform was not terminated")
    finally:
        inst.quit_platform(killed=1)
        server.close()
        inst.remove()


# ----------------------------------------------------------------------------------------------
# Group "dialog": input, the waiting dialog, missing skin, a second argument.


def scenario_waiting_dialog_input(ctx):
    """No server list: the dialog waits with both bars full. Dragging the background moves the
    window, the same gesture on the close button does not (and clicks nothing), Escape ends
    without hand-off; a second run ends with Enter and starts the platform."""
    inst = ctx.install(None)
    try:
        ctx.wine.start(inst.path("Pellarin.exe"))
        win = find_window(PLAT_TITLE)
        check(win, "no dialog")
        time.sleep(0.5)
        shot = ctx.shot("waiting")
        check(fill_width(shot, FILE_BAR_TOP, BAR_FILL_TOP_ROW) == 371, "file bar not full")
        check(fill_width(shot, TOTAL_BAR_TOP, BAR_FILL_TOP_ROW) == 371, "total bar not full")

        # Press on the button, move off and release outside: pressed face meanwhile, no click.
        xdotool("mousemove", *client(BUTTON_X + 11, BUTTON_Y + 11))
        time.sleep(0.3)
        xdotool("mousedown", 1)
        time.sleep(0.3)
        check(wait_for(lambda: face_is(ctx, "pressed", FACE_DOWN), 3), "no pressed face")
        xdotool("mousemove", *client(BUTTON_X - 60, BUTTON_Y + 60))
        time.sleep(0.3)
        xdotool("mouseup", 1)
        time.sleep(0.5)
        check(geometry(win)[:2] == (DLG_X, DLG_Y), "dragging on the button moved the window")
        check(find_window(PLAT_TITLE, 1), "releasing outside the button closed the dialog")

        # Drag from the background.
        xdotool("mousemove", *client(150, 120))
        xdotool("mousedown", 1)
        time.sleep(0.2)
        for step in range(1, 11):
            xdotool("mousemove", *client(150 + 5 * step, 120 + 4 * step))
            time.sleep(0.05)
        xdotool("mouseup", 1)
        # The move starts with the first motion after the press, so the window may lag one step.
        moved = wait_for(lambda: all(abs(a - b) <= 6 for a, b in zip(geometry(win)[:2], (DLG_X + 50, DLG_Y + 40))), 3)
        check(moved, "window at %s after dragging by 50,40" % (geometry(win),))

        xdotool("windowfocus", "--sync", win)
        xdotool("key", "Escape")
        check(window_gone(PLAT_TITLE, 10), "Escape did not end the dialog")
        time.sleep(3.0)  # longer than a hand-off would take to start the platform
        check(not platform_starts(inst), "Escape ran the hand-off")

        ctx.wine.start(inst.path("Pellarin.exe"))
        win = find_window(PLAT_TITLE)
        check(win, "no dialog on the second start")
        time.sleep(0.3)
        xdotool("windowfocus", "--sync", win)
        xdotool("key", "Return")
        check(window_gone(PLAT_TITLE, 10), "Enter did not end the dialog")
        check(wait_for(lambda: platform_starts(inst), 10), "Enter did not run the hand-off")
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        inst.remove()


def scenario_close_during_download(ctx):
    """The second of two files hangs: the total bar stands at W(5000) = 185 pixels. Clicking
    the close button then ends the dialog at once, and the platform is started although the
    update has not finished."""
    small = b"first file"
    server = UpdateServer({
        "/kv9update/plat/filelist.list": filelist([("\\", "first.dat", small), ("\\", "hung.dat", b"x" * 1000)]),
        "/kv9update/plat/release/first.dat": small,
        "/kv9update/plat/release/hung.dat": b"x" * 1000,
    }, holds={"/kv9update/plat/release/hung.dat": 15})
    inst = ctx.install(server)
    try:
        ctx.wine.start(inst.path("Pellarin.exe"))
        win = find_window(PLAT_TITLE)
        check(win, "no dialog")
        check(wait_for(lambda: "/kv9update/plat/release/hung.dat" in server.requests(), 10), "second file not asked for")
        time.sleep(0.5)
        shot = ctx.shot("half-done")
        check(fill_width(shot, TOTAL_BAR_TOP, BAR_FILL_TOP_ROW) == 185, "total bar %d pixels, not 185"
              % fill_width(shot, TOTAL_BAR_TOP, BAR_FILL_TOP_ROW))
        xdotool("mousemove", *client(BUTTON_X + 11, BUTTON_Y + 11))
        time.sleep(0.2)
        xdotool("click", 1)
        check(window_gone(PLAT_TITLE, 3), "the close button did not end the dialog at once")
        check(wait_for(lambda: platform_starts(inst), 10), "no hand-off after the close button")
        check(inst.read("first.dat") == small and inst.read("hung.dat") is None, "installation: %s" % os.listdir(inst.dir))
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        server.close()
        inst.remove()


def scenario_missing_skin(ctx):
    """Every skin file missing: the dialog still opens at 406 x 302 with a plain background,
    plain full bars and the classic face of the close button at 370, 8."""
    inst = ctx.install(None, skin=False)
    try:
        ctx.wine.start(inst.path("Pellarin.exe"))
        win = find_window(PLAT_TITLE)
        check(win, "no dialog without skin")
        check(geometry(win) == (DLG_X, DLG_Y, DLG_W, DLG_H), "window at %s" % (geometry(win),))
        time.sleep(0.5)
        shot = ctx.shot("no-skin")
        for x, y in [(200, 100), (5, 5), (400, 296)]:
            check(near(shot.at(*client(x, y)), PLAIN_BACKGROUND, 2), "background at %d,%d: %s" % (x, y, shot.at(*client(x, y))))
        check(fill_width(shot, FILE_BAR_TOP, PLAIN_FILL) == 371, "plain file bar not full")
        check(fill_width(shot, TOTAL_BAR_TOP, PLAIN_FILL) == 371, "plain total bar not full")
        # The classic face: a white outline and a nearly white gradient from 370, 8.
        inner = shot.at(*client(BUTTON_X + 6, BUTTON_Y + 4))
        check(all(c >= 230 for c in inner), "no classic face at 370,8: %s" % (inner,))
        check(near(shot.at(*client(BUTTON_X - 2, BUTTON_Y + 4)), PLAIN_BACKGROUND, 2), "button starts left of 370")
        xdotool("mousemove", *client(BUTTON_X + 6, BUTTON_Y + 6))
        time.sleep(0.4)
        hover = ctx.shot("no-skin-hover")
        cx = 2  # SM_CXEDGE: the left line of the orange frame lies on the inner face's edge
        check(near(hover.at(*client(BUTTON_X + cx, BUTTON_Y + 8)), (250, 196, 88), 6), "no orange hover frame")
        xdotool("windowfocus", "--sync", win)
        xdotool("key", "Escape")
        check(window_gone(PLAT_TITLE, 10), "Escape did not end the dialog")
    finally:
        close_dialog(PLAT_TITLE)
        inst.quit_platform()
        inst.remove()


def scenario_argument_switch(ctx):
    """A start with another argument while a shadow runs: the running shadow is stopped, the
    file is copied again in spite of it, and a new shadow runs with the new argument. Clicking
    the close button during a download ends the dialog at once and runs the hand-off."""
    big = bytes(range(256)) * 2000  # 512 kB at 64 kB/s: far from done when it is stopped
    game = b"twelve"
    server = UpdateServer({
        "/kv9update/plat/filelist.list": filelist([("\\", "big.dat", big)]),
        "/kv9update/plat/release/big.dat": big,
        "/kv9update/12/filelist.list": filelist([("\\", "big12.dat", big)]),
        "/kv9update/12/release/big12.dat": big,
    }, rate=64000)
    inst = ctx.install(server)
    game_title = "自动更新程序 游戏(12)"
    try:
        ctx.wine.start(inst.path("Pellarin.exe"))
        check(find_window(PLAT_TITLE), "no platform dialog")
        check(wait_for(lambda: "/kv9update/plat/release/big.dat" in server.requests(), 10), "no download began")
        ctx.wine.start(inst.path("Pellarin.exe"), "12,3")
        check(window_gone(PLAT_TITLE, 15), "the running shadow was not stopped")
        win = find_window(game_title)
        check(win, "no shadow for 12,3")
        check(wait_for(lambda: "/kv9update/12/release/big12.dat" in server.requests(), 10), "game download never began")

        x, y = geometry(win)[:2]
        xdotool("mousemove", x + BUTTON_X + 11, y + BUTTON_Y + 11)
        time.sleep(0.2)
        xdotool("click", 1)
        check(window_gone(game_title, 5), "the close button did not end the dialog")
        time.sleep(3.0)
        check(inst.read("big12.dat") is None, "the download finished although it was cut short")
        check(inst.read("big.dat") is None, "the stopped shadow's download finished")
        check(not platform_starts(inst), "the stopped platform shadow ran its hand-off")
        del game
    finally:
        close_dialog(PLAT_TITLE)
        close_dialog(game_title)
        inst.quit_platform()
        server.close()
        inst.remove()


GROUPS = {
    "update": [scenario_platform_update, scenario_game_notification, scenario_self_update,
               scenario_self_update_bound, scenario_platform_restart],
    "dialog": [scenario_waiting_dialog_input, scenario_close_during_download, scenario_missing_skin,
               scenario_argument_switch],
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("group", choices=sorted(GROUPS))
    parser.add_argument("only", nargs="*", help="names of scenarios to run (default: all of the group)")
    args = parser.parse_args()
    shots = os.path.join(args.build, "e2e-screenshots", args.group)
    os.makedirs(shots, exist_ok=True)
    ctx = Context(os.path.abspath(args.build), shots)
    failures = 0
    for scenario in GROUPS[args.group]:
        name = scenario.__name__[len("scenario_"):]
        if args.only and name not in args.only:
            continue
        started = time.time()
        try:
            scenario(ctx)
            print("PASS %s (%.1f s)" % (name, time.time() - started), flush=True)
        except Exception:
            failures += 1
            print("FAIL %s (%.1f s)" % (name, time.time() - started), flush=True)
            traceback.print_exc()
        finally:
            ctx.wine.stop_all()
    print("screenshots in %s" % shots)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
