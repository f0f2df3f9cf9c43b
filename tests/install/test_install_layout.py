"""`cmake --install` of this build under a scratch prefix: what it lays out, and a manual page
that man renders cleanly with every message the program can print."""

import os
import subprocess
import sys
import tempfile
import unittest

BUILD = os.environ["PILTO_BUILD"]

MESSAGES = [
    "Pilto isn't allowed to use speech recognition. Turn it on in System Settings → Privacy & "
    "Security → Speech Recognition.",
    "Pilto isn't allowed to use the microphone. Turn it on in System Settings → Privacy & "
    "Security → Microphone.",
    "Speech recognition isn't available right now.",
    "No microphone found.",
    "Couldn't start the microphone:",
    "The microphone stopped delivering sound.",
    "The speech model could not be loaded.",
    "Speech recognition stopped responding.",
    "Speech recognition fell behind the microphone, and some speech was lost.",
]


class InstallLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.prefix = os.path.join(cls.scratch.name, "opt", "pilto")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_lays_out_the_program_its_manual_and_its_documents(self):
        installed = sorted(os.path.relpath(os.path.join(directory, name), self.prefix)
                           for directory, _, names in os.walk(self.prefix) for name in names)
        self.assertEqual(installed, [
            "bin/pilto-listen",
            "share/doc/pilto-listen/README.md",
            "share/doc/pilto-listen/changelog",
            "share/doc/pilto-listen/copyright",
            "share/man/man1/pilto-listen.1",
        ])
        self.assertTrue(os.access(os.path.join(self.prefix, "bin/pilto-listen"), os.X_OK))

    def test_the_manual_renders_without_warnings_and_carries_every_message(self):
        rendered = subprocess.run(
            ["man", "--warnings", "-l", os.path.join(self.prefix, "share/man/man1/pilto-listen.1")],
            env=dict(os.environ, MANWIDTH="1000", MAN_KEEP_FORMATTING="", LANG="C.UTF-8"),
            capture_output=True, check=True)
        self.assertEqual(rendered.stderr, b"")
        text = " ".join(rendered.stdout.decode().split())
        for message in MESSAGES:
            self.assertIn(message, text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
