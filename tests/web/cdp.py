"""The Chromium driver (see browser.py): headless Chromium through its DevTools protocol, one
browser with one page in a new empty profile; and Chromium's own extras (page, emulate, touch:
touch screens, device emulation, a page hidden behind another tab). Needs Debian's
python3-websocket."""
import json
import os
import subprocess

from browser import SocketDriver, wait_until

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--no-default-browser-check", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-extensions", "--mute-audio",
         "--remote-debugging-port=0"]


class Browser(SocketDriver):
    CLOSE = "Browser.close"

    def __init__(self, width=800, height=600):
        self._make_profile("chromium")
        self.process = subprocess.Popen(
            ["/usr/bin/chromium", *FLAGS, f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        self.scripts, self.script_ids, self.tabs = [], [], {}
        try:
            port_file = os.path.join(self.profile, "DevToolsActivePort")
            wait_until(lambda: self.process.poll() is not None or os.path.exists(port_file)
                       and open(port_file).read().count("\n"), what="Chromium's DevTools port")
            if self.process.poll() is not None:
                raise RuntimeError("Chromium ended at start; see " + self.log_path)
            port, path = open(port_file).read().split("\n")[:2]  # the browser's own socket
            self._connect(f"ws://127.0.0.1:{port.strip()}{path.strip()}")
            self.new_tab()
            self.call("Browser.setDownloadBehavior", {"behavior": "allow", "eventsEnabled": True,
                                                      "downloadPath": self.downloads})
        except Exception:
            self.close()
            raise

    def new_tab(self):
        self.target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.tabs[self.target] = self.call(
            "Target.attachToTarget", {"targetId": self.target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Network", "Performance"):
            self.page(f"{domain}.enable")
        for script in self.scripts:  # the scripts for every load reach the new tab too
            self._add_script(script)
        return self.target

    def switch_tab(self, handle):
        self.target, self.session = handle, self.tabs[handle]
        self.call("Target.activateTarget", {"targetId": handle})

    def call(self, method, params=None, session=None, timeout=30.0):
        """One DevTools command (to the page's session when given); its result."""
        message = {"method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        reply = self._send(message, timeout)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    def page(self, method, params=None, timeout=30.0):
        return self.call(method, params, self.session, timeout)

    def console_texts(self):
        return [" ".join(str(a.get("value", a.get("description", ""))) for a in e["args"])
                for e in self.take_events("Runtime.consoleAPICalled")]

    def _add_script(self, script):
        self.script_ids.append((self.session, self.page(
            "Page.addScriptToEvaluateOnNewDocument", {"source": script})["identifier"]))

    def before_each_load(self, script):
        self.scripts.append(script)
        self._add_script(script)

    def forget_before_load(self):
        for session, ident in self.script_ids:
            self.call("Page.removeScriptToEvaluateOnNewDocument", {"identifier": ident}, session)
        self.scripts, self.script_ids = [], []

    def _go(self, url):
        if url is None:
            self.page("Page.reload", {"ignoreCache": True})
        else:
            self.page("Page.navigate", {"url": url})

    def js(self, expression, timeout=30.0):
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
        """The page as a device of width x height CSS pixels at ratio device pixels each; a
        mobile one (the page's viewport tag honoured) with a touch screen."""
        self.page("Emulation.setDeviceMetricsOverride", {"width": width, "height": height,
                                                         "deviceScaleFactor": ratio,
                                                         "mobile": mobile})
        self.page("Emulation.setTouchEmulationEnabled", {"enabled": mobile, "maxTouchPoints": 5})

    def touch(self, kind, points=()):
        """The fingers (id, x, y), in page pixels, touch down (touchStart: all that are down),
        move (touchMove) or lift (touchEnd: the ones lifted, none for all)."""
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
