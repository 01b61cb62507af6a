"""A logout, kill or Ctrl+C while a dialog is open ends the program the normal way: the
dialogs end as if cancelled, the user's data is saved and the work folder removed. Each of
SIGTERM, SIGINT and SIGHUP meets each kind of dialog."""
import json
import os
import shutil
import signal
import subprocess
import time

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session, wait_until

NOTE = "Remember the lead"
SIGNALS = (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)


def open_zoom(runtime):
    runtime.click_menu("Zoom")
    runtime.wait_for_dialog("Percentage zoom")


def open_backup(runtime):
    runtime.click_menu("Backup")
    runtime.wait_for_dialog("When you exit the software normally")


def open_note(runtime):
    runtime.click_link("Notepad")
    runtime.click_link_containing("Click here to create a new note")
    dialog = runtime.window_titled("Notepad")
    runtime.type_into(runtime.edits(dialog)[0], "never saved")


def open_note_with_message(runtime):
    runtime.click_link("Notepad")
    runtime.click_link_containing("Click here to create a new note")
    runtime.press_with_keyboard(runtime.window_titled("Notepad"), "Save")
    runtime.wait_for_dialog("Please enter a title for the note")


def open_diary(runtime):
    runtime.click_link("Diary")
    runtime.click_link_containing("Click here to create a new diary entry")
    dialog = runtime.window_titled("Diary")
    runtime.type_into(runtime.edits(dialog)[-1], "never saved")


RUNNING_DIALOGS = {
    "zoom": open_zoom,
    "backup": open_backup,
    "note": open_note,
    "message": open_note_with_message,
    "diary": open_diary,
}


def exported(args, lum):
    tool = os.path.join(args.build_dir, "tools", "qen-data", "qen-data")
    result = subprocess.run([tool, "export", lum], capture_output=True, check=True)
    return json.loads(result.stdout)


def send_and_wait(runtime, sig, what):
    runtime.screenshot(f"{what}-{sig.name}")
    runtime.process.send_signal(sig)
    code = runtime.wait_exit(30)
    check(code >= 0, f"{what}, {sig.name}: the program was killed by signal {-code}")
    return code


def scenario(args):
    with session(args, "signals") as runtime:
        package = build_demo_package(args, runtime.root)
        lum = package[:-4] + ".lum"
        runtime.start_on_help_page(package)
        runtime.click_link("Notepad")
        runtime.click_link_containing("Click here to create a new note")
        dialog = runtime.window_titled("Notepad")
        runtime.type_into(runtime.edits(dialog)[0], NOTE)
        runtime.press(dialog, "Save")
        runtime.wait_for_page_text(NOTE)
        check(runtime.close_window() == 0, "the program did not end cleanly")

        for sig in SIGNALS:
            for what, open_dialog in RUNNING_DIALOGS.items():
                before = os.stat(lum).st_mtime_ns
                time.sleep(0.05)
                runtime.start(package)
                runtime.wait_for_page_text(DEMO_HELP_HEADING)
                open_dialog(runtime)
                check(send_and_wait(runtime, sig, what) == 0, f"{what}, {sig.name}: not a normal end")
                check(not runtime.work_folders(), f"{what}, {sig.name}: the work folder was left behind")
                check(os.stat(lum).st_mtime_ns > before, f"{what}, {sig.name}: the user data was not saved")
                notes = [note["title"] for note in exported(args, lum)["Notes"]]
                check(notes == [NOTE], f"{what}, {sig.name}: the notes became {notes}")

            # A message box of start-up itself: a user data file that cannot be read.
            damaged = os.path.join(runtime.root, f"damaged-{sig.name}")
            os.makedirs(damaged)
            copy = os.path.join(damaged, "Site.qen")
            shutil.copy(package, copy)
            with open(copy[:-4] + ".lum", "wb") as junk:
                junk.write(b"not a user data file")
            runtime.start(copy)
            runtime.wait_for_dialog("Unable to load data from .lum file")
            check(send_and_wait(runtime, sig, "start-up message") == 0, f"start-up message, {sig.name}")
            check(not runtime.work_folders(), f"start-up message, {sig.name}: the work folder was left behind")
            kept = [name for name in os.listdir(damaged) if ".lum.damaged-" in name]
            check(len(kept) == 1, f"start-up message, {sig.name}: the damaged file was not kept aside")

            # The open-file dialog: no package on the command line or beside the program.
            runtime.start()
            wait_until(lambda: runtime.find_all("file chooser"), "the open-file dialog")
            check(send_and_wait(runtime, sig, "file dialog") == 2, f"file dialog, {sig.name}: not a failed start")
            check(not runtime.work_folders(), f"file dialog, {sig.name}: a work folder was left behind")


if __name__ == "__main__":
    run_scenario(scenario)
