"""End-to-end latency of the real pilto-listen on a virtual microphone: the medians over several
runs of (a) process start to the listening line, (b) the "stop" line written to the final line
read, (c) the end of a spoken word in the played audio to the first partial line containing it.

    python3 bench/latency.py PILTO_LISTEN [RUNS]

Word end times come from pocketsphinx_continuous's own alignment of the recording. The time a
word is played is taken from the moment paplay is started, so (c) includes paplay's start-up
and its 20 ms buffer: it is an upper bound."""

import json
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "end_to_end"))
from virtual_microphone import VirtualMicrophone  # noqa: E402

RECORDING = "/usr/share/pocketsphinx/test/data/goforward.raw"


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


def one_run(program, microphone, words):
    started = time.monotonic()
    listener = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                env=microphone.environment)
    assert json.loads(listener.stdout.readline()) == {"listening": True}
    to_listening = time.monotonic() - started

    played = time.monotonic()
    player = subprocess.Popen(["paplay", "--latency-msec=20", "--raw", "--rate=16000",
                               "--channels=1", "--format=s16le", RECORDING],
                              env=microphone.environment)
    first_seen = {}
    while len(first_seen) < len(words):
        event = json.loads(listener.stdout.readline())
        heard = event.get("text", "").lower().split()
        for word, _ in words:
            if word in heard and word not in first_seen:
                first_seen[word] = time.monotonic() - played
    player.wait()

    stopped = time.monotonic()
    listener.stdin.write(b"stop\n")
    listener.stdin.flush()
    final = json.loads(listener.stdout.readline())
    to_final = time.monotonic() - stopped
    assert final["final"] is True, final
    listener.wait()
    word_delays = [first_seen[word] - end for word, end in words]
    return to_listening, to_final, word_delays


def main():
    program, runs = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 7
    words = word_ends(RECORDING)
    listening, final, partial = [], [], []
    with VirtualMicrophone() as microphone:
        # Something low-latency playing keeps the null sink from rendering in long blocks.
        keeper = subprocess.Popen(["paplay", "--latency-msec=20", "--raw", "/dev/zero"],
                                  env=microphone.environment)
        try:
            for _ in range(runs):
                to_listening, to_final, word_delays = one_run(program, microphone, words)
                listening.append(to_listening)
                final.append(to_final)
                partial += word_delays
        finally:
            keeper.kill()
    milliseconds = lambda values: f"{statistics.median(values) * 1000:7.0f} ms"  # noqa: E731
    print(f"runs                                 {runs:7d}")
    print(f"start to listening line, median      {milliseconds(listening)}")
    print(f"stop to final line, median           {milliseconds(final)}")
    print(f"word end to first partial, median    {milliseconds(partial)}"
          f"   (over {len(partial)} words: {', '.join(w for w, _ in words)})")


if __name__ == "__main__":
    main()
