"""A video fetch that goes wrong or is stopped, in the real window: offline, the failure message
shows the feed address exactly as it is, '&' and all; against a service that never answers,
Cancel closes the "Get Latest Videos" dialog at once, and the window's close box ends the
program cleanly while the dialog waits."""
import socket
import time

from harness import DEMO_HELP_HEADING, build_demo_package, check, feedsim, run_scenario, session, wait_until

SERVICE_VARIABLES = ("QEN_VIDEO_FEED_HOST", "QEN_THUMBNAIL_HOST", "QEN_ARTICLE_FEED_HOST",
                     "QEN_ARTICLE_SITE_HOST", "QEN_UPDATE_HOST", "QEN_DOWNLOAD_HOST")
# Well under the 10 s a feed transfer may wait, so a wait that runs to its limit is caught.
AT_ONCE = 5


def closed_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def begin_fetch(runtime):
    """Starts "Get Latest Videos" from the gallery link and gives its dialog once it fetches."""
    runtime.click_link("Videos")
    runtime.press(runtime.wait_for_dialog("The software will now fetch the latest videos from YouTube"), "OK")
    dialog = runtime.window_titled("Get Latest Videos")
    runtime.wait_for_dialog("Fetching Video Batch 1")
    return dialog


def main_window_title(runtime):
    frames = [frame for frame in runtime.find_all("frame") if runtime.find_all("document web", root=frame)]
    check(len(frames) == 1, "the main window was not found")
    return frames[0].name


def scenario(args):
    with session(args, "interrupted") as runtime:
        package = build_demo_package(args, runtime.root)

        # Offline: nothing listens where the services are looked for.
        port = closed_port()
        for variable in SERVICE_VARIABLES:
            runtime.extra_environment[variable] = f"127.0.0.1:{port}"
        runtime.start_on_help_page(package)
        runtime.click_link("Videos")
        runtime.press(runtime.wait_for_dialog("The software will now fetch the latest videos from YouTube"), "OK")
        address = (f"http://127.0.0.1:{port}/feeds/api/videos?q=dog-training&start-index=1&max-results=50"
                   "&v=2&format=5&orderby=viewCount")
        failure = runtime.wait_for_dialog("Unable to access YouTube")
        runtime.screenshot("offline")
        shown = " ".join(runtime._all_text(failure).split())
        check(address in shown, f"the message does not show the address as it is: {shown!r}")
        runtime.press(failure, "OK")
        runtime.press(runtime.wait_for_dialog("There is an error with the YouTube feed data"), "OK")
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        check(runtime.close_window() == 0, "the program did not end cleanly")

        with feedsim(args, runtime, fault="hang"):
            runtime.start(package)
            runtime.wait_for_page_text(DEMO_HELP_HEADING)

            dialog = begin_fetch(runtime)
            runtime.press(dialog, "Cancel")
            runtime.wait_gone(dialog, "the dialog to close after Cancel", timeout=AT_ONCE)
            runtime.wait_for_page_text(DEMO_HELP_HEADING)
            time.sleep(1)  # time for a message to show up, if one were coming
            check(not runtime.find_all("alert") and not runtime.find_all("dialog"), "something more came after Cancel")

            begin_fetch(runtime)
            runtime.press_close_box(main_window_title(runtime))
            check(runtime.wait_exit(AT_ONCE) == 0, "the program did not end cleanly after the close box")
            check(not runtime.work_folders(), "the work folder was left behind")


if __name__ == "__main__":
    run_scenario(scenario)
