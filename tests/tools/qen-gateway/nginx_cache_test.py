"""Debian's nginx, run with the repository's configuration in front of qen-gateway and a
fake video service, answers a repeated request from its cache: the gateway never sees it."""
import argparse
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fake_video_service import FakeVideoService  # noqa: E402

SKIP = 77


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def get(url):
    with urllib.request.urlopen(url, timeout=10) as answer:
        return answer.status, dict(answer.headers), answer.read()


def wait_for(url):
    for _ in range(100):
        try:
            get(url)
            return
        except urllib.error.HTTPError:
            return  # an answer, if not a page
        except OSError:
            time.sleep(0.05)
    raise SystemExit("nothing answers at " + url)


def nginx_config(template, folder, nginx_port, gateway_port):
    """The repository's file with only its port, listen and cache folder set for this run."""
    text = open(template).read()
    replacements = {
        "proxy_cache_path /var/cache/nginx/qen-gateway ": "proxy_cache_path %s/cache " % folder,
        "server 127.0.0.1:8766;": "server 127.0.0.1:%d;" % gateway_port,
        "listen 80;": "listen 127.0.0.1:%d;" % nginx_port,
    }
    for old, new in replacements.items():
        if old not in text:
            raise SystemExit("the nginx configuration no longer holds: " + old)
        text = text.replace(old, new)
    with open(os.path.join(folder, "qen-gateway.conf"), "w") as f:
        f.write(text)
    # The outer file: this user's own pid, logs and temporary folders.
    temp = "\n".join("    %s_temp_path %s/%s;" % (kind, folder, kind)
                     for kind in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
    with open(os.path.join(folder, "nginx.conf"), "w") as f:
        f.write("%sworker_processes 1;\ndaemon off;\npid %s/nginx.pid;\nerror_log %s/error.log;\n"
                "events {}\nhttp {\n    access_log off;\n%s\n    include %s/qen-gateway.conf;\n}\n"
                % ("user root;\n" if os.geteuid() == 0 else "", folder, folder, temp, folder))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--gateway", required=True)
    parser.add_argument("--config", required=True)
    args = parser.parse_args()
    nginx = shutil.which("nginx") or ("/usr/sbin/nginx" if os.path.exists("/usr/sbin/nginx") else None)
    if not nginx:
        print("nginx is not installed (scripts/install-deps.sh installs nginx-light)")
        return SKIP

    folder = tempfile.mkdtemp(prefix="qen-nginx-")
    service = FakeVideoService()
    gateway = server = None
    try:
        gateway = subprocess.Popen([args.gateway, "--source", "invidious", "--instance", service.invidious(),
                                    "--port", "0", "--cache-dir", folder + "/gateway-cache"],
                                   stdout=subprocess.PIPE, text=True)
        gateway_address = gateway.stdout.readline().strip()
        gateway_port = int(gateway_address.rsplit(":", 1)[1])
        nginx_port = free_port()
        nginx_config(args.config, folder, nginx_port, gateway_port)
        server = subprocess.Popen([nginx, "-e", folder + "/error.log", "-p", folder, "-c", folder + "/nginx.conf"])
        front = "http://127.0.0.1:%d" % nginx_port
        wait_for(front + "/")

        path = "/feeds/api/videos?q=mars-lasers&start-index=1&max-results=50&v=2&format=5&orderby=viewCount"
        status, headers, first = get(front + path)
        assert status == 200 and first.startswith(b"<?xml"), (status, first[:80])
        assert headers.get("X-Cache-Status") == "MISS", headers
        assert headers.get("Cache-Control", "").startswith("public, max-age="), headers
        status, headers, second = get(front + path)
        assert headers.get("X-Cache-Status") == "HIT", headers
        assert second == first

        counts = json.loads(get(gateway_address + "/status")[2])
        assert counts["cache_misses"] == 1 and counts["cache_hits"] == 0, counts
        print("nginx answered the repeated request from its cache; the gateway saw one request")
        return 0
    finally:
        for process in (server, gateway):
            if process:
                process.terminate()
                process.wait(timeout=10)
        service.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
