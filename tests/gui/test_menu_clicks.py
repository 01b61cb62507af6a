"""Every menu command runs on one ordinary click of the mouse (a real X pointer press and
release) and from the keyboard, and each dialog it opens is kept as a screenshot."""
import subprocess
import time

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session

NOTES_HEADING = "You have not created any notes yet"


def dialog_by_pointer(runtime, caption, text, label):
    runtime.click_menu_with_pointer(caption)
    dialog = runtime.wait_for_dialog(text, timeout=10)
    time.sleep(0.5)
    runtime.screenshot(label)
    runtime.press(dialog, "Cancel")
    runtime.wait_gone(dialog, f"the {caption} dialog to close")


def scenario(args):
    with session(args, "menus") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        runtime.click_link("Notepad")
        runtime.wait_for_page_text(NOTES_HEADING)

        runtime.click_menu_with_pointer("Back")
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)
        runtime.click_menu_with_pointer("Forward")
        runtime.wait_for_page_text(NOTES_HEADING, timeout=10)
        runtime.click_menu_with_pointer("Home")
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)
        runtime.click_link("Notepad")
        runtime.wait_for_page_text(NOTES_HEADING)
        runtime.click_menu_with_pointer("Help")
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)

        dialog_by_pointer(runtime, "Zoom", "Percentage zoom", "zoom-dialog")
        dialog_by_pointer(runtime, "Backup", "When you exit the software normally", "backup-dialog")
        runtime.click_menu_with_pointer("Print")
        printing = runtime.window_titled("Print", timeout=10)
        runtime.press(printing, "Cancel")
        runtime.wait_gone(printing, "the print dialog to close")

        # The keyboard: F10 reaches the menu bar, Enter runs the item it lands on (Home).
        runtime.click_link("Notepad")
        runtime.wait_for_page_text(NOTES_HEADING)
        subprocess.run(["xdotool", "key", "F10"], check=True)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        runtime.wait_for_page_text(DEMO_HELP_HEADING, timeout=10)

        # The program's own message box, as the other dialogs look.
        runtime.click_link("Notepad")
        runtime.click_link_containing("Click here to create a new note")
        dialog = runtime.window_titled("Notepad")
        runtime.press_with_keyboard(dialog, "Save")
        message = runtime.wait_for_dialog("Please enter a title for the note")
        time.sleep(0.5)
        runtime.screenshot("message-box")
        runtime.press(message, "OK")
        runtime.press(dialog, "Cancel")
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
