#!/usr/bin/env python3
"""End-to-end tests: the real starmill binary on the project's private X
server, driven as a user would drive it (xdotool keys and clicks, a window
manager's close request, signals), with its output, exit status and the
server's video mode checked after every run.

Environment: DISPLAY (the private server), STARMILL (the binary),
STARMILL_VIDMODE (the mode-query tool), STARMILL_SOURCE (holds Data/);
optional STARMILL_ASAN (a sanitizer build of the binary) and
STARMILL_SOAK_SECONDS."""
import calendar
import contextlib
import ctypes
import os
import re
import shutil
import signal
import statistics
import subprocess
import tempfile
import time
import unittest

BINARY = os.environ.get("STARMILL", "build/starmill")
VIDMODE = os.environ.get("STARMILL_VIDMODE", "build/tests/vidmode")
SOURCE = os.environ.get("STARMILL_SOURCE", ".")
SEED_SCAN = os.environ.get("STARMILL_SEED_SCAN", "build/tests/seed_scan")

STARTUP = [
    "XF86VidModeExtension-Version 2.2",
    "Got Doublebuffered Visual!",
    "glX-Version 1.4",
    "Resolution 640x480",
    "Depth 24",
    "Congrats, you have Direct Rendering!",
    "Data at Offset: 54",
    "Width of Bitmap: 64",
    "Height of Bitmap: 64",
    "Bits per Pixel: 24",
    "Size of the image data: 12288",
    "Data at Offset: 54",
    "Width of Bitmap: 16",
    "Height of Bitmap: 16",
    "Bits per Pixel: 24",
    "Size of the image data: 768",
]


def video_mode(clock=False):
    """WIDTHxHEIGHT, or its pixel clock in kHz."""
    return subprocess.run([VIDMODE], capture_output=True, text=True, check=True).stdout.split()[int(clock)]


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, capture_output=True, timeout=60)


