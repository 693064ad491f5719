#!/usr/bin/env python3
"""The model bench: Pagelyst's model of today's lines (`pagelyst-cli analyze URL --line NAME
--json`, the page's "line"."load", from a measurement on the bare loopback) against a real
headless Chromium loading the same page through a loopback proxy that shapes the line
(shaper.py: round trips, name lookup and handshakes, a shared downstream and upstream link,
TCP slow start). The browser's load is the last loadingFinished of the page's requests after
the document's requestWillBeSent, the median of --runs loads, each in a fresh browser context.
The classic four-lane model on its own T1, 512K and 256K lines (its "download" time) is held
against the same shaper set to those lines as the baseline.

    bench/model/model_bench.py [--cli PATH] [--lines A,B,...] [--classic A,B,...]
                               [--pages A,B,...] [--runs N] [--floor] [--check]
                               [--json FILE] [--browser-from FILE]

Prints one row per page and line (browser, model, error), the mean absolute percentage error
over all and per line, and Spearman's rank correlation, for the model and for the baseline.
"""

import argparse
import datetime
import http.server
import json
import os
import shutil
import ssl
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import calibration  # noqa: E402
import cdp  # noqa: E402
import pages  # noqa: E402
import shaper  # noqa: E402

# Today's lines as engine/figures/NetworkLine.cpp names them: (down bit/s, up bit/s, rtt ms).
LINES = {
    "Fibre": (20_000_000, 5_000_000, 4),
    "Cable": (5_000_000, 1_000_000, 28),
    "DSL": (1_500_000, 384_000, 50),
    "LTE": (12_000_000, 12_000_000, 70),
    "4G": (9_000_000, 9_000_000, 170),
    "Slow 4G": (1_600_000, 750_000, 150),
    "3G": (1_600_000, 768_000, 300),
    "Slow 3G": (400_000, 400_000, 400),
}
# The classic lines of the baseline, as engine/figures/ConnectionSpeed.h holds them: (index in
# the JSON "times", bytes per second, latency ms). Its model charges the latency for a
# connection's set-up, so the shaper's round trip is the latency; both directions run at the
# table's speed (its T1 is 125 000 bytes/s, not a real T1's 1.544 Mbit/s).
CLASSIC = {
    "T1": (2, 125_000, 16),
    "512K Cable/DSL": (3, 64_000, 20),
    "256K Cable/DSL": (4, 32_000, 50),
}
SYSTEM_BUNDLE = "/etc/ssl/certs/ca-certificates.crt"


def handler_for(files):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        disable_nagle_algorithm = True

        def do_GET(self):
            host = self.headers.get("Host", "")
            path = self.path.split("?", 1)[0]
            entry = files.get(f"{host}{path}")
            if entry is None:
                entry = pages.Response("text/html", b"<html><body>not found</body></html>\n",
                                       30, 404)
            if entry.delay_ms:
                time.sleep(entry.delay_ms / 1000.0)
            self.send_response(entry.status)
            self.send_header("Content-Type", entry.kind)
            self.send_header("Content-Length", str(len(entry.body)))
            self.send_header("Cache-Control", "no-store")
            if entry.location:
                self.send_header("Location", entry.location)
            self.end_headers()
            self.wfile.write(entry.body)

        def log_message(self, *args):
            pass

    return Handler


class TlsServer(http.server.ThreadingHTTPServer):
    """The handshake runs in the request's own thread, so a slow one holds up no other."""

    context = None

    def finish_request(self, request, client_address):
        try:
            request = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        super().finish_request(request, client_address)


def certificate(folder):
    """A self-signed certificate for the https host, made with openssl for this run."""
    key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "2", "-subj", f"/CN={pages.SECURE_HOST}",
                    "-addext", f"subjectAltName=IP:{pages.SECURE_HOST}"],
                   check=True, capture_output=True)
    bundle = os.path.join(folder, "bundle.pem")
    with open(bundle, "wb") as out:
        if os.path.isfile(SYSTEM_BUNDLE):
            with open(SYSTEM_BUNDLE, "rb") as f:
                out.write(f.read())
        with open(cert, "rb") as f:
            out.write(f.read())
    return key, cert, bundle


