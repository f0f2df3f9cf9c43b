"""The example hosts in examples/, run as a user would in a terminal, against the real program
on the virtual microphone: what each prints, line by line."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "end_to_end"))

from program_run import (MicrophoneTestCase, recording, sanitizer_options,  # noqa: E402
                         silence, sounds_right)

EXAMPLES = os.path.join(os.path.dirname(__file__), "..", "..", "examples")
HOSTS = {
    "node, stop by stdin": ["node", os.path.join(EXAMPLES, "node", "dictate.js")],
    "node, stop by child.kill()": ["node", os.path.join(EXAMPLES, "node", "dictate.js"), "--kill"],
    "python asyncio": [sys.executable, os.path.join(EXAMPLES, "python", "dictate.py")],
}


class ExampleHosts(MicrophoneTestCase):
    def test_each_host_prints_the_dictation_and_its_end(self):
        for name, command in HOSTS.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as reports, \
                    subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     env=dict(self.environment,
                                              **sanitizer_options(reports))) as host:
                try:
                    self.assertEqual(host.stdout.readline(),
                                     b"Listening. Press Enter when you are done.\n")
                    self.microphone.play(recording("goforward.raw"))
                    self.microphone.play(silence(0.5, self.scratch))
                    output, _ = host.communicate(b"\n", timeout=60)
                finally:
                    host.kill()
                lines = output.decode().splitlines()
                self.assertEqual(host.returncode, 0, lines)
                self.assertEqual(lines[-1], "pilto-listen exited with 0")
                self.assertTrue(lines[-2].startswith("Final: "), lines)
                self.assertTrue(sounds_right(lines[-2].removeprefix("Final: "),
                                             "Go forward 10 meters."), lines)
                for line in lines[:-2]:
                    self.assertTrue(line.startswith("So far: "), line)
                self.assertEqual(os.listdir(reports), [])

if __name__ == "__main__":
    unittest.main()
