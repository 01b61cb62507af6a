"""A loopback stand-in for an Invidious instance and the YouTube Data API that answers
with the recorded answers of fixtures/, counting what it is asked. Used by the nginx
test, the end-to-end scenario and the benchmarks."""
import http.server
import json
import os
import threading
import urllib.parse

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")


def fixture(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


class FakeVideoService:
    def __init__(self):
        self.calls = []
        service = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                url = urllib.parse.urlsplit(self.path)
                query = urllib.parse.parse_qs(url.query)
                service.calls.append(self.path)
                body = service.answer(url.path, query)
                if body is None:
                    self.send_response(404)
                    body = b"not found"
                else:
                    self.send_response(200)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def answer(self, path, query):
        if path == "/invidious/api/v1/search":
            return fixture("invidious-list-funami.json") if query.get("page") == ["1"] else b"[]"
        if path.startswith("/invidious/api/v1/videos/"):
            return fixture("invidious-video-b0tbxShxFws.json")
        if path == "/youtube/v3/search":
            token = query.get("pageToken", [""])[0]
            pages = {"": "youtube-search-angular-aggrid.json", "CDIQAA": "youtube-search-rn-video-app.json",
                     "CAoQAA": "youtube-search-thinkful.json"}
            if token in pages:
                return fixture(pages[token])
            return json.dumps({"kind": "youtube#searchListResponse", "items": []}).encode()
        return None

    def invidious(self):
        return "http://127.0.0.1:%d/invidious" % self.port

    def youtube(self):
        return "http://127.0.0.1:%d/youtube/v3" % self.port

    def stop(self):
        self.server.shutdown()
