"""A hostile video feed and a hostile article directory in the real window: titles and an
article written to run script, fill the page's placeholders or fire link commands. Every
payload would ask a loopback listener for an address (which is also the launch address);
the listener hears nothing, no dialog opens and the playlist stays empty."""
import http.server
import os
import threading
import time

from harness import build_demo_package, check, run_scenario, session, wait_until


class Recorder(http.server.BaseHTTPRequestHandler):
    heard = []

    def do_GET(self):
        Recorder.heard.append(self.path)
        self.send_response(204)
        self.end_headers()

    def log_message(self, *args):
        pass


def hostile_service(listener):
    """The video feed, the article feed and the article page, all written by a stranger."""
    spy = f"new Image().src='{listener}"
    titles = [
        "%%previousnext%% first hostile video",
        "%%toplefttext%% second hostile video",
        f"Hi\" tabindex=\"1\" autofocus onfocus=\"{spy}video-focus'\" x=\"",
        f"Hi' tabindex='1' autofocus onfocus='{spy}video-focus2' x='",
        f"<img src={listener}video-img>fifth hostile video",
    ]
    entries = "".join(f"<entry><title type='text'>{title}</title><yt:videoid>hostile{n:04d}</yt:videoid></entry>"
                      for n, title in enumerate(titles))
    video_feed = f"<?xml version='1.0' encoding='UTF-8'?><feed>{entries}</feed>"
    article_title = f"Hi' tabindex='1' autofocus onfocus='{spy}list-focus' x='"
    article_feed = ("<?xml version='1.0' encoding='UTF-8'?><rss><channel>"
                    f"<item><title>{article_title}</title><link>http://site.test/a/101</link></item>"
                    f"<item><title>%%toplefttext%% <img src={listener}list-img></title>"
                    "<link>http://site.test/a/102%2Fplaylist_hostile0000</link></item>"
                    "</channel></rss>")
    article = (f"<html><body><textarea>Hi' tabindex='1' autofocus onfocus='{spy}title-focus' x='\r\n"
               "Body text <a title='%%toplefttext%%' href='http://example.invalid/'>a hostile link</a> "
               "and %%previousnext%% here.\r\n"
               f"[{listener}?sw=Brambleset.exe]Launch me\r\n"
               f"<a href=\"{listener}?sw=tool.exe\">Launch too</a> "
               "<a href=\"ftp://h/playlist_hostile0000.html\">ftp</a> "
               "<a href=\"x-qen:/wipeplaylist.html\">wipe</a> "
               f"<img src=\"{listener}article-img\">\r\n</textarea></body></html>")

    class Service(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path.startswith("/feeds/api/videos"):
                body = video_feed
            elif self.path.startswith("/category/"):
                body = article_feed
            elif self.path.startswith("/ezinepublisher/"):
                body = article
            else:
                self.send_response(404)
                self.end_headers()
                return
            data = body.encode("utf-8")
            self.send_response(200)
            self.send_header("Content-Type", "text/xml; charset=UTF-8")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *args):
            pass

    return Service


def serve(handler):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def written(runtime, name):
    with open(os.path.join(runtime.work_folder(), name), encoding="cp1252", errors="replace") as page:
        return page.read()


def answer(runtime, text):
    runtime.press(runtime.wait_for_dialog(text), "OK")


def nothing_happened(runtime, where):
    time.sleep(2)  # time for any script or command to fire
    check(not Recorder.heard, f"{where}: the listener heard {Recorder.heard}")
    dialogs = runtime.find_all("dialog") + runtime.find_all("alert")
    check(len(runtime.find_all("frame")) == 1 and not dialogs, f"{where}: a dialog opened")


def scenario(args):
    listener = serve(Recorder)
    listener_address = f"http://127.0.0.1:{listener.server_port}/"
    service = serve(hostile_service(listener_address))
    host = f"127.0.0.1:{service.server_port}"
    try:
        with session(args, "hostile_feeds") as runtime:
            package = build_demo_package(args, runtime.root)
            for variable in ("QEN_VIDEO_FEED_HOST", "QEN_THUMBNAIL_HOST", "QEN_ARTICLE_FEED_HOST",
                             "QEN_ARTICLE_SITE_HOST", "QEN_UPDATE_HOST", "QEN_DOWNLOAD_HOST"):
                runtime.extra_environment[variable] = host
            runtime.extra_environment["QEN_LAUNCH_ADDRESS"] = listener_address
            runtime.start_on_help_page(package)

            runtime.click_link("Videos")
            answer(runtime, "The software will now fetch the latest videos from YouTube")
            answer(runtime, "The software has only managed to fetch 5 videos")  # a small feed
            runtime.wait_for_page_text("first hostile video")
            # The demo's own script hides placeholders on screen; the written page keeps them as text.
            page = written(runtime, "videos1.html")
            check("%%previousnext%% first hostile video" in page, "a title's placeholder was filled")
            check(page.count('class="previousnext"') == 1, "a title brought in a second navigation block")
            runtime.screenshot("videos")
            nothing_happened(runtime, "the video page")

            runtime.click_link("Articles")
            runtime.wait_for_page_text("tabindex")
            runtime.screenshot("list")
            nothing_happened(runtime, "the article list")
            names = [link.name or "" for link in runtime.find_all("link")]
            check(not any("img src" in name and "list-img" in name for name in names),
                  f"an article with an escaped id is listed: {names}")

            link = wait_until(lambda: next((l for l in runtime.find_all("link") if "tabindex" in (l.name or "")),
                                           None), "the hostile article's link")
            runtime.activate(link)
            runtime.wait_for_page_text("a hostile link")
            check("%%previousnext%% here" in written(runtime, "currentarticle.html"),
                  "the article's placeholder was filled")
            runtime.screenshot("article")
            nothing_happened(runtime, "the article page")

            runtime.click_link("My Playlist")
            answer(runtime, "There are no videos in your playlist")
            check(not Recorder.heard, f"the listener heard {Recorder.heard}")
            check(not runtime.opened_externally(), "an address went to the user's browser")
            check(runtime.close_window() == 0, "the program did not end cleanly")
    finally:
        service.shutdown()
        listener.shutdown()


if __name__ == "__main__":
    run_scenario(scenario)
