"""The Chromium driver (see browser.py): headless Chromium through its DevTools protocol, one
browser with one page in a new empty profile, page scripts, real pointer and key events, console
messages and downloads; and Chromium's own extras (call, page, take_events, emulate, touch:
touch screens, device emulation, throttling). Needs Debian's python3-websocket."""
import json
import os
import shutil
import subprocess
import tempfile
import threading
import urllib.request

import websocket

from browser import Driver, wait_until

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--no-default-browser-check", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-extensions", "--mute-audio",
         "--remote-debugging-port=0"]


class Browser(Driver):
    """One headless Chromium with one page, through a flat DevTools session."""

    def __init__(self, width=800, height=600):
        self.profile = tempfile.mkdtemp(prefix="glimm-chromium-")
        self.downloads = os.path.join(self.profile, "downloads")
        os.makedirs(self.downloads)
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            ["/usr/bin/chromium", *FLAGS, f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        self.events, self.replies, self.next_id = [], {}, 0
        self.scripts, self.script_ids = [], []
        self.lock = threading.Condition()
        self.socket = None
        try:
            port_file = os.path.join(self.profile, "DevToolsActivePort")
            wait_until(lambda: self.process.poll() is not None or os.path.exists(port_file)
                       and open(port_file).read().count("\n"), what="Chromium's DevTools port")
            if self.process.poll() is not None:
                raise RuntimeError("Chromium ended at start; see " + self.log.name)
            port = open(port_file).read().split("\n")[0].strip()
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/version") as reply:
                address = json.load(reply)["webSocketDebuggerUrl"]
            self.socket = websocket.create_connection(address, suppress_origin=True)
            threading.Thread(target=self._read, daemon=True).start()
            self.target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
            self.session = self.call("Target.attachToTarget",
                                     {"targetId": self.target, "flatten": True})["sessionId"]
            self.tabs = {self.target: self.session}
            self._enable()
            self.call("Browser.setDownloadBehavior", {"behavior": "allow", "eventsEnabled": True,
                                                      "downloadPath": self.downloads})
        except Exception:
            self.close()
            raise

    def _enable(self):
        for domain in ("Page", "Runtime", "Network", "Performance"):
            self.page(f"{domain}.enable")

    @property
    def tab(self):
        """The handle of the tab the calls act on."""
        return self.target

    def new_tab(self):
        """Another tab of this browser, blank and in front; the calls act on it from now on.
        Its handle."""
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.target = target
        self.session = self.tabs[target] = self.call(
            "Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self._enable()
        for script in self.scripts:
            self.script_ids.append((self.session, self.page(
                "Page.addScriptToEvaluateOnNewDocument", {"source": script})["identifier"]))
        return target

    def switch_tab(self, handle):
        """The calls act on that tab from now on, which comes in front."""
        self.target, self.session = handle, self.tabs[handle]
        self.call("Target.activateTarget", {"targetId": handle})

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

    def call(self, method, params=None, session=None, timeout=30.0):
        """One DevTools command (to the page's session when given); its result."""
        with self.lock:
            self.next_id += 1
            ident = self.next_id
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        with self.lock:
            if not self.lock.wait_for(lambda: ident in self.replies or "closed" in self.replies,
                                      timeout) or ident not in self.replies:
                raise TimeoutError(f"no reply to {method}")
            reply = self.replies.pop(ident)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    def page(self, method, params=None, timeout=30.0):
        return self.call(method, params, self.session, timeout)

    def take_events(self, method):
        with self.lock:
            return [e for e in self.events if e["method"] == method]

    def console_texts(self):
        return [" ".join(str(a.get("value", a.get("description", ""))) for a in e["params"]["args"])
                for e in self.take_events("Runtime.consoleAPICalled")]

    def before_each_load(self, script):
        """Runs script in the page before its own scripts, at every later load (of a tab opened
        later too)."""
        self.scripts.append(script)
        self.script_ids.append((self.session, self.page(
            "Page.addScriptToEvaluateOnNewDocument", {"source": script})["identifier"]))

    def forget_before_load(self):
        """The scripts given to before_each_load no longer run at later loads."""
        for session, ident in self.script_ids:
            self.call("Page.removeScriptToEvaluateOnNewDocument", {"identifier": ident}, session)
        self.scripts, self.script_ids = [], []

    def open(self, url):
        self.page("Page.navigate", {"url": url})
        self.wait_for_js("document.readyState === 'complete'", what="the page to load")

    def reload(self):
        self.page("Page.reload", {"ignoreCache": True})
        self.wait_for_js("document.readyState === 'complete'", what="the page to reload")

    def js(self, expression, timeout=30.0):
        """The value of a page expression, a promise awaited."""
        result = self.page("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            raise RuntimeError("page threw: " + json.dumps(result["exceptionDetails"])[:800])
        return result["result"].get("value")

    def mouse(self, kind, x, y, button="none", clicks=0):
        """kind: mouseMoved, mousePressed or mouseReleased, at page pixel (x, y)."""
        held = {"left": 1, "right": 2, "middle": 4}.get(button, 0) if kind == "mousePressed" else 0
        self.page("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": button,
                                               "clickCount": clicks, "buttons": held})

    def key(self, kind, name="Escape", code=27):
        """kind: keyDown or keyUp."""
        self.page("Input.dispatchKeyEvent", {"type": kind, "key": name, "code": name,
                                             "windowsVirtualKeyCode": code})

    def emulate(self, width, height, ratio, mobile=True):
        """Chromium only: the page as a device of width x height CSS pixels at ratio device pixels
        each; a mobile one (the page's viewport tag honoured) with a touch screen."""
        self.page("Emulation.setDeviceMetricsOverride", {"width": width, "height": height,
                                                         "deviceScaleFactor": ratio,
                                                         "mobile": mobile})
        self.page("Emulation.setTouchEmulationEnabled", {"enabled": mobile, "maxTouchPoints": 5})

    def touch(self, kind, points=()):
        """Chromium only: the fingers (id, x, y), in page pixels, touch down (touchStart: all
        that are down), move (touchMove) or lift (touchEnd: the ones lifted, none for all)."""
        self.page("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"id": ident, "x": x, "y": y, "radiusX": 1, "radiusY": 1} for ident, x, y in points]})

    def hide_page(self):
        """Another tab in front of the page, which the page sees as hidden."""
        self.other_tab = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.wait_for_js("document.hidden", what="the page hidden")

    def show_page(self):
        """The page in front again, the other tab closed."""
        self.call("Target.activateTarget", {"targetId": self.target})
        self.call("Target.closeTarget", {"targetId": self.other_tab})
        self.wait_for_js("!document.hidden", what="the page shown")

    def close(self):
        try:
            if self.socket is not None:
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
