"""The demo's player when the video site cannot be reached: the popup's box says so instead
of staying dark. The demo is packed with its video site pointed at a closed loopback port,
so the scenario does not depend on this machine's connection."""
import os
import shutil
import subprocess
import time

from harness import check, feedsim, run_scenario, session
from test_videos import DRIP_MS, first_fetch, niche_videos, open_overlay

OFFLINE_TEXT = "The video cannot be played: there is no connection to the video site."


def build_unreachable_demo(args, folder):
    examples = os.path.join(folder, "examples")
    shutil.copytree(os.path.join(args.source_dir, "examples"), examples)
    template = os.path.join(examples, "dog-training", "template.html")
    with open(template, encoding="cp1252") as page:
        text = page.read()
    site = 'var QenVideoSite = "https://www.youtube.com";'
    check(site in text, "the template no longer names its video site")
    with open(template, "w", encoding="cp1252") as page:
        page.write(text.replace(site, 'var QenVideoSite = "http://127.0.0.1:9";'))
    qenpack = os.path.join(args.build_dir, "tools", "qenpack", "qenpack")
    output = os.path.join(folder, "DogTraining.qen")
    subprocess.run(["sh", os.path.join(examples, "build-demo.sh"), qenpack, output], check=True,
                   stdout=subprocess.DEVNULL)
    return output


def scenario(args):
    with session(args, "offline-player") as runtime:
        package = build_unreachable_demo(args, runtime.root)
        with feedsim(args, runtime, fault="drip", drip_ms=DRIP_MS) as simulator:
            videos = niche_videos(simulator)
            runtime.start_on_help_page(package)
            first_fetch(runtime, videos, {title for _, title in videos})
            open_overlay(runtime, videos[0][1])
            runtime.activate(runtime.find("link", "Play"))
            runtime.wait_for_page_text(OFFLINE_TEXT, timeout=20)
            time.sleep(0.5)
            runtime.screenshot("offline-message")
            check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
