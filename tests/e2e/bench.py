"""The Wine bench: an Xvfb display, the bench's own Wine prefix, one Wine session per case, the driver that
acts as the user, the program under test with its relay trace, and screenshots."""

import json
import os
import queue
import re
import shutil
import signal
import subprocess
import threading
import time
from pathlib import Path

# Wine's font replacements make CJK glyphs render; the default desktop puts every process of the prefix
# (the program, its question boxes, the driver) on one virtual desktop, where Wine draws frames and
# captions; the relay list limits the trace to the calls the cases look at.
REGISTRY = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="e2e"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"e2e"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="user32.MessageBoxA;user32.ExitWindowsEx;shell32.ShellExecuteA"
"""

SCREEN = (1024, 768)


class BenchError(Exception):
    """The bench itself could not do what a case asked (Wine, Xvfb or the driver misbehaved)."""


def gbk_hex(text):
    return text.encode("gbk").hex()


def from_hex(hex_text):
    return bytes.fromhex(hex_text).decode("gbk", errors="replace")


def wait_for(condition, timeout, step=0.05):
    """Polls `condition` until it returns a true value or `timeout` seconds pass; returns the last value."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


class Paths:
    def __init__(self, work_dir):
        self.work = Path(work_dir).resolve()
        self.prefix = self.work / "prefix"
        self.shots = self.work / "shots"
        self.logs = self.work / "logs"
        self.locale = self.work / "locale"

    def case_dir(self, name):
        """The folder (Unix path) where a case's copy of the program lives, C:\\e2e\\<name>."""
        return self.prefix / "drive_c" / "e2e" / name


def base_env(paths, display=None):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(paths.prefix),
        WINEARCH="win32",
        LANG="zh_CN.UTF-8",
        LC_ALL="zh_CN.UTF-8",
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
    )
    env.pop("WINELOADERNOEXEC", None)
    if (paths.locale / "zh_CN.UTF-8").is_dir():
        env["LOCPATH"] = str(paths.locale)
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    return env


def kill_wineserver(env, timeout=30):
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=timeout, check=False)
    subprocess.run(["wineserver", "-w"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=timeout, check=False)


def create_locale(paths):
    """Compiles the zh_CN.UTF-8 locale into the bench's folder (LOCPATH). Without an installed zh_CN
    locale Wine still picks code page 936 from LANG, but it then takes Unix file names and command lines
    as ASCII: a file named 配置.ini can be neither created nor opened."""
    target = paths.locale / "zh_CN.UTF-8"
    if target.is_dir():
        return
    paths.locale.mkdir(parents=True, exist_ok=True)
    result = subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8", str(target)], capture_output=True,
                            text=True, timeout=120, check=False)
    if not (target / "LC_CTYPE").exists():
        raise BenchError("localedef could not build zh_CN.UTF-8 (Debian package locales): %s" % result.stderr)