class Site:
    """The page set: an origin server for http and one for https, behind the shaper's four
    host addresses on one port."""

    def __init__(self, folder):
        self.files = {}
        handler = handler_for(self.files)
        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        key, cert, self.bundle = certificate(folder)
        self.https = TlsServer(("127.0.0.1", 0), handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        context.set_alpn_protocols(["http/1.1"])
        self.https.context = context
        for s in (self.http, self.https):
            # The shaper opens a browser's connections to the origin all at once (six per host,
            # eighteen for a page over three hosts): a listen queue of socketserver's default 5
            # would drop some and the kernel retry them a second later.
            s.socket.listen(128)
            s.daemon_threads = True
            threading.Thread(target=s.serve_forever, daemon=True).start()
        plain = ("127.0.0.1", self.http.server_address[1])
        secure = ("127.0.0.1", self.https.server_address[1])
        self.shaper = shaper.Shaper([(h, plain) for h in pages.HOSTS] +
                                    [(pages.SECURE_HOST, secure)])
        site, self.entries, self.calibration = pages.pages(self.shaper.port)
        self.files.update(site)

    def close(self):
        self.shaper.close()
        for s in (self.http, self.https):
            s.shutdown()
            s.server_close()


def find_cli(given):
    if given:
        return given
    for candidate in ("build/h-model/cli/pagelyst-cli", "build/release/cli/pagelyst-cli"):
        path = os.path.join(HERE, "..", "..", candidate)
        if os.path.isfile(path):
            return os.path.abspath(path)
    return shutil.which("pagelyst-cli")


def model_run(cli, url, line, home, bundle, extra=()):
    """The page's record of `pagelyst-cli analyze URL --json [--line LINE] EXTRA`. The program
    trusts the system's certificate authorities only, so for an https page it runs in a mount
    namespace of its own where the system's bundle also holds this run's certificate."""
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env["PAGELYST_HOME"] = home
    command = [cli, "analyze", url, "--json"] + (["--line", line] if line else []) + list(extra)
    if url.startswith("https:"):
        command = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                   'mount --bind "$1" "$2" && shift 2 && exec "$@"', "sh", bundle, SYSTEM_BUNDLE,
                   *command]
    done = subprocess.run(command, capture_output=True, timeout=300, env=env,
                          stdin=subprocess.DEVNULL)
    # 3: a page ended in error, which the demo's missing image makes it; the figures stand.
    if done.returncode not in (0, 3) or not done.stdout.strip():
        raise RuntimeError(f"{' '.join(command)}: status {done.returncode}: "
                           f"{done.stderr.decode(errors='replace')[-400:]}")
    document = json.loads(done.stdout)
    for page in document["pages"]:
        if page.get("address") == url or page.get("depth") == 0:
            return page
    return document["pages"][0]


def har_ends(har):
    """Per address, the ms from the first page's start at which its entry ended."""
    log = har["log"]
    page = log["pages"][0]
    start = datetime.datetime.fromisoformat(page["startedDateTime"])
    ends = {}
    for e in log["entries"]:
        if e.get("pageref") != page["id"]:
            continue
        at = (datetime.datetime.fromisoformat(e["startedDateTime"]) - start).total_seconds()
        url = e["request"]["url"]
        ends[url] = max(ends.get(url, 0.0), at * 1000.0 + e["time"])
    return ends


def model_ends(cli, url, line, home, bundle, cost):
    """One measurement restated for `line` with the browser's `cost` (commit, request ms):
    per address the modelled end, from the run's --har-at file."""
    with tempfile.TemporaryDirectory(prefix="pagelyst-modelbench-har-") as folder:
        path = os.path.join(folder, "line.har")
        model_run(cli, url, line, home, bundle,
                  ["--har-at", line, path, "--browser-cost", f"{cost[0]:.1f}/{cost[1]:.1f}"])
        with open(path) as f:
            return har_ends(json.load(f))


