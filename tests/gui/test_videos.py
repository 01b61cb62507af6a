"""The video catalogue in the real window against the loopback feed service: the first visit
of the gallery fetches the niche's videos under the "Get Latest Videos" dialog, the pages show
real thumbnails and page through, the overlay of a video adds it to the playlist, opens it
outside, shows its related videos and deletes it; a second fetch that keeps the videos puts
the new ones in front; Cancel stops a run at its next batch, and a cancelled run that replaced
the videos goes back to the help page; the service's quota and error answers are told."""
import html
import json
import os
import re
import subprocess
import time
import urllib.request

import pyatspi

from harness import (
    DEMO_HELP_HEADING, build_demo_package, check, feedsim, run_scenario, session, wait_until)

TERM = "dog-training"                         # the demo niche's query term
EXCLUDED = ("prank", "meme", "compilation")   # its exclusion words (SiteNiche.txt)
BATCHES = 20
PER_PAGE = 30
# Slow enough that the dialog can be watched and cancelled while it runs; each batch and
# each thumbnail comes in 20 pieces.
DRIP_MS = 15
# The simulator's thumbnail backgrounds.
THUMBNAIL_COLOURS = [(0xE5, 0x73, 0x73), (0xF0, 0x62, 0x92), (0xBA, 0x68, 0xC8), (0x95, 0x75, 0xCD),
                     (0x79, 0x86, 0xCB), (0x64, 0xB5, 0xF6), (0x4F, 0xC3, 0xF7), (0x4D, 0xD0, 0xE1),
                     (0x4D, 0xB6, 0xAC), (0x81, 0xC7, 0x84), (0xAE, 0xD5, 0x81), (0xFF, 0xB7, 0x4D)]
QUOTA_MESSAGE = ("YouTube is reporting that there have been too many recent calls to the YouTube RSS feed API "
                 "from your IP address\n\nThe software was unable to fetch any videos\n\nPlease try again later")
FEED_ERROR_MESSAGE = ("There is an error with the YouTube feed data\n\nThe software was unable to fetch any "
                      "videos\n\nPlease try again later")


# --- what the service answers, read past its fault mode ------------------------------------

def service_text(simulator, path):
    with urllib.request.urlopen(f"{simulator.address}/fault/none{path}", timeout=10) as answer:
        return answer.read().decode("utf-8")


def entries(feed):
    for entry in re.findall(r"<entry[ >](.*?)</entry>", feed, re.S):
        title = html.unescape(re.search(r"<title[^>]*>(.*?)</title>", entry, re.S).group(1))
        video_id = re.search(r"<yt:videoid>(.*?)</yt:videoid>", entry).group(1)
        yield video_id, title


def niche_videos(simulator):
    """The videos a whole run for the demo niche keeps, in order: every batch's entries
    without the titles that hold an exclusion word."""
    videos = []
    for batch in range(BATCHES):
        feed = service_text(simulator, f"/feeds/api/videos?q={TERM}&start-index={1 + 50 * batch}"
                                       "&max-results=50&v=2&format=5&orderby=viewCount")
        videos += [(video_id, title) for video_id, title in entries(feed)
                   if not any(word in title.lower() for word in EXCLUDED)]
    check(len({video_id for video_id, _ in videos}) == len(videos), "the service repeats a video")
    return videos


def related_videos(simulator, video_id):
    feed = service_text(simulator, f"/feeds/api/videos/{video_id}/related")
    return [(other, title) for other, title in entries(feed) if other != video_id]


# --- the window -------------------------------------------------------------------------------

def page_count(videos):
    return (videos + PER_PAGE - 1) // PER_PAGE


def heading(videos, page):
    return f"{videos} videos - showing page {page} of {page_count(videos)}"


def link_containing(runtime, text):
    # The demo's style sheet puts a marker in front of some links.
    return wait_until(lambda: next((l for l in runtime.find_all("link") if text in (l.name or "")), None),
                      f"a link containing '{text}'")


def post_titles(runtime, known_titles):
    """The titles of the video posts on the page, in page order."""
    titles = []
    for link in runtime.find_all("link"):
        name = link.name or ""
        if name in known_titles and (not titles or titles[-1] != name):
            titles.append(name)
    return titles


def wait_for_posts(runtime, known_titles, expected):
    wait_until(lambda: post_titles(runtime, known_titles) == expected,
               f"the posts {expected[:3]}... on the page")


def answer_message(runtime, text, button="OK"):
    runtime.press(runtime.wait_for_dialog(text), button)


