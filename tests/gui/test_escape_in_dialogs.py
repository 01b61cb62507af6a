"""Escape in the note and diary dialogs, as real key presses, and their close box: with nothing typed the dialog closes at
once; with something typed the program asks whether to discard it, No keeps the dialog and what was typed, Yes closes."""
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
        diary = ("Diary", "You have not created any diary entries yet", "Click here to create a new diary entry", "Diary")

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

        dialog = open_new(runtime, *diary)
        runtime.type_into(runtime.edits(dialog)[-1], "Sat for ten seconds")
        escape()
        question = runtime.wait_for_dialog(QUESTION, timeout=10)
        time.sleep(0.5)
        runtime.screenshot("diary-discard-question")
        runtime.press(question, "Yes")
        runtime.wait_gone(dialog, "the diary dialog to close after Yes", timeout=10)
        runtime.wait_for_page_text("You have not created any diary entries yet")

        # The close box, as a window manager reports it, asks the same question.
        for kind in (notes, diary):
            empty_page, caption = kind[1], kind[3]
            dialog = open_new(runtime, *kind)
            runtime.press_close_box(caption)
            runtime.wait_gone(dialog, f"the untouched {caption} dialog to close on its close box", timeout=10)
            check(no_question(runtime), f"the close box asked about an untouched {caption} dialog")

            dialog = open_new(runtime, *kind)
            runtime.type_into(runtime.edits(dialog)[-1], "Typed, then closed")
            runtime.press_close_box(caption)
            question = runtime.wait_for_dialog(QUESTION, timeout=10)
            time.sleep(0.5)
            runtime.screenshot(f"{caption.lower()}-close-box-question")
            runtime.press(question, "No")
            runtime.wait_gone(question, "the question to close")
            check(runtime.edits(dialog)[-1].queryText().getText(0, -1) == "Typed, then closed",
                  f"No lost what was typed in the {caption} dialog")
            runtime.press_close_box(caption)
            runtime.press(runtime.wait_for_dialog(QUESTION, timeout=10), "Yes")
            runtime.wait_gone(dialog, f"the {caption} dialog to close after Yes", timeout=10)
            runtime.wait_for_page_text(empty_page)
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
