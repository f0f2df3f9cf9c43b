"""Faults a host, the audio server, the input or the installation can throw at the real
pilto-listen. Whatever happens, the program keeps its protocol: whole JSON lines, one of its
designed exit statuses, never a signal, never a hang past its deadline, nothing on stderr."""

import contextlib
import fcntl
import json
import os
import random
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

from program_run import (INSTALLED_MODEL, LATEST_END_AFTER_STOP, LISTENING, PROGRAM, SANITIZED,
                         TIME_SCALE, MicrophoneTestCase, ProgramTestCase, Run, begins_right,
                         recording, silence)
from virtual_microphone import VirtualMicrophone

GO_FORWARD = {"text": "Go forward 10 meters.", "final": True}
UNAVAILABLE = '{"error":"Speech recognition isn\'t available right now."}'
F_SETPIPE_SZ = 1031


@contextlib.contextmanager
def busy_loops(count, prefix=()):
    """Processes that take all the CPU time they are given, for as long as the block runs."""
    busy = [subprocess.Popen([*prefix, "python3", "-c", "while True: pass"]) for _ in range(count)]
    try:
        yield
    finally:
        for process in busy:
            process.kill()
            process.wait()


class Faults(MicrophoneTestCase):
    def speak(self):
        self.microphone.play(silence(0.3, self.scratch))
        self.microphone.play(recording("goforward.raw"))
        self.microphone.play(silence(0.5, self.scratch))

    def assertDesignedEnd(self, run, status):
        self.assertEqual(run.process.returncode, status, "a signal or the wrong status")
        self.assertEqual(run.errors, b"")

    def normal_dictation(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        self.speak()
        events = run.finish()
        self.assertFinalText(events[-1], GO_FORWARD["text"])
        return run

    # The host and its pipes

    def test_stdout_closed_before_the_first_line(self):
        run = Run(self.environment, stdout=None, preexec_fn=lambda: os.close(1))
        time.sleep(1)
        run.finish()
        self.assertDesignedEnd(run, 0)

    def test_stdout_closed_in_the_middle_of_a_dictation(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        run.process.stdout.close()
        self.speak()
        run.finish()
        self.assertDesignedEnd(run, 0)

    def test_a_host_that_reads_one_line_and_goes_away(self):
        run = Run(self.environment)
        head = subprocess.Popen(["head", "-n", "1"], stdin=run.process.stdout,
                                stdout=subprocess.PIPE)
        run.process.stdout.close()
        self.assertEqual(head.communicate(timeout=10)[0], b'{"listening":true}\n')
        self.speak()
        run.finish()
        self.assertDesignedEnd(run, 0)

    def test_stdout_on_a_full_device(self):
        with open("/dev/full", "wb") as full:
            run = Run(self.environment, stdout=full)
        time.sleep(0.5)
        self.speak()
        run.finish()
        self.assertDesignedEnd(run, 0)

    def test_a_host_that_never_reads_still_gets_its_deadline(self):
        reading, writing = os.pipe()
        run = Run(self.environment, stdout=writing)
        fcntl.fcntl(writing, F_SETPIPE_SZ, 4096)
        listening = b""
        while not listening.endswith(b"\n"):
            listening += os.read(reading, 1)
        self.assertEqual(listening, b'{"listening":true}\n')
        # Fill the pipe through our own copy of its writing end; the host then reads nothing.
        os.set_blocking(writing, False)
        try:
            while True:
                os.write(writing, b"#" * 512)
        except BlockingIOError:
            pass
        self.speak()
        run.stop()
        run.finish(timeout=15)
        self.assertDesignedEnd(run, 0)
        self.assertLess(run.ended_at - run.stopped_at, LATEST_END_AFTER_STOP)
        os.close(reading)
        os.close(writing)

    # Standard input

    def test_stdin_closed_at_once(self):
        run = Run(self.environment, stdin=None, preexec_fn=lambda: os.close(0))
        events = run.finish()
        self.assertDesignedEnd(run, 0)
        self.assertEqual(events, [LISTENING, {"text": "", "final": True}])

    def test_a_stdin_that_fails_to_read_acts_as_stop(self):
        directory = os.open("/", os.O_RDONLY)  # reading a directory fails with EISDIR
        run = Run(self.environment, stdin=directory)
        os.close(directory)
        events = run.finish()
        self.assertDesignedEnd(run, 0)
        self.assertEqual(events, [LISTENING, {"text": "", "final": True}])

    def test_endless_or_binary_input_needs_no_more_memory(self):
        baseline = self.normal_dictation().peak_rss_mib
        garbage = bytes(random.Random(7).randrange(256) for _ in range(1 << 16))
        garbage = garbage.replace(b"stop", b"st0p")
        for name, feed in [("100 MB without a line feed", lambda run: [
                               run.send(b"x" * (1 << 20)) for _ in range(100)]),
                           ("binary garbage with NUL bytes", lambda run: [
                               run.send(garbage + b"\0\0\n") for _ in range(100)])]:
            with self.subTest(name):
                run = Run(self.environment)
                self.assertEqual(run.next_event(), LISTENING)
                feeding = threading.Thread(target=feed, args=(run,))
                feeding.start()
                self.speak()
                feeding.join()
                events = run.finish()
                self.assertDesignedEnd(run, 0)
                # Reading the flood takes the cores from decoding, which may give the first
                # decoding's words: the words are checked where nothing competes.
                self.assertIs(events[-1]["final"], True)
                self.assertTrue(events[-1]["text"], events)
                self.assertLess(run.peak_rss_mib, baseline + 8)

    def test_stop_arriving_in_pieces(self):
        run = Run(self.environment)
        self.assertEqual(run.next_event(), LISTENING)
        self.speak()
        for piece in [b" s", b"t", b"op", b"\t\r", b"\n"]:
            run.send(piece)
            time.sleep(0.05)
        events = run.finish(close_input=False)
        self.assertDesignedEnd(run, 0)
        self.assertFinalText(events[-1], GO_FORWARD["text"])

    # Faults injected into system calls

    def fifo(self, name):
        """Both ends of a named pipe, which strace can name where it cannot name a pipe."""
        path = os.path.join(self.scratch, name)
        if not os.path.exists(path):
            os.mkfifo(path)
        reading = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
        writing = os.open(path, os.O_WRONLY)
        os.set_blocking(reading, True)
        return path, reading, writing

    def injecting(self, path, injection, **streams):
        syscall = injection.split("=")[1].split(":")[0]
        # With seccomp-bpf, only the traced system call stops the program.
        return Run(self.environment, prefix=["strace", "-f", "--seccomp-bpf", "-qq", "-o",
                                             "/dev/null", "-P", path, "-e", f"trace={syscall}",
                                             "-e", injection], **streams)

    def test_a_failing_write_loses_that_line_alone(self):
        path, reading, writing = self.fifo("output")
        run = self.injecting(path, "inject=write:error=EPIPE:when=3", stdout=writing)
        os.close(writing)
        with os.fdopen(reading, "rb") as output:
            self.assertEqual(output.readline(), b'{"listening":true}\n')
            self.speak()
            run.stop()
            lines = output.read().decode().splitlines()
        run.finish()
        self.assertDesignedEnd(run, 0)
        events = [json.loads(line) for line in lines]
        # Every write stops the program under strace; slowed that much, and beside busy loops,
        # its final line may bring only the first words decoded by the deadline.
        self.assertIs(events[-1]["final"], True)
        self.assertTrue(events[-1]["text"].startswith("Go"), events[-1])
        self.assertTrue(all(event["final"] is False for event in events[:-1]))

    def test_a_failing_read_of_stdin_acts_as_stop(self):
        path, reading, writing = self.fifo("input")
        run = self.injecting(path, "inject=read:error=EIO:when=1", stdin=reading)
        os.close(reading)
        events = run.finish()
        os.close(writing)
        self.assertDesignedEnd(run, 0)
        # Every read stops the program under strace, and loading the model takes thousands: the
        # grace period may end before the recognizer has finished.
        self.assertIn(events, ([LISTENING, {"text": "", "final": True}], [LISTENING]))

    # Many at once

    @unittest.skipIf(SANITIZED, "four sanitized decoders cannot keep up on two cores")
    def test_four_dictations_at_once(self):
        runs = [Run(self.environment) for _ in range(4)]
        for run in runs:
            self.assertEqual(run.next_event(), LISTENING)
        self.speak()
        for run in runs:
            run.stop()
        for run in runs:
            events = run.finish()
            self.assertDesignedEnd(run, 0)
            # Four decoders share two cores with the rest of the suite; one that falls behind
            # gives the words it had decoded by its deadline.
            self.assertIs(events[-1]["final"], True)
            self.assertTrue(any(event.get("text") for event in events), events)

    def test_the_final_line_comes_in_time_on_a_busy_machine(self):
        with busy_loops(2):
            run = Run(self.environment)
            self.assertEqual(run.next_event(), LISTENING)
            self.speak()
            self.microphone.play(recording("something.raw"))
            run.stop()
            events = run.finish()
        self.assertDesignedEnd(run, 0)
        self.assertIs(events[-1]["final"], True)
        # Decoding may still be behind: the final text may be cut short.
        self.assertTrue(begins_right(events[-1]["text"],
                                     "Go forward 10 meters. Go somewhere and do something."),
                        events[-1])
        self.assertLess(run.ended_at - run.stopped_at, LATEST_END_AFTER_STOP)

    def test_a_starved_program_still_gives_its_final_line(self):
        # On one core, beside two busy loops that outrank it, the program decodes far more
        # slowly than the microphone speaks: the final line brings what was decoded by then.
        on_one_core = ["taskset", "-c", str(min(os.sched_getaffinity(0)))]
        with busy_loops(2, prefix=on_one_core):
            run = Run(self.environment, prefix=[*on_one_core, "nice", "-n", "5"])
            self.assertEqual(run.next_event(), LISTENING)
            self.speak()
            run.stop()
            events = run.finish()
        self.assertDesignedEnd(run, 0)
        self.assertIs(events[-1]["final"], True, events)
        self.assertLess(run.ended_at - run.stopped_at, LATEST_END_AFTER_STOP)


class AudioServerFaults(ProgramTestCase):
    def assertCaptureLostWhen(self, change):
        with VirtualMicrophone() as microphone:
            run = Run(microphone.environment)
            self.assertEqual(run.next_event(), LISTENING)
            change(microphone)
            # Standard input stays open: only the loss may end the run.
            run.finish(timeout=20, close_input=False)
        self.assertEqual(run.lines, ['{"listening":true}',
                                     '{"error":"The microphone stopped delivering sound."}'])
        self.assertEqual(run.process.returncode, 1)
        self.assertEqual(run.errors, b"")

    @contextlib.contextmanager
    def heard_going_forward(self):
        """A dictation on a fresh server that has heard "go forward ten meters" and the pause
        after it: a partial result shows the sentence closed, whatever words near ties made."""
        with VirtualMicrophone() as microphone:
            run = Run(microphone.environment)
            self.assertEqual(run.next_event(), LISTENING)
            microphone.play(recording("goforward.raw"))
            microphone.play(silence(1, microphone.runtime))
            while (event := run.next_event()) and not event.get("text", "").endswith("."):
                pass
            self.assertIsNotNone(event, "no partial result with the sentence closed")
            yield microphone, run

    def test_losing_the_audio_server_for_good_is_an_error(self):
        self.assertCaptureLostWhen(VirtualMicrophone.stop)

    def test_a_dictation_goes_on_through_a_server_restart(self):
        with self.heard_going_forward() as (microphone, run):
            microphone.restart()
            microphone.wait_for(lambda: microphone.recording_sources() == {"microphone.monitor"},
                                "the dictation to record from the microphone again")
            microphone.play(recording("something.raw"))
            run.stop()
            events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertFinalText(
            events[-1], "Go forward 10 meters. Go somewhere and do something.")
        self.assertEqual(events.count(LISTENING), 1)

    def test_a_stop_while_the_server_is_away_gives_the_words_heard_before(self):
        with self.heard_going_forward() as (microphone, run):
            microphone.stop()
            run.stop()
            events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertFinalText(events[-1], GO_FORWARD["text"])
        self.assertLess(run.ended_at - run.stopped_at, LATEST_END_AFTER_STOP)

    def assertDictationCarriesOnAfter(self, change, moved):
        """Speech before the change and speech into the default source after it both count."""
        with VirtualMicrophone() as microphone:
            run = Run(microphone.environment)
            self.assertEqual(run.next_event(), LISTENING)
            microphone.play(recording("goforward.raw"))
            change(microphone)
            microphone.wait_for(lambda: moved(microphone),
                                "the dictation to move to the new default source")
            microphone.play(recording("something.raw"))
            run.stop()
            events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertFinalText(
            events[-1], "Go forward 10 meters. Go somewhere and do something.")

    def test_removing_the_default_source_carries_on_with_the_next_default(self):
        self.assertDictationCarriesOnAfter(
            lambda microphone: microphone.pactl("unload-module", microphone.module),
            lambda microphone: microphone.recording_sources() == {
                microphone.default_source()} != {"microphone.monitor"})

    def test_switching_the_default_source_carries_on_with_the_new_one(self):
        self.assertDictationCarriesOnAfter(
            lambda microphone: microphone.add_microphone("headset"),
            lambda microphone: microphone.recording_sources() == {"headset.monitor"})

    def test_no_audio_server_and_no_sound_card_means_no_microphone(self):
        with tempfile.TemporaryDirectory(prefix="pilto-silent-") as runtime:
            environment = dict(os.environ, XDG_RUNTIME_DIR=runtime,
                               PULSE_SERVER=f"unix:{runtime}/nothing-here")
            run = Run(environment)
            run.finish()
        self.assertEqual(run.lines, ['{"error":"No microphone found."}'])
        self.assertEqual(run.process.returncode, 1)
        self.assertEqual(run.errors, b"")


class CaptureDeviceFaults(ProgramTestCase):
    """ALSA configurations of the program's own, in place of the system's, for devices that no
    audio server can stand in for."""

    def run_with_default_pcm(self, definition):
        with tempfile.TemporaryDirectory(prefix="pilto-alsa-") as directory:
            path = os.path.join(directory, "asound.conf")
            with open(path, "w") as config:
                config.write(f"pcm.!default {{ {definition} }}\n")
            run = Run(dict(os.environ, ALSA_CONFIG_PATH=path))
            run.finish(close_input=False)
        self.assertEqual(run.process.returncode, 1)
        self.assertEqual(run.errors, b"")
        return run.lines

    def test_a_default_device_that_does_not_exist_means_no_microphone(self):
        self.assertEqual(self.run_with_default_pcm("type hw card 99"),
                         ['{"error":"No microphone found."}'])

    def test_a_device_that_refuses_the_format_fails_in_alsas_words(self):
        self.assertEqual(
            self.run_with_default_pcm("type linear slave { pcm { type null } format S16_LE }"),
            ['{"error":"Couldn\'t start the microphone: Invalid argument"}'])


class ModelFaults(ProgramTestCase):
    """Damaged copies of the model in a private model directory, never the installed one."""

    def setUp(self):
        super().setUp()
        self.data = self.enterContext(tempfile.TemporaryDirectory(prefix="pilto-models-"))
        os.chmod(self.data, 0o755)
        self.model = os.path.join(self.data, "pocketsphinx", "model", "en-us")
        shutil.copytree(INSTALLED_MODEL, self.model)
        for directory in [self.data, os.path.dirname(self.model), os.path.dirname(
                os.path.dirname(self.model))]:
            os.chmod(directory, 0o755)
        self.microphone = self.enterContext(VirtualMicrophone())
        self.environment = dict(self.microphone.environment, LANG="en_US.UTF-8",
                                XDG_DATA_HOME=self.data)

    def assertOneErrorLine(self, run):
        run.finish(timeout=20, close_input=False)
        self.assertEqual(run.process.returncode, 1)
        self.assertEqual(run.errors, b"")
        self.assertIn("error", json.loads(run.lines[-1]))
        self.assertEqual([line for line in run.lines if line != '{"listening":true}'],
                         run.lines[-1:])

    def assertOneErrorLineOrAnOrdinaryEnd(self, run):
        """For a file PocketSphinx may read past its end into memory it never set: on some runs
        it refuses the model, on others it decodes with it. Either way the run ends as designed."""
        deadline = time.monotonic() + 10 * TIME_SCALE
        while time.monotonic() < deadline:
            if os.waitid(os.P_PID, run.process.pid, os.WEXITED | os.WNOHANG | os.WNOWAIT):
                return self.assertOneErrorLine(run)
            time.sleep(0.05)
        run.stop()
        events = run.finish()
        self.assertEqual(run.process.returncode, 0)
        self.assertEqual(run.errors, b"")
        self.assertIs(events[-1]["final"], True)

    def test_a_truncated_model_file(self):
        for name in ["en-us/mdef", "en-us/sendump", "en-us/means", "en-us.lm.bin"]:
            with self.subTest(name):
                shutil.copytree(INSTALLED_MODEL, self.model, dirs_exist_ok=True)
                path = os.path.join(self.model, name)
                os.truncate(path, os.path.getsize(path) // 3)
                run = Run(self.environment)
                if name == "en-us/mdef":
                    self.assertOneErrorLineOrAnOrdinaryEnd(run)
                else:
                    self.assertOneErrorLine(run)

    def test_a_model_file_corrupted_in_place(self):
        path = os.path.join(self.model, "en-us", "means")
        with open(path, "r+b") as means:
            means.seek(0)
            means.write(bytes(random.Random(3).randrange(256) for _ in range(100_000)))
        self.assertOneErrorLine(Run(self.environment))

    def test_an_unreadable_model(self):
        if os.geteuid() != 0:
            self.skipTest("needs root to run the program as another user")
        for name in os.listdir(self.model):
            path = os.path.join(self.model, name)
            if os.path.isfile(path):
                os.chmod(path, 0o000)
        # A copy nobody may run, wherever the build tree is.
        program = os.path.join(self.data, "pilto-listen")
        shutil.copy(PROGRAM, program)
        os.chmod(program, 0o755)
        environment = dict(self.environment, PILTO_LISTEN=program)
        process = subprocess.run(
            ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program],
            env=environment, input=b"", capture_output=True, timeout=20)
        self.assertEqual(process.stdout.decode().splitlines(), [UNAVAILABLE])
        self.assertEqual(process.returncode, 1)
        self.assertEqual(process.stderr, b"")


if __name__ == "__main__":
    unittest.main(verbosity=2)