def running(pid):
    """Whether the process runs (a zombie waiting for its parent does not)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def wait_until(predicate, timeout=20.0, what="condition"):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def read(path):
    with open(path) as f:
        return f.read()


def screen_saver_info():
    """What the X server's MIT-SCREEN-SAVER extension reports: whether its
    screen saver is on (state 1), and how long the server has been idle, in
    milliseconds."""
    class Info(ctypes.Structure):
        _fields_ = [("window", ctypes.c_ulong), ("state", ctypes.c_int), ("kind", ctypes.c_int),
                    ("til_or_since", ctypes.c_ulong), ("idle", ctypes.c_ulong), ("event_mask", ctypes.c_ulong)]
    xlib, xss = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXss.so.1")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XDefaultRootWindow.argtypes = xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xss.XScreenSaverQueryInfo.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Info)]
    display = xlib.XOpenDisplay(None)
    info = Info()
    xss.XScreenSaverQueryInfo(display, xlib.XDefaultRootWindow(display), ctypes.byref(info))
    xlib.XCloseDisplay(display)
    return info


def screen_saver_on():
    return screen_saver_info().state == 1


def end(proc):
    """Ends a helper the tests started, at once if it will not go."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def helper(case, command, **options):
    """Starts a helper that ends with the case, pass or fail; its output goes
    nowhere unless asked for, so it never holds the test runner's pipe."""
    proc = subprocess.Popen(command, **{"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, **options})
    case.addCleanup(end, proc)
    return proc


def xset(*args):
    subprocess.run(["xset", *args], check=True)


@contextlib.contextmanager
def screen_saver_after(seconds):
    """The X server's screen saver set to start after `seconds` without
    input, and back to the server's default afterwards. `xset s reset`
    ends it as input would, and starts its clock again."""
    xset("s", str(seconds), "0")
    try:
        yield
    finally:
        xset("s", "default")
        xset("s", "reset")


class SessionBus:
    """A private session bus, where start_service brings up a recording
    stand-in for the desktop's services (screensaver_standin.py); `env`
    points a program at it."""

    def __enter__(self):
        self.dir = tempfile.TemporaryDirectory()
        address = f"unix:path={self.dir.name}/bus"
        self.env = {"DBUS_SESSION_BUS_ADDRESS": address}
        # The bus could start each service on demand; nothing may ask it to.
        self.started = os.path.join(self.dir.name, "started on demand")
        os.makedirs(os.path.join(self.dir.name, "dbus-1", "services"))
        for name in ("org.freedesktop.ScreenSaver", "org.xfce.ScreenSaver", "org.gnome.SessionManager"):
            with open(os.path.join(self.dir.name, "dbus-1", "services", name + ".service"), "w") as f:
                f.write(f"[D-BUS Service]\nName={name}\nExec=/usr/bin/touch '{self.started}'\n")
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--address=" + address],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       env={**os.environ, "XDG_DATA_HOME": self.dir.name,
                                            "XDG_DATA_DIRS": self.dir.name})
        self.logs, self.service = [], None
        try:
            wait_until(lambda: os.path.exists(f"{self.dir.name}/bus"), 10, "the session bus")
        except BaseException:
            self.__exit__()
            raise
        return self

    def start_service(self, *knobs):
        """Starts the stand-in, or a new one in its place, with the stand-in's
        knobs; each one logs its calls apart."""
        self.stop_service()
        self.logs.append(os.path.join(self.dir.name, f"calls{len(self.logs)}"))
        with open(self.logs[-1], "w") as log:
            # Debian's Python, which python3-dbus serves.
            self.service = subprocess.Popen(
                ["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "screensaver_standin.py"), *knobs],
                stdout=log, stderr=subprocess.DEVNULL, env={**os.environ, **self.env})
        wait_until(lambda: read(self.logs[-1]).startswith("ready"), 20, "the screen-saver stand-in")

    def stop_service(self):
        if self.service:
            end(self.service)

    def calls(self, instance=-1):
        return read(self.logs[instance]).splitlines()[1:] if self.logs else []

    def held(self):
        """The holds that the stand-in now running has granted and not had
        back; one given back that it does not hold fails."""
        held = set()
        for call in self.calls():
            name, method, *arguments = call.split()
            if method == "UnInhibit":
                held.remove((name, arguments[0]))
            elif arguments[-2] == "->":
                held.add((name, arguments[-1]))
        return held

    def __exit__(self, *exc):
        self.stop_service()
        end(self.daemon)
        self.dir.cleanup()


class Starmill:
    """One run of the program, its output going to a file as it is printed:
    nothing from outside forces the program's buffering."""

    def __init__(self, binary=BINARY, env=None, wrapper=(), cwd=SOURCE, images=2, new_session=False):
        self.images = images  # how many images each scene set-up loads
        self.out = tempfile.NamedTemporaryFile(mode="w+", prefix="starmill-", suffix=".out")
        self.err = tempfile.NamedTemporaryFile(mode="w+", prefix="starmill-", suffix=".err")
        # A bare name is looked up on the PATH, as a user's shell would.
        command = binary if os.sep not in binary else os.path.abspath(binary)
        self.proc = subprocess.Popen([*wrapper, command], cwd=cwd, stdout=self.out, stderr=self.err,
                                     env={**os.environ, **(env or {})}, start_new_session=new_session)
        self.guardian = None
        try:
            self.wait_for_window()
        except BaseException:
            self.close()
            raise
        # The process the program started to give the mode back.
        try:
            with open(f"/proc/{self.proc.pid}/task/{self.proc.pid}/children") as f:
                self.guardian = int(f.read().split()[0])
        except (OSError, IndexError):
            pass

    def output(self):
        with open(self.out.name) as f:
            return f.read()

    def lines(self):
        return self.output().splitlines()

    def stderr(self):
        with open(self.err.name) as f:
            return f.read()

    def wait_for_lines(self, count, timeout=20.0):
        """Waits until the output holds `count` lines more than before."""
        wait_until(lambda: len(self.lines()) >= count, timeout, f"{count} lines of output")

    def wait_for_window(self):
        # The set-up is over once both images are read (last set-up line).
        wait_until(lambda: self.output().count("Size of the image data") >= self.images * self.creations()
                   or self.proc.poll() is not None, 60, "the scene set-up")
        time.sleep(0.3)

    def cpu_seconds(self):
        fields = read(f"/proc/{self.proc.pid}/stat").rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def creations(self):
        return max(1, self.output().count("glX-Version"))

    def key(self, *keys):
        xdotool("key", "--delay", "60", *keys)

    def wait_exit(self, timeout=30.0):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            raise AssertionError("starmill did not end\n" + self.output())

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.guardian:
            wait_until(lambda: not running(self.guardian), 5, "the guardian to end")
        self.out.close()
        self.err.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class WindowManager:
    """openbox on the private server, for managed windows and close requests."""

    def __enter__(self):
        self.proc = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: subprocess.run(["wmctrl", "-m"], capture_output=True).returncode == 0,
                       20, "openbox")
        except BaseException:
            end(self.proc)
            raise
        return self

    def __exit__(self, *exc):
        end(self.proc)


def window_geometry(title):
    info = subprocess.run(["xwininfo", "-name", title], capture_output=True, text=True)
    if info.returncode != 0:
        return None
    width = re.search(r"Width: (\d+)", info.stdout).group(1)
    height = re.search(r"Height: (\d+)", info.stdout).group(1)
    return f"{width}x{height}"


def active_window():
    result = subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True)
    return result.stdout.strip()


def go_windowed(run):
    """F1 from full-screen; returns the id of the managed window once it is
    set up and the window manager has given it the focus, so that the next
    key reaches it."""
    run.key("F1")
    window = wait_until(lambda: subprocess.run(
        ["xdotool", "search", "--name", "^Starmill -Vanta$"], capture_output=True,
        text=True).stdout.split(), 20, "the managed window")[0]
    run.wait_for_window()
    wait_until(lambda: active_window() == window, 30, "the window manager to focus the window")
    return window


def viewable_top_windows():
    """The mapped children of the root: their ids by geometry (WxH+X+Y)."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    found = {}
    for window in re.findall(r"^\s+(0x[0-9a-f]+) ", tree, re.M):
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
        if "IsViewable" in info:
            field = lambda name: re.search(name + r": +(-?\d+)", info).group(1)
            found[f"{field('Width')}x{field('Height')}+{field('Absolute upper-left X')}"
                  f"+{field('Absolute upper-left Y')}"] = window
    return found


def lit_pixels(geometry):
    """Counts the pixels of the screen's area WxH+X+Y that are not black."""
    shot = subprocess.run(["import", "-window", "root", "-crop", geometry, "png:-"], check=True,
                          capture_output=True).stdout
    return float(subprocess.run(["convert", "-", "-threshold", "5%", "-format", "%[fx:mean*w*h]", "info:"],
                                input=shot, check=True, capture_output=True).stdout)


