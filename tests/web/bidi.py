"""The Firefox ESR driver (see browser.py): headless Firefox through WebDriver BiDi, spoken
straight to the browser (no geckodriver), one browser with one page in a new empty profile.
Needs Debian's firefox-esr and python3-websocket."""
import json
import os
import re
import subprocess

from browser import SocketDriver, wait_until

# Every download saved at once into the profile's downloads folder, unasked. (Firefox's remote
# agent itself sets the preferences that keep it quiet: no first-run pages, updates or telemetry.)
PREFS = {
    "browser.download.folderList": 2, "browser.download.useDownloadDir": True,
    "browser.download.always_ask_before_handling_new_types": False,
    "browser.download.start_downloads_in_tmp_dir": False,
    "browser.download.alwaysOpenPanel": False,
    "browser.helperApps.neverAsk.saveToDisk": "image/bmp,application/octet-stream",
}

KEYS = {"Escape": "\ue00c"}  # WebDriver's code points for the keys the scenes press
BUTTONS = {"left": 0, "middle": 1, "right": 2}


def from_remote(value):
    """A BiDi remote value as plain Python: numbers, strings, lists, dicts, None."""
    kind, inner = value["type"], value.get("value")
    if kind == "array":
        return [from_remote(v) for v in inner]
    if kind == "object":
        return {k: from_remote(v) for k, v in inner}
    return inner  # undefined and null have none


class ActionsDriver:
    """Pointer and keys through WebDriver's input actions (self._act), for bidi's and webkit's."""

    def mouse(self, kind, x, y, button="none", clicks=0):
        """At page pixel (x, y) passed in whole pixels: Firefox rounds a point to the nearest
        pixel where Chromium and WebKit take the pixel it lies in, and a game pixel's middle at
        1 x would land on its neighbour. The browser counts clicks itself."""
        steps = [{"type": "pointerMove", "x": int(x), "y": int(y), "origin": "viewport",
                  "duration": 0}]
        if kind != "mouseMoved":
            steps.append({"type": "pointerDown" if kind == "mousePressed" else "pointerUp",
                          "button": BUTTONS[button]})
        self._act({"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                   "actions": steps})

    def key(self, kind, name="Escape", code=27):
        self._act({"type": "key", "id": "keyboard",
                   "actions": [{"type": kind, "value": KEYS.get(name, name)}]})


class Browser(ActionsDriver, SocketDriver):
    CLOSE = "browser.close"

    def __init__(self, width=800, height=600):
        self._make_profile("firefox")
        prefs = {**PREFS, "browser.download.dir": self.downloads}
        with open(os.path.join(self.profile, "user.js"), "w") as user:
            user.writelines(f'user_pref("{k}", {json.dumps(v)});\n' for k, v in prefs.items())
        self.process = subprocess.Popen(
            ["/usr/bin/firefox-esr", "--headless", "--no-remote", "--profile", self.profile,
             "--remote-debugging-port=0", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
            env={**os.environ, "MOZ_HEADLESS_WIDTH": str(width),
                 "MOZ_HEADLESS_HEIGHT": str(height), "MOZ_CRASHREPORTER_DISABLE": "1"})
        self.preloads = []
        try:
            address = wait_until(self._listening_address, 60, "Firefox's BiDi address")
            if self.process.poll() is not None:
                raise RuntimeError("Firefox ended at start; see " + self.log_path)
            self._connect(address + "/session")
            self.call("session.new", {"capabilities": {}})
            self.context = self.call("browsingContext.getTree",
                                     {"maxDepth": 0})["contexts"][0]["context"]
            self.call("browsingContext.setViewport",
                      {"context": self.context, "viewport": {"width": width, "height": height}})
            self.call("session.subscribe", {"events": ["log.entryAdded"]})
        except Exception:
            self.close()
            raise

    def _listening_address(self):
        """The BiDi address Firefox printed, or "ended" if it has stopped."""
        if self.process.poll() is not None:
            return "ended"
        with open(self.log_path, "rb") as log:
            found = re.search(rb"WebDriver BiDi listening on (ws://[^\s]+)", log.read())
        return found and found.group(1).decode()

    def call(self, method, params=None, timeout=30.0):
        reply = self._send({"method": method, "params": params or {}}, timeout)
        if reply.get("type") == "error":
            raise RuntimeError(f"{method}: {reply.get('error')}: {reply.get('message')}")
        return reply.get("result", {})

    def console_texts(self):
        return [e.get("text") or "" for e in self.take_events("log.entryAdded")
                if e.get("type") == "console"]

    def before_each_load(self, script):
        # Evaluated as a script of its own, so its top-level names are the page's globals.
        self.preloads.append(self.call(
            "script.addPreloadScript",
            {"functionDeclaration": f"() => {{ (0, eval)({json.dumps(script)}); }}"})["script"])

    def forget_before_load(self):
        for preload in self.preloads:
            self.call("script.removePreloadScript", {"script": preload})
        self.preloads = []

    def _go(self, url):
        # Firefox cannot yet reload past its cache; the test server forbids storing anyway.
        self.call("browsingContext.reload" if url is None else "browsingContext.navigate",
                  {"context": self.context, "wait": "complete", **({"url": url} if url else {})},
                  timeout=60)

    def js(self, expression, timeout=30.0):
        result = self.call("script.evaluate",
                           {"expression": expression, "target": {"context": self.context},
                            "awaitPromise": True, "resultOwnership": "none"}, timeout)
        if result.get("type") == "exception":
            raise RuntimeError("page threw: " + json.dumps(result["exceptionDetails"])[:800])
        return from_remote(result["result"])

    def _act(self, source):
        self.call("input.performActions", {"context": self.context, "actions": [source]})
