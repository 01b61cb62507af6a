"""The keys a desktop user expects, sent as real X key presses to the window, and the Quit and
About menu items pressed with the pointer: Alt+Left/Right, F1, the zoom keys (stored as the
Zoom dialog stores them), Ctrl+P, Ctrl+Q ending the normal way with the user's data saved."""
import subprocess
import time

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session, wait_until

NOTES_HEADING = "You have not created any notes yet"


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def zoom_stored(runtime, percent):
    wait_until(lambda: f"Zoom={percent}" in runtime.settings_text(), f"the zoom {percent} to be stored", timeout=10)


def create_note(runtime, title):
    runtime.click_link("Notepad")
    runtime.wait_for_page_text(NOTES_HEADING)
    runtime.click_link_containing("Click here to create a new note")
    dialog = runtime.window_titled("Notepad")
    runtime.type_into(runtime.edits(dialog)[0], title)
    runtime.press(dialog, "Save")
    runtime.wait_for_page_text("You have one note")


def scenario(args):
    with session(args, "keys") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        create_note(runtime, "Kept by Ctrl+Q")

        key("alt+Left")
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)
        key("alt+Right")
        runtime.wait_for_page_text("Kept by Ctrl+Q", timeout=10)
        key("F1")
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)

        for name, percent in (("ctrl+plus", 110), ("ctrl+plus", 120), ("ctrl+minus", 110), ("ctrl+0", 100),
                              ("ctrl+KP_Add", 110)):
            key(name)
            zoom_stored(runtime, percent)

        key("ctrl+p")
        printing = runtime.window_titled("Print", timeout=10)
        runtime.press(printing, "Cancel")
        runtime.wait_gone(printing, "the print dialog to close")

        runtime.click_menu_with_pointer("About")
        about = runtime.wait_for_dialog("MIT License", timeout=10)
        for part in ("Qen Runtime", "Version", "Dog Training"):
            check(part in runtime._all_text(about), f"the About box does not name {part}")
        time.sleep(0.5)
        runtime.screenshot("about")
        runtime.press(about, "OK")
        runtime.wait_gone(about, "the About box to close")

        key("ctrl+q")
        check(runtime.wait_exit() == 0, "Ctrl+Q did not end the program cleanly")

        runtime.start(package)
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        runtime.click_link("Notepad")
        runtime.wait_for_page_text("Kept by Ctrl+Q")
        runtime.click_menu_with_pointer("Quit")
        check(runtime.wait_exit() == 0, "Quit did not end the program cleanly")
        check("Zoom=110" in runtime.settings_text(), "the zoom set by keys was not kept")


if __name__ == "__main__":
    run_scenario(scenario)