def red_text_pixels(left=0):
    """Counts pure dim-red pixels (the overlay's colour) in the top left
    corner, from column `left` on: the label ends before column 45, the
    figure starts after it."""
    with tempfile.NamedTemporaryFile(suffix=".txt") as shot:
        subprocess.run(["import", "-window", "root", "-crop", f"{160 - left}x24+{left}+0", "txt:" + shot.name],
                       check=True, capture_output=True)
        with open(shot.name) as f:
            text = f.read()
    return len(re.findall(r"srgb\([1-9]\d*,0,0\)", text))


class StartAndEnd(unittest.TestCase):
    def setUp(self):
        self.assertEqual(video_mode(), "1024x768")

    def tearDown(self):
        self.assertEqual(video_mode(), "1024x768", "the desktop mode must be back")

    def test_starts_full_screen_keeps_the_screen_awake_and_escape_restores_the_desktop(self):
        with screen_saver_after(3):
            # Its lines are in the file while it runs, as a log would have them.
            with Starmill() as run:
                self.assertEqual(run.lines()[:len(STARTUP)], STARTUP)
                self.assertEqual(video_mode(), "640x480")
                # Not "starmill": a killall of the program leaves it alone.
                self.assertEqual(read(f"/proc/{run.guardian}/comm"), "starmill-guard\n")
                time.sleep(4)
                self.assertFalse(screen_saver_on(), "the screen saver started over the show")
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)
            wait_until(screen_saver_on, 10, "the screen saver once the show is over")

    def test_a_mouse_click_ends_it(self):
        with Starmill() as run:
            xdotool("click", "1")
            self.assertEqual(run.wait_exit(), 0)

    def test_every_ending_gives_the_mode_back_and_leaves_nothing_running(self):
        # The quit signals end the loop in order. The others kill it where
        # it stands (the out-of-memory killer, a crash or an abort in the GL
        # driver), and its guardian gives the mode back; also when the
        # signal reaches the guardian too: sent to both (a service manager
        # stopping it), to the program's process group (a shell's job,
        # `timeout`) or to every process of the program's name (killall).
        def send(run, sig, whom):
            if whom == "group":
                os.killpg(run.proc.pid, sig)
            elif whom == "name":  # as killall would, but only to this run's processes
                for pid in (run.proc.pid, run.guardian):
                    if read(f"/proc/{pid}/comm") == "starmill\n":
                        os.kill(pid, sig)
            else:
                run.proc.send_signal(sig)
                if whom == "both":
                    os.kill(run.guardian, sig)

        with screen_saver_after(3):
            for sig, status, whom in ((signal.SIGTERM, 0, "program"), (signal.SIGINT, 0, "program"),
                                      (signal.SIGHUP, 0, "program"), (signal.SIGKILL, -signal.SIGKILL, "program"),
                                      (signal.SIGSEGV, -signal.SIGSEGV, "program"),
                                      (signal.SIGABRT, -signal.SIGABRT, "program"),
                                      (signal.SIGTERM, 0, "both"), (signal.SIGQUIT, -signal.SIGQUIT, "both"),
                                      (signal.SIGKILL, -signal.SIGKILL, "group"),
                                      (signal.SIGKILL, -signal.SIGKILL, "name")):
                xset("s", "reset")
                with Starmill(new_session=True) as run:
                    self.assertIsNotNone(run.guardian)
                    self.assertEqual(video_mode(), "640x480")
                    send(run, sig, whom)
                    self.assertEqual(run.wait_exit(), status, (sig, whom))
                    wait_until(lambda: video_mode() == "1024x768" and not running(run.guardian), 1.0,
                               f"the desktop back and nothing running after {sig.name} to {whom}")
                # The server drops a dead client's hold on the screen saver.
                if (sig, whom) == (signal.SIGKILL, "program"):
                    wait_until(screen_saver_on, 10, "the screen saver after SIGKILL")

        # Started with its standard output closed, it writes nothing into
        # its X connection or its pipes: descriptor 1 leads nowhere.
        with Starmill(wrapper=("sh", "-c", 'exec "$0" >&-'), images=0) as run:
            wait_until(lambda: "640x480+0+0" in viewable_top_windows(), 20, "the full-screen window")
            self.assertEqual(os.readlink(f"/proc/{run.proc.pid}/fd/1"), "/dev/null")
            time.sleep(0.5)
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)