def dialog_text(runtime, dialog):
    runtime.fresh_tree()
    return " ".join(runtime._all_text(dialog).split())


def wait_for_batch(runtime, dialog, batch):
    """The progress line of a running fetch shows `batch` or a later one."""
    def shown():
        found = re.search(r"Fetching Video Batch (\d+)", dialog_text(runtime, dialog))
        return found and int(found.group(1)) >= batch
    wait_until(shown, f"the fetch to reach batch {batch}", timeout=60)


def only_the_main_window(runtime):
    # A message box shows as a frame of its own.
    return len(runtime.find_all("frame")) == 1 and not runtime.find_all("dialog") and not runtime.find_all("alert")


def latest_videos_dialog(runtime):
    return runtime.window_titled("Get Latest Videos")


def open_overlay(runtime, title):
    """Clicks a video's thumbnail: the page's overlay opens with the video's links."""
    runtime.activate(runtime.find("link", title))
    runtime.find("link", "Related Videos")  # on every kind of page


def overlay_link(runtime, title, link):
    open_overlay(runtime, title)
    runtime.activate(link_containing(runtime, link))


def pixel(path, x, y):
    shown = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "txt:-"], capture_output=True, text=True,
                           check=True).stdout
    code = re.search(r"#([0-9A-Fa-f]{6})", shown).group(1)
    return tuple(int(code[i:i + 2], 16) for i in (0, 2, 4))


def thumbnail_colours(runtime, titles, label):
    """The colours of the backgrounds of posts' thumbnails as the screen shows them."""
    boxes = []
    for title in titles:
        image = runtime.find("image", root=runtime.find("link", title))
        box = image.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        check(box.width > 0 and box.height > 0, f"the thumbnail of '{title}' has no size")
        boxes.append(box)
    shot = runtime.screenshot(label)
    # Off the rounded corner and the card in the middle: the thumbnail's own background.
    return [pixel(shot, box.x + 20, box.y + 10) for box in boxes]


def is_thumbnail_colour(colour):
    return any(all(abs(a - b) <= 8 for a, b in zip(colour, known)) for known in THUMBNAIL_COLOURS)


def exported(args, lum):
    tool = os.path.join(args.build_dir, "tools", "qen-data", "qen-data")
    return json.loads(subprocess.run([tool, "export", lum], capture_output=True, check=True).stdout)


def imported(args, data, lum):
    tool = os.path.join(args.build_dir, "tools", "qen-data", "qen-data")
    source = lum + ".json"
    with open(source, "w") as out:
        json.dump(data, out)
    subprocess.run([tool, "import", source, lum], check=True, stdout=subprocess.DEVNULL)


def ids(videos):
    return [video["id"] for video in videos]


# --- the steps --------------------------------------------------------------------------------

def first_fetch(runtime, videos, titles):
    runtime.click_link("Videos")
    answer_message(runtime, "The software will now fetch the latest videos from YouTube")
    dialog = latest_videos_dialog(runtime)
    wait_for_batch(runtime, dialog, 3)
    check("Fetching Videos From YouTube" in dialog_text(runtime, dialog), "the dialog's status line did not change")
    runtime.screenshot("fetching")
    answer_message(runtime, f"{len(videos)} videos were retrieved from YouTube")
    runtime.wait_for_page_text(heading(len(videos), 1))
    wait_for_posts(runtime, titles, [title for _, title in videos[:PER_PAGE]])


def wait_for_thumbnails(runtime, titles, label):
    """The posts show the service's pictures, not empty or broken images; the screen is kept
    as `label`."""
    wait_until(lambda: all(is_thumbnail_colour(colour) for colour in thumbnail_colours(runtime, titles, label)),
               f"the thumbnails of {titles} to show")


def page_through(runtime, videos, titles):
    count = len(videos)
    last = page_count(count)
    runtime.activate(link_containing(runtime, "Next Page"))
    runtime.wait_for_page_text(heading(count, 2))
    wait_for_posts(runtime, titles, [title for _, title in videos[PER_PAGE:2 * PER_PAGE]])
    runtime.activate(link_containing(runtime, "Previous Page"))
    runtime.wait_for_page_text(heading(count, 1))
    # Around the ends: before the first page comes the last one, after it the first.
    runtime.activate(link_containing(runtime, "Previous Page"))
    runtime.wait_for_page_text(heading(count, last))
    wait_for_posts(runtime, titles, [title for _, title in videos[(last - 1) * PER_PAGE:]])
    runtime.activate(link_containing(runtime, "Next Page"))
    runtime.wait_for_page_text(heading(count, 1))


