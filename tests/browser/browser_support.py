"""Shared pieces of the browser checks: headless Chromium, a loopback HTTP server, pagelyst-cli
runs and a small reader of the DOM Chromium dumps.

Exit statuses of every check: 0 passed, 1 failed, 2 usage error, 77 Chromium is missing (a
test harness skips).
"""

import atexit
import html.parser
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77

# A page that opens a dialog (alert) never finishes loading in headless Chromium: the run is
# ended after this long and counts as a page that ran script.
BROWSER_TIMEOUT = 60
CLI_TIMEOUT = 180


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def find_chromium():
    """The Chromium executable ($PAGELYST_CHROMIUM first); skips the check when there is none."""
    candidates = [os.environ.get("PAGELYST_CHROMIUM", ""), "chromium", "chromium-browser"]
    for name in candidates:
        if name and shutil.which(name):
            return shutil.which(name)
    print("SKIP: Chromium is not installed (scripts/bootstrap.sh installs it)", file=sys.stderr)
    sys.exit(SKIP)


class Chromium:
    """Headless Chromium runs, each with a fresh profile folder under `workdir`."""

    def __init__(self, workdir):
        self.executable = find_chromium()
        self.workdir = workdir
        self.runs = 0

    # A browser killed by a signal (it crashes now and then on a loaded machine) is started
    # again; what it says of the page is believed only from a run that ended by itself.
    CRASH_RETRIES = 2

    def _run(self, extra, url):
        for _ in range(self.CRASH_RETRIES + 1):
            out, error, crashed = self._run_once(extra, url)
            if not crashed:
                break
        return out, error

    def _run_once(self, extra, url):
        self.runs += 1
        profile = os.path.join(self.workdir, f"profile-{self.runs}")
        command = [
            self.executable,
            "--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-dev-shm-usage",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-extensions",
            "--disable-background-networking",
            "--hide-scrollbars",
            f"--user-data-dir={profile}",
            *extra,
            url,
        ]
        try:
            done = subprocess.run(command, capture_output=True, timeout=BROWSER_TIMEOUT,
                                  stdin=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            return None, f"Chromium did not finish {url} within {BROWSER_TIMEOUT} s", False
        finally:
            shutil.rmtree(profile, ignore_errors=True)
        if done.returncode != 0:
            tail = done.stderr.decode("utf-8", "replace").strip().splitlines()[-5:]
            error = f"Chromium ended with status {done.returncode}: " + " | ".join(tail)
            return None, error, done.returncode < 0
        return done.stdout, None, False

    def dump_dom(self, url):
        """The serialised DOM after the load event, or (None, reason)."""
        out, error = self._run(["--dump-dom"], url)
        return (out.decode("utf-8", "replace") if out is not None else None), error

    def screenshot(self, url, path, width=1200, height=1600):
        if os.path.exists(path):
            os.remove(path)
        _, error = self._run([f"--screenshot={path}", f"--window-size={width},{height}"], url)
        if error:
            return error
        if not os.path.isfile(path):
            return f"Chromium wrote no screenshot to {path}"
        return None


def file_url(path):
    return "file://" + os.path.abspath(path)


class LoopbackServer:
    """An HTTP server on 127.0.0.1 with an ephemeral port, answering from a callable:
    handler(path_without_query, request) -> (status, headers dict, body bytes)."""

    def __init__(self, handler):
        outer_handler = handler

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"
            # Headers and body go out in separate writes: without this the body would wait
            # for the client's delayed acknowledgement (about 40 ms), which the timings show.
            disable_nagle_algorithm = True

            def do_GET(self):
                self._answer(send_body=True)

            def do_HEAD(self):
                self._answer(send_body=False)

            def _answer(self, send_body):
                path = self.path.split("?", 1)[0].split("#", 1)[0]
                status, headers, body = outer_handler(path, self)
                self.send_response(status)
                for name, value in headers.items():
                    self.send_header(name, value)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                if send_body:
                    self.wfile.write(body)

            def log_message(self, format, *args):  # noqa: A002 - the base class's name
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join()


def run_cli(cli, args, home):
    """Runs pagelyst-cli with its settings in `home` and no proxy; returns the finished process."""
    env = dict(os.environ)
    env["PAGELYST_HOME"] = home
    for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                 "ALL_PROXY"):
        env.pop(name, None)
    command = [cli, *args]
    started = time.monotonic()
    try:
        done = subprocess.run(command, capture_output=True, timeout=CLI_TIMEOUT, env=env,
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        fail(f"{' '.join(command)} did not finish within {CLI_TIMEOUT} s")
    print(f"  {' '.join(command[1:])}: status {done.returncode} "
          f"({time.monotonic() - started:.1f} s)")
    return done


def cli_failure(done):
    text = (done.stderr or b"").decode("utf-8", "replace").strip()
    return f"status {done.returncode}: {text[-800:]}"


class Dom(html.parser.HTMLParser):
    """What the checks read of a dumped DOM: the text, the attributes of every element and the
    rows of every table (nested tables counted apart)."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.texts = []
        self.elements = []  # (tag, attrs dict)
        self.tables = []  # per table: list of rows, each (class, [cell texts])
        self._open_tables = []
        self._cell = None
        self._skip = 0  # inside <script> or <style>
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        attributes = {name: (value or "") for name, value in attrs}
        self.elements.append((tag, attributes))
        if tag in ("script", "style"):
            self._skip += 1
        elif tag == "table":
            self.tables.append([])
            self._open_tables.append(len(self.tables) - 1)
        elif tag == "tr" and self._open_tables:
            self.tables[self._open_tables[-1]].append((attributes.get("class", ""), []))
        elif tag in ("td", "th") and self._open_tables:
            rows = self.tables[self._open_tables[-1]]
            if rows:
                rows[-1][1].append("")
                self._cell = (self._open_tables[-1], len(rows) - 1)

    def handle_endtag(self, tag):
        if tag in ("script", "style"):
            self._skip = max(0, self._skip - 1)
        elif tag == "table" and self._open_tables:
            self._open_tables.pop()
            self._cell = None
        elif tag in ("td", "th"):
            self._cell = None

    def handle_data(self, data):
        if self._skip:
            return
        self.texts.append(data)
        if self._cell is not None:
            table, row = self._cell
            cells = self.tables[table][row][1]
            cells[-1] += data

    @property
    def text(self):
        return "".join(self.texts)


def temp_dir(prefix):
    """A temporary folder, removed when the check ends."""
    path = tempfile.mkdtemp(prefix=prefix)
    atexit.register(shutil.rmtree, path, ignore_errors=True)
    return path