class WithoutTheVideoModeExtension(unittest.TestCase):
    """Xvfb offers GLX but not the video-mode extension."""

    def setUp(self):
        # Xvfb picks a free display and writes its number once it accepts
        # connections.
        # Its built-in fonts hold "fixed" and nothing else.
        self.server = helper(self, ["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-fp", "built-ins",
                                    "-nolisten", "tcp"], stdout=subprocess.PIPE, text=True)
        self.addCleanup(self.server.stdout.close)
        self.display = ":" + self.server.stdout.readline().strip()
        self.assertNotEqual(self.display, ":", "Xvfb did not start")
        self.old_display = os.environ["DISPLAY"]
        os.environ["DISPLAY"] = self.display

    def tearDown(self):
        os.environ["DISPLAY"] = self.old_display

    def test_full_screen_covers_the_screen_as_it_is_and_windowed_still_works(self):
        with Starmill() as run:
            lines = run.lines()
            self.assertEqual(lines[0], "No XF86VidModeExtension: the video mode stays as it is")
            self.assertIn("Resolution 800x600", lines)
            run.key("f")
            wait_until(lambda: red_text_pixels() > 0, 10, "the overlay in the fixed font")
            run.key("F1")
            wait_until(lambda: run.output().count("glX-Version") == 2, 20, "the window again")
            run.wait_for_window()
            self.assertEqual(window_geometry("Starmill -Vanta"), "648x480")
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)

    def test_a_display_that_cannot_be_opened_or_has_no_glx_is_reported(self):
        without_glx = helper(self, ["Xvfb", "-displayfd", "1", "-extension", "GLX", "-nolisten", "tcp"],
                             stdout=subprocess.PIPE, text=True)
        self.addCleanup(without_glx.stdout.close)
        plain = ":" + without_glx.stdout.readline().strip()
        no_modes = "No XF86VidModeExtension: the video mode stays as it is\n"
        # A GL driver that cannot load leaves no context to make (Debian
        # 12's Mesa), or no visual at all (Debian 13's).
        for display, driver, said in ((":999", {}, ['Cannot open the X display ":999"\n']),
                                      (plain, {}, [no_modes + f'The X display "{plain}" has no GLX extension\n']),
                                      (self.display, {"MESA_LOADER_DRIVER_OVERRIDE": "zink"},
                                       [no_modes + "Got Doublebuffered Visual!\nglX-Version 1.4\n"
                                                   "Cannot create a GL rendering context\n",
                                        no_modes + "No RGBA visual with a 16-bit depth buffer on this display\n"])):
            result = subprocess.run([os.path.abspath(BINARY)], cwd=SOURCE, capture_output=True, text=True,
                                    env={**os.environ, "DISPLAY": display, **driver}, timeout=30)
            self.assertEqual(result.returncode, 1)
            self.assertIn(result.stdout, said)
            self.assertNotIn("X Error", result.stderr)


class Keys(unittest.TestCase):
    def test_star_size_zoom_and_view_mode_keys(self):
        with Starmill() as run:
            start = len(run.lines())
            run.key("Down", "Down", "Down", "Prior", "Next", "KP_Up", "a")
            run.wait_for_lines(start + 5)
            time.sleep(0.2)
            self.assertEqual(lit_pixels("640x480+0+0"), 0, "stars of size 0")
            run.key("m", "m", "Prior")  # twice m: back to perspective, its preset again
            run.wait_for_lines(start + 6)
            wait_until(lambda: lit_pixels("640x480+0+0") > 0, 10, "stars of the preset's size")
            run.key("m", "Prior")  # flat projection preset
            run.wait_for_lines(start + 7)
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(run.lines()[start:], [
                "StarSize= 0.020000", "StarSize= 0.010000", "StarSize= 0.000000",
                "Zoom= -6.200000", "Zoom= -6.000000",
                "Zoom= -6.200000",
                "Zoom= -100.199997",
            ])

    def test_f_toggles_the_overlay_with_or_without_shift_on_any_date(self):
        # On this day GLUT's clock, the wall clock's milliseconds cut to an
        # int, is negative.
        with Starmill(wrapper=("faketime", "-f", "@2026-12-20 12:00:00")) as run:
            # Stars of size 0 draw nothing, so no star can pass for the text.
            start = len(run.lines())
            run.key("Down", "Down", "Down")
            run.wait_for_lines(start + 3)
            self.assertEqual(run.lines()[-1], "StarSize= 0.000000")
            time.sleep(0.2)
            self.assertEqual(red_text_pixels(), 0)
            run.key("shift+f")
            wait_until(lambda: red_text_pixels() > 0, 10, "the overlay")
            wait_until(lambda: red_text_pixels(left=45) > 0, 10, "a figure")
            run.key("f")
            wait_until(lambda: red_text_pixels() == 0, 10, "the overlay to go")
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)


