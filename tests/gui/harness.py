"""Drives the real program under Xvfb the way a user would.

The program carries no test hooks: pages, links, menus and dialogs are found and
pressed through the accessibility tree (AT-SPI), the same tree a screen reader sees.
Each scenario runs inside its own D-Bus session (see run_scenario), with a private
display, temporary folder, settings folder and home, so nothing leaks between runs.
"""
import argparse
import contextlib
import ctypes
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

DEFAULT_TIMEOUT = 30
# The heading of the demo package's help page, the page a first start shows.
DEMO_HELP_HEADING = "Welcome to your Dog Training companion"


class GuiError(AssertionError):
    pass


def _text_of(path):
    """A text file's contents, or the empty text when there is none."""
    if not os.path.exists(path):
        return ""
    with open(path, encoding="utf-8", errors="replace") as text:
        return text.read()


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    return parser.parse_args()


def run_scenario(scenario):
    """Re-runs this script inside a fresh D-Bus session, then calls scenario(args)."""
    if os.environ.get("QEN_GUI_IN_SESSION") != "1":
        env = dict(os.environ, QEN_GUI_IN_SESSION="1")
        command = ["dbus-run-session", "--", "/usr/bin/python3", *sys.argv]
        sys.exit(subprocess.call(command, env=env))
    args = parse_args()
    try:
        scenario(args)
    except Exception:
        import traceback
        traceback.print_exc()
        print("1 failed: " + os.path.basename(sys.argv[0]))
        sys.exit(1)
    print("passed: " + os.path.basename(sys.argv[0]))


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT, interval=0.2):
    deadline = time.time() + timeout
    last_error = None
    while time.time() < deadline:
        try:
            value = predicate()
            if value:
                return value
        except Exception as error:  # the tree changes under our feet while pages load
            last_error = error
        time.sleep(interval)
    raise GuiError(f"timed out waiting for {what}" + (f" (last error: {last_error})" if last_error else ""))


