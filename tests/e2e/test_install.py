#!/usr/bin/env python3
"""The installed program: `cmake --install` into a staging directory, and
the Debian package built from the source tree, checked by lintian, installed
with apt-get, run by its name from / on the private X server, and removed
without a trace.

Environment as for test_starmill.py, plus STARMILL_BUILD (the build tree).
The package half needs root."""
import glob
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

from test_starmill import SOURCE, Starmill, video_mode

BUILD = os.environ.get("STARMILL_BUILD", "build")
DESKTOP_ID = "org.starmill.Starmill"


def run_starmill(test, command, cwd, env=None):
    """Starts the program and ends it with Escape; it must find its images."""
    with Starmill(command, cwd=cwd, env=env) as run:
        test.assertNotIn("File not found", run.output())
        test.assertEqual(run.output().count("Bits per Pixel: 24"), 2)
        test.assertEqual(video_mode(), "640x480")
        run.key("Escape")
        test.assertEqual(run.wait_exit(), 0)
    test.assertEqual(video_mode(), "1024x768")


def check(test, *command, env=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    test.assertEqual(result.returncode, 0, result.stdout + result.stderr)
    return result.stdout + result.stderr


class Install(unittest.TestCase):
    def test_installed_launcher_finds_its_images_from_anywhere(self):
        with tempfile.TemporaryDirectory() as dest:
            subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                           capture_output=True, env={**os.environ, "DESTDIR": dest})
            for path in ("usr/bin/starmill", "usr/libexec/starmill/starmill", "usr/share/starmill/Data/Star.bmp",
                         "usr/share/starmill/Data/white.bmp", "usr/share/man/man6/starmill.6",
                         f"usr/share/applications/{DESKTOP_ID}.desktop",
                         f"usr/share/metainfo/{DESKTOP_ID}.metainfo.xml",
                         "usr/share/icons/hicolor/scalable/apps/starmill.svg"):
                self.assertTrue(os.path.exists(os.path.join(dest, path)), path)
            with tempfile.TemporaryDirectory() as elsewhere:
                run_starmill(self, os.path.join(dest, "usr/bin/starmill"), elsewhere)

    def test_debian_package_builds_clean_installs_runs_and_leaves_no_trace(self):
        with tempfile.TemporaryDirectory() as tmp:
            tree = os.path.join(tmp, "starmill")
            shutil.copytree(SOURCE, tree, ignore=shutil.ignore_patterns("build*", "out", ".git", "obj-*"))
            env = {**os.environ, "DEB_BUILD_OPTIONS": f"parallel={os.cpu_count()}"}
            build = subprocess.run(["dpkg-buildpackage", "-us", "-uc", "-b"], cwd=tree, env=env,
                                   capture_output=True, text=True)
            self.assertEqual(build.returncode, 0, build.stdout[-3000:] + build.stderr[-3000:])
            deb = glob.glob(os.path.join(tmp, "starmill_*.deb"))[0]
            # lintian's own scratch files go with the rest.
            lint = check(self, "lintian", "-I", "--pedantic", *glob.glob(os.path.join(tmp, "*.changes")),
                         env={**os.environ, "TMPDIR": tmp})
            self.assertEqual([l for l in lint.splitlines() if l[:2] in ("E:", "W:")], [], lint)

            check(self, "apt-get", "install", "-y", "--no-install-recommends", deb)
            try:
                files = [f for f in check(self, "dpkg", "-L", "starmill").split()
                         if os.path.isfile(f) or os.path.islink(f)]
                self.assertIn("/usr/games/starmill", files)
                self.assertIn("/usr/share/games/starmill/Data/Star.bmp", files)
                # The program is hardened in full: position-independent, and
                # its relocations bound at start and read-only after (bind-now
                # only comes with all of the hardening).
                programs = [f for f in files if pathlib.Path(f).read_bytes()[:4] == b"\x7fELF"]
                self.assertEqual(len(programs), 1, files)
                elf = check(self, "readelf", "--dynamic", "--program-headers", programs[0])
                for mark in ("BIND_NOW", "Flags: NOW PIE", "GNU_RELRO"):
                    self.assertIn(mark, elf)
                check(self, "desktop-file-validate", f"/usr/share/applications/{DESKTOP_ID}.desktop")
                # No public homepage yet: AppStream 1.0 warns of that, and of nothing else.
                report = subprocess.run(["appstreamcli", "validate", "--no-net",
                                         f"/usr/share/metainfo/{DESKTOP_ID}.metainfo.xml"], capture_output=True, text=True)
                self.assertEqual([l for l in report.stdout.splitlines()
                                  if l[:2] in ("E:", "W:") and "url-homepage-missing" not in l], [], report.stdout)
                page = subprocess.run(["zcat", "/usr/share/man/man6/starmill.6.gz"], capture_output=True,
                                      check=True).stdout
                lint_page = subprocess.run(["groff", "-man", "-ww", "-z"], input=page, capture_output=True)
                self.assertEqual((lint_page.returncode, lint_page.stderr), (0, b""))
                path = {"PATH": os.environ["PATH"] + ":/usr/games"}
                run_starmill(self, "starmill", "/", env=path)
            finally:
                check(self, "apt-get", "remove", "--purge", "-y", "starmill")
            self.assertEqual([f for f in files if os.path.lexists(f)], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
