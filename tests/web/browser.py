"""What every browser-test driver shares: the loopback server for the site, the wait by polling,
and launch(), which starts one browser of the engine asked for. Each driver (cdp.Chromium's
Browser, bidi's and webkit's) offers the same methods: open, reload, js, wait_for_js, mouse,
click, key, press_key, console_texts, before_each_load, forget_before_load, new_tab,
switch_tab, tab (the current tab's handle), close, the downloads folder, and use as a context
manager; the Chromium driver also hide_page and show_page."""
import functools
import http.server
import importlib
import os
import threading
import time

HOOKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hooks.js")
DRIVERS = {"chromium": "cdp", "firefox": "bidi", "webkit": "webkit"}


def wait_until(check, timeout=20.0, what="condition"):
    """Polls check() until it gives something true, and returns that; raises after timeout."""
    deadline = time.monotonic() + timeout
    while not (value := check()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.02)
    return value


class Driver:
    """What every driver does the same way on top of its own js, mouse, key and close."""

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

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def launch(engine, width=800, height=600):
    """One browser of engine ("chromium", "firefox" or "webkit") with one page, width x height."""
    return importlib.import_module(DRIVERS[engine]).Browser(width, height)


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
        if site.hooks and self.path.split("?")[0] in ("/", "/index.html"):
            return self._send_with_hooks()
        super().do_GET()

    def _send_with_hooks(self):
        """index.html with the test hooks between the game's script and the site's."""
        with open(os.path.join(self.directory, "index.html"), encoding="utf-8") as page:
            text = page.read()
        with open(HOOKS, encoding="utf-8") as hooks:
            script = "<script>\n" + hooks.read() + "</script>\n"
        marker = '<script src="site.js"></script>'
        assert marker in text, "index.html no longer loads site.js"
        self._send(text.replace(marker, script + marker).encode("utf-8"),
                   "text/html; charset=utf-8")

    def _send(self, body, kind):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class SiteServer:
    """Serves a folder at http://127.0.0.1:<free port>/ from a thread until stop(). It logs the
    paths asked for (requests), refuses to answer while offline is set, answers a path of spoilt
    with its bytes instead of the file's, and with hooks adds the page's test hooks to the page,
    whatever the browser."""

    def __init__(self, folder, hooks=True):
        self.requests, self.offline, self.hooks, self.spoilt = [], False, hooks, {}
        self.folder = folder
        self.lock = threading.Lock()
        self.httpd = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(_Handler, directory=folder))
        self.httpd.site = self
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
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
        self.httpd.shutdown()
        self.httpd.server_close()