class FullScreenToggle(unittest.TestCase):
    def test_f1_gives_a_managed_window_and_back(self):
        with WindowManager():
            with Starmill() as run:
                go_windowed(run)
                self.assertEqual(window_geometry("Starmill -Vanta"), "648x480")
                self.assertEqual(video_mode(), "1024x768")
                self.assertNotIn("Resolution", "\n".join(run.lines()[len(STARTUP):]))

                # Back to full-screen: there is no 648x480 mode line.
                run.key("F1")
                wait_until(lambda: "Resolution 1024x768" in run.output(), 20, "full-screen again")
                self.assertEqual(video_mode(), "1024x768")
                run.wait_for_window()
                self.assertIn("1024x768+0+0", viewable_top_windows())
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)

    def test_back_to_full_screen_while_the_window_manager_is_busy(self):
        # The window manager deals with the managed window's end only once
        # the full-screen window is up: none of that may touch the new one.
        with WindowManager() as wm:
            with Starmill() as run:
                go_windowed(run)
                wm.proc.send_signal(signal.SIGSTOP)
                try:
                    run.key("F1")
                    wait_until(lambda: run.creations() == 3, 20, "full-screen again")
                    run.wait_for_window()
                finally:
                    wm.proc.send_signal(signal.SIGCONT)
                time.sleep(1.0)
                window = viewable_top_windows()["1024x768+0+0"]
                # Unmapped and mapped again, it takes its grabs again.
                xdotool("windowunmap", "--sync", window)
                xdotool("windowmap", "--sync", window)
                time.sleep(0.5)
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)

    def test_window_manager_close_request_ends_it(self):
        try:
            with WindowManager():
                with Starmill() as run:
                    go_windowed(run)
                    # The guardian was told that F1 gave the mode back: the
                    # mode another program sets since is left alone.
                    switch_video_mode("800x600")
                    subprocess.run(["wmctrl", "-c", "Starmill -Vanta"], check=True)
                    self.assertEqual(run.wait_exit(), 0)
                    self.assertIn("Exiting sanely...", run.lines())
            self.assertEqual(video_mode(), "800x600")
        finally:
            switch_video_mode("1024x768")

    def test_hidden_it_draws_nothing_and_lets_the_desktop_blank(self):
        # Iconified (the window manager unmaps it), covered whole by another
        # window, hidden while it stays mapped (as KDE does for its live
        # thumbnails), set aside on a workspace not shown (i3 unmaps only
        # its frame and withdraws the window's WM_STATE), or restored while
        # the X server's screen saver is on. The services come after the
        # show started, while it is hidden, and are restarted while it is
        # seen to answer late or never.
        def cover():
            self.cover = helper(self, ["xlogo", "-geometry", "1024x768+0+0"])
            wait_until(lambda: subprocess.run(["xdotool", "search", "--name", "^xlogo$"],
                                              capture_output=True).returncode == 0, 10, "the covering window")

        def uncover():
            end(self.cover)

        def under_the_saver():
            xdotool("windowactivate", "--sync", window)
            time.sleep(0.5)
            xset("s", "reset")

        state = lambda *args: lambda: subprocess.run(["xprop", "-id", window, *args], check=True)
        iconify, restore = lambda: xdotool("windowminimize", window), lambda: xdotool("windowactivate", window)
        ways = (("iconified", iconify, restore, "hidden", ()),
                ("covered", cover, uncover, None, ()),
                ("hidden", state("-f", "_NET_WM_STATE", "32a", "-set", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"),
                 state("-remove", "_NET_WM_STATE"), None, ()),
                ("set aside", state("-f", "WM_STATE", "32c", "-set", "WM_STATE", "0"),
                 state("-f", "WM_STATE", "32c", "-set", "WM_STATE", "1"), None, ()),
                ("restored under the saver", iconify, under_the_saver, None, ()),
                ("answered late", iconify, restore, "shown", ("--late", "1")),
                ("never answered", iconify, restore, "shown", ("--silent",)))
        with WindowManager(), SessionBus() as bus, screen_saver_after(3):
            with Starmill(env=bus.env) as run:
                window = go_windowed(run)
                time.sleep(4)
                self.assertFalse(screen_saver_on(), "the screen saver started over the window")
                for name, hide, show, restart, knobs in ways:
                    if restart == "shown":
                        bus.start_service(*knobs)
                    holds = 0 if "--silent" in knobs else 3
                    hide()
                    time.sleep(0.5)
                    cpu = run.cpu_seconds()
                    time.sleep(3)
                    self.assertLess(run.cpu_seconds() - cpu, 0.3, f"{name}: under a tenth of a CPU")
                    wait_until(screen_saver_on, 10, f"{name}: the screen saver")
                    wait_until(lambda: not bus.held(), 10, f"{name}: the holds given back")
                    if restart == "hidden":
                        bus.start_service(*knobs)
                    if show != under_the_saver:
                        xset("s", "reset")
                    show()
                    # openbox may give a window it restores a place off the
                    # screen, where it is covered whole too.
                    xdotool("windowmove", window, "0", "0")
                    # A frame for an Expose costs far less than this.
                    cpu = run.cpu_seconds()
                    wait_until(lambda: run.cpu_seconds() - cpu > 1.0, 30, f"{name}: the show moving again")
                    wait_until(lambda: len(bus.held()) == holds, 10, f"{name}: the holds taken up again")
                # The new owners were asked at once, and not again.
                self.assertEqual(len(bus.calls()), 3)
                bus.start_service()
                wait_until(lambda: len(bus.held()) == 3, 10, "the services asked again")
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(bus.held(), set())
            self.assertFalse(os.path.exists(bus.started))
            # Each show asked each service once, never twice, the session
            # for the window seen.
            self.assertEqual(len(bus.calls(0)), 3 + 4 * 2 * 3)
            self.assertIn(f"org.gnome.SessionManager Inhibit Starmill {window} Showing colliding galaxies 8 -> ",
                          "\n".join(bus.calls(0)))

    def test_resize_is_followed_and_a_move_is_not(self):
        with WindowManager():
            with Starmill() as run:
                window = go_windowed(run)
                resizes = run.lines().count("Resize event")
                xdotool("windowsize", "--sync", window, "500", "400")
                wait_until(lambda: run.lines().count("Resize event") == resizes + 1, 10, "a resize")
                xdotool("windowmove", "--sync", window, "50", "60")
                time.sleep(0.5)
                self.assertEqual(run.lines().count("Resize event"), resizes + 1)

                # A resize still queued behind F1 belongs to the replaced
                # window: the full-screen one draws over all of its area,
                # not in a 400x300 corner at the bottom left.
                run.proc.send_signal(signal.SIGSTOP)
                run.key("F1")
                xdotool("windowsize", "--sync", window, "400", "300")
                run.proc.send_signal(signal.SIGCONT)
                wait_until(lambda: run.creations() == 3, 20, "full-screen again")
                run.wait_for_window()
                wait_until(lambda: lit_pixels("1024x468+0+0") > 0, 10, "stars outside the corner")
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)


