#!/usr/bin/python3
"""The screen kept awake on each desktop, as the desktop itself tells it:
scripts/desktops.py [--jobs N] [NAME...] runs the real program against each
desktop's own session and screen-saver pieces and prints a table, a row per
desktop and session kind. scripts/desktops.sh installs what it needs first.

Each row starts the desktop's pieces headless, on a private X server or on
the desktop's own Wayland compositor with Xwayland, with a private session
bus (and an empty system bus where a piece wants one), a home of its own and
the least idle delay the desktop offers (a minute). It then asks the
desktop's own interfaces, every two seconds:
  - nothing running: it goes idle, blanks or locks within the delay and a
    margin;
  - the show full-screen, then in a window (F1), each for longer than the
    delay and the margin: it never does;
  - Escape ends the program with status 0, and the desktop goes idle again
    within the delay and the margin;
  - the window again, with the program's session bus taken away: whether
    the X side alone holds the desktop.
Each of the three sessions (nothing, the show, the show without the bus) is
a fresh one, since a locked desktop cannot be woken without a password.
Everything a row starts ends with it, pass or fail."""
import argparse
import concurrent.futures
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop_rows  # noqa: E402
import reaper  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM = os.environ.get("STARMILL", os.path.join(SOURCE, "build-program", "starmill"))
DELAY = 60  # seconds: the least idle delay every desktop here offers
MARGIN = 30
SHOW = DELAY + MARGIN  # each phase of the show outlasts the delay and the margin
NO_BUS = "unix:path=/nonexistent/bus"