class Display:
    """A private Xvfb display with the accessibility bus running on it."""

    def __init__(self, width=1280, height=800):
        read_fd, write_fd = os.pipe()
        # -noreset: by default the server resets each time its last client leaves (a program
        # that ends, a screenshot, xdotool), and a program starting during that reset cannot
        # open the display ("Unable to initialize GTK+"); it also loses the root window's
        # properties, the accessibility bus address among them.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_fd, 16)
            if not chunk:
                raise GuiError("Xvfb did not start")
            number += chunk
        os.close(read_fd)
        self.name = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.name
        self.bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)

    def close(self):
        for process in (self.bus, self.xvfb):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _send_delete_window(window):
    """What a window manager sends when the close box is pressed."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise GuiError("cannot open the display to send a close")
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


class Runtime:
    """One run of the program with its own temporary folder, settings and home."""

    def __init__(self, args, name, root=None):
        self.args = args
        self.name = name
        self.root = root or tempfile.mkdtemp(prefix=f"qen_gui_{name}_")
        self.temp = os.path.join(self.root, "tmp")
        self.config = os.path.join(self.root, "config")
        self.home = os.path.join(self.root, "home")
        self.bin = os.path.join(self.root, "bin")
        self.opened_log = os.path.join(self.root, "opened-externally.txt")
        for folder in (self.temp, self.config, self.home, self.bin):
            os.makedirs(folder, exist_ok=True)
        self._install_fake_browser()
        self.screenshots = os.path.join(args.build_dir, "gui-screenshots")
        os.makedirs(self.screenshots, exist_ok=True)
        self.process = None
        self.app = None
        self.extra_environment = {}

    def _install_fake_browser(self):
        # Addresses sent to the user's browser are written down instead of opened.
        for opener in ("xdg-open", "x-www-browser", "firefox"):
            path = os.path.join(self.bin, opener)
            with open(path, "w") as script:
                script.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.opened_log}"\n')
            os.chmod(path, 0o755)

    def environment(self):
        env = dict(os.environ)
        env.update({
            "TMPDIR": self.temp,
            "QEN_CONFIG_HOME": self.config,
            "HOME": self.home,
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "PATH": self.bin + os.pathsep + env.get("PATH", ""),
            "WEBKIT_DISABLE_COMPOSITING_MODE": "1",
            "NO_AT_BRIDGE": "0",
            "GTK_A11Y": "atspi",
        })
        env.update(self.extra_environment)
        return env

    def start(self, *program_args):
        log = open(os.path.join(self.root, "program.log"), "ab")
        self.process = subprocess.Popen([self.args.program, *program_args], env=self.environment(),
                                        stdout=log, stderr=log)
        self.app = wait_until(self._find_app, "the program to appear on the accessibility bus")
        return self

    def start_accepting_terms(self, *program_args):
        """Starts the program and agrees to the terms when it asks for them."""
        self.start(*program_args)
        self.press(self.wait_for_dialog("Use of this software requires"), "Yes")
        return self

    def start_on_help_page(self, *program_args):
        """A first start on the demo package: the terms agreed to, then its help page."""
        self.start_accepting_terms(*program_args)
        self.wait_for_page_text(DEMO_HELP_HEADING)
        return self

    def _find_app(self):
        if self.process.poll() is not None:
            raise GuiError(f"program ended early with code {self.process.returncode}")
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    # --- finding things -------------------------------------------------------------

    def fresh_tree(self):
        """The application node with the client-side cache dropped, so a page that was
        replaced while an event went missing is read anew."""
        try:
            self.app.clearCache()
        except Exception:
            pass
        return self.app

    def find_all(self, role, name=None, root=None):
        found = []

        def visit(node, depth):
            if node is None or depth > 60:
                return
            try:
                if node.getRoleName() == role and (name is None or node.name == name):
                    found.append(node)
                for index in range(node.childCount):
                    visit(node.getChildAtIndex(index), depth + 1)
            except Exception:
                return

        visit(root or self.fresh_tree(), 0)
        return found

    def find(self, role, name=None, root=None, timeout=DEFAULT_TIMEOUT):
        return wait_until(lambda: (self.find_all(role, name, root) or [None])[0],
                          f"{role} '{name}'", timeout)

    def page_text(self):
        documents = self.find_all("document web")
        if not documents:
            return ""
        parts = []

        def visit(node, depth):
            if node is None or depth > 80:
                return
            try:
                text = node.queryText()
                parts.append(text.getText(0, -1))
            except Exception:
                pass
            try:
                for index in range(node.childCount):
                    visit(node.getChildAtIndex(index), depth + 1)
            except Exception:
                return

        visit(documents[0], 0)
        return "\n".join(part for part in parts if part)

    def wait_for_page_text(self, fragment, timeout=DEFAULT_TIMEOUT):
        return wait_until(lambda: fragment in self.page_text(), f"page text '{fragment}'", timeout)

    # --- acting -----------------------------------------------------------------------

    @staticmethod
    def activate(node):
        action = node.queryAction()
        for index in range(action.nActions):
            if action.getName(index) in ("click", "jump", "press", "activate"):
                action.doAction(index)
                return
        action.doAction(0)

    def click_link(self, text, timeout=DEFAULT_TIMEOUT):
        link = self.find("link", text, timeout=timeout)
        self.activate(link)

    def click_menu(self, caption):
        self.activate(self.find("menu item", caption))

    def click_menu_with_pointer(self, caption):
        """One ordinary click with the X pointer, as a user's mouse gives it: accessibility
        actions would bypass how the menu bar treats a quick press and release."""
        item = self.find("menu item", caption)
        box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)

    def program_output(self):
        return _text_of(os.path.join(self.root, "program.log"))

    def click_link_containing(self, text):
        """A link whose name holds `text`: the demo's style sheet puts a marker before some."""
        link = wait_until(lambda: next((l for l in self.find_all("link") if text in (l.name or "")), None),
                          f"a link containing '{text}'")
        self.activate(link)

    def wait_for_dialog(self, text_fragment, timeout=DEFAULT_TIMEOUT):
        """A message box or dialog whose texts contain the fragment."""

        # A long message is wrapped into lines: compare the words, not where the lines break.
        wanted = " ".join(text_fragment.split())

        def dialog_with_text():
            # A dialog without a parent window shows up as a frame of its own.
            for role in ("alert", "dialog", "frame"):
                for dialog in self.find_all(role):
                    if role == "frame" and self.find_all("document web", root=dialog):
                        continue
                    if wanted in " ".join(self._all_text(dialog).split()):
                        return dialog
            return None

        return wait_until(dialog_with_text, f"a dialog saying '{text_fragment}'", timeout)

    def _all_text(self, node):
        texts = []

        def visit(item, depth):
            if item is None or depth > 30:
                return
            try:
                if item.name:
                    texts.append(item.name)
                try:
                    texts.append(item.queryText().getText(0, -1))
                except Exception:
                    pass
                for index in range(item.childCount):
                    visit(item.getChildAtIndex(index), depth + 1)
            except Exception:
                return

        visit(node, 0)
        return "\n".join(texts)

    def press(self, dialog, button):
        self.activate(self.find("push button", button, root=dialog))

    def press_with_keyboard(self, dialog, button):
        """Presses a button from the keyboard. A button whose handler opens a message box
        cannot be pressed through the accessibility bus: the call would wait on the box."""
        self.find("push button", button, root=dialog).queryComponent().grabFocus()
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "space"], check=True)

    def window_titled(self, caption, timeout=DEFAULT_TIMEOUT):
        """A dialog by its caption; a modal dialog may show as a dialog or as a frame."""
        return wait_until(lambda: (self.find_all("dialog", caption) + self.find_all("frame", caption) or [None])[0],
                          f"the {caption} window", timeout)

    def type_into(self, node, text):
        """Replaces the contents of an edit box, as typing would."""
        node.queryEditableText().setTextContents(text)

    def edits(self, dialog):
        """The dialog's edit boxes in tree order: single-line first-come, then multi-line."""
        return self.find_all("text", root=dialog)

    def wait_gone(self, node, what, timeout=DEFAULT_TIMEOUT):
        def gone():
            try:
                return node.getState().contains(pyatspi.STATE_DEFUNCT) or not node.getState().contains(
                    pyatspi.STATE_SHOWING)
            except Exception:
                return True
        return wait_until(gone, what, timeout)

    def screenshot(self, label):
        path = os.path.join(self.screenshots, f"{self.name}-{label}.png")
        subprocess.run(["import", "-window", "root", path], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # --- state on disk --------------------------------------------------------------

    def work_folders(self):
        return sorted(glob.glob(os.path.join(self.temp, "lumfiles__*")))

    def work_folder(self):
        return wait_until(lambda: (self.work_folders() or [None])[0], "the work folder")

    def opened_externally(self):
        if not os.path.exists(self.opened_log):
            return []
        with open(self.opened_log) as log:
            return [line.strip() for line in log if line.strip()]

    def settings_text(self):
        return _text_of(os.path.join(self.config, "Qen Runtime.ini"))

    # --- ending -------------------------------------------------------------------------

    def close_window(self, timeout=DEFAULT_TIMEOUT):
        """Closes the window the way its close box does (the program treats a termination
        request exactly so) and gives the exit code."""
        self.process.send_signal(signal.SIGTERM)
        return self.wait_exit(timeout)

    def press_close_box(self, title):
        """Asks the window titled `title` to close as a window manager does when its close box
        is pressed (WM_DELETE_WINDOW); unlike SIGTERM, this goes through the toolkit."""
        # GTK gives its hidden leader window the same title, and windows of the program's own
        # may carry it too: the main window is the first one shown.
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid), "--name",
                                "^" + re.escape(title) + "$"], capture_output=True, text=True)
        # The search also matches a window by a title it once had (the main window while a
        # dialog of that title is open): keep those whose title is it now.
        windows = [int(window) for window in found.stdout.split()
                   if subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                                     text=True).stdout.rstrip("\n") == title]
        check(windows, f"no window titled '{title}'")
        _send_delete_window(min(windows))

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise GuiError("the program did not end")

    def report_failure(self):
        print("screenshot of the failure: " + self.screenshot("failure"))
        log = os.path.join(self.root, "program.log")
        if os.path.exists(log):
            with open(log, errors="replace") as output:
                print("program output (last lines):\n" + "".join(output.readlines()[-40:]))
        if self.app is not None:
            print("accessibility tree:")
            self._dump(self.app, 0)
            print("page text:\n" + self.page_text()[:2000])

    def _dump(self, node, depth):
        if node is None or depth > 12:
            return
        try:
            print("  " * depth + f"{node.getRoleName()} '{node.name}'")
            for index in range(node.childCount):
                self._dump(node.getChildAtIndex(index), depth + 1)
        except Exception as error:
            print("  " * depth + f"(unreadable: {error})")

    def cleanup(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.root, ignore_errors=True)


