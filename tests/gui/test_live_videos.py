"""Live videos end to end: the real window's latest-videos run goes through qen-gateway to a
fake of today's video service that answers with recorded answers. The gallery shows the
recorded titles (an apostrophe where the service wrote &#39;, a letter outside cp1252 as
its reference in the page) and the service's real thumbnail addresses."""
import os
import subprocess
import sys

from harness import check, build_demo_package, feedsim, run_scenario, session, wait_until

KEY = "AIzaGuiTestKey"
# The recorded search pages of tests/tools/qen-gateway/fixtures, in the order of the chain.
VIDEOS = [
    ("-D0qKh3xwzU", "Minecraft Mais j'ai ajouté des armes à feu ! ( c'est ultra cheaté )"),
    ("3fumBcKC6RE", "Lil Wayne - John ft. Rick Ross (Explicit) (Official Music Video)"),
    ("neWctLVh8Cg", "Duch daje życie"),
    ("DN61Xcwc4u0", "A Tour of Every Tomato Plant in My Garden:  All the Variety Names & Ways I am Growing Them"),
]


class Gateway:
    def __init__(self, args, folder, service):
        key_file = os.path.join(folder, "youtube.key")
        with open(key_file, "w") as f:
            f.write(KEY + "\n")
        program = os.path.join(args.build_dir, "tools", "qen-gateway", "qen-gateway")
        self.log = open(os.path.join(folder, "gateway.log"), "w")
        self.process = subprocess.Popen(
            [program, "--source", "youtube", "--key-file", key_file, "--api-base", service.youtube(),
             "--port", "0", "--cache-dir", os.path.join(folder, "gateway-cache")],
            stdout=subprocess.PIPE, stderr=self.log, text=True)
        self.host = self.process.stdout.readline().strip()[len("http://"):]
        check(self.host.startswith("127.0.0.1:"), "qen-gateway did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.log.close()


def scenario(args):
    sys.path.insert(0, os.path.join(args.source_dir, "tests", "tools", "qen-gateway"))
    from fake_video_service import FakeVideoService

    with session(args, "live_videos") as runtime:
        package = build_demo_package(args, runtime.root)
        service = FakeVideoService()
        gateway = Gateway(args, runtime.root, service)
        try:
            with feedsim(args, runtime):
                # The articles and updates stay on the simulator; the videos come through the
                # gateway, and the thumbnails keep the service's own host.
                runtime.extra_environment["QEN_VIDEO_FEED_HOST"] = gateway.host
                del runtime.extra_environment["QEN_THUMBNAIL_HOST"]
                # The pictures themselves are never fetched from the internet.
                runtime.extra_environment.update({"http_proxy": "http://127.0.0.1:9", "https_proxy":
                                                  "http://127.0.0.1:9", "no_proxy": "127.0.0.1"})
                runtime.start_on_help_page(package)
                runtime.click_link("Videos")
                runtime.press(runtime.wait_for_dialog("The software will now fetch the latest videos from YouTube"),
                              "OK")
                runtime.press(runtime.wait_for_dialog("The software has only managed to fetch 4 videos"), "OK")
                runtime.wait_for_page_text("4 videos - showing page 1 of 1")

                # The page folds runs of blanks, as any web page does.
                titles = {" ".join(title.split()) for _, title in VIDEOS}
                shown = wait_until(
                    lambda: {l.name for l in runtime.find_all("link") if l.name in titles} == titles or None,
                    "the recorded titles on the page")
                runtime.screenshot("live-videos")

                with open(os.path.join(runtime.work_folder(), "videos1.html"), encoding="cp1252") as f:
                    page = f.read()
                check("Duch daje &#380;ycie" in page, "the letter outside cp1252 is not a reference in the page")
                # Written as a reference so that no title can end a quoted attribute; the links
                # above show it as the apostrophe the service meant.
                check("j&#39;ai ajout\u00e9" in page, "the apostrophe is not in the page")
                for video_id, _ in VIDEOS:
                    check(f"http://i.ytimg.com/vi/{video_id}/0.jpg" in page, f"no thumbnail address for {video_id}")
                check(runtime.close_window() == 0, "the program did not end cleanly")
        finally:
            gateway.stop()
            service.stop()
        check(all(KEY in call for call in service.calls if "/search" in call), "the key was not sent")
        with open(os.path.join(runtime.root, "gateway.log")) as f:
            check(KEY not in f.read(), "the key was logged")


if __name__ == "__main__":
    run_scenario(scenario)
