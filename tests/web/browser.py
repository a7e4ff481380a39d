"""What every browser-test driver shares: the loopback server for the site, the wait by polling,
and what the drivers do alike. Each driver (cdp's Browser for Chromium, bidi's for Firefox ESR,
webkit's for WebKitGTK) offers Driver's calls on top of its own: js(expression), mouse(kind, x,
y, button, clicks), key(kind, name, code), console_texts(), before_each_load(script) and
forget_before_load(), downloads (the folder) and close(). Chromium's, for the scenes only it
can play, also tabs (new_tab, switch_tab), page, emulate, touch, hide_page, show_page."""
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

import websocket

# The page's test hooks: the game's module as window.glimm, its test-only parts switched on.
HOOKS = ("<script>const createReal = createGlimm; window.createGlimm = options => createReal("
         "Object.assign({testHooks: true}, options)).then(game => (window.glimm = game));</script>")


def wait_until(check, timeout=20.0, what="condition"):
    """Polls check() until it gives something true, and returns that; raises after timeout."""
    deadline = time.monotonic() + timeout
    while not (value := check()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.02)
    return value


class Driver:
    """What every driver does the same way on top of its own calls (and _go: a load of url, or
    a reload for None)."""

    def _make_profile(self, engine):
        """A new empty profile folder, its downloads folder and the browser's log."""
        self.profile = tempfile.mkdtemp(prefix=f"glimm-{engine}-")
        self.downloads = os.path.join(self.profile, "downloads")
        os.makedirs(self.downloads)
        self.log_path = os.path.join(self.profile, engine + ".log")
        self.log = open(self.log_path, "wb")

    def _end(self, *processes):
        """Waits a while for each process to end, else kills it; removes the profile."""
        for process in filter(None, processes):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def open(self, url):
        self._go(url)
        self.wait_for_js("document.readyState === 'complete'", what="the page to load")

    def reload(self):
        self.open(None)

    def wait_for_js(self, expression, timeout=20.0, what=None):
        return wait_until(lambda: self.js(expression), timeout, what or expression)

    def click(self, x, y, button="left", hold=None):
        """Moves there and presses; waits until hold() is true, if given; releases."""
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, button, 1)
        if hold is not None:
            wait_until(hold, what="the press to be seen")
        self.mouse("mouseReleased", x, y, button, 1)

    def press_key(self, name="Escape", code=27, hold=None):
        self.key("keyDown", name, code)
        if hold is not None:
            wait_until(hold, what=f"{name} to be seen")
        self.key("keyUp", name, code)

    def wait_for_download(self):
        """Until a download has landed in the downloads folder."""
        wait_until(lambda: os.listdir(self.downloads), what="a download")


class SocketDriver(Driver):
    """A driver that speaks JSON commands over a websocket: replies matched by id, events kept."""

    def _connect(self, address):
        self.events, self.replies, self.next_id = [], {}, 0
        self.lock = threading.Condition()
        self.socket = websocket.create_connection(address, suppress_origin=True)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            try:
                message = json.loads(self.socket.recv())
            except Exception:
                message = {"id": "closed"}
            with self.lock:
                if "id" in message:
                    self.replies[message["id"]] = message
                    self.lock.notify_all()
                else:
                    self.events.append(message)
            if message.get("id") == "closed":
                return

    def _send(self, message, timeout):
        """Sends message (method, params, ...) and waits for its reply."""
        with self.lock:
            self.next_id += 1
            message["id"] = ident = self.next_id
        self.socket.send(json.dumps(message))
        with self.lock:
            if not self.lock.wait_for(lambda: ident in self.replies or "closed" in self.replies,
                                      timeout) or ident not in self.replies:
                raise TimeoutError(f"no reply to {message['method']}")
            return self.replies.pop(ident)

    def take_events(self, method):
        with self.lock:
            return [e["params"] for e in self.events if e.get("method") == method]

    def close(self):
        try:
            if getattr(self, "socket", None) is not None:
                try:  # the browser may be gone already
                    self.call(self.CLOSE, timeout=5)
                except Exception:
                    pass
                self.socket.close()
        finally:
            self._end(self.process)


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")  # a reload sees what was built
        super().end_headers()

    def do_GET(self):
        site = self.server.site
        with site.lock:
            site.requests.append(self.path)
            offline = site.offline
        if offline:
            self.close_connection = True  # as a dropped connection: no answer at all
            return
        spoilt = site.spoilt.get(self.path.split("?")[0])
        if spoilt is not None:
            return self._send(spoilt, self.guess_type(self.path))
        if self.path.split("?")[0] not in ("/", "/index.html"):
            return super().do_GET()
        # The page: the site's first scripts at the start of its head, and the test hooks
        # between the game's script and the site's.
        with open(os.path.join(self.directory, "index.html"), encoding="utf-8") as page:
            text = page.read()
        marker = '<script src="site.js"></script>'
        assert marker in text and "<head>" in text, "index.html has moved on"
        first = "".join("<script>" + s.replace("</", "<\\/") + "</script>" for s in site.first)
        text = text.replace(marker, HOOKS + marker).replace("<head>", "<head>" + first, 1)
        self._send(text.encode("utf-8"), "text/html; charset=utf-8")

    def _send(self, body, kind):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


SITES = {}  # the address of each site served: its server


class SiteServer:
    """Serves a folder at http://127.0.0.1:<free port>/ from a thread until stop(). It logs the
    paths asked for (requests), refuses to answer while offline is set, answers a path of spoilt
    with its bytes instead of the file's, and adds the page's test hooks to the page, and first
    (scripts a driver wants before the page's own), whatever the browser."""

    def __init__(self, folder):
        self.requests, self.offline, self.spoilt, self.first = [], False, {}, []
        self.folder = folder
        self.lock = threading.Lock()
        self.httpd = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(_Handler, directory=folder))
        self.httpd.site = self
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        SITES[self.url] = self
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def take_requests(self):
        """The paths asked for since the last call."""
        with self.lock:
            taken, self.requests = self.requests, []
        return taken

    def go_offline(self, offline=True):
        with self.lock:
            self.offline = offline

    def stop(self):
        del SITES[self.url]
        self.httpd.shutdown()
        self.httpd.server_close()
