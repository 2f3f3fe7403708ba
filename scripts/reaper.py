#!/usr/bin/python3
"""Runs a test and ends whatever it started: scripts/reaper.py SECONDS COMMAND...

Every process the command starts stays below this one, whatever session it
moves to, since this one takes in the orphans (a child subreaper). Once the
command ends, anything of it still running after a short grace is named,
ended and fails the test: a helper left behind would hold the test runner's
output pipe open, and the runner would wait for it for ever. A command still
running after SECONDS is ended the same way, with all it started, so that
the runner's own timeout never meets a process tree it cannot end.

Imported, it lends the same to a tool that starts whole desktops: become()
makes the calling process the subreaper, end_all() ends what it started."""
import ctypes
import os
import signal
import subprocess
import sys
import time

PR_SET_CHILD_SUBREAPER = 36
GRACE = 5.0  # a helper told to end (a compositor's Xwayland, say) may take a moment


def running(pid, mark):
    """Whether the process runs (a zombie does not), carrying `mark` if given."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                return False
        if mark is None:
            return True
        with open(f"/proc/{pid}/environ", "rb") as f:
            return mark.encode() in f.read().split(b"\0")
    except OSError:
        return False


def descendants(mark=None):
    """The processes running below this one; with `mark` (NAME=VALUE), only
    those whose environment holds it."""
    found, pending = [], [os.getpid()]
    while pending:
        pid = pending.pop()
        try:
            for task in os.listdir(f"/proc/{pid}/task"):
                with open(f"/proc/{pid}/task/{task}/children") as f:
                    pending += [int(child) for child in f.read().split()]
        except OSError:
            continue  # it ended meanwhile
        if pid != os.getpid() and running(pid, mark):
            found.append(pid)
    return found


def reap():
    """Collects the ended orphans, which would stay zombies of this process."""
    try:
        while os.waitpid(-1, os.WNOHANG)[0] > 0:
            pass
    except ChildProcessError:
        pass


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read().replace(b"\0", b" ").decode(errors="replace").strip()
    except OSError:
        return "?"


def wait_for_none(seconds, mark=None):
    deadline = time.monotonic() + seconds
    while True:
        # Those ended are collected only when all are ended: a tool that
        # ends a part of them leaves the rest to the owners' own waits.
        if mark is None:
            reap()
        left = descendants(mark)
        if not left or time.monotonic() > deadline:
            return left
        time.sleep(0.1)


def end_all(why=None, grace=0.0, mark=None):
    """Ends every process below this one (with `mark`, those that carry it),
    once `grace` seconds have given them a chance to end by themselves;
    names those it found, after `why`. Returns whether there were any."""
    left = wait_for_none(grace, mark)
    for pid in left if why else ():
        print(f"reaper: {why}: {pid} {command_line(pid)}", file=sys.stderr, flush=True)
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in descendants(mark):
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        if not wait_for_none(GRACE, mark):
            break
    return bool(left)


def become():
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def main():
    seconds, command = float(sys.argv[1]), sys.argv[2:]
    become()
    # The runner's own end (a timeout, ^C) ends the test's processes too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(end_all("ended with the runner") or 1))
    signal.signal(signal.SIGINT, signal.getsignal(signal.SIGTERM))
    test = subprocess.Popen(command)
    try:
        status = test.wait(seconds)
    except subprocess.TimeoutExpired:
        print(f"reaper: still running after {seconds:.0f} s", file=sys.stderr, flush=True)
        end_all("ended at the deadline")
        return 1
    if end_all("left running", GRACE):
        return status or 1
    return status


if __name__ == "__main__":
    sys.exit(main())