def measured_har(cli, url, home, bundle):
    with tempfile.TemporaryDirectory(prefix="pagelyst-modelbench-har-") as folder:
        path = os.path.join(folder, "page.har")
        model_run(cli, url, None, home, bundle, ["--har", path])
        with open(path) as f:
            return json.load(f)


def ranks(values):
    order = sorted(range(len(values)), key=lambda i: values[i])
    r = [0.0] * len(values)
    i = 0
    while i < len(order):
        j = i
        while j + 1 < len(order) and values[order[j + 1]] == values[order[i]]:
            j += 1
        for k in range(i, j + 1):
            r[order[k]] = (i + j) / 2.0 + 1
        i = j + 1
    return r


def spearman(a, b):
    if len(a) < 2:
        return float("nan")
    ra, rb = ranks(a), ranks(b)
    ma, mb = statistics.fmean(ra), statistics.fmean(rb)
    cov = sum((x - ma) * (y - mb) for x, y in zip(ra, rb))
    va = sum((x - ma) ** 2 for x in ra) ** 0.5
    vb = sum((y - mb) ** 2 for y in rb) ** 0.5
    return cov / (va * vb) if va and vb else float("nan")


def summary(title, rows):
    """rows: (page, line, model ms, browser ms)."""
    print(f"\n{title}")
    print(f"{'page':16} {'line':16} {'model ms':>10} {'browser ms':>11} {'error':>8}")
    for page, line, model, browser in rows:
        print(f"{page:16} {line:16} {model:10.0f} {browser:11.0f} {100 * (model - browser) / browser:+7.1f}%")
    if not rows:
        return
    errors = [abs(m - b) / b for _, _, m, b in rows]
    print(f"mean absolute percentage error: {100 * statistics.fmean(errors):.1f}% over {len(rows)} "
          f"page-line pairs; signed mean {100 * statistics.fmean((m - b) / b for _, _, m, b in rows):+.1f}%")
    print(f"Spearman rank correlation (all pairs): "
          f"{spearman([r[2] for r in rows], [r[3] for r in rows]):.3f}")
    by_line = {}
    for r in rows:
        by_line.setdefault(r[1], []).append(r)
    for line, group in by_line.items():
        e = [abs(m - b) / b for _, _, m, b in group]
        s = [(m - b) / b for _, _, m, b in group]
        print(f"  {line:16} MAPE {100 * statistics.fmean(e):6.1f}%  signed {100 * statistics.fmean(s):+6.1f}%"
              f"  worst {100 * max(e):6.1f}%  Spearman {spearman([g[2] for g in group], [g[3] for g in group]):.3f}")
    by_page = {}
    for r in rows:
        by_page.setdefault(r[0], []).append(r)
    print("  per page:")
    for page, group in by_page.items():
        s = [(m - b) / b for _, _, m, b in group]
        print(f"  {page:16} signed mean {100 * statistics.fmean(s):+6.1f}%  MAPE "
              f"{100 * statistics.fmean(abs(x) for x in s):6.1f}%")


def check_images(chromium, url):
    """Loads the page unshaped and counts the images the browser could not decode (the demo's
    missing image aside: it is missing on purpose)."""
    browser = start_browser(chromium)
    try:
        target = browser.send("Target.createTarget", {"url": url})["targetId"]
        session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        time.sleep(3)
        expr = ("(() => { const docs = [document, ...Array.from(window.frames).map(f => f.document)];"
                " let n = 0, bad = []; for (const d of docs) for (const i of d.images) { n++;"
                " if ((!i.complete || i.naturalWidth === 0) && !i.src.includes('missing')) bad.push(i.src); }"
                " const scripts = Object.keys(window).filter(k => k.startsWith('done')).length;"
                " return JSON.stringify({images: n, bad: bad.slice(0, 5), badCount: bad.length, scripts}); })()")
        value = browser.send("Runtime.evaluate", {"expression": expr, "returnByValue": True},
                             session=session)
        return json.loads(value["result"]["value"])
    finally:
        browser.close()


