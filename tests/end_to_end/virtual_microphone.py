"""A private audio server whose null sink's monitor is the default source: what is played into
the sink is what the microphone hears. Programs reach it through ALSA's pulse plugin.

PILTO_AUDIO_SERVER chooses the server: "pulseaudio" (the default) or "pipewire", a headless
PipeWire session with WirePlumber and its PulseAudio-compatible server."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

SERVER = os.environ.get("PILTO_AUDIO_SERVER", "pulseaudio")
# The microphone's own rate, a desktop sound card's.
MICROPHONE_RATE = 48000


def running(pid):
    """Whether the process runs: a zombie that its parent has not reaped yet does not."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


class AudioServer:
    """What both servers share: a fresh runtime directory, the microphone, playing into it."""

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix=f"pilto-{type(self).__name__.lower()}-")
        os.chmod(self.runtime, 0o700)
        # Everything the servers read or remember lives in the runtime directory: nothing of the
        # host's session, configuration or earlier runs reaches them.
        self.environment = dict(os.environ, XDG_RUNTIME_DIR=self.runtime,
                                XDG_STATE_HOME=os.path.join(self.runtime, "state"),
                                XDG_CONFIG_HOME=os.path.join(self.runtime, "config"))
        for name in ["PULSE_SERVER", "PULSE_RUNTIME_PATH", "PIPEWIRE_REMOTE",
                     "DBUS_SESSION_BUS_ADDRESS"]:
            self.environment.pop(name, None)
        try:
            self.start()
            self.module = self.add_microphone()
        except BaseException:
            self.__exit__()
            raise
        return self

    def add_microphone(self, name="microphone"):
        """A null sink whose monitor becomes the default source; returns its module's index."""
        module = subprocess.run(
            ["pactl", "load-module", "module-null-sink", f"sink_name={name}",
             f"rate={MICROPHONE_RATE}"],
            env=self.environment, check=True, capture_output=True).stdout.decode().strip()
        # PipeWire creates the sink after the module has loaded.
        self.wait_for(lambda: f"{name}.monitor" in self.names("sources"), f"{name} to appear")
        self.pactl("set-default-sink", name)
        self.pactl("set-default-source", f"{name}.monitor")
        self.wait_for(lambda: self.default_source() == f"{name}.monitor",
                      f"{name} to become the default source")
        return module

    def restart(self):
        self.stop()
        self.start()
        self.module = self.add_microphone()

    def __exit__(self, *_):
        self.stop()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def pactl(self, *arguments):
        subprocess.run(["pactl", *arguments], env=self.environment, check=True,
                       stdout=subprocess.DEVNULL)

    def default_source(self):
        return subprocess.run(["pactl", "get-default-source"], env=self.environment,
                              capture_output=True).stdout.decode().strip()

    def table(self, kind):
        """The rows of `pactl list short`, split into their columns."""
        return [line.split("\t") for line in subprocess.run(
            ["pactl", "list", "short", kind], env=self.environment,
            capture_output=True).stdout.decode().splitlines()]

    def names(self, kind):
        """The names of the server's sinks or sources."""
        return {row[1] for row in self.table(kind)}

    def recording_sources(self):
        """The names of the sources that streams are recording from."""
        names = {row[0]: row[1] for row in self.table("sources")}
        return {names.get(row[1]) for row in self.table("source-outputs")}

    def answers(self):
        return subprocess.run(["pactl", "info"], env=self.environment, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    @staticmethod
    def wait_for(condition, what, seconds=20):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                raise RuntimeError(f"timed out waiting for {what}")
            time.sleep(0.02)

    def play(self, raw_path, rate=16000):
        """Plays 16-bit mono raw audio into the microphone; returns when it has been heard.
        The recording comes at the microphone's own rate, as a sound card delivers it: converted
        by sox at its best, not by the server's quick resampler, whose artefacts no microphone
        has and which tip the recognizer's near ties. A low latency keeps the null sink from
        rendering in long blocks, which would delay the monitor's first buffer by up to two
        seconds."""
        with tempfile.NamedTemporaryFile(dir=self.runtime, suffix=".f32") as converted:
            subprocess.run(["sox", "-t", "raw", "-r", str(rate), "-e", "signed", "-b", "16", "-c",
                            "1", raw_path, "-t", "raw", "-e", "floating-point", "-b", "32",
                            converted.name, "rate", "-v", str(MICROPHONE_RATE)], check=True)
            subprocess.run(["paplay", "--latency-msec=20", "--raw", f"--rate={MICROPHONE_RATE}",
                            "--channels=1", "--format=float32le", converted.name],
                           env=self.environment, check=True)


class PulseAudio(AudioServer):
    def start(self):
        self.environment["PULSE_RUNTIME_PATH"] = os.path.join(self.runtime, "pulse")
        subprocess.run(
            ["pulseaudio", "--daemonize=yes", "-n", "--exit-idle-time=-1", "--log-target=syslog",
             "-L", "module-native-protocol-unix", "-L", "module-always-sink"],
            env=self.environment, check=True, stderr=subprocess.DEVNULL)
        self.wait_for(self.answers, "PulseAudio to answer")

    def stop(self):
        try:
            with open(os.path.join(self.environment["PULSE_RUNTIME_PATH"], "pid")) as pid_file:
                pid = int(pid_file.read())
        except (FileNotFoundError, ValueError):
            return
        subprocess.run(["pulseaudio", "--kill"], env=self.environment, stderr=subprocess.DEVNULL)
        self.wait_for(lambda: not running(pid), "PulseAudio to exit")


# WirePlumber's settings for a session of nothing but the null sinks: no hardware monitors, so
# that the host's devices never become the default, and no Bluetooth, whose seat monitor needs
# logind's directories in /run and ends WirePlumber where a container or chroot has none.
WIREPLUMBER_SETTINGS = {
    "main.lua.d/80-virtual-microphone.lua":
        "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
        "libcamera_monitor.enabled = false\n",
    "bluetooth.lua.d/80-virtual-microphone.lua": "bluez_monitor.enabled = false\n",
}


class PipeWire(AudioServer):
    processes = []
    bus = None

    def start(self):
        self.write_wireplumber_settings()
        self.processes = []
        # The bus's socket in the runtime directory too, not in /tmp where dbus puts it.
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1", f"--address=unix:dir={self.runtime}"],
                             env=self.environment, check=True,
                             capture_output=True).stdout.decode().split()
        self.environment["DBUS_SESSION_BUS_ADDRESS"], self.bus = bus[0], int(bus[1])
        self.spawn("pipewire")
        self.wait_for(lambda: os.path.exists(os.path.join(self.runtime, "pipewire-0")),
                      "PipeWire's socket")
        self.spawn("wireplumber")
        self.spawn("pipewire-pulse")
        self.wait_for(self.answers, "pipewire-pulse to answer")

    def add_microphone(self, name="microphone"):
        try:
            return super().add_microphone(name)
        except (RuntimeError, subprocess.CalledProcessError) as error:
            ended = [process.args[0] for process in self.processes if process.poll() is not None]
            raise RuntimeError(f"{error}; ended: {ended or 'none'}; logs: "
                               f"{self.logs()}") from error

    def logs(self):
        text = ""
        for process in self.processes:
            with open(os.path.join(self.runtime, f"{process.args[0]}.log"), "rb") as log:
                text += f"\n{process.args[0]}: {log.read()[-2000:].decode(errors='replace')}"
        return text

    def write_wireplumber_settings(self):
        for name, settings in WIREPLUMBER_SETTINGS.items():
            path = os.path.join(self.environment["XDG_CONFIG_HOME"], "wireplumber", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as file:
                file.write(settings)

    def spawn(self, *command):
        with open(os.path.join(self.runtime, f"{command[0]}.log"), "ab") as log:
            self.processes.append(subprocess.Popen(
                command, env=self.environment, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                start_new_session=True))

    def stop(self):
        """Ends the session's processes; once only, however often it is called."""
        for process in reversed(self.processes):
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes = []
        if self.bus:
            os.kill(self.bus, signal.SIGTERM)
            self.wait_for(lambda: not running(self.bus), "the bus to exit")
            self.bus = None


VirtualMicrophone = {"pulseaudio": PulseAudio, "pipewire": PipeWire}[SERVER]
