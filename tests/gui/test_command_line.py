"""A command line that names no usable file says so before the open-file dialog appears,
prints its reason on stderr and ends with exit code 2 when no package is chosen."""
import os
import signal

from harness import check, run_scenario, session, wait_until


def named(runtime, argument, message):
    runtime.start(argument)
    box = runtime.wait_for_dialog(message)
    runtime.screenshot("command-line-" + ("folder" if "folder" in message else "missing"))
    runtime.press(box, "OK")
    wait_until(lambda: runtime.find_all("file chooser"), "the open-file dialog after the message")
    runtime.process.send_signal(signal.SIGTERM)  # the user gives up: the dialog ends as cancelled
    check(runtime.wait_exit() == 2, "a start-up without a package did not end with code 2")
    check("start-up ended" in runtime.program_output(), "no reason was printed on stderr")


def scenario(args):
    with session(args, "command-line") as runtime:
        missing = os.path.join(runtime.root, "no such package.qen")
        named(runtime, missing, f"{missing} was not found")
        named(runtime, runtime.root, f"{runtime.root} is a folder")


if __name__ == "__main__":
    run_scenario(scenario)