def randr(*args):
    output = re.search(r"^(\S+) connected", subprocess.run(["xrandr"], capture_output=True, text=True,
                                                          check=True).stdout, re.M).group(1)
    subprocess.run(["xrandr", *[output if a == "OUTPUT" else a for a in args]], check=True,
                   capture_output=True)


def xrandr(*args):
    """Changes or reads the layout without a probe, which would reset the
    dummy driver's record of the video mode."""
    return subprocess.run(["xrandr", "--current", *args], capture_output=True, text=True, check=True).stdout


def switch_video_mode(size):
    subprocess.run([VIDMODE, size], capture_output=True, check=True)


class DesktopGivenBack(unittest.TestCase):
    """The desktop is given back as it was, whatever the desktop and however
    the program ends, and the user is never locked out."""

    def tearDown(self):
        # RandR first, then the extension, so that both agree again.
        randr("--output", "OUTPUT", "--mode", "1024x768")
        switch_video_mode("1024x768")
        self.assertEqual(video_mode(), "1024x768")

    def run_and_escape(self):
        with Starmill() as run:
            self.assertEqual(video_mode(), "640x480")
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0, run.output())

    def test_the_mode_in_force_is_restored_whoever_set_it(self):
        # The last 800x600 line differs from the first only in its clock.
        switch_video_mode("800x600")
        self.run_and_escape()
        self.assertEqual((video_mode(), video_mode(clock=True)), ("800x600", "39190"))
        # Through RandR the extension's record of the mode goes stale.
        randr("--output", "OUTPUT", "--mode", "1024x768")
        randr("--output", "OUTPUT", "--mode", "800x600")
        self.run_and_escape()
        self.assertEqual(video_mode(), "800x600")
        self.assertIn("current 800 x 600", subprocess.run(["xrandr"], capture_output=True, text=True).stdout)

    def test_a_killed_connection_still_gives_the_mode_back(self):
        with Starmill() as run:
            window = viewable_top_windows()["640x480+0+0"]
            subprocess.run(["xkill", "-id", window], check=True, capture_output=True)
            self.assertEqual(run.wait_exit(), 1)
            self.assertEqual(run.lines()[-1], "Lost the connection to the X display")
        self.assertEqual(video_mode(), "1024x768")

    def test_images_that_cannot_be_read_are_reported_without_blocking_or_ending(self):
        # A FIFO for the star image beside the overlay's, or no images at all.
        for fifo, images in ((True, 1), (False, 0)):
            with tempfile.TemporaryDirectory() as tmp:
                os.mkdir(os.path.join(tmp, "Data"))
                if fifo:
                    os.mkfifo(os.path.join(tmp, "Data", "Star.bmp"))
                    shutil.copy(os.path.join(SOURCE, "Data", "white.bmp"), os.path.join(tmp, "Data"))
                with Starmill(cwd=tmp, images=images) as run:
                    wait_until(lambda: "Star.bmp" in run.output(), 20, "the star image's line")
                    time.sleep(0.5)
                    self.assertEqual(fifo, "Not a regular file : Data/Star.bmp" in run.lines())
                    # Without either image the show is the black background alone.
                    self.assertEqual(lit_pixels("640x480+0+0") == 0, images == 0)
                    run.key("Escape")
                    self.assertEqual(run.wait_exit(), 0, run.output())
            self.assertEqual(video_mode(), "1024x768")

    def test_a_second_instance_that_cannot_grab_says_so_and_leaves(self):
        with Starmill() as first:
            with Starmill(images=0) as second:
                self.assertEqual(second.wait_exit(), 1)
                self.assertEqual(second.lines()[-1], "Cannot grab keyboard and pointer: another program holds them")
            self.assertEqual(video_mode(), "640x480")
            first.key("Escape")
            self.assertEqual(first.wait_exit(), 0)
        self.assertEqual(video_mode(), "1024x768")

    def test_full_screen_without_a_listed_mode_covers_a_desktop_of_any_size(self):
        subprocess.run(["xrandr", "--newmode", "1366x768", "85.25", "1366", "1440", "1576", "1784", "768", "771",
                        "781", "798", "-hsync", "+vsync"], capture_output=True)
        randr("--addmode", "OUTPUT", "1366x768")
        try:
            randr("--output", "OUTPUT", "--mode", "1366x768")
            with WindowManager():
                with Starmill() as run:
                    go_windowed(run)
                    run.key("F1")  # full-screen at 648x480, which no mode lists
                    wait_until(lambda: "Resolution 1366x768" in run.output(), 20, "full-screen again")
                    run.wait_for_window()
                    run.key("Escape")
                    self.assertEqual(run.wait_exit(), 0)
        finally:
            randr("--output", "OUTPUT", "--mode", "1024x768")
            randr("--delmode", "OUTPUT", "1366x768")
            subprocess.run(["xrandr", "--rmmode", "1366x768"], capture_output=True)


    def test_two_monitors_keep_their_layout_and_full_screen_takes_the_primary(self):
        subprocess.run(["xrandr", "--addmode", "DUMMY1", "1024x768"], check=True)
        try:
            xrandr("--output", "DUMMY1", "--mode", "1024x768", "--pos", "0x0", "--output", "DUMMY0", "--mode",
                   "1024x768", "--pos", "1024x0", "--primary")
            layout = xrandr()
            with WindowManager():
                with Starmill() as run:
                    self.assertIn("1024x768+1024+0", viewable_top_windows())
                    self.assertEqual(xrandr(), layout)
                    go_windowed(run)
                    # A window keeps its size whatever the monitors do.
                    xrandr("--output", "DUMMY0", "--mode", "800x600")
                    time.sleep(0.5)
                    self.assertEqual(window_geometry("Starmill -Vanta"), "648x480")
                    xrandr("--output", "DUMMY0", "--mode", "1024x768")
                    run.key("F1")  # no 648x480 mode: the primary monitor as it is
                    wait_until(lambda: run.creations() == 3, 20, "full-screen again")
                    run.wait_for_window()
                    self.assertIn("1024x768+1024+0", viewable_top_windows())
                    self.assertEqual(xrandr(), layout)
                    # The window follows the primary monitor's mode, and the
                    # monitor when the two swap places.
                    for mode in ("800x600", "1024x768"):
                        xrandr("--output", "DUMMY0", "--mode", mode)
                        wait_until(lambda: f"{mode}+1024+0" in viewable_top_windows(), 10, f"the window at {mode}")
                    xrandr("--output", "DUMMY0", "--pos", "0x0", "--output", "DUMMY1", "--pos", "1024x0")
                    layout = xrandr()
                    wait_until(lambda: "1024x768+0+0" in viewable_top_windows(), 10, "the window on the left")
                    run.key("Escape")
                    self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(xrandr(), layout)
        finally:
            subprocess.run(["xrandr", "--output", "DUMMY1", "--off", "--output", "DUMMY0", "--pos", "0x0"])
            # Once lit, the output lists the mode itself and keeps it.
            subprocess.run(["xrandr", "--delmode", "DUMMY1", "1024x768"], capture_output=True)

    def test_a_monitor_lit_under_a_switch_gets_the_mode_back_at_once_and_keeps_its_place(self):
        subprocess.run(["xrandr", "--addmode", "DUMMY1", "1024x768"], check=True)
        try:
            with Starmill() as run:
                self.assertIn("640x480+0+0", viewable_top_windows())
                xrandr("--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0")
                layout = xrandr()
                wait_until(lambda: "1024x768+0+0" in viewable_top_windows(), 10, "the primary monitor's own mode")
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)
                # The CRTC was set back as it was, rotation included.
                self.assertNotIn("refused", run.output())
            self.assertEqual(xrandr(), layout)
            # The dummy driver's extension switch changes only the extension's
            # record: it still holds the program's mode, so none was made
            # with two monitors lit.
            self.assertEqual(video_mode(), "640x480")
        finally:
            subprocess.run(["xrandr", "--output", "DUMMY1", "--off"])
            subprocess.run(["xrandr", "--delmode", "DUMMY1", "1024x768"], capture_output=True)

    def test_a_wayland_desktop_without_a_pointer_survives_start_up(self):
        # weston's headless seat has no pointer; its Xwayland once crashed on
        # a pointer warp into a window not yet mapped.
        with tempfile.TemporaryDirectory() as runtime:
            os.chmod(runtime, 0o700)
            log = os.path.join(runtime, "weston.log")
            weston = helper(self, ["weston", "--backend=headless-backend.so", "--xwayland", "--socket=starmill-test",
                                   "--log=" + log], env={**os.environ, "XDG_RUNTIME_DIR": runtime})
            old_display = os.environ["DISPLAY"]
            try:
                def weston_log():
                    if not os.path.exists(log):
                        return ""
                    with open(log) as f:
                        return f.read()

                listening = wait_until(lambda: re.search(r"xserver listening on display (:\d+)", weston_log()),
                                       30, "weston's Xwayland")
                os.environ["DISPLAY"] = listening.group(1)
                with Starmill() as run:
                    self.assertEqual(run.lines()[3], "Resolution 640x480")
                    self.assertIsNone(run.proc.poll(), run.output())
                    # An Xwayland built with libei drops the first simulated
                    # key while it looks for an input-emulation server, which
                    # weston lacks; the program ignores this one.
                    run.key("a")
                    run.key("Escape")
                    self.assertEqual(run.wait_exit(), 0, run.output())
                self.assertNotIn("xserver exited", weston_log())
            finally:
                os.environ["DISPLAY"] = old_display
                end(weston)


