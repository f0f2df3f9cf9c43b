"""A private PulseAudio daemon whose null sink's monitor is the default source: what is played
into the sink is what the microphone hears. Programs reach it through ALSA's pulse plugin."""

import os
import shutil
import subprocess
import tempfile
import time


class VirtualMicrophone:
    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="pilto-pulse-")
        self.environment = dict(os.environ, XDG_RUNTIME_DIR=self.runtime,
                                PULSE_RUNTIME_PATH=os.path.join(self.runtime, "pulse"))
        self.environment.pop("PULSE_SERVER", None)
        subprocess.run(
            ["pulseaudio", "--daemonize=yes", "-n", "--exit-idle-time=-1", "--log-target=syslog",
             "-L", "module-null-sink sink_name=microphone rate=48000",
             "-L", "module-native-protocol-unix",
             "-L", "module-always-sink"],
            env=self.environment, check=True, stderr=subprocess.DEVNULL)
        self._wait_until_ready()
        self.pactl("set-default-sink", "microphone")
        self.pactl("set-default-source", "microphone.monitor")
        return self

    def __exit__(self, *_):
        subprocess.run(["pulseaudio", "--kill"], env=self.environment, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def pactl(self, *arguments):
        subprocess.run(["pactl", *arguments], env=self.environment, check=True,
                       stdout=subprocess.DEVNULL)

    def _wait_until_ready(self):
        for _ in range(100):
            if subprocess.run(["pactl", "info"], env=self.environment,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.05)
        raise RuntimeError("the private PulseAudio daemon did not start")

    def play(self, raw_path, rate=16000):
        """Plays 16-bit mono raw audio into the microphone; returns when it has been heard.
        A low latency keeps the null sink from rendering in long blocks, which would delay the
        monitor's first buffer by up to two seconds."""
        subprocess.run(["paplay", "--latency-msec=20", "--raw", f"--rate={rate}", "--channels=1",
                        "--format=s16le", raw_path], env=self.environment, check=True)
