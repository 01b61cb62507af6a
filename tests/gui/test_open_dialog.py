"""The open-file dialog at start offers content packages, user data and all files, and a
user data file chosen in it opens the package beside it, as on the command line."""
import os
import subprocess
import time

import pyatspi

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session, wait_until


def scenario(args):
    with session(args, "open-dialog") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        check(runtime.close_window() == 0, "the program did not end cleanly")
        user_data = os.path.splitext(package)[0] + ".lum"
        check(os.path.exists(user_data), "no user data was saved beside the package")

        runtime.start()
        chooser = wait_until(lambda: (runtime.find_all("file chooser") or [None])[0], "the open-file dialog")
        filters = wait_until(lambda: next((combo for combo in runtime.find_all("combo box", root=chooser)
                                           if "Content packages" in runtime._all_text(combo)), None),
                             "the file type list")
        names = runtime._all_text(filters)
        for wanted in ("Content packages (*.qen)", "User data (*.lum)", "All files"):
            check(wanted in names, f"the file type list lacks '{wanted}': {names!r}")
        box = filters.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2), str(box.y + box.height // 2),
                        "click", "1"], check=True)
        time.sleep(1)
        runtime.screenshot("file-types")
        subprocess.run(["xdotool", "key", "Down", "Return"], check=True)
        wait_until(lambda: "User data (*.lum)" in (filters.name or "") or "User data (*.lum)" in runtime._all_text(filters),
                   "user data to be the chosen file type", timeout=10)
        time.sleep(0.5)
        runtime.screenshot("file-types-user-data")

        subprocess.run(["xdotool", "key", "ctrl+l"], check=True)
        time.sleep(0.5)
        # Typed character by character, the location bar's completion may take some.
        location = wait_until(lambda: next((t for t in runtime.find_all("text", root=chooser)
                                            if t.getState().contains(pyatspi.STATE_FOCUSED)), None),
                              "the location bar")
        runtime.type_into(location, user_data)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
