"""A minimal DevTools protocol client over Chromium's --remote-debugging-pipe: Chromium reads
commands from its file descriptor 3 and writes answers and events to 4, each message one JSON
text ended by a NUL byte. No WebSocket is needed."""

import collections
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
        self.profile = tempfile.mkdtemp(prefix="pagelyst-modelbench-")
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


class Load(collections.namedtuple("Load", "total finished failed network requests")):
    """One load: ms from the document's requestWillBeSent to the last loadingFinished, the
    requests finished and failed, ms from the document request's start in the network stack to
    the same end, and per finished request a dict: its url, type, connection (the network
    stack's id), and in ms from the document's requestWillBeSent the moments it was sent by the
    page (sent), started in the network stack (start), got its first byte (first) and ended."""

    def end_of(self, urls):
        """The last end among the requests for `urls` (None if none was loaded)."""
        ends = [r["end"] for r in self.requests if r["url"] in urls]
        return max(ends) if ends else None


def load(browser, url, timeout=120, quiet_s=0.5):
    """Loads `url` once in a new browser context of `browser` (its own connections, cookies and
    cache, as a fresh browser has; the cache disabled besides). Returns a Load."""
    context = browser.send("Target.createBrowserContext", {"disposeOnDetach": True})
    context_id = context["browserContextId"]
    try:
        target = browser.send("Target.createTarget",
                              {"url": "about:blank", "browserContextId": context_id})["targetId"]
        session = browser.send("Target.attachToTarget",
                               {"targetId": target, "flatten": True})["sessionId"]
        browser.send("Network.enable", session=session)
        browser.send("Network.setCacheDisabled", {"cacheDisabled": True}, session=session)
        browser.send("Page.enable", session=session)
        # Events of an earlier load's context are no business of this one.
        while not browser.events.empty():
            if browser.events.get_nowait() is None:
                raise ProtocolError("browser ended")
        browser.send("Page.navigate", {"url": url}, session=session)
        start = None
        network_start = None  # the document request's start in the network stack
        pending = set()
        finished = {}
        requests = {}
        failed = 0
        loaded = False
        deadline = time.monotonic() + timeout
        last_activity = time.monotonic()
        while time.monotonic() < deadline:
            try:
                event = browser.events.get(timeout=0.05)
            except queue.Empty:
                event = {}
            if event is None:
                raise ProtocolError("browser ended during the load")
            if event.get("sessionId", session) != session:
                continue
            method = event.get("method", "")
            p = event.get("params", {})
            if method == "Network.requestWillBeSent":
                req_url = p.get("request", {}).get("url", "")
                if req_url.endswith("/favicon.ico") or req_url.startswith("data:"):
                    continue
                if start is None and p.get("type") == "Document":
                    start = p["timestamp"]
                pending.add(p["requestId"])
                requests[p["requestId"]] = {"url": req_url, "type": p.get("type"),
                                            "sent": p["timestamp"]}
                last_activity = time.monotonic()
            elif method == "Network.responseReceived" and p.get("requestId") in requests:
                response = p.get("response", {})
                timing = response.get("timing")
                record = requests[p["requestId"]]
                record["connection"] = response.get("connectionId")
                if timing:
                    record["start"] = timing["requestTime"]
                    record["first"] = timing["requestTime"] + timing["receiveHeadersEnd"] / 1000
                if p.get("type") == "Document" and network_start is None and timing:
                    network_start = timing["requestTime"]
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
        end = max(finished.values())
        network = (end - network_start) * 1000.0 if network_start else None
        records = []
        for rid, at in finished.items():
            record = dict(requests[rid], end=at)
            for key in ("sent", "start", "first", "end"):
                if key in record:
                    record[key] = (record[key] - start) * 1000.0
            records.append(record)
        return Load((end - start) * 1000.0, len(finished), failed, network, records)
    finally:
        try:
            browser.send("Target.disposeBrowserContext", {"browserContextId": context_id})
        except ProtocolError:
            pass
