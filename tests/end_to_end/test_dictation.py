"""Dictates real recordings to the real pilto-listen through a virtual microphone and checks
every line it prints, its exit status and its silence on stderr."""

import os
import shutil
import signal
import subprocess
import unittest

from program_run import (INSTALLED_MODEL, LATEST_END_AFTER_STOP, LISTENING, SENTENCE_END,
                         MicrophoneTestCase, Run, begins_right, recording, room_noise, silence)


class Dictation(MicrophoneTestCase):
    # A locale the installed models do not cover, so that every run shows the fallback.
    LANG = "C.UTF-8"

    def dictate(self, *recordings, **overrides):
        run = Run(self.environment, **overrides)
        self.assertEqual(run.next_event(), LISTENING)
        self.microphone.play(silence(0.3, self.scratch))
        for path in recordings:
            self.microphone.play(path)
        self.microphone.play(silence(0.5, self.scratch))
        run.stop()
        return run, run.finish()

    def assertDictated(self, run, events, text):
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertEqual(events[0], LISTENING)
        self.assertFinalText(events[-1], text)
        partials = events[1:-1]
        self.assertTrue(partials, "no partial results")
        for event in partials:
            self.assertEqual(list(event), ["text", "final"])
            self.assertIs(event["final"], False)
        for before, after in zip(partials, partials[1:]):
            self.assertNotEqual(before, after, "a partial repeated the one before it")
        self.assertEqual(run.lines[0], '{"listening":true}')

    def test_go_forward(self):
        run, events = self.dictate(recording("goforward.raw"))
        self.assertDictated(run, events, "Go forward 10 meters.")

    def test_something(self):
        run, events = self.dictate(recording("something.raw"))
        self.assertDictated(run, events, "Go somewhere and do something.")

    def test_a_pause_between_sentences_closes_the_first(self):
        gap = silence(1.5, self.scratch)
        run, events = self.dictate(recording("something.raw"), gap, recording("goforward.raw"))
        self.assertDictated(run, events, "Go somewhere and do something. Go forward 10 meters.")
        # Once a partial has shown the first sentence closed, every later one keeps it, as heard.
        first = SENTENCE_END.split(events[-1]["text"])[0]
        self.assertTrue(first.endswith("."), events[-1])
        texts = [event["text"] for event in events[1:]]
        closed = next(index for index, text in enumerate(texts) if text.startswith(first))
        self.assertTrue(all(text.startswith(first) for text in texts[closed:]), texts[closed:])

    def test_the_first_words_after_listening_begins_are_heard(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        self.microphone.play(recording("something.raw"))
        self.microphone.play(silence(0.5, self.scratch))
        run.stop()
        events = run.finish()
        self.assertFinalText(events[-1], "Go somewhere and do something.")

    def test_a_long_pause_in_room_noise_before_speaking(self):
        noise = room_noise(7, self.scratch)
        run, events = self.dictate(noise, recording("goforward.raw"))
        self.assertDictated(run, events, "Go forward 10 meters.")

    def test_stop_in_the_middle_of_speech_still_gives_the_final_line(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        with subprocess.Popen(
                ["paplay", "--latency-msec=20", "--raw", "--rate=16000", "--channels=1",
                 "--format=s16le", recording("goforward.raw")], env=self.microphone.environment):
            # Two words in: a near tie may make the second "for", never fewer words.
            while (event := run.next_event()) and len(event.get("text", "").split()) < 2:
                pass
            run.stop()
            events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertIs(events[-1]["final"], True)
        self.assertTrue(begins_right(events[-1]["text"], "Go forward 10 meters."), events[-1])
        self.assertLess(run.ended_at - run.stopped_at, LATEST_END_AFTER_STOP)

    def test_end_of_input_acts_as_stop(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        self.microphone.play(recording("goforward.raw"))
        self.microphone.play(silence(0.5, self.scratch))
        events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertFinalText(events[-1], "Go forward 10 meters.")

    def test_a_termination_signal_acts_as_stop(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        self.microphone.play(recording("goforward.raw"))
        self.microphone.play(silence(0.5, self.scratch))
        run.process.send_signal(signal.SIGTERM)
        events = run.finish(close_input=False)
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertFinalText(events[-1], "Go forward 10 meters.")

    def test_a_locale_without_a_model_falls_back_to_us_english(self):
        run, events = self.dictate(recording("goforward.raw"), LANG="fr_FR.UTF-8",
                                   LC_ALL="de_DE.UTF-8")
        self.assertDictated(run, events, "Go forward 10 meters.")

    def test_a_model_in_the_users_directory_comes_first(self):
        data = os.path.join(self.scratch, "user-data")
        models = os.path.join(data, "pocketsphinx", "model")
        os.makedirs(models, exist_ok=True)
        shutil.copytree(INSTALLED_MODEL, os.path.join(models, "en-us"), dirs_exist_ok=True)
        os.remove(os.path.join(models, "en-us", "en-us.lm.bin"))
        run = Run(self.environment, XDG_DATA_HOME=data, LANG="en_US.UTF-8")
        events = run.finish()
        self.assertEqual(run.lines, ['{"error":"Speech recognition isn\'t available right now."}'])
        self.assertEqual(run.process.returncode, 1)
        self.assertEqual(run.errors, b"")

    def test_a_hostile_locale_never_reaches_a_path(self):
        # An incomplete model waits where a path built from the locale would lead; were it
        # used, the program would report recognition as unavailable instead of dictating.
        data = os.path.join(self.scratch, "hostile", "data")
        os.makedirs(os.path.join(self.scratch, "hostile", "trap"), exist_ok=True)
        os.makedirs(os.path.join(data, "pocketsphinx", "model"), exist_ok=True)
        for locale in ["../../../trap", "/tmp", "en-US/../../../../trap", "en_US.UTF-8/..",
                       "..", "en\nUS"]:
            with self.subTest(locale=locale):
                run, events = self.dictate(recording("goforward.raw"), LC_ALL=locale,
                                           XDG_DATA_HOME=data)
                self.assertDictated(run, events, "Go forward 10 meters.")


if __name__ == "__main__":
    unittest.main(verbosity=2)