class GlStream(unittest.TestCase):
    """The GL calls of the real program's first frame, recorded by apitrace,
    with the clock that seeds the generator pinned by libfaketime."""

    CLOCK = "2026-12-07 10:00:00"

    def first_frame(self):
        with tempfile.TemporaryDirectory() as tmp:
            trace = os.path.join(tmp, "starmill.trace")
            # -f: the clock stands still at CLOCK (without it, it would run
            # on from there, and a slow start would seed from a later second).
            env = {"TZ": "UTC"}
            wrapper = ("faketime", "--exclude-monotonic", "-f", self.CLOCK, "apitrace", "trace", "-o", trace)
            with Starmill(env=env, wrapper=wrapper) as run:
                run.key("Escape")
                self.assertEqual(run.wait_exit(), 0)
            # The first frame lies well within the first 100000 calls.
            dump = subprocess.run(["apitrace", "dump", "--color=never", "--call-nos=no", "--calls=0-100000", trace],
                                  capture_output=True, text=True, check=True, timeout=300).stdout.splitlines()
        calls = [line for line in dump if line.startswith("gl")]
        # From the first clear to the first swap.
        start = next(i for i, c in enumerate(calls) if c.startswith("glClear("))
        end = next(i for i, c in enumerate(calls) if c.startswith("glXSwapBuffers"))
        return calls[start:end]

    def test_first_frame_draws_every_star_of_the_seeded_universe_the_same_each_time(self):
        seconds = calendar.timegm(time.strptime(self.CLOCK, "%Y-%m-%d %H:%M:%S"))
        stars = int(subprocess.run([SEED_SCAN, str(seconds), "1"], capture_output=True, text=True,
                                   check=True).stdout.split()[1])
        frame = self.first_frame()
        self.assertEqual(frame[0], "glClear(mask = GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT)")
        self.assertTrue(frame[1].startswith("glBindTexture(target = GL_TEXTURE_2D"), frame[1])
        self.assertTrue(frame[2].startswith("glColor4ub("), frame[2])
        self.assertEqual(sum(c.startswith("glCallList(") for c in frame), stars)
        # Perspective: every star placed by the same six calls.
        names = [c.split("(")[0] for c in frame[3:9]]
        self.assertEqual(names, ["glLoadIdentity", "glTranslatef", "glRotatef", "glTranslatef",
                                 "glRotatef", "glCallList"])
        self.assertEqual(frame[4], "glTranslatef(x = 0, y = 0, z = -6)")
        self.assertEqual(self.first_frame(), frame)


