"""First start on the demo package: the terms are asked once, the branded help page shows
with the banner arrays and footer filled in, and closing the window removes every generated
file and the work folder; the second start goes straight to the page.

Start-ups that must end: a package with a changed member says so before the terms are
asked and before any window shows, declining the terms ends the program with code 1, and a
damaged or changed package on an everyday start says so and ends with code 2; none leaves a
work folder, a setting or a user data file behind."""
import os
import shutil

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session

# Offsets in a package file, whose block starts at its first byte.
TITLE_BYTE = 200      # covered by the header's digest
MEMBER_BYTE = 16_300 + 20  # the first member's data, covered by the content hash

WAITING_PAGE = (b"<DIV align=center><FONT face=Verdana size=3><BR><BR><BR><BR><BR>"
                b"Loading Data - Please Wait</DIV>")


def first_start(runtime, package):
    runtime.start(package)
    terms = runtime.wait_for_dialog("Use of this software requires")
    runtime.screenshot("terms")
    runtime.press(terms, "Yes")
    runtime.wait_for_page_text(DEMO_HELP_HEADING)
    runtime.screenshot("help")

    folder = runtime.work_folder()
    check(os.path.basename(folder).startswith("lumfiles__"), f"unexpected work folder {folder}")
    with open(os.path.join(folder, "index.html"), "rb") as page:
        check(page.read() == WAITING_PAGE, "the waiting page differs")
    with open(os.path.join(folder, "help.html"), encoding="cp1252") as page:
        help_page = page.read()
    # The demo lists no banners of its own, so its pages show the pictures its package carries.
    for filled in ("var TopBannerUrls = new Array ();", "var MaxSideBanners = 3;", "Dog Training Academy",
                   "Puppy School Classes</a><BR>"):
        check(filled in help_page, f"help.html lacks {filled!r}")
    check(os.path.exists(os.path.join(folder, "banner-top1.jpg")), "the package's own banner was not unpacked")
    for token in ("%%videoposts%%", "%%pagetitle%%", "%%SiteNiche%%", "%%siteniche%%", "%%footertext%%"):
        check(token not in help_page, f"{token} was left unfilled in help.html")
    check("Terms=1" in runtime.settings_text(), "the accepted terms were not stored")

    check(runtime.close_window() == 0, "the program did not end cleanly")
    check(not runtime.work_folders(), "the work folder was left behind")


def second_start(runtime, package):
    runtime.start(package)
    runtime.wait_for_page_text(DEMO_HELP_HEADING)
    check(not runtime.find_all("dialog"), "a dialog was shown on the second start")
    check(runtime.close_window() == 0, "the program did not end cleanly")
    check(not runtime.work_folders(), "the work folder was left behind")
    check(os.path.exists(package[:-4] + ".lum"), "the user data file was not saved beside the package")


def changed_copy(package, offset, name):
    """A copy of the package with one byte changed."""
    copy = os.path.join(os.path.dirname(package), name)
    shutil.copy(package, copy)
    with open(copy, "r+b") as file:
        file.seek(offset)
        byte = file.read(1)
        file.seek(offset)
        file.write(bytes([byte[0] ^ 1]))
    return copy


def refused(runtime, package, message, label):
    """Start-up on a package that must be refused: its message, on no window and no page,
    then the end with code 2 and nothing left behind."""
    runtime.start(package)
    box = runtime.wait_for_dialog(message)
    runtime.screenshot(label)
    # Had the terms been asked first, their dialog would stand where this message is.
    check(not runtime.find_all("document web"), "a window with a page was shown before the message")
    runtime.press(box, "OK")
    check(runtime.wait_exit() == 2, "a refused package did not end start-up with code 2")
    check(message in runtime.program_output(), "the reason was not printed on stderr")
    check(not runtime.work_folders(), "a work folder was left behind")
    check(not os.path.exists(package[:-4] + ".lum"), "a user data file was written")


def declined_terms(runtime, package):
    runtime.start(package)
    runtime.press(runtime.wait_for_dialog("Use of this software requires"), "No")
    check(runtime.wait_exit() == 1, "declining the terms did not end the program with code 1")
    check(not runtime.work_folders(), "a work folder was left behind")
    check("Terms=1" not in runtime.settings_text(), "declined terms were stored as accepted")
    check(not os.path.exists(package[:-4] + ".lum"), "a user data file was written")


def scenario(args):
    with session(args, "startup") as runtime:
        package = build_demo_package(args, runtime.root)
        changed = changed_copy(package, MEMBER_BYTE, "Changed.qen")
        # The content is checked beside the window's start, yet told before the terms.
        refused(runtime, changed, "The .qen file is corrupt (content changed)", "changed-member-first-start")
        declined_terms(runtime, package)
        first_start(runtime, package)
        second_start(runtime, package)
        refused(runtime, changed_copy(package, TITLE_BYTE, "Damaged.qen"), "The .qen file is corrupt",
                "damaged-package")
        refused(runtime, changed, "The .qen file is corrupt (content changed)", "changed-member")


if __name__ == "__main__":
    run_scenario(scenario)
