"""Start-up of the runtime against a bare web view window showing the same page.

Both programs run on the same display, one after the other, alternating which goes first,
each as a stripped copy, as a package installs them: a build's debugging sections are no
part of either program, yet the runtime reads its own file at every start (it may carry a
package), and with them that file is twenty times its installed size.
A program counts as showing its page when the page's first image request reaches a
loopback listener started here: the package's help page (the runtime's first page)
carries that image. The bare window opens a copy of the very page the runtime generated,
with the files beside it, so both load the same bytes.

Prints every run, both medians, the ratio, and the programs' own resident memory when the
page showed and, for the comparison, half a second later, once both windows have painted. The last line is for scripts/bench.sh:
    RESULT startup_ratio=R busy_startup_ratio=B rss_extra_mb=E rss_allowed_mb=A
Every start is measured twice: on the machine as it is, and with one core kept busy.
"""
import argparse
import dataclasses
import glob
import os
import random
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

MEGABYTE = 1 << 20
SHOWN_IMAGE = "/shown.png"
SETTLE_SECONDS = 0.5
# The runtime's first page against the bare window's, on a quiet machine and with one core busy.
QUIET_GOAL = 1.05
BUSY_GOAL = 1.15
# A 1x1 transparent PNG.
PIXEL = bytes.fromhex(
    "89504e470d0a1a0a0000000d4948445200000001000000010806000000"
    "1f15c4890000000d49444154789c6360000002000001e221bc330000000049454e44ae426082")


@dataclasses.dataclass
class Run:
    seconds: float        # from the start to the page's first image request
    resident_kb: int      # the program's own resident memory then
    settled_kb: int       # and once its window has painted
    cpu_seconds: float    # processor time it had used until the request
    page_faults: int


class FirstRequestListener:
    """Answers every request with one pixel and notes when the first request of a run came."""

    def __init__(self):
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.socket.bind(("127.0.0.1", 0))
        self.socket.listen(16)
        self.port = self.socket.getsockname()[1]
        self.arrived = threading.Event()
        self.arrival = None
        self.on_arrival = None
        threading.Thread(target=self._serve, daemon=True).start()

    def expect(self, on_arrival):
        self.arrival = None
        self.on_arrival = on_arrival
        self.arrived.clear()

    def _serve(self):
        while True:
            connection, _ = self.socket.accept()
            threading.Thread(target=self._answer, args=(connection,), daemon=True).start()

    def _answer(self, connection):
        with connection:
            request = b""
            while b"\r\n" not in request:
                chunk = connection.recv(4096)
                if not chunk:
                    return
                request += chunk
            if not self.arrived.is_set() and SHOWN_IMAGE.encode() in request.split(b"\r\n", 1)[0]:
                self.arrival = time.monotonic()
                if self.on_arrival:
                    self.on_arrival()
                self.arrived.set()
            header = ("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: %d\r\n"
                      "Cache-Control: no-store\r\nConnection: close\r\n\r\n" % len(PIXEL))
            try:
                connection.sendall(header.encode() + PIXEL)
            except OSError:
                pass


