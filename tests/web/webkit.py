"""The WebKitGTK driver (see browser.py): its MiniBrowser in automation mode under an Xvfb of its
own, through WebKitWebDriver (classic WebDriver over HTTP). Needs Debian's webkit2gtk-driver and
xvfb."""
import json
import os
import signal
import socket
import subprocess
import urllib.error
import urllib.request

from bidi import ActionsDriver
from browser import SITES, Driver, wait_until

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

# Classic WebDriver has no console log and no script before a page's own, so the test server puts
# these first in the page's head. The console's texts wait in the page until the driver reads
# them.
CONSOLE_CATCHER = """(() => { const texts = window.__driverConsoleTexts = [];
  for (const level of ['log', 'info', 'warn', 'error', 'debug']) {
    const real = console[level];
    console[level] = (...args) => { texts.push(args.join(' ')); real.apply(console, args); };
  } })();"""

# The page's script: an expression (or statements, whose last value counts) evaluated as a
# script of its own, a promise awaited, its value or what it threw handed back.
EVALUATE = """const done = arguments[arguments.length - 1];
const failed = e => done([false, String(e && e.stack ? e + '\\n' + e.stack : e)]);
try { Promise.resolve((0, eval)(arguments[0])).then(v => done([true, v]), failed); }
catch (e) { failed(e); }"""


class Browser(ActionsDriver, Driver):
    """One MiniBrowser window under an Xvfb of its own."""

    def __init__(self, width=800, height=600):
        self._make_profile("webkit")
        config = os.path.join(self.profile, "config")
        os.makedirs(config)
        # WebKit saves a download, unasked, into the desktop's download folder.
        with open(os.path.join(config, "user-dirs.dirs"), "w") as dirs:
            dirs.write(f'XDG_DOWNLOAD_DIR="{self.downloads}"\n')
        self.scripts, self.console_before = [CONSOLE_CATCHER], []
        self.xvfb = self.driver = self.session = self.script_timeout = None
        self.height = height
        try:
            reading, writing = os.pipe()
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(writing), "-screen", "0",
                 f"{width + 256}x{height + 512}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(writing,), stdin=subprocess.DEVNULL, stdout=self.log,
                stderr=subprocess.STDOUT)
            os.close(writing)
            with os.fdopen(reading) as told:
                display = ":" + told.readline().strip()
            # Under Xvfb, with no GPU to share buffers with, WebKit's DMA-BUF renderer holds a
            # page at 2 device pixels per game pixel to some 16 frames a second, a quarter of
            # what a player's desktop gets; its older renderer gives near 60. Set the variable
            # to 0 to see the slow one.
            env = {**os.environ, "WEBKIT_DISABLE_DMABUF_RENDERER":
                   os.environ.get("WEBKIT_DISABLE_DMABUF_RENDERER", "1"),
                   "DISPLAY": display, "GDK_BACKEND": "x11",
                   "NO_AT_BRIDGE": "1", "HOME": self.profile, "XDG_CONFIG_HOME": config,
                   "XDG_CACHE_HOME": os.path.join(self.profile, "cache"),
                   "XDG_DATA_HOME": os.path.join(self.profile, "data")}
            with socket.socket() as probe:
                probe.bind(("127.0.0.1", 0))
                port = probe.getsockname()[1]
            self.address = f"http://127.0.0.1:{port}"
            self.driver = subprocess.Popen(
                ["/usr/bin/WebKitWebDriver", f"--port={port}"], env=env,
                stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
                start_new_session=True)
            wait_until(self._driver_ready, 20, "WebKitWebDriver to listen")
            if self.driver.poll() is not None:
                raise RuntimeError("WebKitWebDriver ended at start; see " + self.log_path)
            self.session = self._request("POST", "/session", {"capabilities": {"alwaysMatch": {
                "webkitgtk:browserOptions": {"binary": MINIBROWSER,
                                             "args": ["--automation"]}}}})["sessionId"]
            self._fit_viewport(width, height)
        except Exception:
            self.close()
            raise

    def _driver_ready(self):
        if self.driver.poll() is not None:
            return True
        try:
            return self._request("GET", "/status").get("ready")
        except OSError:
            return False

    def _request(self, method, path, body=None, timeout=60.0):
        data = json.dumps(body if body is not None else {}).encode() if method == "POST" else None
        request = urllib.request.Request(self.address + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=timeout) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            value = json.load(error).get("value", {})
            raise RuntimeError(f"{method} {path}: {value.get('error')}: {value.get('message')}")

    def call(self, method, path, body=None, timeout=60.0):
        return self._request(method, f"/session/{self.session}{path}", body, timeout)

    def wait_for_download(self):
        """Also until MiniBrowser's download bar has taken its place below the page: the page
        shrinks and moves once the bar is there, and a point worked out before would miss."""
        super().wait_for_download()
        wait_until(lambda: self.js("innerHeight") < self.height, what="the download bar")

    def _fit_viewport(self, width, height):
        """Sizes the window so that the page itself is width x height, as headless Chromium's.
        Outer and inner sizes are read together: a read from before a resize has ended still
        gives the bars' true size, where the page alone would count them twice."""
        asked = None

        def fits():
            nonlocal asked
            inner_w, inner_h, outer_w, outer_h = self.js(
                "[innerWidth, innerHeight, outerWidth, outerHeight]")
            if [inner_w, inner_h] == [width, height]:
                return True
            wanted = [width + outer_w - inner_w, height + outer_h - inner_h]
            if wanted != asked:
                self.call("POST", "/window/rect", {"width": wanted[0], "height": wanted[1]})
                asked = wanted
            return False

        wait_until(fits, 20, f"the page to be {width} x {height}")

    def _keep_console(self):
        """Keeps the texts of the page about to go."""
        try:
            self.console_before += self.js("window.__driverConsoleTexts || []")
        except RuntimeError:
            pass

    def console_texts(self):
        return self.console_before + (self.js("window.__driverConsoleTexts || []") or [])

    def before_each_load(self, script):
        self.scripts.append(script)

    def forget_before_load(self):
        del self.scripts[1:]  # the sites hold this very list

    def _go(self, url):
        self._keep_console()
        if url is None:
            self.call("POST", "/refresh")
        else:
            if url in SITES:  # a site of ours
                SITES[url].first = self.scripts
            self.call("POST", "/url", {"url": url})

    def js(self, expression, timeout=30.0):
        if timeout != self.script_timeout:
            self.call("POST", "/timeouts", {"script": int(timeout * 1000)})
            self.script_timeout = timeout
        ok, value = self.call("POST", "/execute/async",
                              {"script": EVALUATE, "args": [expression]}, timeout + 10)
        if not ok:
            raise RuntimeError("page threw: " + value[:800])
        return value

    def _act(self, source):
        self.call("POST", "/actions", {"actions": [source]})

    def close(self):
        try:
            if self.session is not None:
                self.call("DELETE", "", timeout=10)
        except Exception:
            pass  # the browser may be gone already
        for process in filter(None, (self.driver, self.xvfb)):
            if process.poll() is None:
                process.terminate()
        self._end(self.driver, self.xvfb)
        if self.driver is not None:
            try:  # what the driver started, MiniBrowser and its helpers, goes too
                os.killpg(self.driver.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
