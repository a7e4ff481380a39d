"""Headless Firefox ESR through WebDriver BiDi, spoken straight to the browser (no geckodriver),
for the browser tests: one browser with one page in a new empty profile, page scripts, real
pointer and key events, console messages and downloads, as cdp.py's Browser offers them. Needs
Debian's firefox-esr and python3-websocket."""
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time

import websocket

from browser import Driver, wait_until

FIREFOX = "/usr/bin/firefox-esr"

# A quiet browser that starts fast, asks nothing, and saves every download at once into the
# profile's downloads folder.
PREFS = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.page": 0,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "browser.safebrowsing.update.enabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "browser.download.folderList": 2,
    "browser.download.useDownloadDir": True,
    "browser.download.always_ask_before_handling_new_types": False,
    "browser.download.start_downloads_in_tmp_dir": False,
    "browser.download.manager.addToRecentDocs": False,
    "browser.download.alwaysOpenPanel": False,
    "browser.helperApps.neverAsk.saveToDisk": "image/bmp,application/octet-stream",
    "dom.disable_open_during_load": False,
}

# WebDriver's code points for the keys that have names; other keys are their own character.
KEYS = {"Escape": "\ue00c", "Enter": "\ue007", "Tab": "\ue004", "Backspace": "\ue003",
        "Shift": "\ue008", "Control": "\ue009", "Alt": "\ue00a", "Pause": "\ue00b",
        "PageUp": "\ue00e", "PageDown": "\ue00f", "End": "\ue010", "Home": "\ue011",
        "ArrowLeft": "\ue012", "ArrowUp": "\ue013", "ArrowRight": "\ue014",
        "ArrowDown": "\ue015", "Insert": "\ue016", "Delete": "\ue017", "Space": " ",
        **{f"F{n}": chr(0xe030 + n) for n in range(1, 13)}}

BUTTONS = {"left": 0, "middle": 1, "right": 2}


def key_value(name):
    """The WebDriver key value for a DOM key name."""
    if name in KEYS:
        return KEYS[name]
    if len(name) == 1:
        return name
    raise ValueError(f"no WebDriver key for {name!r}")


def from_remote(value):
    """A BiDi remote value as plain Python: numbers, strings, lists, dicts, None."""
    kind, inner = value["type"], value.get("value")
    if kind in ("undefined", "null"):
        return None
    if kind == "number":
        return {"NaN": float("nan"), "-0": -0.0, "Infinity": float("inf"),
                "-Infinity": float("-inf")}.get(inner, inner) if isinstance(inner, str) else inner
    if kind == "bigint":
        return int(inner)
    if kind in ("array", "set") and inner is not None:
        return [from_remote(v) for v in inner]
    if kind in ("object", "map") and inner is not None:
        return {k if isinstance(k, str) else json.dumps(from_remote(k)): from_remote(v)
                for k, v in inner}
    if kind in ("string", "boolean"):
        return inner
    return {"type": kind}  # a node, function or the like: only its kind comes across


