"""Runs the real pilto-listen with its standard streams on pipes, as a host would."""

import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

from virtual_microphone import VirtualMicrophone

PROGRAM = os.environ["PILTO_LISTEN"]
RECORDINGS = "/usr/share/pocketsphinx/test/data"
INSTALLED_MODEL = "/usr/share/pocketsphinx/model/en-us"
LISTENING = {"listening": True}

# A build with a sanitizer runs several times slower; time limits stretch by this much.
SANITIZED = bool(os.environ.get("PILTO_SANITIZED"))
# Beside busy loops (scripts/test-under-load) a starved decoder gives the words it has decoded by
# the deadline, as designed: a final text there need only begin the expected one.
UNDER_LOAD = bool(os.environ.get("PILTO_UNDER_LOAD"))
TIME_SCALE = 4 if SANITIZED else 1
# The program exits within 3.0 s of a stop; beyond that, a second (stretched like the rest) for
# its exit to be scheduled and seen on a busy machine.
LATEST_END_AFTER_STOP = 3.0 + 1.0 * TIME_SCALE


def common_words(heard, expected):
    """How many words the two lists share in the same order."""
    row = [0] * (len(expected) + 1)
    for word in heard:
        diagonal = 0
        for j, wanted in enumerate(expected, 1):
            diagonal, row[j] = row[j], diagonal + 1 if word == wanted else max(row[j], row[j - 1])
    return row[-1]


# A mark that ends a word, and the space after a sentence.
MARK = re.compile(r"[.?!,](?=\s|$)")
SENTENCE_END = re.compile(r"(?<=[.?!])\s+")


def sounds_right(heard, expected):
    """Whether a live dictation's text brings the expected one: its sentences and their marks
    exactly, and in each sentence its words but for near ties. Live audio reaches the
    recognizer a fraction of a frame earlier or later on every run, and that can tip a near tie
    in its search ("ten meters" as "to and leaders"): half a sentence's words may be missed, each
    coming out as up to two others. How often that happens is the accuracy benchmark's to
    measure, not a test's to assert."""
    heard, expected = (SENTENCE_END.split(text.strip()) for text in (heard, expected))
    return len(heard) == len(expected) and all(map(sentence_sounds_right, heard, expected))


def sentence_sounds_right(heard, expected):
    return (MARK.findall(heard) == MARK.findall(expected) and
            words_sound_right(MARK.sub("", heard).split(), MARK.sub("", expected).split()))


def words_sound_right(heard, expected):
    common = common_words(heard, expected)
    allowed = len(expected) // 2
    return len(expected) - common <= allowed and len(heard) - common <= 2 * allowed


def begins_right(heard, expected):
    """Whether the text sounds like the expected one cut short, with the same near ties allowed."""
    if len(SENTENCE_END.findall(heard)) > len(SENTENCE_END.findall(expected)):
        return False
    heard, expected = MARK.sub("", heard).split(), MARK.sub("", expected).split()
    return any(words_sound_right(heard, expected[:end]) for end in range(1, len(expected) + 1))


def recording(name):
    return os.path.join(RECORDINGS, name)


def silence(seconds, directory):
    path = os.path.join(directory, f"silence-{seconds}.raw")
    with open(path, "wb") as raw:
        raw.write(bytes(int(16000 * seconds) * 2))
    return path


def room_noise(seconds, directory):
    """Quiet white noise, as a room with a computer in it sounds to a laptop's microphone."""
    path = os.path.join(directory, f"noise-{seconds}.raw")
    subprocess.run(["sox", "-R", "-n", "-t", "raw", "-r", "16000", "-c", "1", "-b", "16",
                    "-e", "signed", path, "synth", str(seconds), "whitenoise", "vol", "0.001"],
                   check=True)
    return path


def sanitizer_options(directory):
    """Where a sanitized build reports: the program's own stderr leads nowhere. Suppressions
    cover third-party libraries only."""
    log = f"log_path={directory}/sanitizer:exitcode=66"
    suppressions = os.path.join(os.path.dirname(__file__), "sanitizer-suppressions")
    return {"ASAN_OPTIONS": f"{log}:suppressions={suppressions}/address.txt",
            "UBSAN_OPTIONS": f"{log}:suppressions={suppressions}/undefined.txt",
            # The program ends by _exit while its threads still run, by design.
            "TSAN_OPTIONS": f"{log}:report_thread_leaks=0:suppressions={suppressions}/thread.txt"}


