"""First start on the demo package: the terms are asked once, the branded help page shows
with the banner arrays and footer filled in, and closing the window removes every generated
file and the work folder; the second start goes straight to the page."""
import os

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session

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


def scenario(args):
    with session(args, "startup") as runtime:
        package = build_demo_package(args, runtime.root)
        first_start(runtime, package)
        second_start(runtime, package)


if __name__ == "__main__":
    run_scenario(scenario)
