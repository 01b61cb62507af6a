"""Links and menu commands in the real window: an ordinary web link opens in the user's
browser and the page stays; a right click shows no menu; Print opens the system print
dialog; the zoom set in the Zoom dialog is stored and comes back on the next start; Help
returns to the help page."""
import subprocess
import time

import pyatspi

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session, wait_until


def set_zoom(runtime, value):
    runtime.click_menu("Zoom")
    dialog = runtime.wait_for_dialog("Percentage zoom")
    edit = runtime.edits(dialog)[0]
    runtime.type_into(edit, value)
    runtime.press(dialog, "OK")
    runtime.wait_gone(dialog, "the zoom dialog to close")


def zoom_shown(runtime):
    runtime.click_menu("Zoom")
    dialog = runtime.wait_for_dialog("Percentage zoom")
    shown = runtime.edits(dialog)[0].queryText().getText(0, -1)
    runtime.press(dialog, "Cancel")
    runtime.wait_gone(dialog, "the zoom dialog to close")
    return shown


def scenario(args):
    with session(args, "links") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)

        runtime.click_link("Puppy School Classes")
        wait_until(lambda: "http://www.example.com/academy/puppy-school" in runtime.opened_externally(),
                   "the web link to reach the user's browser")
        check(DEMO_HELP_HEADING in runtime.page_text(), "the view left the help page for a web link")

        subprocess.run(["xdotool", "mousemove", "600", "450", "click", "3"], check=True)
        time.sleep(1)
        check(not any(menu.getState().contains(pyatspi.STATE_SHOWING) for menu in runtime.find_all("menu")),
              "a right click opened a menu")

        runtime.click_menu("Print")
        printing = runtime.window_titled("Print")
        runtime.screenshot("print-dialog")
        runtime.press(printing, "Cancel")
        runtime.wait_gone(printing, "the print dialog to close")

        set_zoom(runtime, "150")
        wait_until(lambda: "Zoom=150" in runtime.settings_text(), "the zoom to be stored")
        time.sleep(1)  # let the zoomed page repaint before the picture is taken
        runtime.screenshot("zoomed")
        check(runtime.close_window() == 0, "the program did not end cleanly")

        runtime.start(package)
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        check(zoom_shown(runtime) == "150", "the zoom did not survive the restart")
        runtime.click_link("Notepad")
        runtime.wait_for_page_text("Notes")
        runtime.click_menu("Help")
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
