"""The self-update against a loopback update server holding a signed release: a copy under
its standard name is offered the update, downloads it (20 MB) and comes back as the new program;
a renamed copy gets the next name and is told so; a second start within the day asks
nothing; a copy opened with a package from elsewhere comes back with it; a download whose
signature does not match is refused."""
import os
import re
import shutil
import stat
import subprocess
import time

from harness import (
    DEMO_HELP_HEADING, build_demo_package, check, feedsim, run_scenario, session, wait_until)

QUESTION = "A new version of this software is available"
NOT_VERIFIED = "The downloaded update could not be verified and was not installed"
OFFERED_VERSION = "2"
# Bytes after the ELF image are never loaded, so the new program runs as the old one does
# and can still be told apart from it.
NEW_PROGRAM_MARKER = b"\nqen-gui-update: the offered version\n"
LARGE_PROGRAM = 20_000_000
REPLACER = "QenRuntimeAutoReplaceTool"
DAY = 86400


class Release:
    """What a distributor publishes: a key pair, the version file and the signed files."""

    def __init__(self, args, root):
        self.tool = os.path.join(args.build_dir, "tools", "qen-release", "qen-release")
        keys = os.path.join(root, "keys")
        os.makedirs(keys)
        self.private_key = os.path.join(keys, "release.key")
        self.public_key = os.path.join(keys, "update-key.pub")
        self._run("keygen", self.private_key, self.public_key)

        self.server = os.path.join(root, "server")
        os.makedirs(os.path.join(self.server, "qenruntime"))
        with open(os.path.join(self.server, "qenruntime", "version.txt"), "wb") as version:
            version.write(f"{OFFERED_VERSION}\r\nQen Runtime {OFFERED_VERSION}\r\n".encode())
        # The copies run a release build; the new program is as large as one built with
        # debugging information, well past the download buffer's 4,000,000 bytes.
        self.old_program_path = os.path.join(root, "QenRuntime.release")
        subprocess.run(["strip", "--strip-debug", "-o", self.old_program_path, args.program], check=True)
        with open(self.old_program_path, "rb") as program:
            self.old_program = program.read()
        self.new_program = self.old_program + NEW_PROGRAM_MARKER
        self.new_program += bytes(i % 251 for i in range(max(0, LARGE_PROGRAM - len(self.new_program))))
        for path in ("QenRuntime", "qenruntime/QenRuntime"):
            self._publish(path, self.new_program, "program")
        with open(os.path.join(args.build_dir, "tools", "replacer", REPLACER), "rb") as replacer:
            self._publish(REPLACER, replacer.read(), "replacer")

    def _run(self, *arguments):
        subprocess.run([self.tool, *arguments], check=True, stdout=subprocess.DEVNULL)

    def _publish(self, path, data, kind):
        file = os.path.join(self.server, path)
        with open(file, "wb") as published:
            published.write(data)
        self._run("sign", self.private_key, OFFERED_VERSION, kind, file)

    def tamper(self, path):
        """The file changes on the server after it was signed."""
        with open(os.path.join(self.server, path), "ab") as published:
            published.write(b"\nchanged after signing\n")


def install_copy(root, folder, name, release, package=None):
    """A copy of the built program under `name`, with the public key and the package beside it."""
    folder = os.path.join(root, folder)
    os.makedirs(folder)
    program = os.path.join(folder, name)
    shutil.copy2(release.old_program_path, program)
    shutil.copy(release.public_key, folder)
    if package:
        shutil.copy(package, folder)
    return program


def recorded_check(runtime):
    match = re.search(r"\[VersionCheck\][^\[]*?^VersionCheck=(\d+)", runtime.settings_text(), re.M)
    return int(match.group(1)) if match else None


def pretend_a_day_passed(runtime):
    """The next start is due to check again: the recorded check is moved a day back."""
    path = os.path.join(runtime.config, "Qen Runtime.ini")
    with open(path, encoding="utf-8") as settings:
        text = settings.read()
    earlier = recorded_check(runtime) - DAY - 60
    text = re.sub(r"(\[VersionCheck\][^\[]*?^VersionCheck=)\d+", rf"\g<1>{earlier}", text, flags=re.M)
    with open(path, "w", encoding="utf-8") as settings:
        settings.write(text)


def running_image(runtime):
    with open(f"/proc/{runtime.process.pid}/exe", "rb") as image:
        return image.read()


def wait_for_new_program(runtime, program, release):
    """The process, under the same id, runs the new file from the program's place, and its
    window is on the accessibility bus."""

    def swapped():
        running = os.stat(f"/proc/{runtime.process.pid}/exe")
        return running.st_ino == os.stat(program).st_ino and running_image(runtime) == release.new_program

    wait_until(swapped, "the new program to run in place of the old one", timeout=60)
    runtime.app = None

    def new_window():
        runtime.app = runtime._find_app()
        return runtime.app is not None and runtime.find_all("document web")

    wait_until(new_window, "the new program's window")
    runtime.wait_for_page_text(DEMO_HELP_HEADING)


