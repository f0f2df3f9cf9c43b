"""Installs the Debian package into a clean Debian root as a user would, dictates a recording
with the installed program on the virtual microphone, then removes the package and checks that
nothing of it is left. Takes the package and a freshly bootstrapped root from the environment."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "end_to_end"))
os.environ.setdefault("PILTO_LISTEN", "/usr/bin/pilto-listen")

from program_run import LISTENING, ProgramTestCase, Run, recording  # noqa: E402
from virtual_microphone import VirtualMicrophone  # noqa: E402

PACKAGE = os.path.abspath(os.environ["PILTO_PACKAGE"])
ROOT = os.path.abspath(os.environ["PILTO_ROOT"])

# A desktop's ALSA default is its audio server; a bare root has none, so say it as one would.
ALSA_DEFAULT_IS_PULSE = "pcm.!default pulse\nctl.!default pulse\n"


# The root has its own /tmp: a temporary directory of the host's means nothing there.
ROOT_ENVIRONMENT = {name: value for name, value in os.environ.items() if name != "TMPDIR"}


def in_root(*command, check=True, **options):
    return subprocess.run(["chroot", ROOT, *command], check=check, env=ROOT_ENVIRONMENT,
                          **options)


def packaged_paths():
    listing = subprocess.run(["dpkg-deb", "--fsys-tarfile", PACKAGE], check=True,
                             capture_output=True).stdout
    names = subprocess.run(["tar", "-t"], input=listing, check=True,
                           capture_output=True).stdout.decode().split()
    return [name.lstrip(".").rstrip("/") for name in names if name.strip("./")]


class InstalledPackage(ProgramTestCase):
    def setUp(self):
        super().setUp()
        self.mounts = []
        self.mount("proc", "-t", "proc", "proc")
        self.mount("dev", "--rbind", "/dev")
        in_root("apt-get", "update", "-qq", stdout=subprocess.DEVNULL)

    def tearDown(self):
        for target in reversed(self.mounts):
            subprocess.run(["umount", "-R", "-l", target], check=False)

    def mount(self, inside, *how):
        target = os.path.join(ROOT, inside)
        os.makedirs(target, exist_ok=True)
        subprocess.run(["mount", *how, target], check=True)
        self.mounts.append(target)

    def test_install_dictate_and_remove(self):
        self.install()
        self.assertFinalText(self.dictate(), "Go forward 10 meters.")
        self.remove()

    def install(self):
        subprocess.run(["cp", PACKAGE, os.path.join(ROOT, "tmp")], check=True)
        in_root("env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "install", "-y", "-qq",
                "/tmp/" + os.path.basename(PACKAGE), stdout=subprocess.DEVNULL)
        with open(os.path.join(ROOT, "etc/asound.conf"), "w") as config:
            config.write(ALSA_DEFAULT_IS_PULSE)
        for path in packaged_paths():
            self.assertTrue(os.path.lexists(ROOT + path), path)

    def dictate(self):
        with VirtualMicrophone() as microphone:
            self.mount(microphone.runtime.lstrip("/"), "--bind", microphone.runtime)
            environment = dict(microphone.environment, LANG="en_US.UTF-8", HOME="/root")
            environment.pop("TMPDIR", None)
            run = Run(environment, prefix=("chroot", ROOT))
            self.assertEqual(run.next_event(), LISTENING)
            microphone.play(recording("goforward.raw"))
            run.stop()
            events = run.finish()
            subprocess.run(["umount", self.mounts.pop()], check=True)
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        return events[-1]

    def remove(self):
        in_root("env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "purge", "-y", "-qq",
                "pilto-listen", stdout=subprocess.DEVNULL)
        status = in_root("dpkg-query", "-W", "-f=${Status}", "pilto-listen", check=False,
                         capture_output=True)
        self.assertNotIn(b"installed", status.stdout)
        shared = {"/usr", "/usr/bin", "/usr/share", "/usr/share/doc", "/usr/share/man",
                  "/usr/share/man/man1"}
        left = [path for path in packaged_paths()
                if path not in shared and os.path.lexists(ROOT + path)]
        self.assertEqual(left, [])


if __name__ == "__main__":
    unittest.main()