def add_to_playlist(runtime, video):
    overlay_link(runtime, video[1], "Add to Playlist")
    answer_message(runtime, "The video has been added to the front of the Playlist")


def watch_outside(runtime, video):
    overlay_link(runtime, video[1], "Watch on YouTube")
    wait_until(lambda: f"http://www.youtube.com/watch?v={video[0]}" in runtime.opened_externally(),
               "the video's watch address to reach the user's browser")
    runtime.screenshot("overlay")
    runtime.activate(wait_until(lambda: next((l for l in runtime.find_all("link") if l.name in ("\u00d7", "Close")),
                                             None), "the overlay's close link"))


def show_related(runtime, simulator, video, videos):
    """The related-videos page of `video`; one of them goes to the playlist from there. Gives
    that one."""
    related = related_videos(simulator, video[0])
    runtime.click_link("Videos")
    runtime.wait_for_page_text(heading(len(videos), 1))
    overlay_link(runtime, video[1], "Related Videos")
    runtime.wait_for_page_text(f'There are {len(related)} videos "related" to the first video shown')
    known = {title for _, title in related} | {video[1]}
    wait_for_posts(runtime, known, [video[1]] + [title for _, title in related])
    wait_for_thumbnails(runtime, [video[1], related[0][1]], "related")
    add_to_playlist(runtime, related[0])
    # Only the page loses the post: a related video is none of the user's videos.
    overlay_link(runtime, related[1][1], "Remove from this Page")
    answer_message(runtime, "Are you sure you want to delete this video?", "Yes")
    wait_for_posts(runtime, known, [video[1]] + [title for _, title in related if title != related[1][1]])
    runtime.activate(link_containing(runtime, "Go back to previous page"))
    runtime.wait_for_page_text(heading(len(videos), 1))
    return related[0]


def rearrange_playlist(runtime, added_first, added_later):
    """The playlist holds the later addition first; the other is moved to the top and the
    later one removed."""
    known = {added_first[1], added_later[1]}
    runtime.click_link("My Playlist")
    runtime.wait_for_page_text("Your Video Playlist")
    runtime.wait_for_page_text("2 videos - showing page 1 of 1")
    wait_for_posts(runtime, known, [added_later[1], added_first[1]])
    overlay_link(runtime, added_first[1], "Move to Top")
    wait_for_posts(runtime, known, [added_first[1], added_later[1]])
    overlay_link(runtime, added_later[1], "Remove from Playlist")
    answer_message(runtime, "Are you sure you want to delete this video from the playlist?", "Yes")
    wait_for_posts(runtime, known, [added_first[1]])
    wait_for_thumbnails(runtime, [added_first[1]], "playlist")


def delete_video(runtime, video, videos, titles):
    overlay_link(runtime, video[1], "Delete Video")
    answer_message(runtime, "Are you sure you want to delete this video?", "Yes")
    # The shown page keeps its layout with an empty cell where the post was.
    wait_for_posts(runtime, titles, [title for _, title in videos[:PER_PAGE] if title != video[1]])
    runtime.wait_for_page_text(heading(len(videos), 1))
    page = os.path.join(runtime.work_folder(), "videos1.html")
    with open(page, encoding="cp1252", errors="replace") as text:
        check('<div class="videopostblank">&nbsp;</div>' in text.read(), "no empty cell in place of the post")
    runtime.screenshot("deleted")


def cancel_keeping(runtime, videos, deleted, titles):
    """Cancel in the middle of a run that keeps the videos: they all stay."""
    runtime.click_link("Videos")
    runtime.click_link("Get Latest Videos")
    answer_message(runtime, "Do you want to keep the existing videos and add any new ones on the front?", "Yes")
    dialog = latest_videos_dialog(runtime)
    wait_for_batch(runtime, dialog, 2)
    runtime.press(dialog, "Cancel")
    runtime.wait_gone(dialog, "the dialog to close after Cancel")
    # The pages are built anew from the store on the next visit.
    runtime.click_link("Videos")
    left = [video for video in videos if video != deleted]
    runtime.wait_for_page_text(heading(len(left), 1))
    wait_for_posts(runtime, titles, [title for _, title in left[:PER_PAGE]])
    check(only_the_main_window(runtime), "a message came after Cancel")