class Session:
    """One desktop session: its own home and runtime directory, a private
    session bus, a display; its pieces' output goes to logs in its own
    directory, kept when the row fails."""

    def __init__(self, row, phase):
        self.row, self.procs = row, []
        self.dir = tempfile.mkdtemp(prefix=f"starmill-{row.name}-{phase}-")
        self.home, self.runtime = self.path("home"), self.path("run")
        os.makedirs(self.home)
        os.makedirs(self.runtime, mode=0o700)
        self.env = {"PATH": os.environ["PATH"], "LANG": "C.UTF-8", "HOME": self.home,
                    "XDG_RUNTIME_DIR": self.runtime, "XDG_CONFIG_HOME": self.path("home", ".config"),
                    "XDG_CACHE_HOME": self.path("home", ".cache"), "XDG_DATA_HOME": self.path("home", ".local/share"),
                    "USER": "root", "LOGNAME": "root", "NO_AT_BRIDGE": "1", "STARMILL_DESKTOP_SESSION": self.dir,
                    "DBUS_SESSION_BUS_ADDRESS": f"unix:path={self.runtime}/bus"}
        self.start("session-bus", "dbus-daemon", "--session", "--nofork", "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"])
        wait_until(lambda: os.path.exists(f"{self.runtime}/bus"), 10, "the session bus")
        if row.system_bus:
            self.start_system_bus()

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def inside(self, command):
        """The command as it runs in the row's own system, if it has one: a
        root of another release, where it sees this session's directory, the
        X server's sockets and the devices as they are here."""
        if not self.row.root:
            return command
        binds = " && ".join(f'mkdir -p "$0{d}" && mount --rbind {d} "$0{d}"' for d in (self.dir, "/tmp/.X11-unix", "/dev"))
        return ["unshare", "--mount", "--propagation", "private", "--", "sh", "-c",
                binds + ' && mount -t proc proc "$0/proc" && exec chroot "$0" "$@"', self.row.root, *command]

    def start(self, name, *command, env=None):
        log = open(self.path(name + ".log"), "ab")
        proc = subprocess.Popen(self.inside(command), stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                env={**self.env, **(env or {})}, cwd=self.home)
        log.close()
        self.procs.append(proc)
        return proc

    def run(self, *command, check=True, env=None, inside=False):
        return subprocess.run(self.inside(command) if inside else command, capture_output=True, text=True, check=check, timeout=60,
                              env={**self.env, **(env or {})}, cwd=self.home)

    def log(self, name):
        try:
            with open(self.path(name + ".log"), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def start_system_bus(self):
        """An empty system bus, for pieces that give up without one."""
        config = self.path("system-bus.conf")
        with open(config, "w") as f:
            f.write(f"""<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path={self.runtime}/system_bus</listen>
<auth>EXTERNAL</auth><policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/><allow user="*"/></policy></busconfig>
""")
        self.start("system-bus", "dbus-daemon", "--nofork", "--config-file=" + config)
        wait_until(lambda: os.path.exists(f"{self.runtime}/system_bus"), 10, "the system bus")
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={self.runtime}/system_bus"

    def start_xserver(self):
        """The project's private X server; the lock keeps two rows from
        picking the same display number."""
        with open(os.path.join(tempfile.gettempdir(), "starmill-desktops.lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            said = self.run(os.path.join(SOURCE, "scripts", "xserver.sh"), "start").stdout
        self.export(**dict(word.split("=", 1) for word in said.split()[1:]))

    def export(self, **variables):
        """Sets variables for the pieces still to come, those the bus starts
        on demand included."""
        self.env.update(variables)
        pairs = ", ".join(f"'{name}': '{value}'" for name, value in variables.items())
        self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                  "org.freedesktop.DBus.UpdateActivationEnvironment", "{" + pairs + "}")

    def gsettings(self, schema, key, value):
        self.run("gsettings", "set", schema, key, value)

    def call(self, destination, path, method, *arguments, bus="--session"):
        """A method call on the session bus (or `bus`); its answer as gdbus
        prints it, or None when there is none."""
        result = self.run("gdbus", "call", bus, "--dest", destination, "--object-path", path,
                          "--method", method, *arguments, check=False)
        return result.stdout.strip() if result.returncode == 0 else None

    def xdotool(self, *args):
        return self.run("xdotool", *args, check=False).stdout.split()

    def close(self, keep):
        # Every piece of the session, and all they started, carry its mark.
        reaper.end_all(mark="STARMILL_DESKTOP_SESSION=" + self.dir)
        if keep:
            print(f"{self.row.name}: the logs are kept in {self.dir}", file=sys.stderr, flush=True)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    raise RuntimeError(f"timed out waiting for {what}")


def idle_within(session, seconds):
    """How many seconds it took the desktop to go idle, or None."""
    started = time.monotonic()
    while time.monotonic() - started < seconds:
        if session.row.idle(session):
            return round(time.monotonic() - started)
        time.sleep(2)
    return None


def awake_for(session, seconds):
    """Whether the desktop stayed awake all the while."""
    started = time.monotonic()
    while time.monotonic() - started < seconds:
        if session.row.idle(session):
            return False
        time.sleep(2)
    return True


class Show:
    """The real program in the session, its output in the session's logs."""

    def __init__(self, session, bus=True):
        self.session = session
        env = {} if bus else {"DBUS_SESSION_BUS_ADDRESS": NO_BUS}
        log = open(session.path("starmill.log"), "ab")
        self.proc = subprocess.Popen([PROGRAM], cwd=SOURCE, stdin=subprocess.DEVNULL, stdout=log,
                                     stderr=subprocess.STDOUT, env={**session.env, **env})
        log.close()
        wait_until(lambda: session.log("starmill").count("Size of the image data") >= 2 or self.proc.poll() is not None,
                   60, "the show")
        time.sleep(1)

    def key(self, key):
        self.session.xdotool("key", key)
        if self.session.row.keyed:
            self.session.row.keyed(self.session)

    def windowed(self):
        """F1, and the focus on the window, also where no window manager gives it."""
        self.key("F1")
        window = wait_until(lambda: self.session.xdotool("search", "--name", "^Starmill -Vanta$"), 30,
                            "the window")[0]
        time.sleep(2)
        self.session.xdotool("windowfocus", window)

    def escape(self):
        self.key("Escape")
        try:
            return self.proc.wait(30)
        except subprocess.TimeoutExpired:
            return None


def check_row(row):
    """The row's results: the desktop's own answer in each phase."""
    results = {}

    def session(phase, steps):
        s = Session(row, phase)
        failed = True
        try:
            row.start(s)
            steps(s)
            failed = False
        except (RuntimeError, OSError, subprocess.SubprocessError) as e:
            results.setdefault("error", f"{phase}: {e}")
        finally:
            s.close(keep=failed or not all(results.get(k) for k in ("nothing", "full-screen", "window", "after")
                                           if k in results))

    def nothing(s):
        results["nothing"] = idle_within(s, DELAY + MARGIN)

    def the_show(s):
        show = Show(s)
        results["full-screen"] = awake_for(s, SHOW)
        show.windowed()
        results["window"] = awake_for(s, SHOW)
        results["escape"] = show.escape() == 0
        results["after"] = idle_within(s, DELAY + MARGIN)

    def without_bus(s):
        show = Show(s, bus=False)
        show.windowed()
        results["no bus"] = awake_for(s, SHOW)
        show.escape()

    session("nothing", nothing)
    session("show", the_show)
    session("nobus", without_bus)
    return results


def cell(results, key):
    """A phase's result as the table shows it; the bold ones fail."""
    if key not in results:
        return "–"
    value = results[key]
    if key == "escape":
        return "0" if value else "**not 0**"
    if value is True:
        return "awake"
    if value is False:
        return "**idle**"
    if key in ("nothing", "after"):
        return "**never idle**" if value is None else f"idle at {value} s"
    return str(value)


def table_row(row, results):
    if row.rule and results.get("no bus"):
        holder = row.rule + ("" if results.get("full-screen") else ", in a window only")
    elif not (results.get("full-screen") and results.get("window")):
        holder = "nothing the program does"
    elif results.get("no bus"):
        holder = "the X side (the bus too, where served)"
    else:
        holder = "the session bus"
    if "error" in results:
        holder += f" (failed: {results['error']})"
    cells = [row.title, row.kind, row.release,
             *(cell(results, key) for key in ("nothing", "full-screen", "window", "escape", "after", "no bus")), holder]
    return "| " + " | ".join(cells) + " |"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--jobs", type=int, default=1, help="rows run at once")
    parser.add_argument("names", nargs="*", help="rows to run (all by default)")
    args = parser.parse_args()
    rows = [r for r in desktop_rows.ROWS if not args.names or r.name in args.names]
    unknown = set(args.names) - {r.name for r in rows}
    if unknown:
        sys.exit(f"no such row: {' '.join(sorted(unknown))}; the rows: {' '.join(r.name for r in desktop_rows.ROWS)}")
    reaper.become()
    # Stopped (^C, a timeout), it ends every row's pieces before it goes.
    for sig in (signal.SIGINT, signal.SIGTERM):
        signal.signal(sig, lambda *_: (reaper.end_all(), os._exit(1)))
    started = time.monotonic()
    print("| Desktop | Session | Release | Nothing running | Full-screen | Window | Escape | After | "
          "Window without the bus | What holds it |")
    print("|---|---|---|---|---|---|---|---|---|---|", flush=True)
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for row, results in zip(rows, pool.map(check_row, rows)):
            print(table_row(row, results), flush=True)
    reaper.end_all("left running by a row")
    print(f"\n{len(rows)} rows in {(time.monotonic() - started) / 60:.0f} min", flush=True)


if __name__ == "__main__":
    main()
