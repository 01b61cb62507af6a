"""A second window on the same user data file says so and ends without touching it, so the
first window's changes are saved at its exit and not wiped by the other's."""
import os

from harness import Runtime, build_demo_package, check, run_scenario, session


def scenario(args):
    with session(args, "second-window") as first:
        package = build_demo_package(args, first.root)
        lum = package[:-4] + ".lum"
        first.start_on_help_page(package)

        second = Runtime(args, "second-window-2", root=os.path.join(first.root, "second"))
        second.temp, second.config = first.temp, first.config  # the same user, the same settings
        try:
            second.start(package)
            box = second.wait_for_dialog("is already open in another window")
            second.screenshot("already-open")
            check(lum in " ".join(second._all_text(box).split()), "the message does not name the file")
            second.press(box, "OK")
            check(second.wait_exit() == 2, "the second window did not end as a failed start")
        finally:
            second.cleanup()
        check(not os.path.exists(lum), "the second window touched the user data file")

        first.click_link("Notepad")
        first.click_link_containing("Click here to create a new note")
        dialog = first.window_titled("Notepad")
        first.type_into(first.edits(dialog)[0], "Kept by the first window")
        first.press(dialog, "Save")
        first.wait_for_page_text("Kept by the first window")
        check(first.close_window() == 0, "the first window did not end cleanly")
        with open(lum, "rb") as saved:
            check(b"Kept by the first window" in saved.read(), "the first window's note was not saved")
        check(not os.path.exists(lum + ".lock"), "the lock file was left behind")


if __name__ == "__main__":
    run_scenario(scenario)
