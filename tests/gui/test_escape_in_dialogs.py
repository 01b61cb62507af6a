"""Escape in the note and diary dialogs, as real key presses: with nothing typed the dialog closes at once; with something typed
the program asks whether to discard it, No keeps the dialog and what was typed, Yes closes."""
import subprocess
import time

from harness import build_demo_package, check, run_scenario, session

QUESTION = "Discard the changes you made?"


def escape():
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "Escape"], check=True)


def open_new(runtime, page, heading, link, caption):
    runtime.click_link(page)
    runtime.wait_for_page_text(heading)
    runtime.click_link_containing(link)
    return runtime.window_titled(caption)


def no_question(runtime):
    return not any(QUESTION in runtime._all_text(node) for role in ("alert", "dialog") for node in runtime.find_all(role))


def scenario(args):
    with session(args, "escape") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        notes = ("Notepad", "You have not created any notes yet", "Click here to create a new note", "Notepad")

        dialog = open_new(runtime, *notes)
        escape()
        runtime.wait_gone(dialog, "the untouched note dialog to close on Escape", timeout=10)
        check(no_question(runtime), "Escape asked about an untouched note")

        dialog = open_new(runtime, *notes)
        runtime.type_into(runtime.edits(dialog)[0], "Half a thought")
        escape()
        question = runtime.wait_for_dialog(QUESTION, timeout=10)
        time.sleep(0.5)
        runtime.screenshot("note-discard-question")
        runtime.press(question, "No")
        runtime.wait_gone(question, "the question to close")
        check(runtime.edits(dialog)[0].queryText().getText(0, -1) == "Half a thought", "No lost what was typed")

        escape()
        question = runtime.wait_for_dialog(QUESTION, timeout=10)
        runtime.press(question, "Yes")
        runtime.wait_gone(dialog, "the note dialog to close after Yes", timeout=10)
        runtime.wait_for_page_text("You have not created any notes yet")

        dialog = open_new(runtime, "Diary", "You have not created any diary entries yet",
                          "Click here to create a new diary entry", "Diary")
        runtime.type_into(runtime.edits(dialog)[-1], "Sat for ten seconds")
        escape()
        question = runtime.wait_for_dialog(QUESTION, timeout=10)
        time.sleep(0.5)
        runtime.screenshot("diary-discard-question")
        runtime.press(question, "Yes")
        runtime.wait_gone(dialog, "the diary dialog to close after Yes", timeout=10)
        runtime.wait_for_page_text("You have not created any diary entries yet")
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