def create_prefix(paths):
    """Creates the prefix afresh: 32-bit, code page 936 with UTF-8 Unix names, the bench's registry
    settings, Wine's Marlett font (Debian's Wine does not load its own font folder, so the caption buttons
    would show plain letters)."""
    started = time.monotonic()
    paths.work.mkdir(parents=True, exist_ok=True)
    create_locale(paths)
    env = base_env(paths)
    if paths.prefix.exists():
        kill_wineserver(env)
        # A run killed mid-case may have left a folder immutable (the read-only settings cases).
        subprocess.run(["chattr", "-R", "-i", str(paths.prefix)], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        shutil.rmtree(paths.prefix)
    subprocess.run(["wineboot", "--init"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300, check=False)
    subprocess.run(["wineserver", "-w"], env=env, timeout=300, check=False)
    if not (paths.prefix / "system.reg").exists():
        raise BenchError("wineboot did not create the prefix")
    reg = paths.work / "bench.reg"
    reg.write_text(REGISTRY)
    subprocess.run(["wine", "regedit", "/S", str(reg)], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=False)
    subprocess.run(["wineserver", "-w"], env=env, timeout=120, check=False)
    user_reg = (paths.prefix / "user.reg").read_text(errors="replace")
    if '"RelayInclude"' not in user_reg or "WenQuanYi Micro Hei" not in user_reg:
        raise BenchError("the bench's registry settings did not reach the prefix")
    marlett = Path("/usr/share/wine/fonts/marlett.ttf")
    if marlett.exists():
        shutil.copy(marlett, paths.prefix / "drive_c" / "windows" / "Fonts" / "marlett.ttf")
    return time.monotonic() - started


class Display:
    """An Xvfb server on a display number it picks itself (-displayfd), so benches never collide."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            self.process.kill()
            raise BenchError("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def screenshot(self, path):
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-display", self.name, str(path)], timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        return Path(path).exists()

    @staticmethod
    def pixel(path, x, y):
        """The colour of one pixel of a screenshot, e.g. "srgb(51,153,255)"."""
        out = subprocess.run(["convert", str(path), "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                             capture_output=True, text=True, timeout=30, check=False)
        return out.stdout.strip()

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class DriverGone(BenchError):
    """The driver process ended (for example because a forced power-off ended the Wine session)."""


class Driver:
    """The driver exe, one command per line, one JSON answer per line."""

    def __init__(self, exe, env, log_path):
        self.log = open(log_path, "a", encoding="utf-8")
        self.process = subprocess.Popen(["wine", str(exe)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=self.log, env=env, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def call(self, name, timeout=None, allow_fail=False, **args):
        """Runs one command. `timeout` (seconds) is also passed to the driver as its polling limit; the
        answer may take that long plus a margin for Wine's scheduling."""
        if timeout is not None:
            args["timeout"] = int(timeout * 1000)
        line = " ".join([name] + ["%s=%s" % (k, v) for k, v in args.items()])
        self.log.write(">> %s\n" % line)
        try:
            self.process.stdin.write(line + "\n")
            self.process.stdin.flush()
        except (BrokenPipeError, OSError) as error:
            raise DriverGone("driver gone: %s" % error) from error
        wait = (timeout or 0) + 30 + (args.get("ms", 0) + args.get("hold", 0)) / 1000
        try:
            answer = self.lines.get(timeout=wait)
        except queue.Empty as error:
            raise BenchError("driver did not answer %r within %.0f s" % (line, wait)) from error
        if answer is None:
            raise DriverGone("driver ended during %r" % line)
        self.log.write("<< %s" % answer)
        reply = json.loads(answer)
        if not reply["ok"]:
            if allow_fail:
                return None
            raise BenchError("driver: %s: %s" % (line[:80], reply["error"]))
        return reply["result"]

    def close(self):
        try:
            self.process.stdin.write("quit\n")
            self.process.stdin.flush()
        except (BrokenPipeError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()


RELAY_CALL = re.compile(r"^(\d+\.\d+):([0-9a-f]+):Call (\w+)\.(\w+)\((.*)\) ret=[0-9a-f]+$")
RELAY_RET = re.compile(r"^(\d+\.\d+):([0-9a-f]+):Ret  (\w+)\.(\w+)\(\) retval=([0-9a-f]+) ret=[0-9a-f]+$")


def _parse_relay_args(text):
    """Splits the argument list of a relay line: numbers stay hex text; strings ("...") are decoded to
    the bytes the program passed and then from GBK."""
    args, i = [], 0
    while i < len(text):
        j = i
        while j < len(text) and text[j] not in ',"':
            j += 1
        if j < len(text) and text[j] == '"':
            raw, j = bytearray(), j + 1
            while text[j] != '"':
                if text[j] == "\\":
                    k = text[j + 1]
                    if k == "x":
                        raw.append(int(text[j + 2:j + 4], 16))
                        j += 4
                        continue
                    raw.extend({"n": b"\n", "r": b"\r", "t": b"\t"}.get(k, k.encode()))
                    j += 2
                    continue
                raw.extend(text[j].encode())
                j += 1
            args.append(raw.decode("gbk", errors="replace"))
            j += 1
        else:
            args.append(text[i:j].strip())
        while j < len(text) and text[j] in ", ":
            j += 1
        i = j
    return args


class RelayCall:
    def __init__(self, time_s, thread, dll, name, args):
        self.time, self.thread, self.dll, self.name, self.args = time_s, thread, dll, name, args
        self.retval = self.ret_time = None

    def __repr__(self):
        return "%s(%s)=%s@%.3f" % (self.name, ", ".join(repr(a) for a in self.args), self.retval, self.time)


def relay_calls(log_path):
    """The traced calls of a relay log, each with its arguments and, once returned, its result."""
    calls, open_calls = [], {}
    try:
        text = Path(log_path).read_text(encoding="latin-1")
    except FileNotFoundError:
        return calls
    for line in text.splitlines():
        m = RELAY_CALL.match(line)
        if m:
            call = RelayCall(float(m.group(1)), m.group(2), m.group(3), m.group(4), _parse_relay_args(m.group(5)))
            calls.append(call)
            open_calls.setdefault((m.group(2), m.group(4)), []).append(call)
            continue
        m = RELAY_RET.match(line)
        if m and open_calls.get((m.group(2), m.group(4))):
            call = open_calls[(m.group(2), m.group(4))].pop()
            call.retval, call.ret_time = int(m.group(5), 16), float(m.group(1))
    return calls


class Program:
    """One run of the program under test, started from Linux so that its exit code and its end are seen
    from outside Wine; its stderr is the relay trace."""

    def __init__(self, exe_unix_path, env, log_path):
        self.log_path = Path(log_path)
        self.started = time.monotonic()
        with open(self.log_path, "w") as log:
            self.process = subprocess.Popen(["wine", str(exe_unix_path)], env=env, stdout=subprocess.DEVNULL,
                                            stderr=log, cwd=str(Path(exe_unix_path).parent))

    def calls(self, name=None):
        return [c for c in relay_calls(self.log_path) if name is None or c.name == name]

    def wait_call(self, name, count=1, timeout=10):
        """Waits until the trace holds at least `count` calls of `name`; returns them."""
        return wait_for(lambda: len(self.calls(name)) >= count and self.calls(name), timeout) or self.calls(name)

    def exit_code(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def alive(self):
        return self.process.poll() is None

    def kill(self):
        if self.alive():
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()


class Session:
    """One Wine session of the prefix on the bench's display: the driver starts first (it boots Wine and
    the virtual desktop), then the cases start programs. Closing it ends every process of the prefix."""

    def __init__(self, paths, display, driver_exe, case_name):
        self.paths, self.display, self.case = paths, display, case_name
        self.env = base_env(paths, display.name)
        self.log_dir = paths.logs / case_name
        if self.log_dir.exists():
            shutil.rmtree(self.log_dir)
        self.log_dir.mkdir(parents=True)
        self.programs = []
        kill_wineserver(self.env)
        started = time.monotonic()
        self.driver = Driver(driver_exe, self.env, self.log_dir / "driver.log")
        self.screen = self.driver.call("ping")
        self.boot_seconds = time.monotonic() - started
        if self.screen["acp"] != 936:
            raise BenchError("the prefix runs code page %d, not 936" % self.screen["acp"])

    def start_program(self, exe_unix_path, trace=True):
        env = dict(self.env)
        if trace:
            env["WINEDEBUG"] = "+timestamp,+relay"
        log = self.log_dir / ("program-%d.log" % (len(self.programs) + 1))
        program = Program(exe_unix_path, env, log)
        self.programs.append(program)
        return program

    def run_wine(self, *args):
        return subprocess.Popen(["wine"] + list(args), env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def screenshot(self, name):
        path = self.paths.shots / ("%s.png" % name)
        return path if self.display.screenshot(path) else None

    def wineserver_pid(self):
        """The Linux pid of this prefix's wineserver, or None."""
        for proc in Path("/proc").iterdir():
            try:
                if b"wineserver" not in (proc / "cmdline").read_bytes():
                    continue
                environ = (proc / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=%s" % self.paths.prefix).encode() in environ:
                return int(proc.name)
        return None

    def close(self):
        try:
            self.driver.close()
        finally:
            kill_wineserver(self.env)
            for program in self.programs:
                program.kill()


def cpu_seconds(pid):
    """User plus system CPU time of a Linux process so far, in seconds."""
    fields = Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