@unittest.skipUnless(os.environ.get("STARMILL_ASAN"), "needs the sanitizer build")
class Sanitized(unittest.TestCase):
    def test_toggles_and_reseeds_without_invalid_access_or_leak(self):
        env = {
            # The GL stack is preloaded ahead of the sanitizer runtime.
            "ASAN_OPTIONS": "detect_leaks=1:verify_asan_link_order=0:exitcode=23",
            "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1:exitcode=24",
        }
        # The GL stack's libraries as the probe found them (scripts/gl-stack.sh).
        wrapper = (os.path.join(SOURCE, "scripts", "gl-stack.sh"), "run", os.environ["STARMILL_GL_STACK"])
        with WindowManager(), SessionBus() as bus:
            bus.start_service()
            with Starmill(os.environ["STARMILL_ASAN"], {**env, **bus.env}, wrapper) as run:
                for _ in range(2):
                    run.key("F1")
                    time.sleep(1.5)
                    run.key("m", "Up", "f")
                    time.sleep(1.0)
                run.key("Escape")
                self.assertEqual(run.wait_exit(120), 0, run.stderr()[-4000:])
                self.assertNotIn("Sanitizer", run.stderr())
                self.assertNotIn("ld.so", run.stderr(), "a library preloaded that is not there")
            self.assertTrue(bus.calls() and not bus.held(), bus.calls())


class Soak(unittest.TestCase):
    def test_memory_stays_flat_across_many_reseedings(self):
        seconds = float(os.environ.get("STARMILL_SOAK_SECONDS", "60"))
        with Starmill() as run:
            run.key("f")  # the overlay tells the frame rate

            def rss_kb():
                with open(f"/proc/{run.proc.pid}/status") as f:
                    return int(re.search(r"VmRSS:\s+(\d+)", f.read()).group(1))

            # Resident memory climbs for the first half-minute or so, until the
            # heap and the GL driver have seen a large universe, and then
            # wanders by a megabyte as universes come and go. The first quarter
            # of once-a-second samples is that warm-up; the medians of the
            # second and the last quarter are compared.
            samples, idle = [], []
            for _ in range(int(seconds)):
                time.sleep(1.0)
                samples.append(rss_kb())
                idle.append(screen_saver_info().idle)
            quarter = max(1, len(samples) // 4)
            early = statistics.median(samples[quarter:2 * quarter])
            late = statistics.median(samples[-quarter:])
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)
            print(f"\nsoak: {seconds:.0f} s, median RSS {early:.0f} kB -> {late:.0f} kB "
                  f"(range {min(samples)}-{max(samples)} kB)", flush=True)
            self.assertLess(late - early, 2048, "resident memory grew")
            # Lockers that read the server's idle time see it start again
            # every 30 s while the show is seen.
            self.assertLess(max(idle), 35000)


if __name__ == "__main__":
    unittest.main(verbosity=2)