def update_under_standard_name(runtime, package, release):
    program = install_copy(runtime.root, "standard", "QenRuntime", release, package)
    runtime.args.program = program
    runtime.start_on_help_page()
    question = runtime.wait_for_dialog(QUESTION)
    time.sleep(0.5)
    runtime.screenshot("question")
    runtime.press(question, "Yes")

    wait_for_new_program(runtime, program, release)
    runtime.screenshot("new-program")
    check(len(runtime.work_folders()) == 1, f"work folders after the hand-over: {runtime.work_folders()}")
    check(recorded_check(runtime) is not None, "the version check was not recorded")
    check(runtime.close_window() == 0, "the new program did not end cleanly")

    folder = sorted(os.listdir(os.path.dirname(program)))
    check(folder == ["DogTraining.lum", "DogTraining.qen", "QenRuntime", "update-key.pub"],
          f"the program's folder holds {folder}")
    with open(program, "rb") as installed:
        check(installed.read() == release.new_program, "the program file is not the new program")
    check(not runtime.work_folders(), "a work folder was left behind")
    return program


def second_start_within_a_day(runtime, program):
    recorded = recorded_check(runtime)
    # A replacer left in the folder is removed once the check has found nothing to do,
    # which shows that start-up ran past it.
    leftover = os.path.join(os.path.dirname(program), REPLACER)
    with open(leftover, "w") as stale:
        stale.write("#!/bin/sh\nexit 0\n")
    runtime.start()
    runtime.wait_for_page_text(DEMO_HELP_HEADING)
    wait_until(lambda: not os.path.exists(leftover), "the leftover replacer to be removed")
    check(not runtime.find_all("alert") and not runtime.find_all("dialog"), "the second start asked something")
    check(recorded_check(runtime) == recorded, "the second start checked for a new version again")
    check(runtime.close_window() == 0, "the program did not end cleanly")


def update_under_other_name(runtime, package, release):
    pretend_a_day_passed(runtime)
    program = install_copy(runtime.root, "renamed", "MyTool_9", release, package)
    runtime.args.program = program
    runtime.start()
    runtime.press(runtime.wait_for_dialog(QUESTION), "Yes")
    new_copy = os.path.join(os.path.dirname(program), "MyTool_10")
    told = runtime.wait_for_dialog(f"The new version has been downloaded as {new_copy}")
    runtime.wait_for_dialog("Please activate the new version in future")
    time.sleep(0.5)
    runtime.screenshot("renamed-copy")
    runtime.press(told, "OK")
    check(runtime.wait_exit() == 1, "the renamed copy did not end after the download")

    with open(new_copy, "rb") as written:
        check(written.read() == release.new_program, "MyTool_10 is not the new program")
    check(os.stat(new_copy).st_mode & stat.S_IXUSR, "MyTool_10 cannot be run")
    with open(program, "rb") as kept:
        check(kept.read() == release.old_program, "the running copy was changed")
    check(not os.path.exists(os.path.join(os.path.dirname(program), REPLACER)),
          "a renamed copy received the replacer")


def update_with_package_from_elsewhere(runtime, package, release):
    """Opened with a package from another folder, as the file manager opens it: the new
    program comes back with that package rather than asking for one."""
    pretend_a_day_passed(runtime)
    program = install_copy(runtime.root, "opened", "QenRuntime", release)
    runtime.args.program = program
    runtime.start(package)
    runtime.press(runtime.wait_for_dialog(QUESTION), "Yes")
    wait_for_new_program(runtime, program, release)
    check(not runtime.find_all("file chooser"), "the new program asked for a package")
    check(runtime.close_window() == 0, "the new program did not end cleanly")
    check(sorted(os.listdir(os.path.dirname(program))) == ["QenRuntime", "update-key.pub"],
          f"the program's folder holds {sorted(os.listdir(os.path.dirname(program)))}")


def update_that_fails_its_check(runtime, package, release):
    pretend_a_day_passed(runtime)
    release.tamper("QenRuntime")
    program = install_copy(runtime.root, "checked", "QenRuntime", release, package)
    runtime.args.program = program
    before = sorted(os.listdir(os.path.dirname(program)))
    runtime.start()
    runtime.press(runtime.wait_for_dialog(QUESTION), "Yes")
    refusal = runtime.wait_for_dialog(NOT_VERIFIED)
    time.sleep(0.5)
    runtime.screenshot("not-verified")
    runtime.press(refusal, "OK")
    runtime.wait_gone(refusal, "the refusal to close")
    runtime.wait_for_page_text(DEMO_HELP_HEADING)
    check(runtime.close_window() == 0, "the program did not go on after the refusal")
    after = sorted(name for name in os.listdir(os.path.dirname(program)) if not name.startswith("DogTraining.lum"))
    check(after == before, f"the refused update changed the folder: {before} became {after}")


def scenario(args):
    with session(args, "update") as runtime:
        package = build_demo_package(args, runtime.root)
        release = Release(args, runtime.root)
        with feedsim(args, runtime, files=release.server):
            program = update_under_standard_name(runtime, package, release)
            second_start_within_a_day(runtime, program)
            update_under_other_name(runtime, package, release)
            update_with_package_from_elsewhere(runtime, package, release)
            update_that_fails_its_check(runtime, package, release)


if __name__ == "__main__":
    run_scenario(scenario)
