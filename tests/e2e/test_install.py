#!/usr/bin/env python3
"""The installed program: `cmake --install` into a staging directory and the
Debian package made by CPack, each started through its launcher from an
unrelated working directory on the private X server.

Environment as for test_starmill.py, plus STARMILL_BUILD (the build tree)."""
import os
import subprocess
import tempfile
import unittest

from test_starmill import Starmill, video_mode

BUILD = os.environ.get("STARMILL_BUILD", "build")


def run_launcher(test, launcher):
    """Starts the launcher from an empty directory and ends it with Escape."""
    with tempfile.TemporaryDirectory() as elsewhere:
        with Starmill(launcher, cwd=elsewhere) as run:
            test.assertNotIn("File not found", run.output())
            test.assertEqual(run.output().count("Bits per Pixel: 24"), 2)
            test.assertEqual(video_mode(), "640x480")
            run.key("Escape")
            test.assertEqual(run.wait_exit(), 0)
    test.assertEqual(video_mode(), "1024x768")


class Install(unittest.TestCase):
    def test_installed_launcher_finds_its_images_from_anywhere(self):
        with tempfile.TemporaryDirectory() as dest:
            subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                           capture_output=True, env={**os.environ, "DESTDIR": dest})
            for path in ("usr/bin/starmill", "usr/share/starmill/Data/Star.bmp",
                         "usr/share/starmill/Data/white.bmp", "usr/share/man/man6/starmill.6",
                         "usr/share/applications/starmill.desktop"):
                self.assertTrue(os.path.exists(os.path.join(dest, path)), path)
            run_launcher(self, os.path.join(dest, "usr/bin/starmill"))

    def test_debian_package_holds_a_working_program_and_its_dependencies(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run(["cpack", "-G", "DEB", "-B", tmp, "--config",
                            os.path.join(BUILD, "CPackConfig.cmake")], check=True, capture_output=True)
            deb = next(os.path.join(tmp, f) for f in os.listdir(tmp) if f.endswith(".deb"))
            depends = subprocess.run(["dpkg-deb", "-f", deb, "Depends"], capture_output=True, text=True,
                                     check=True).stdout
            for package in ("libx11-6", "libxxf86vm1", "libglut3.12", "libglu1-mesa", "xfonts-base"):
                self.assertIn(package, depends)

            root = os.path.join(tmp, "root")
            subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
            page = os.path.join(root, "usr/share/man/man6/starmill.6")
            lint = subprocess.run(["groff", "-man", "-ww", "-z", page], capture_output=True, text=True)
            self.assertEqual((lint.returncode, lint.stderr), (0, ""))
            entry = os.path.join(root, "usr/share/applications/starmill.desktop")
            check = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
            self.assertEqual((check.returncode, check.stdout), (0, ""))
            run_launcher(self, os.path.join(root, "usr/bin/starmill"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