class Run:
    """One run of pilto-listen. Its standard streams are pipes unless given otherwise."""

    unfinished = set()

    def __init__(self, environment, prefix=(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                 preexec_fn=None, **overrides):
        self.reports = tempfile.mkdtemp(prefix="pilto-reports-")
        self.process = subprocess.Popen(
            [*prefix, PROGRAM], stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
            env=dict(environment, **sanitizer_options(self.reports), **overrides),
            preexec_fn=preexec_fn)
        self.lines = []
        self.errors = b""
        Run.unfinished.add(self)

    @classmethod
    def end_unfinished(cls):
        """Kills the runs that a failing test left behind and frees what they hold."""
        for run in list(cls.unfinished):
            if run.process.returncode is None:
                run._wait(0)
            run._close()

    def next_event(self):
        line = self.process.stdout.readline()
        if not line:
            return None
        self.lines.append(line.decode().rstrip("\n"))
        return json.loads(line)

    def send(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def stop(self):
        self.stopped_at = time.monotonic()
        self.send(b"stop\n")

    def finish(self, timeout=10, close_input=True):
        """Reads the rest of the output and waits for the exit; kills the program at the time
        limit. Returns the events printed, and keeps the peak memory in `peak_rss_mib`."""
        if close_input and self.process.stdin and not self.process.stdin.closed:
            self.process.stdin.close()
        readers = [threading.Thread(target=self._read_errors)]
        if self.process.stdout and not self.process.stdout.closed:
            readers.append(threading.Thread(target=self._read_output))
        for reader in readers:
            reader.start()
        self._wait(timeout * TIME_SCALE)
        self.ended_at = time.monotonic()
        for reader in readers:
            reader.join()
        self._collect_sanitizer_reports()
        self._close()
        return [json.loads(line) for line in self.lines]

    def _close(self):
        for stream in (self.process.stdin, self.process.stdout, self.process.stderr):
            if stream:
                stream.close()
        shutil.rmtree(self.reports, ignore_errors=True)
        Run.unfinished.discard(self)

    def _collect_sanitizer_reports(self):
        """Counted with stderr: either is a report the host should never have had to see."""
        for name in sorted(os.listdir(self.reports)):
            with open(os.path.join(self.reports, name), "rb") as report:
                self.errors += report.read()

    def _read_output(self):
        self.lines += self.process.stdout.read().decode().splitlines()

    def _read_errors(self):
        self.errors = self.process.stderr.read()

    def _wait(self, timeout):
        deadline = time.monotonic() + timeout
        while True:
            pid, status, usage = os.wait4(self.process.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() > deadline:
                self.process.kill()
                pid, status, usage = os.wait4(self.process.pid, 0)
                break
            time.sleep(0.005)
        self.process.returncode = os.waitstatus_to_exitcode(status)
        self.peak_rss_mib = usage.ru_maxrss / 1024


class ProgramTestCase(unittest.TestCase):
    """Tests of runs of the program: whatever a test leaves running when it fails is ended."""

    def setUp(self):
        self.addCleanup(Run.end_unfinished)

    def assertFinalText(self, event, text):
        self.assertEqual(sorted(event), ["final", "text"], event)
        self.assertIs(event["final"], True, event)
        judge = begins_right if UNDER_LOAD else sounds_right
        self.assertTrue(judge(event["text"], text), f"{event['text']!r} for {text!r}")


class MicrophoneTestCase(ProgramTestCase):
    """Tests that share one virtual microphone and a scratch directory. An empty user data
    directory keeps models the machine's user may have installed out of the runs."""

    LANG = "en_US.UTF-8"

    @classmethod
    def setUpClass(cls):
        cls.microphone = cls.enterClassContext(VirtualMicrophone())
        cls.scratch = cls.enterClassContext(tempfile.TemporaryDirectory(prefix="pilto-e2e-"))
        cls.environment = dict(cls.microphone.environment, LANG=cls.LANG,
                               XDG_DATA_HOME=os.path.join(cls.scratch, "empty"))
