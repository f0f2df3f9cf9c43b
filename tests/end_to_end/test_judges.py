#!/usr/bin/env python3
"""How the live suites judge a final text: lenient on near ties, strict on everything else."""

import unittest

from program_run import begins_right, sounds_right

EXPECTED = "Go forward 10 meters."

# heard, sounds right, begins right
VERDICTS = [
    ("Go forward 10 meters.", True, True),
    ("Go for 10 meters.", True, True),
    ("Go forward to and leaders.", True, True),
    ("Though forward 10 meters.", True, True),
    ("Go forward", False, True),
    ("Go forward 10 meters", False, True),
    ("Go for can we.", False, False),
    ("Though", False, False),
    ("", False, False),
    ("Hello world.", False, False),
    ("Go forward. 10 meters.", False, False),
    ("Go forward 10 meters. Go forward 10 meters.", False, False),
]


class Judges(unittest.TestCase):
    def test_verdicts(self):
        for heard, sounds, begins in VERDICTS:
            with self.subTest(heard=heard):
                self.assertIs(sounds_right(heard, EXPECTED), sounds)
                self.assertIs(begins_right(heard, EXPECTED), begins)

    def test_every_sentence_is_judged_on_its_own(self):
        expected = "Go forward 10 meters. Go forward 10 meters."
        self.assertTrue(sounds_right("Go for 10 meters. Go forward to and leaders.", expected))
        self.assertFalse(sounds_right("Go forward 10 meters. Go for can we.", expected))


if __name__ == "__main__":
    unittest.main()
