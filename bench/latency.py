"""End-to-end latency of the real pilto-listen on a virtual microphone: the medians over several
runs of (a) process start to the listening line, (b) the "stop" line written to the final line
read, (c) the end of a spoken word in the played audio to the first partial line containing it.

    python3 bench/latency.py [--busy] PILTO_LISTEN [RUNS [RECORDING.raw]]

With --busy, two busy-looping processes compete for the cores throughout. RECORDING.raw is
16 kHz mono s16le, goforward.raw by default.

Word end times come from pocketsphinx_continuous's own alignment of the recording. The time a
word is played is taken from the moment paplay is started, so (c) includes paplay's start-up
and its 20 ms buffer: it is an upper bound."""

import json
import os
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "end_to_end"))
from spoken_form import spoken_words  # noqa: E402
from virtual_microphone import VirtualMicrophone  # noqa: E402

GO_FORWARD = "/usr/share/pocketsphinx/test/data/goforward.raw"


def word_ends(recording):
    """(word, end in seconds) as pocketsphinx_continuous aligns the recording."""
    output = subprocess.run(["pocketsphinx_continuous", "-infile", recording, "-time", "yes"],
                            capture_output=True, text=True).stdout
    ends = []
    for line in output.splitlines():
        parts = line.split()
        if (len(parts) == 4 and not parts[0].startswith(("<", "["))
                and parts[1].replace(".", "").isdigit()):
            ends.append((parts[0].split("(")[0].lower(), float(parts[2])))
    return ends


def one_run(program, microphone, recording, words):
    started = time.monotonic()
    listener = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                env=microphone.environment)
    assert json.loads(listener.stdout.readline()) == {"listening": True}
    to_listening = time.monotonic() - started

    played = time.monotonic()
    player = subprocess.Popen(["paplay", "--latency-msec=20", "--raw", "--rate=16000",
                               "--channels=1", "--format=s16le", recording],
                              env=microphone.environment)
    events = []  # (seconds since the recording began to play, event)
    reader = threading.Thread(target=lambda: events.extend(
        (time.monotonic() - played, json.loads(line)) for line in listener.stdout))
    reader.start()
    player.wait()
    stopped = time.monotonic() - played
    listener.stdin.write(b"stop\n")
    listener.stdin.flush()
    listener.wait()
    reader.join()
    final_at, final = events[-1]
    assert final["final"] is True, final
    to_final = final_at - stopped
    # The n-th time a word is said is seen when a text first holds it n times; words the
    # recognizer heard otherwise are left out.
    first_seen = {}
    for at, event in events:
        heard = spoken_words(event.get("text", ""))
        for word in set(heard):
            for count in range(1, heard.count(word) + 1):
                first_seen.setdefault((word, count), at)
    said = {}
    word_delays = []
    for word, end in words:
        said[word] = said.get(word, 0) + 1
        if (word, said[word]) in first_seen:
            word_delays.append(first_seen[(word, said[word])] - end)
    return to_listening, to_final, word_delays



def main():
    arguments = sys.argv[1:]
    busy = []
    if arguments[0] == "--busy":
        arguments.pop(0)
        busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(2)]
    program = arguments[0]
    runs = int(arguments[1]) if len(arguments) > 1 else 7
    recording = arguments[2] if len(arguments) > 2 else GO_FORWARD
    words = word_ends(recording)
    listening, final, partial = [], [], []
    with VirtualMicrophone() as microphone:
        # Something low-latency playing keeps the null sink from rendering in long blocks.
        keeper = subprocess.Popen(["paplay", "--latency-msec=20", "--raw", "/dev/zero"],
                                  env=microphone.environment)
        try:
            for _ in range(runs):
                to_listening, to_final, word_delays = one_run(program, microphone, recording,
                                                              words)
                listening.append(to_listening)
                final.append(to_final)
                partial += word_delays
        finally:
            keeper.kill()
            for process in busy:
                process.kill()
    milliseconds = lambda values: f"{statistics.median(values) * 1000:7.0f} ms"  # noqa: E731
    print(f"runs                                 {runs:7d}")
    print(f"start to listening line, median      {milliseconds(listening)}")
    print(f"stop to final line, median           {milliseconds(final)}"
          f"   (longest {max(final) * 1000:.0f} ms)")
    print(f"word end to first partial, median    {milliseconds(partial)}"
          f"   (over {len(partial)} words: {', '.join(w for w, _ in words)})")


if __name__ == "__main__":
    main()
