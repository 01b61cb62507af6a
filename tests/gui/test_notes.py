"""Notepad and diary in the real window: a note and a diary entry are created, edited
and deleted through their links and dialogs, and survive a restart."""
import pyatspi

from harness import build_demo_package, check, run_scenario, session

TITLE = "Caf\u00e9 \u20ac \u4e2d"  # cp1252 letters and one character outside cp1252


def open_dialog(runtime, link, caption):
    runtime.click_link_containing(link)
    return runtime.window_titled(caption)


def create_and_edit(runtime):
    runtime.click_link("Notepad")
    runtime.wait_for_page_text("You have not created any notes yet")

    dialog = open_dialog(runtime, "Click here to create a new note", "Notepad")
    shown = [b for b in runtime.find_all("push button", "Delete Note", root=dialog)
             if b.getState().contains(pyatspi.STATE_SHOWING)]
    check(not shown, "a new note offers Delete Note")
    runtime.press_with_keyboard(dialog, "Save")
    runtime.press(runtime.wait_for_dialog("Please enter a title for the note"), "OK")
    title, text = runtime.edits(dialog)[:2]
    runtime.type_into(title, TITLE)
    runtime.type_into(text, "Sit & stay <5 min>\nthen heel")
    runtime.screenshot("note-dialog")
    runtime.press(dialog, "Save")
    runtime.wait_for_page_text("You have one note")
    runtime.wait_for_page_text("Sit & stay <5 min>")
    runtime.screenshot("notepad")

    dialog = open_dialog(runtime, TITLE, "Notepad")
    runtime.type_into(runtime.edits(dialog)[1], "Down and wait")
    runtime.press(dialog, "Save")
    runtime.wait_for_page_text("Down and wait")

    runtime.click_link("Diary")
    runtime.wait_for_page_text("You have not created any diary entries yet")
    dialog = open_dialog(runtime, "Click here to create a new diary entry", "Diary")
    runtime.type_into(runtime.edits(dialog)[-1], "First lesson \u20ac")
    runtime.screenshot("diary-dialog")
    runtime.press(dialog, "Save")
    runtime.wait_for_page_text("You have one diary entry")
    runtime.wait_for_page_text("First lesson \u20ac")
    runtime.screenshot("diary")
    check(runtime.close_window() == 0, "the program did not end cleanly")


def delete_after_restart(runtime):
    runtime.click_link("Notepad")
    runtime.wait_for_page_text("Down and wait")
    dialog = open_dialog(runtime, TITLE, "Notepad")
    runtime.press_with_keyboard(dialog, "Delete Note")
    runtime.press(runtime.wait_for_dialog("Are you sure you want to delete this note?"), "Yes")
    runtime.wait_for_page_text("You have not created any notes yet")

    runtime.click_link("Diary")
    runtime.wait_for_page_text("First lesson \u20ac")
    dated = [link for link in runtime.find_all("link") if (link.name or "").count("/") == 2]
    check(len(dated) == 1, f"expected one dated link, found {[link.name for link in dated]}")
    runtime.activate(dated[0])
    dialog = runtime.window_titled("Diary")
    runtime.press_with_keyboard(dialog, "Delete")
    runtime.press(runtime.wait_for_dialog("Are you sure you want to delete this entry?"), "Yes")
    runtime.wait_for_page_text("You have not created any diary entries yet")
    check(runtime.close_window() == 0, "the program did not end cleanly")


def scenario(args):
    with session(args, "notes") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        create_and_edit(runtime)
        runtime.start(package)
        delete_after_restart(runtime)


if __name__ == "__main__":
    run_scenario(scenario)
