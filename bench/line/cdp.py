"""A minimal DevTools protocol client over Chromium's --remote-debugging-pipe: Chromium reads
commands from its file descriptor 3 and writes answers and events to 4, each message one JSON
text ended by a NUL byte. No WebSocket is needed."""

import fcntl
import json
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time


class ProtocolError(RuntimeError):
    pass


class Browser:
    def __init__(self, executable, extra_args=()):
        self.profile = tempfile.mkdtemp(prefix="pagelyst-linebench-")
        to_chrome_r, self._to_chrome_w = os.pipe()
        self._from_chrome_r, from_chrome_w = os.pipe()
        # The child's ends move above any descriptor number the shell's redirections write
        # (3 and 4), so "3<&N 4>&M" never overwrites one it reads next.
        for name in ("to_chrome_r", "from_chrome_w"):
            fd = locals()[name]
            high = fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 100)
            os.close(fd)
            if name == "to_chrome_r":
                to_chrome_r = high
            else:
                from_chrome_w = high
        args = [
            "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
            "--no-first-run", "--no-default-browser-check", "--disable-extensions",
            "--disable-background-networking", "--disable-component-update",
            "--disable-features=Translate,OptimizationHints,MediaRouter",
            "--remote-debugging-pipe", f"--user-data-dir={self.profile}", *extra_args,
            "about:blank",
        ]
        # A small Python step puts the pipe ends on 3 and 4 and execs Chromium (Debian's
        # /usr/bin/chromium is itself a script that execs the browser; the descriptors pass
        # through). A shell's "3<&N" would do, but dash reads only one-digit descriptors.
        wrapper = ("import os, sys\n"
                   "r, w = int(sys.argv[1]), int(sys.argv[2])\n"
                   "os.dup2(r, 3); os.dup2(w, 4); os.close(r); os.close(w)\n"
                   "os.execvp(sys.argv[3], sys.argv[3:])\n")
        self.process = subprocess.Popen(
            [sys.executable, "-c", wrapper, str(to_chrome_r), str(from_chrome_w), executable,
             *args], pass_fds=(to_chrome_r, from_chrome_w),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self._next_id = 0
        self._lock = threading.Lock()
        self._waiting = {}
        self.events = queue.Queue()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        buffer = b""
        while True:
            try:
                chunk = os.read(self._from_chrome_r, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                self.events.put(None)
                for slot in list(self._waiting.values()):
                    slot.put({"error": {"message": "browser closed the pipe"}})
                return
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                value = json.loads(message)
                if "id" in value:
                    slot = self._waiting.pop(value["id"], None)
                    if slot:
                        slot.put(value)
                else:
                    self.events.put(value)

    def send(self, method, params=None, session=None, timeout=30):
        with self._lock:
            self._next_id += 1
            ident = self._next_id
            slot = queue.Queue()
            self._waiting[ident] = slot
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_chrome_w, json.dumps(message).encode() + b"\0")
        try:
            answer = slot.get(timeout=timeout)
        except queue.Empty:
            raise ProtocolError(f"{method}: no answer within {timeout} s") from None
        if "error" in answer:
            raise ProtocolError(f"{method}: {answer['error'].get('message')}")
        return answer.get("result", {})

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except (ProtocolError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self._to_chrome_w, self._from_chrome_r):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)


def throttled_load(executable, url, down_bps, up_bps, rtt_ms, timeout=600, quiet_s=1.0):
    """Loads `url` once in a fresh headless Chromium throttled through the DevTools protocol
    (Network.emulateNetworkConditions: latency = rtt_ms, throughputs in bytes per second, cache
    disabled). Returns (ms from the document's requestWillBeSent to the last loadingFinished,
    requests finished, requests failed)."""
    browser = Browser(executable)
    try:
        target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.send("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        browser.send("Network.enable", session=session)
        browser.send("Network.setCacheDisabled", {"cacheDisabled": True}, session=session)
        if down_bps:  # 0: unthrottled, the browser's own floor on loopback
            browser.send("Network.emulateNetworkConditions", {
                "offline": False, "latency": rtt_ms,
                "downloadThroughput": down_bps / 8.0, "uploadThroughput": up_bps / 8.0,
            }, session=session)
        browser.send("Page.enable", session=session)
        browser.send("Page.navigate", {"url": url}, session=session)
        start = None
        pending = set()
        finished = {}
        failed = 0
        loaded = False
        deadline = time.monotonic() + timeout
        last_activity = time.monotonic()
        while time.monotonic() < deadline:
            try:
                event = browser.events.get(timeout=0.1)
            except queue.Empty:
                event = {}
            if event is None:
                raise ProtocolError("browser ended during the load")
            method = event.get("method", "")
            p = event.get("params", {})
            if method == "Network.requestWillBeSent":
                req_url = p.get("request", {}).get("url", "")
                if req_url.endswith("/favicon.ico") or req_url.startswith("data:"):
                    continue
                if start is None and p.get("type") == "Document":
                    start = p["timestamp"]
                pending.add(p["requestId"])
                last_activity = time.monotonic()
            elif method == "Network.loadingFinished" and p.get("requestId") in pending:
                pending.discard(p["requestId"])
                finished[p["requestId"]] = p["timestamp"]
                last_activity = time.monotonic()
            elif method == "Network.loadingFailed" and p.get("requestId") in pending:
                pending.discard(p["requestId"])
                failed += 1
                last_activity = time.monotonic()
            elif method == "Page.loadEventFired":
                loaded = True
                last_activity = time.monotonic()
            if loaded and not pending and time.monotonic() - last_activity >= quiet_s:
                break
        else:
            raise ProtocolError(f"{url} did not finish within {timeout} s "
                                f"({len(pending)} requests pending)")
        if start is None or not finished:
            raise ProtocolError(f"{url}: no document request seen")
        return (max(finished.values()) - start) * 1000.0, len(finished), failed
    finally:
        browser.close()
