"""The development set for the accuracy benchmark: the real speech that Debian's
pocketsphinx-testdata and alsa-utils ship, under the conditions a dictation meets. Every
recording is made from those files with sox, the same way each time (its noise is seeded), into a
directory of 16 kHz mono s16le files; nothing here is tuned to a recording."""

import os
import shutil
import subprocess

DATA = "/usr/share/pocketsphinx/test/data"
RAW = ["-t", "raw", "-r", "16000", "-c", "1", "-b", "16", "-e", "signed"]

# Real speech and what is said in it, as the package transcribes it (goforward and something
# are transcribed in its documentation and tests).
SPEECH = {
    "goforward": ("goforward.raw", "go forward ten meters"),
    "something": ("something.raw", "go somewhere and do something"),
    "cards-1": ("cards/001.wav", "ten of clubs"),
    "cards-2": ("cards/002.wav", "four queen of clubs"),
    "cards-3": ("cards/003.wav", "seven of clubs"),
    "cards-4": ("cards/004.wav", "five five"),
    "cards-5": ("cards/005.wav", "eight of spades four of clubs seven of hearts"),
}
LIBRIVOX = "librivox/sense_and_sensibility_01_austen_64kb-0{}.wav"
for number, text in [
        ("870", "and mister john dashwood had then leisure to consider how much there might be "
                "prudently in his power to do for them"),
        ("880", "he was not an ill disposed young man"),
        ("890", "unless to be rather cold hearted and rather selfish is to be ill disposed"),
        ("920", "had he married a more a amiable woman he might have been made still more "
                "respectable than he was"),
        ("930", "he might even have been made amiable himself")]:
    SPEECH["librivox-" + number] = (LIBRIVOX.format(number), text)
# speaker-test's recordings name the channel they play on: another voice and another microphone.
for channel in ["Front_Center", "Front_Left", "Front_Right", "Rear_Center", "Rear_Left",
                "Rear_Right", "Side_Left", "Side_Right"]:
    SPEECH["channel-" + channel.lower().replace("_", "-")] = (
        f"/usr/share/sounds/alsa/{channel}.wav", channel.lower().replace("_", " "))

# Room noise at three levels, as fractions of full scale.
NOISE = {"quiet": 0.0003, "room": 0.001, "loud": 0.004}

# Each condition: what happens to the speech. Every recording meets every condition.
CONDITIONS = {
    "clean": [],
    "pause-3s-quiet": [("pause", 3, "quiet")],
    "pause-8s-room": [("pause", 8, "room")],
    "pause-1s-loud": [("pause", 1, "loud")],
    "trailing-3s-room": [("trailing", 3, "room")],
    "gain+15": [("effect", "gain", "-l", "15")],
    "gain-15": [("effect", "gain", "-15")],
    "telephone": [("effect", "highpass", "300", "lowpass", "3400")],
    "tilted": [("effect", "equalizer", "1000", "1q", "+12", "treble", "-6")],
}

# A microphone starts at any offset within a frame: every recording is also heard delayed by 1/5
# to 4/5 of a frame shift. In samples at 16 kHz, where a frame shift is 160 samples.
DELAYS = [0, 32, 64, 96, 128]

# A dictation of several sentences, joined by pauses.
JOINED = [("librivox-880", "librivox-930", "librivox-890"), ("goforward", "cards-5", "something")]


def _sox(inputs, output, *effects):
    subprocess.run(["sox", "-R", *inputs, *RAW, output, *effects], check=True,
                   stderr=subprocess.DEVNULL)


def _samples(path):
    return os.path.getsize(path) // 2


def _noise(path, samples, level):
    _sox(["-n"], path, "synth", f"{samples}s", "whitenoise", "vol", str(level))


def _apply(step, source, output, scratch):
    kind, *arguments = step
    if kind == "effect":
        _sox([*RAW, source], output, *arguments)
        return
    seconds, level = arguments
    noise = os.path.join(scratch, "noise.raw")
    _noise(noise, _samples(source) + int(16000 * seconds), NOISE[level])
    padded = os.path.join(scratch, "padded.raw")
    _sox([*RAW, source], padded, "pad", *(["0", str(seconds)] if kind == "trailing"
                                          else [str(seconds), "0"]))
    _sox(["-m", *RAW, padded, *RAW, noise], output)


def sources(directory):
    """Writes each recording of real speech, as it is, into `directory`; returns {name: path}."""
    os.makedirs(directory, exist_ok=True)
    paths = {}
    for name, (source, _) in SPEECH.items():
        paths[name] = os.path.join(directory, f"{name}.source.raw")
        # os.path.join keeps another package's whole path as it is.
        _sox([os.path.join(DATA, source)] if source.endswith(".wav")
             else [*RAW, os.path.join(DATA, source)], paths[name], "rate", "16000")
    return paths


def build(directory):
    """Writes the set into `directory`; returns [(name, path, reference)]."""
    speech = sources(directory)
    entries = []
    for name, (_, reference) in SPEECH.items():
        for condition, steps in CONDITIONS.items():
            path = os.path.join(directory, f"{name}.{condition}.raw")
            current = speech[name]
            if not steps:
                shutil.copyfile(current, path)
            for index, step in enumerate(steps):
                output = path if index == len(steps) - 1 else path + f".{index}"
                _apply(step, current, output, directory)
                current = output
            entries.append((f"{name}.{condition}", path, reference))
    for names in JOINED:
        path = os.path.join(directory, "+".join(names) + ".raw")
        pause = os.path.join(directory, "pause.raw")
        with open(pause, "wb") as raw:
            raw.write(bytes(int(16000 * 1.5) * 2))
        parts = [part for name in names for part in (speech[name], pause)][:-1]
        _sox([arg for part in parts for arg in (*RAW, part)], path)
        entries.append(("+".join(names), path, " ".join(SPEECH[name][1] for name in names)))
    return entries


def delayed(path, samples):
    """A copy of the recording that starts `samples` of silence later."""
    if not samples:
        return path
    copy = f"{path}.delay-{samples}"
    with open(path, "rb") as source, open(copy, "wb") as target:
        target.write(bytes(2 * samples) + source.read())
    return copy