def make_site(source, folder, port, total_bytes, members):
    """The demo site grown to `members` files of `total_bytes` in all: article pages full of
    the tokens the site builder replaces, and photos of noise (photos do not compress)."""
    os.makedirs(folder)
    for name in os.listdir(source):
        shutil.copy(os.path.join(source, name), folder)
    help_path = os.path.join(folder, "help.html")
    with open(help_path, encoding="latin-1") as page:
        help_text = page.read()
    image = f'<img src="http://127.0.0.1:{port}{SHOWN_IMAGE}" width="1" height="1" alt="">'
    help_text = help_text.replace("<body>", "<body>\n" + image, 1)
    with open(help_path, "w", encoding="latin-1") as page:
        page.write(help_text)

    pages = (members - len(os.listdir(folder))) // 2
    paragraph = ('<p class="tip">Reward the behaviour you want within two seconds, keep sessions short '
                 'and end on a success. <a href="http://www.example.com/%%SiteNiche%%/tips" '
                 'target=_blank>Read more</a></p>\r\n')
    for n in range(1, pages + 1):
        body = "".join(paragraph for _ in range(25_000 // len(paragraph)))
        text = ('<html><head><title>TWX_REPLACE_EBOOKNAME</title><link rel="stylesheet" href="style.css">'
                '</head><body><h1>%%SiteNiche%%</h1>\r\n' + body +
                '<div id="footer"><a href="%%footerlink%%" target=_blank>%%footertext%%</a></div>'
                '</body></html>\r\n')
        with open(os.path.join(folder, "article%02d.html" % n), "w", encoding="latin-1") as page:
            page.write(text)

    used = sum(os.path.getsize(os.path.join(folder, name)) for name in os.listdir(folder))
    photos = members - len(os.listdir(folder))
    noise = random.Random(7)
    for n in range(1, photos + 1):
        size = (total_bytes - used) // photos
        with open(os.path.join(folder, "photo%02d.jpg" % n), "wb") as photo:
            photo.write(b"\xff\xd8\xff\xe0\x00\x10JFIF" + noise.randbytes(size - 10))


def installed_copy(program, folder):
    """The program stripped as the Debian package strips it, in a folder of its own."""
    os.makedirs(folder)
    copy = os.path.join(folder, os.path.basename(program))
    strip = shutil.which("strip")
    if not strip:
        raise SystemExit("strip (binutils) is needed to measure the programs as installed")
    subprocess.run([strip, "-o", copy, program], check=True)
    return copy


def work_done(pid):
    """Processor time the process itself has used so far (user and system), and its page
    faults (each costs a few microseconds, far more inside some virtual machines)."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"), int(fields[7])
    except (OSError, IndexError, ValueError):
        return 0.0, 0


def resident_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Bench:
    def __init__(self, args):
        self.args = args
        self.root = tempfile.mkdtemp(prefix="qen_startup_")
        self.listener = FirstRequestListener()
        self.environment = self._environment()
        site = os.path.join(self.root, "site")
        make_site(args.site, site, self.listener.port, args.package_mb * MEGABYTE, args.members)
        self.package = os.path.join(self.root, "package", "Startup.qen")
        os.makedirs(os.path.dirname(self.package))
        subprocess.run([args.qenpack, "build", site, "-o", self.package, "--title", "Start-up Bench",
                        "--footer-name", "Start-up Bench", "--footer-link", "http://www.example.com/",
                        "--branding", args.branding], check=True, stdout=subprocess.DEVNULL)
        self.package_bytes = os.path.getsize(self.package)
        self.page = None
        self.runtime_program = installed_copy(args.runtime, os.path.join(self.root, "program"))
        self.bare_program = installed_copy(args.bare, os.path.join(self.root, "bare"))

    def _environment(self):
        folders = {name: os.path.join(self.root, name) for name in ("tmp", "config", "home")}
        for folder in folders.values():
            os.makedirs(folder)
        # The terms were accepted before: the measured start is an everyday one.
        with open(os.path.join(folders["config"], "Qen Runtime.ini"), "w") as settings:
            settings.write("[QenRuntime]\nTerms=1\n")
        env = dict(os.environ)
        env.update({
            "TMPDIR": folders["tmp"],
            "QEN_CONFIG_HOME": folders["config"],
            "HOME": folders["home"],
            "XDG_DATA_HOME": os.path.join(folders["home"], ".local", "share"),
            "XDG_CONFIG_HOME": os.path.join(folders["home"], ".config"),
            "WEBKIT_DISABLE_COMPOSITING_MODE": "1",
            "NO_AT_BRIDGE": "1",
            # Nothing reaches past loopback, and no update is looked for.
            "QEN_UPDATE_HOST": "127.0.0.1:9",
            "QEN_DOWNLOAD_HOST": "127.0.0.1:9",
        })
        return env

    def run(self, command, on_shown=None):
        measured = {"rss_kb": 0, "cpu": 0.0, "faults": 0}

        def shown():
            measured["rss_kb"] = resident_kb(process.pid)
            measured["cpu"], measured["faults"] = work_done(process.pid)
            if on_shown:
                on_shown()

        self.listener.expect(shown)
        log = open(os.path.join(self.root, "programs.log"), "ab")
        start = time.monotonic()
        process = subprocess.Popen(command, env=self.environment, stdout=log, stderr=log)
        arrived = self.listener.arrived.wait(self.args.timeout)
        seconds = self.listener.arrival - start if arrived else None
        # Whether a window has painted when the request leaves is a race in both programs,
        # and painting adds some 8 MB to either: the memory is compared once both have.
        time.sleep(SETTLE_SECONDS)
        settled_kb = resident_kb(process.pid)
        # The runtime closes the normal way on SIGTERM (saving its data); wait for the end so
        # that no run overlaps the next.
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(30)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        log.close()
        if seconds is None:
            raise SystemExit(f"{command[0]} showed no page within {self.args.timeout} s (see {self.root}/programs.log)")
        return Run(seconds, measured["rss_kb"], settled_kb, measured["cpu"], measured["faults"])

    def runtime(self, keep_page=False):
        def copy_page():
            # The page the runtime generated, with every file beside it, for the bare window.
            folders = glob.glob(os.path.join(self.environment["TMPDIR"], "lumfiles__*"))
            if folders:
                self.page = os.path.join(self.root, "page")
                shutil.copytree(folders[0], self.page, dirs_exist_ok=True)
        return self.run([self.runtime_program, self.package], copy_page if keep_page else None)

    def bare(self):
        return self.run([self.bare_program, os.path.join(self.page, "help.html")])


def median(values):
    return statistics.median(values)


def middle(runs, field):
    return median([getattr(run, field) for run in runs])


def alternate(bench, runs):
    """`runs` starts of each program, alternating which goes first."""
    runtime_runs, bare_runs = [], []
    for n in range(runs):
        if n % 2 == 0:
            runtime_runs.append(bench.runtime())
            bare_runs.append(bench.bare())
        else:
            bare_runs.append(bench.bare())
            runtime_runs.append(bench.runtime())
    return runtime_runs, bare_runs


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runtime", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--qenpack", required=True)
    parser.add_argument("--site", required=True, help="the demo site folder the package grows from")
    parser.add_argument("--branding", required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--package-mb", type=int, default=10)
    parser.add_argument("--members", type=int, default=100)
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("--keep", action="store_true", help="keep the bench's folder")
    args = parser.parse_args()

    bench = Bench(args)
    try:
        load_before = os.getloadavg()
        # Unmeasured: the first start registers the file types, makes the user data file
        # and fills the page cache; its page becomes the bare window's page.
        bench.runtime(keep_page=True)
        if not bench.page:
            raise SystemExit("the runtime's work folder was not found")
        bench.bare()

        quiet = alternate(bench, args.runs)
        # One core kept busy the whole time, as a compile or a video call would.
        spinner = subprocess.Popen([sys.executable, "-c", "while True: pass"])
        try:
            busy = alternate(bench, args.runs)
        finally:
            spinner.kill()
            spinner.wait()
        load_after = os.getloadavg()
    finally:
        if not args.keep:
            shutil.rmtree(bench.root, ignore_errors=True)

    package_mb = bench.package_bytes / MEGABYTE
    allowed = 1.1 * package_mb + 10
    print(f"package: {package_mb:.1f} MB, {args.members} members; {args.runs} alternating runs each, "
          f"quiet and with one core busy")
    print(f"load average before {load_before[0]:.2f}, after {load_after[0]:.2f} ({os.cpu_count()} cores)")
    ratios = {}
    for label, (runtime_runs, bare_runs), goal in (("quiet", quiet, QUIET_GOAL), ("one core busy", busy, BUSY_GOAL)):
        print(f"-- {label}")
        for name, runs in (("runtime", runtime_runs), ("bare web view", bare_runs)):
            print(f"{name} runs (s): " + " ".join(f"{run.seconds:.3f}" for run in runs))
            print(f"{name} resident when shown, then settled (MB): " +
                  " ".join(f"{run.resident_kb / 1024:.1f},{run.settled_kb / 1024:.1f}" for run in runs))
        runtime_seconds, bare_seconds = middle(runtime_runs, "seconds"), middle(bare_runs, "seconds")
        ratios[label] = runtime_seconds / bare_seconds
        print(f"first page shown: runtime {runtime_seconds:.3f} s, bare web view {bare_seconds:.3f} s, "
              f"ratio {ratios[label]:.2f} (goal at most {goal:g})")
        # Processor time is far steadier than the clock on a busy machine: it shows the work.
        print(f"processor time of the program itself until then: runtime {middle(runtime_runs, 'cpu_seconds'):.2f} s, "
              f"bare web view {middle(bare_runs, 'cpu_seconds'):.2f} s; page faults "
              f"{middle(runtime_runs, 'page_faults'):.0f} and {middle(bare_runs, 'page_faults'):.0f}")
    runtime_rss, bare_rss = middle(quiet[0], "settled_kb") / 1024, middle(quiet[1], "settled_kb") / 1024
    print(f"resident memory once the page showed and painted (quiet): runtime {runtime_rss:.1f} MB, "
          f"bare web view {bare_rss:.1f} MB, "
          f"{runtime_rss - bare_rss:.1f} MB above it (goal at most {allowed:.1f} MB)")
    print(f"RESULT startup_ratio={ratios['quiet']:.3f} busy_startup_ratio={ratios['one core busy']:.3f} "
          f"rss_extra_mb={runtime_rss - bare_rss:.1f} rss_allowed_mb={allowed:.1f}")


if __name__ == "__main__":
    sys.exit(main())
