"""The program starts, shows its waiting page in the real window, and on close
removes its work folder."""
import os

from harness import Display, Runtime, check, run_scenario


def scenario(args):
    display = Display()
    runtime = Runtime(args, "startup")
    try:
        runtime.start()
        folder = runtime.work_folder()
        check(os.path.basename(folder).startswith("lumfiles__"), f"unexpected work folder {folder}")
        with open(os.path.join(folder, "index.html"), "rb") as page:
            check(page.read() == b"<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>"
                  b"Loading Data - Please Wait</DIV>", "the waiting page differs")
        for caption in ("Home", "Back", "Forward", "Zoom", "Print", "Backup", "Help"):
            runtime.find("menu item", caption)
        runtime.screenshot("started")
        code = runtime.close_window()
        check(code == 0, f"exit code {code}")
        check(not runtime.work_folders(), "the work folder was left behind")
    finally:
        runtime.cleanup()
        display.close()


if __name__ == "__main__":
    run_scenario(scenario)
