"""What the end-to-end tests share: starting the real program in the bench's
Wine prefix, asking winprobe what Windows shows, real X input through xdotool,
screenshots with ImageMagick, and stopping everything they started."""
import json
import os
import subprocess
import tempfile
import time
from pathlib import Path

BENCH = Path(os.environ["NAVEKO_BENCH"])
EXE = os.environ["NAVEKO_EXE"]
PROBE = os.environ["NAVEKO_PROBE"]
WINE_RUN = os.environ["NAVEKO_WINE_RUN"]
ARTIFACTS = Path(os.environ["NAVEKO_ARTIFACTS"])
ARTIFACTS.mkdir(parents=True, exist_ok=True)


def bench_env() -> dict:
    env = dict(os.environ)
    for line in (BENCH / "env").read_text().splitlines():
        if line.startswith("export "):
            key, _, value = line[len("export "):].partition("=")
            env[key] = value.strip('"')
    return env


ENV = bench_env()


def probe(*args: str):
    # Output goes through a file, not a pipe: Wine's desktop process, which the
    # probe's first look at the windows may start, would keep a pipe open for good.
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE_RUN, PROBE, *args], env=ENV, stdout=out, stderr=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL, timeout=60, check=True)
        out.seek(0)
        return json.loads(out.read().decode("utf-8"))


def xdotool(*args: str) -> str:
    out = subprocess.run(["xdotool", *args], env=ENV, capture_output=True, timeout=30, check=True)
    return out.stdout.decode().strip()


class Program:
    """The program under test, started unmodified; stopped by its process id."""

    def __init__(self, cwd: Path | None = None):
        self.log = open(ARTIFACTS / "program.log", "ab")
        self.proc = subprocess.Popen([WINE_RUN, EXE], env=ENV, cwd=cwd, stdout=self.log, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)

    def running(self) -> bool:
        return self.proc.poll() is None

    def wait(self, timeout: float) -> int | None:
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self) -> None:
        if self.running():
            self.proc.kill()
            self.proc.wait(timeout=30)
        self.log.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def wait_for_window(title: str, timeout: float = 30.0, cls: str | None = None) -> dict:
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for w in probe("windows"):
            if w["text"] == title and (cls is None or w["class"] == cls):
                return w
        time.sleep(0.3)
    raise AssertionError(f"no window titled {title!r} within {timeout} s")


def x_window(title: str) -> str:
    """The X window id that Wine made for a top-level window."""
    ids = xdotool("search", "--name", f"^{title}$").split()
    if not ids:
        raise AssertionError(f"no X window named {title!r}")
    return ids[0]


def screenshot(name: str) -> Path:
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    path = ARTIFACTS / name
    subprocess.run(["import", "-window", "root", str(path)], env=ENV, check=True, timeout=60)
    return path


def pixel(path: Path, x: int, y: int) -> tuple[int, int, int]:
    out = subprocess.run(["convert", str(path), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, check=True, timeout=60).stdout.decode()
    # A heading line, then "0,0: (r,g,b)  #RRGGBB  srgb(...)".
    hexpart = out.splitlines()[-1].split("#")[1][:6]
    return int(hexpart[0:2], 16), int(hexpart[2:4], 16), int(hexpart[4:6], 16)