def keep_adds_at_front(runtime, videos, deleted, dropped, titles):
    left = [video for video in videos if video != deleted]
    runtime.wait_for_page_text(heading(len(left) - dropped, 1))
    runtime.click_link("Get Latest Videos")
    answer_message(runtime, "Do you want to keep the existing videos and add any new ones on the front?", "Yes")
    latest_videos_dialog(runtime)
    # The deleted video is not brought back.
    answer_message(runtime, f"{dropped} new videos were found on YouTube and added at the front of the current "
                            "videos")
    runtime.wait_for_page_text(heading(len(left), 1))
    wait_for_posts(runtime, titles, [title for _, title in left[:PER_PAGE]])


def cancel_wiping(runtime):
    """Cancel in the middle of a run that replaces the videos: none are left, and the view
    goes to the home page without fetching again."""
    runtime.click_link("Get Latest Videos")
    answer_message(runtime, "Do you want to keep the existing videos and add any new ones on the front?", "No")
    answer_message(runtime, "This will wipe all the current videos", "OK")
    dialog = latest_videos_dialog(runtime)
    wait_for_batch(runtime, dialog, 2)
    runtime.press(dialog, "Cancel")
    runtime.wait_gone(dialog, "the dialog to close after Cancel")
    runtime.wait_for_page_text(DEMO_HELP_HEADING)
    time.sleep(1)  # time for a message or another fetch to show up, if one were coming
    check(only_the_main_window(runtime), "something more came after Cancel")


def failed_fetch(runtime, message, label):
    runtime.click_link("Videos")
    answer_message(runtime, "The software will now fetch the latest videos from YouTube")
    dialog = latest_videos_dialog(runtime)
    # Told while the dialog is still up, as the run ends.
    shown = runtime.wait_for_dialog(message)
    runtime.screenshot(label)
    runtime.press(shown, "OK")
    runtime.wait_gone(dialog, "the dialog to close")
    check(DEMO_HELP_HEADING in runtime.page_text(), "the view left the page it was on")


def scenario(args):
    with session(args, "videos") as runtime:
        package = build_demo_package(args, runtime.root)
        lum = package[:-4] + ".lum"
        with feedsim(args, runtime, fault="drip", drip_ms=DRIP_MS) as simulator:
            videos = niche_videos(simulator)
            titles = {title for _, title in videos}
            playlisted, related, deleted = videos[1], videos[0], videos[2]

            runtime.start_on_help_page(package)
            runtime.click_link("My Playlist")
            answer_message(runtime, "There are no videos in your playlist")
            first_fetch(runtime, videos, titles)
            wait_for_thumbnails(runtime, [title for _, title in videos[:3]], "gallery")
            page_through(runtime, videos, titles)
            add_to_playlist(runtime, playlisted)
            watch_outside(runtime, playlisted)
            added_from_related = show_related(runtime, simulator, related, videos)
            delete_video(runtime, deleted, videos, titles)
            rearrange_playlist(runtime, playlisted, added_from_related)
            cancel_keeping(runtime, videos, deleted, titles)
            check(runtime.close_window() == 0, "the program did not end cleanly")

            data = exported(args, lum)
            check(ids(data["Playlist"]) == [playlisted[0]], "the playlist was not saved")
            check(deleted[0] in data["DeletedVideoIds"], "the deleted video was not remembered")
            check(ids(data["CurrentVideos"]) == [v for v, _ in videos if v != deleted[0]], "the videos were not saved")
            # The newest of the service's videos are not stored yet.
            dropped = 40
            data["CurrentVideos"] = data["CurrentVideos"][dropped:]
            imported(args, data, lum)

            runtime.start(package)
            keep_adds_at_front(runtime, videos, deleted, dropped, titles)
            cancel_wiping(runtime)
            check(runtime.close_window() == 0, "the program did not end cleanly")
            check(not exported(args, lum)["CurrentVideos"], "videos were left after the wipe")

        with feedsim(args, runtime, fault="quota"):
            runtime.start(package)
            runtime.wait_for_page_text(DEMO_HELP_HEADING)
            failed_fetch(runtime, QUOTA_MESSAGE, "quota")
            check(runtime.close_window() == 0, "the program did not end cleanly")

        with feedsim(args, runtime, fault="html-error"):
            runtime.start(package)
            runtime.wait_for_page_text(DEMO_HELP_HEADING)
            failed_fetch(runtime, FEED_ERROR_MESSAGE, "feed-error")
            check(runtime.close_window() == 0, "the program did not end cleanly")


if __name__ == "__main__":
    run_scenario(scenario)
