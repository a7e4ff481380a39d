"""Headless Chromium through its DevTools protocol, for the browser tests and benchmarks.

Run with Debian's python3 (/usr/bin/python3), which sees python3-websocket. Everything stays on
the loopback interface: the page is served from a folder by a server started here, and Chromium
is started with its background networking off, in a new empty profile.
"""

import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

CHROMIUM = os.environ.get("GLIMM_CHROMIUM", "/usr/bin/chromium")
FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-extensions",
    "--mute-audio",
    # Let the page's audio start without a gesture only where a test asks for it; by default the
    # real rule holds, so the start screen is what starts the music.
    "--remote-debugging-port=0",
]


def wait_until(check, timeout=20.0, what="condition", interval=0.02):
    """Polls check() until it returns something true, and returns that; raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


# --------------------------------------------------------------------------- the site's server


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".data": "application/octet-stream",
    }

    def log_message(self, *args):
        pass

    def end_headers(self):
        # A test that reloads must see what it built, never a cached copy.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


class SiteServer:
    """Serves one folder at http://127.0.0.1:<port>/ from a thread until stop()."""

    def __init__(self, folder, port=0):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        self.httpd.daemon_threads = True
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# --------------------------------------------------------------------------- the browser


class Browser:
    """One headless Chromium with one page, attached through a flat DevTools session."""

    def __init__(self, width=800, height=600, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="glimm-chromium-")
        self.downloads = os.path.join(self.profile, "downloads")
        os.makedirs(self.downloads)
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            [CHROMIUM, *FLAGS, f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", *extra_flags, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        self.events = []
        self.events_lock = threading.Lock()
        self.replies = {}
        self.replies_ready = threading.Condition()
        self.next_id = 0
        self.session = None
        try:
            port_file = os.path.join(self.profile, "DevToolsActivePort")
            wait_until(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1
                       or self._died(), what="Chromium's DevTools port")
            if self._died():
                raise RuntimeError("Chromium exited at start; see " + self.log.name)
            port = open(port_file).read().split("\n")[0].strip()
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/version") as reply:
                browser_url = json.load(reply)["webSocketDebuggerUrl"]
            self.socket = websocket.create_connection(browser_url, timeout=None,
                                                      suppress_origin=True)
            self.reader = threading.Thread(target=self._read, daemon=True)
            self.reader.start()
            target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
            self.session = self.call("Target.attachToTarget",
                                     {"targetId": target, "flatten": True})["sessionId"]
            self.target = target
            for domain in ("Page", "Runtime", "Network", "Log", "Performance"):
                self.call(f"{domain}.enable", page=True)
            self.call("Browser.setDownloadBehavior",
                      {"behavior": "allow", "downloadPath": self.downloads,
                       "eventsEnabled": True})
        except Exception:
            self.close()
            raise

    def _died(self):
        return self.process.poll() is not None

    def _read(self):
        while True:
            try:
                message = json.loads(self.socket.recv())
            except Exception:
                with self.replies_ready:
                    self.replies["closed"] = True
                    self.replies_ready.notify_all()
                return
            if "id" in message:
                with self.replies_ready:
                    self.replies[message["id"]] = message
                    self.replies_ready.notify_all()
            else:
                with self.events_lock:
                    self.events.append(message)

    def call(self, method, params=None, page=False, timeout=30.0):
        """Sends one DevTools command (to the page's session when page is true); its result."""
        with self.replies_ready:
            self.next_id += 1
            ident = self.next_id
        message = {"id": ident, "method": method, "params": params or {}}
        if page:
            message["sessionId"] = self.session
        self.socket.send(json.dumps(message))
        with self.replies_ready:
            if not self.replies_ready.wait_for(
                    lambda: ident in self.replies or "closed" in self.replies, timeout):
                raise TimeoutError(f"no reply to {method} in {timeout} s")
            if ident not in self.replies:
                raise RuntimeError(f"DevTools connection closed during {method}")
            reply = self.replies.pop(ident)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    def page(self, method, params=None, timeout=30.0):
        return self.call(method, params, page=True, timeout=timeout)

    # ---- events

    def take_events(self, method=None):
        """Every event received so far (of one method, when given), oldest first."""
        with self.events_lock:
            return [e for e in self.events if method is None or e["method"] == method]

    def console_texts(self):
        """The page's console messages and uncaught exceptions, as plain texts."""
        texts = []
        for event in self.take_events():
            if event["method"] == "Runtime.consoleAPICalled":
                texts.append(" ".join(str(a.get("value", a.get("description", "")))
                                      for a in event["params"]["args"]))
            elif event["method"] == "Runtime.exceptionThrown":
                details = event["params"]["exceptionDetails"]
                texts.append("exception: " + details.get("exception", {}).get(
                    "description", details.get("text", "")))
        return texts

    # ---- the page

    def before_each_load(self, script):
        """Runs script in the page before any of its own, on every later load."""
        self.page("Page.addScriptToEvaluateOnNewDocument", {"source": script})

    def open(self, url):
        self.page("Page.navigate", {"url": url})
        self.wait_for_js("document.readyState === 'complete'", what="the page to load")

    def reload(self):
        self.page("Page.reload", {"ignoreCache": True})
        self.wait_for_js("document.readyState === 'complete'", what="the page to reload")

    def js(self, expression, timeout=30.0):
        """Evaluates expression in the page (awaiting a promise) and returns its value."""
        result = self.page("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout=timeout)
        if "exceptionDetails" in result:
            raise RuntimeError("page threw: " + json.dumps(result["exceptionDetails"])[:800])
        return result["result"].get("value")

    def wait_for_js(self, expression, timeout=20.0, what=None):
        """Polls a page expression until it is truthy; returns its value."""
        return wait_until(lambda: self.js(expression), timeout, what or expression)

    # ---- real input

    def mouse(self, kind, x, y, button="none", clicks=0):
        """kind: mouseMoved, mousePressed or mouseReleased, at page CSS pixel (x, y)."""
        self.page("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": button,
                                               "clickCount": clicks,
                                               "buttons": {"none": 0, "left": 1, "right": 2,
                                                           "middle": 4}[button]
                                               if kind == "mousePressed" else 0})

    def click(self, x, y, button="left", hold=None):
        """Moves there, presses, waits until hold() is true (if given), then releases."""
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, button, 1)
        if hold is not None:
            wait_until(hold, what="the press to be seen")
        self.mouse("mouseReleased", x, y, button, 1)

    def key(self, kind, name="Escape", code=27):
        """kind: keyDown or keyUp, for a named key such as Escape."""
        self.page("Input.dispatchKeyEvent", {"type": kind, "key": name, "code": name,
                                             "windowsVirtualKeyCode": code,
                                             "nativeVirtualKeyCode": code})

    def press_key(self, name="Escape", code=27, hold=None):
        """Presses a key, waits until hold() is true (if given), then releases it."""
        self.key("keyDown", name, code)
        if hold is not None:
            wait_until(hold, what=f"{name} to be seen")
        self.key("keyUp", name, code)

    def close(self):
        try:
            if getattr(self, "socket", None) is not None:
                try:
                    self.call("Browser.close", timeout=5)
                except Exception:
                    pass
                self.socket.close()
        finally:
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.log.close()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