class FeedSim:
    """The project's loopback service for the video feed, the article directory and the update
    server, started on a free port; a runtime is pointed at it through its endpoint variables."""

    def __init__(self, args, files=None, fault=None, drip_ms=None):
        command = [os.path.join(args.build_dir, "tools", "feedsim", "feedsim"), "--port", "0"]
        if files:
            command += ["--files", files]
        if fault:
            command += ["--fault", fault]
        if drip_ms is not None:
            command += ["--drip-ms", str(drip_ms)]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.process.stdout.readline().strip()
        if not self.address.startswith("http://127.0.0.1:"):
            self.stop()
            raise GuiError(f"feedsim did not start: {self.address!r}")
        self.host = self.address[len("http://"):]

    def point(self, runtime):
        """Every outside service of `runtime` is answered by this simulator."""
        for variable in ("QEN_VIDEO_FEED_HOST", "QEN_THUMBNAIL_HOST", "QEN_ARTICLE_FEED_HOST",
                         "QEN_ARTICLE_SITE_HOST", "QEN_UPDATE_HOST", "QEN_DOWNLOAD_HOST"):
            runtime.extra_environment[variable] = self.host

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()


@contextlib.contextmanager
def feedsim(args, runtime, files=None, fault=None, drip_ms=None):
    """A FeedSim for the length of a block, with `runtime` pointed at it."""
    simulator = FeedSim(args, files, fault, drip_ms)
    simulator.point(runtime)
    try:
        yield simulator
    finally:
        simulator.stop()


def build_demo_package(args, folder, name="DogTraining.qen"):
    """Packs the bundled sample site with the packaging tool, as a distributor would."""
    qenpack = os.path.join(args.build_dir, "tools", "qenpack", "qenpack")
    output = os.path.join(folder, name)
    subprocess.run(["sh", os.path.join(args.source_dir, "examples", "build-demo.sh"), qenpack, output],
                   check=True, stdout=subprocess.DEVNULL)
    return output


@contextlib.contextmanager
def session(args, name, root=None):
    """A private display and a runtime for one scenario (in `root` when given). On failure
    the screen, the program's output and the accessibility tree are kept for whoever reads
    the log."""
    display = Display()
    runtime = Runtime(args, name, root)
    try:
        yield runtime
    except BaseException:
        runtime.report_failure()
        raise
    finally:
        runtime.cleanup()
        display.close()


def check(condition, message):
    if not condition:
        raise GuiError(message)
