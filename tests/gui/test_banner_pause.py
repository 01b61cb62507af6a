"""The demo's top banner keeps still while the real pointer rests on it and rotates again
once the pointer leaves."""
import subprocess
import time

import pyatspi

from harness import build_demo_package, check, run_scenario, session, wait_until

TOP_BANNER_LINKS = ("videos1.html", "diary.html")
ROTATION_SECONDS = 9


def top_banner(runtime):
    """The top banner's link: an image link without a name, to one of the demo's two pages."""
    for link in runtime.find_all("link"):
        if link.name:
            continue
        try:
            address = link.queryHyperlink().getURI(0)
        except Exception:
            continue
        if address.endswith(TOP_BANNER_LINKS):
            box = link.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if box.width > 0 and box.height > 0:
                return address, box
    return None


def scenario(args):
    with session(args, "banner") as runtime:
        package = build_demo_package(args, runtime.root)
        runtime.start_on_help_page(package)
        _, box = wait_until(lambda: top_banner(runtime), "the top banner")
        subprocess.run(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2), str(box.y + box.height // 2)],
                       check=True)
        time.sleep(1)  # a change already under way when the pointer arrived ends first
        shown = top_banner(runtime)[0]
        time.sleep(ROTATION_SECONDS + 2)
        check(top_banner(runtime)[0] == shown, "the banner rotated under the pointer")

        subprocess.run(["xdotool", "mousemove", "--sync", "5", str(box.y + box.height + 300)], check=True)
        wait_until(lambda: (top_banner(runtime) or (shown,))[0] != shown, "the banner to rotate again",
                   timeout=ROTATION_SECONDS + 5)
        check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
