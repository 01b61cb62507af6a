"""Folders named outside ASCII, under a C locale: the temporary folder and the package
lie under a folder named "Jürgen", the program is started the way a file manager starts
it, and a note whose text holds what looks like markup comes back exactly as typed."""
import os
import shutil
import tempfile

from harness import build_demo_package, check, run_scenario, session

NOTE_TEXT = "write &#60;b&#62; & keep &amp; \u03a9"


def open_note_dialog(runtime, link_text):
    runtime.click_link_containing(link_text)
    return runtime.window_titled("Notepad")


def scenario(args):
    outer = tempfile.mkdtemp(prefix="qen_gui_paths_")
    root = os.path.join(outer, "J\u00fcrgen")
    with session(args, "paths", root) as runtime:
        runtime.extra_environment = {"LC_ALL": "C", "LANG": "C", "LANGUAGE": ""}
        packages = os.path.join(root, "\u00dcbungen")
        os.makedirs(packages)
        package = build_demo_package(args, packages, "Hunde \u00dcbung.qen")

        runtime.start_on_help_page(package)
        check("J\u00fcrgen" in runtime.work_folder(), "the work folder is not under the temporary folder")

        runtime.click_link("Notepad")
        runtime.wait_for_page_text("You have not created any notes yet")
        dialog = open_note_dialog(runtime, "Click here to create a new note")
        title, text = runtime.edits(dialog)[:2]
        runtime.type_into(title, "Markup")
        runtime.type_into(text, NOTE_TEXT)
        runtime.press(dialog, "Save")
        runtime.wait_for_page_text(NOTE_TEXT)
        runtime.screenshot("note-page")

        dialog = open_note_dialog(runtime, "Markup")
        shown = runtime.edits(dialog)[1].queryText().getText(0, -1)
        check(shown == NOTE_TEXT, f"the note came back as {shown!r}")
        runtime.press(dialog, "Save")
        runtime.wait_for_page_text(NOTE_TEXT)

        check(runtime.close_window() == 0, "the program did not end cleanly")
        check(not runtime.work_folders(), "the work folder was left behind")
        check(os.path.exists(os.path.join(packages, "Hunde \u00dcbung.lum")),
              "the user data file was not saved beside the package")
    shutil.rmtree(outer, ignore_errors=True)


if __name__ == "__main__":
    run_scenario(scenario)
