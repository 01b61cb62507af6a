"""When no browser can be started, a web link's address is shown in a field the user can
select, with a Copy button that puts it on the clipboard."""
import os
import subprocess
import time

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session, wait_until

ADDRESS = "http://www.example.com/academy/puppy-school"


def scenario(args):
    with session(args, "address") as runtime:
        # Every opener fails: xdg-open says so, and there is no other browser to start.
        for opener in ("x-www-browser", "firefox"):
            os.remove(os.path.join(runtime.bin, opener))
        with open(os.path.join(runtime.bin, "xdg-open"), "w") as script:
            script.write("#!/bin/sh\nexit 4\n")
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)

        runtime.click_link("Puppy School Classes")
        dialog = runtime.wait_for_dialog("Unable to activate your Internet browser")
        field = runtime.find("text", root=dialog)
        check(field.queryText().getText(0, -1) == ADDRESS, "the address field does not hold the address")
        time.sleep(0.5)
        runtime.screenshot("address-to-copy")
        runtime.press_with_keyboard(dialog, "Copy")
        copied = wait_until(lambda: subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True,
                                                   text=True, timeout=5).stdout, "the clipboard to hold the address",
                            timeout=10)
        check(copied == ADDRESS, f"the clipboard holds {copied!r}")
        runtime.press(dialog, "OK")
        runtime.wait_gone(dialog, "the address dialog to close")
        check(DEMO_HELP_HEADING in runtime.page_text(), "the view left the help page")
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