def start_browser(chromium):
    return cdp.Browser(chromium, ("--ignore-certificate-errors", "--disable-http2",
                                  "--disable-quic", "--no-proxy-server"))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--cli", help="pagelyst-cli (default build/h-model, then PATH)")
    ap.add_argument("--chromium", default=os.environ.get("PAGELYST_CHROMIUM", "chromium"))
    ap.add_argument("--lines", default=",".join(LINES), help="today's lines to run")
    ap.add_argument("--classic", default=",".join(CLASSIC),
                    help="baseline lines to run ('' for none)")
    ap.add_argument("--pages", default="", help="page names to run (default all)")
    ap.add_argument("--classic-pages", default=",".join(pages.CLASSIC_PAGES),
                    help="page names of the baseline")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--floor", action="store_true",
                    help="also load each page unshaped: the browser's own time on loopback")
    ap.add_argument("--check", action="store_true",
                    help="only check that every image decodes and every script runs")
    ap.add_argument("--json", help="write the measured rows to this file")
    ap.add_argument("--browser-from", metavar="FILE",
                    help="take the browser's medians from an earlier run's --json file and "
                         "compute only the model's figures (after a change to the model)")
    args = ap.parse_args()

    chromium = shutil.which(args.chromium)
    if not chromium:
        print("SKIP: Chromium is not installed", file=sys.stderr)
        return 77
    cli = find_cli(args.cli)
    if not args.check and not cli:
        print("pagelyst-cli not found; give --cli", file=sys.stderr)
        return 2
    began = time.monotonic()
    folder = tempfile.mkdtemp(prefix="pagelyst-modelbench-")
    home = os.path.join(folder, "home")
    os.makedirs(home)
    site = Site(folder)
    browser = None
    try:
        entries = site.entries
        if args.pages:
            wanted = [p.strip() for p in args.pages.split(",")]
            entries = [e for e in entries if e[0] in wanted]
        if args.check:
            bad = 0
            for name, url in entries:
                result = check_images(chromium, url)
                print(f"{name:16} {result}")
                bad += result["badCount"]
            return 1 if bad else 0
        lines = [l.strip() for l in args.lines.split(",") if l.strip()]
        classic = [l.strip() for l in args.classic.split(",") if l.strip()]
        classic_pages = {p.strip() for p in args.classic_pages.split(",")}

        site.shaper.set_line(None)
        saved = {}
        if args.browser_from:
            with open(args.browser_from) as f:
                saved = json.load(f)
        else:
            browser = start_browser(chromium)

        # The browser's own time, measured unshaped on the calibration page.
        if saved:
            cost = tuple(saved["cost"])
        else:
            cdp.load(browser, site.calibration)  # a new browser's first load starts its processes
            loads = [cdp.load(browser, site.calibration) for _ in range(5)]
            cost = calibration.browser_cost(
                loads, measured_har(cli, site.calibration, home, site.bundle))
        print(f"the browser's own time, unshaped on the calibration page: commit {cost[0]:.1f} ms, "
              f"request {cost[1]:.1f} ms", flush=True)

        # The model's figures: the page measured on the bare loopback (the shaper passing
        # bytes through) and restated for each line, by the line alone and with the browser's
        # own time; per address the modelled end.
        classic_model, alone, costed = {}, {}, {}
        for name, url in entries:
            plain = model_run(cli, url, None, home, site.bundle)
            for line in classic:
                index = CLASSIC[line][0]
                classic_model[(name, line)] = next(t["download"] for t in plain["times"]
                                                   if t["index"] == index)
            for line in lines:
                alone[(name, line)] = model_ends(cli, url, line, home, site.bundle, (0, 0))
                costed[(name, line)] = model_ends(cli, url, line, home, site.bundle, cost)
            print(f"model: {name} ({plain['elements']} elements, {plain['size']} bytes)",
                  flush=True)

        jobs = [(name, url, line, *LINES[line]) for line in lines for name, url in entries]
        jobs += [(name, url, line, bps * 8, bps * 8, latency)
                 for line in classic for name, url in entries if name in classic_pages
                 for _, bps, latency in [CLASSIC[line]]]
        if args.floor:
            jobs += [(name, url, "unshaped", 0, 0, 0) for name, url in entries]
        # Per page and line, each load's ends per address and its last end.
        measured = {(r["page"], r["line"]): r["loads"] for r in saved.get("rows", [])}
        for name, url, line, down, up, rtt in ([] if saved else jobs):
            loads = []
            for _ in range(args.runs):
                site.shaper.set_line(shaper.Line(line, down, up, rtt) if down else None)
                try:
                    loads.append(cdp.load(browser, url))
                except cdp.ProtocolError as error:
                    print(f"browser: {name} on {line}: {error}", flush=True)
                    browser.close()
                    browser = start_browser(chromium)
            if not loads:
                continue
            measured[(name, line)] = [
                {"total": x.total, "ends": {r["url"]: r["end"] for r in x.requests}}
                for x in loads]
            median = statistics.median(x.total for x in loads)
            print(f"browser: {name:14} {line:16} median {median:8.0f} ms of "
                  f"{[round(x.total) for x in loads]} ({loads[0].finished} requests, "
                  f"{loads[0].failed} failed)", flush=True)

        order = [e[0] for e in entries]

        def compared(ends, loads):
            """(model, browser) over the addresses both loaded: the model's last end among
            those the browser loaded, the median of the browser's last ends among those the
            model knows (a style sheet's pictures, say, which the program does not fetch)."""
            seen = set().union(*(load["ends"] for load in loads))
            model_end = max((t for u, t in ends.items() if u in seen), default=0)
            browser_end = statistics.median(
                max((t for u, t in load["ends"].items() if u in ends), default=0)
                for load in loads)
            return model_end, browser_end

        def rows_for(line_names, model):
            return [(p, l, *compared(model[(p, l)], measured[(p, l)]))
                    for l in line_names for p in order if (p, l) in measured]

        outside = {}
        for (p, l), loads in measured.items():
            if (p, l) in alone:
                outside[p] = sorted({u for load in loads for u in load["ends"]} - set(alone[(p, l)]))
        if any(outside.values()):
            print("\nLoaded by the browser only, left out of both figures:")
            for p, urls in outside.items():
                if urls:
                    print(f"  {p:16} {', '.join(u.rsplit('/', 1)[-1] for u in urls)}")
        summary("Pagelyst's line model against Chromium on the shaped line: the line alone",
                rows_for(lines, alone))
        summary(f"The same with the browser's own time (commit {cost[0]:.1f} ms, request "
                f"{cost[1]:.1f} ms per request, measured unshaped)", rows_for(lines, costed))
        floor = [(p, statistics.median(x["total"] for x in measured[(p, "unshaped")]))
                 for p in order if (p, "unshaped") in measured]
        if floor:
            print("\nThe browser unshaped on loopback (its own floor), median ms:")
            for p, v in floor:
                print(f"  {p:16} {v:8.0f}")
        summary("Baseline: the classic four-lane model on its own lines",
                [(p, l, classic_model[(p, l)],
                  statistics.median(x["total"] for x in measured[(p, l)]))
                 for l in classic for p in order if (p, l) in measured])
        print(f"\nrun time {(time.monotonic() - began) / 60:.1f} min")
        if args.json:
            with open(args.json, "w") as out:
                json.dump({"cost": cost,
                           "rows": [{"page": p, "line": l, "loads": v}
                                    for (p, l), v in measured.items()]}, out)
        return 0
    finally:
        if browser:
            browser.close()
        site.close()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