class ActionsDriver(Driver):
    """A driver whose pointer and keys go through WebDriver's input actions (self._act)."""

    def mouse(self, kind, x, y, button="none", clicks=0):
        """kind: mouseMoved, mousePressed or mouseReleased, at page pixel (x, y), passed in whole
        pixels: Firefox rounds a point to the nearest pixel where Chromium and WebKit take the
        pixel it lies in, and a game pixel's middle at 1 x would land on its neighbour. The
        browser counts clicks itself."""
        steps = [{"type": "pointerMove", "x": int(x), "y": int(y), "origin": "viewport",
                  "duration": 0}]
        if kind != "mouseMoved":
            steps.append({"type": "pointerDown" if kind == "mousePressed" else "pointerUp",
                          "button": BUTTONS[button]})
        self._act({"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                   "actions": steps})

    def key(self, kind, name="Escape", code=27):
        """kind: keyDown or keyUp. The browser finds the key's code from its name."""
        self._act({"type": "key", "id": "keyboard",
                   "actions": [{"type": kind, "value": key_value(name)}]})



class Browser(ActionsDriver):
    """One headless Firefox ESR with one page, through a BiDi session on its own socket."""

    def __init__(self, width=800, height=600):
        started = time.monotonic()
        self.width, self.height = width, height
        self.profile = tempfile.mkdtemp(prefix="glimm-firefox-")
        self.downloads = os.path.join(self.profile, "downloads")
        os.makedirs(self.downloads)
        prefs = {**PREFS, "browser.download.dir": self.downloads}
        with open(os.path.join(self.profile, "user.js"), "w") as user:
            user.writelines(f'user_pref("{k}", {json.dumps(v)});\n' for k, v in prefs.items())
        self.log_path = os.path.join(self.profile, "firefox.log")
        self.log = open(self.log_path, "wb")
        self.process = subprocess.Popen(
            [FIREFOX, "--headless", "--no-remote", "--profile", self.profile,
             "--remote-debugging-port=0", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
            env={**os.environ, "MOZ_HEADLESS_WIDTH": str(width),
                 "MOZ_HEADLESS_HEIGHT": str(height), "MOZ_CRASHREPORTER_DISABLE": "1"})
        self.events, self.replies, self.next_id, self.preloads = [], {}, 0, []
        self.lock = threading.Condition()
        self.socket = None
        try:
            address = wait_until(self._listening_address, 60, "Firefox's BiDi address")
            if self.process.poll() is not None:
                raise RuntimeError("Firefox ended at start; see " + self.log_path)
            self.socket = websocket.create_connection(address + "/session",
                                                      suppress_origin=True)
            threading.Thread(target=self._read, daemon=True).start()
            self.call("session.new", {"capabilities": {}})
            self.context = self.call("browsingContext.getTree",
                                     {"maxDepth": 0})["contexts"][0]["context"]
            self.call("browsingContext.setViewport",
                      {"context": self.context, "viewport": {"width": width, "height": height}})
            self.call("session.subscribe",
                      {"events": ["log.entryAdded", "browsingContext.downloadWillBegin",
                                  "browsingContext.downloadEnd"]})
        except Exception:
            self.close()
            raise
        self.started_in = time.monotonic() - started

    @property
    def tab(self):
        """The handle of the tab the calls act on."""
        return self.context

    def new_tab(self):
        """Another tab of this browser, blank and in front; the calls act on it from now on.
        Its handle."""
        self.context = self.call("browsingContext.create", {"type": "tab"})["context"]
        self.call("browsingContext.setViewport",
                  {"context": self.context, "viewport": {"width": self.width,
                                                         "height": self.height}})
        return self.context

    def switch_tab(self, handle):
        """The calls act on that tab from now on, which comes in front."""
        self.context = handle
        self.call("browsingContext.activate", {"context": handle})

    def _listening_address(self):
        """The BiDi address Firefox printed, or "ended" if it has stopped."""
        if self.process.poll() is not None:
            return "ended"
        with open(self.log_path, "rb") as log:
            found = re.search(rb"WebDriver BiDi listening on (ws://[^\s]+)", log.read())
        return found and found.group(1).decode()

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

    def call(self, method, params=None, timeout=30.0):
        """One BiDi command; its result."""
        with self.lock:
            self.next_id += 1
            ident = self.next_id
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params or {}}))
        with self.lock:
            if not self.lock.wait_for(lambda: ident in self.replies or "closed" in self.replies,
                                      timeout) or ident not in self.replies:
                raise TimeoutError(f"no reply to {method}")
            reply = self.replies.pop(ident)
        if reply.get("type") == "error":
            raise RuntimeError(f"{method}: {reply.get('error')}: {reply.get('message')}")
        return reply.get("result", {})

    def take_events(self, method):
        with self.lock:
            return [e["params"] for e in self.events if e.get("method") == method]

    def console_texts(self):
        return [e.get("text") or "" for e in self.take_events("log.entryAdded")
                if e.get("type") == "console"]

    def before_each_load(self, script):
        """Runs script in the page before its own scripts, at every later load."""
        # Evaluated as a script of its own, so its top-level names are the page's globals.
        self.preloads.append(self.call(
            "script.addPreloadScript",
            {"functionDeclaration": f"() => {{ (0, eval)({json.dumps(script)}); }}"})["script"])

    def forget_before_load(self):
        """The scripts given to before_each_load no longer run at later loads."""
        for preload in self.preloads:
            self.call("script.removePreloadScript", {"script": preload})
        self.preloads = []

    def open(self, url):
        self.call("browsingContext.navigate", {"context": self.context, "url": url,
                                               "wait": "complete"}, timeout=60)
        self.wait_for_js("document.readyState === 'complete'", what="the page to load")

    def reload(self):
        # Firefox cannot yet reload past its cache; the test server forbids storing anyway.
        self.call("browsingContext.reload", {"context": self.context, "wait": "complete"},
                  timeout=60)
        self.wait_for_js("document.readyState === 'complete'", what="the page to reload")

    def js(self, expression, timeout=30.0):
        """The value of a page expression, a promise awaited."""
        result = self.call("script.evaluate",
                           {"expression": expression, "target": {"context": self.context},
                            "awaitPromise": True, "resultOwnership": "none"}, timeout)
        if result.get("type") == "exception":
            raise RuntimeError("page threw: " + json.dumps(result["exceptionDetails"])[:800])
        return from_remote(result["result"])

    def _act(self, source):
        self.call("input.performActions", {"context": self.context, "actions": [source]})

    def close(self):
        try:
            if self.socket is not None:
                try:
                    self.call("browser.close", timeout=5)
                except Exception:
                    pass
                self.socket.close()
        finally:
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.log.close()
            shutil.rmtree(self.profile, ignore_errors=True)
