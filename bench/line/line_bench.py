#!/usr/bin/env python3
"""The line bench: Pagelyst's model of today's lines (pagelyst-cli analyze URL --line NAME
--json, the page's "line"."load") against a real headless Chromium loading the same page
throttled to the line through its DevTools protocol (Network.emulateNetworkConditions:
latency = the line's round trip, the line's throughputs, cache disabled; the browser's load is
the last loadingFinished of the page's requests after the document's requestWillBeSent, the
median of --runs loads, each in a fresh browser). The classic model on its own T1,
512K and 256K lines (its four-lane "download" time) is measured the same way as the baseline.

    bench/line/line_bench.py [--cli PATH] [--lines A,B,...] [--pages A,B,...] [--runs N]
                             [--jobs N] [--no-classic] [--check]

Prints one row per page and line (model, browser, error), the mean absolute percentage error
over all and per line, and Spearman's rank correlation, for the model and for the baseline.
"""

import argparse
import concurrent.futures
import http.server
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import cdp  # noqa: E402
import pages  # noqa: E402

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
# The classic lines of the baseline, as engine/figures/ConnectionSpeed.h holds them:
# (index in the JSON "times", bytes per second, latency ms). The table's T1 is 125 000 bytes/s
# (1 Mbit/s), not a real T1's 1.544 Mbit/s; the browser is throttled to the table's figures,
# the line the model computes for.
CLASSIC = {
    "T1": (2, 125_000, 16),
    "512K Cable/DSL": (3, 64_000, 20),
    "256K Cable/DSL": (4, 32_000, 50),
}


class Site:
    """The page set on 127.0.0.1 and 127.0.0.2 (and so localhost) on one port."""

    def __init__(self):
        self.files = {}
        files = self.files

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"
            disable_nagle_algorithm = True

            def do_GET(self):
                host = self.headers.get("Host", "")
                path = self.path.split("?", 1)[0]
                entry = files.get(f"{host}{path}")
                if entry is None:
                    body, kind, status = b"not found\n", "text/plain", 404
                else:
                    (kind, body), status = entry, 200
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.servers = []
        for attempt in range(20):
            first = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
            port = first.server_address[1]
            try:
                second = http.server.ThreadingHTTPServer(("127.0.0.2", port), Handler)
            except OSError:
                first.server_close()
                continue
            self.servers = [first, second]
            break
        else:
            raise RuntimeError("no port free on both 127.0.0.1 and 127.0.0.2")
        for s in self.servers:
            s.daemon_threads = True
            threading.Thread(target=s.serve_forever, daemon=True).start()
        self.port = port
        site, self.entries = pages.pages(port)
        files.update(site)

    def close(self):
        for s in self.servers:
            s.shutdown()
            s.server_close()


def find_cli(given):
    if given:
        return given
    for candidate in ("build/h-linebench/cli/pagelyst-cli", "build/h-linebench/pagelyst-cli"):
        path = os.path.join(HERE, "..", "..", candidate)
        if os.path.isfile(path):
            return os.path.abspath(path)
    return shutil.which("pagelyst-cli")


def model_run(cli, url, line, home):
    """The JSON of `pagelyst-cli analyze URL --json [--line LINE]`: the page's record."""
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env["PAGELYST_HOME"] = home
    command = [cli, "analyze", url, "--json"] + (["--line", line] if line else [])
    done = subprocess.run(command, capture_output=True, timeout=300, env=env,
                          stdin=subprocess.DEVNULL)
    if done.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}: status {done.returncode}: "
                           f"{done.stderr.decode(errors='replace')[-400:]}")
    document = json.loads(done.stdout)
    for page in document["pages"]:
        if page.get("address") == url or page.get("depth") == 0:
            return page
    return document["pages"][0]


def browser_median(chromium, url, down, up, rtt, runs):
    loads = [cdp.throttled_load(chromium, url, down, up, rtt) for _ in range(runs)]
    return statistics.median(x[0] for x in loads), loads


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
    """Loads the page unthrottled and counts the images the browser could not decode."""
    browser = cdp.Browser(chromium)
    try:
        target = browser.send("Target.createTarget", {"url": url})["targetId"]
        session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        import time
        time.sleep(3)
        expr = ("(() => { const docs = [document, ...Array.from(window.frames).map(f => f.document)];"
                " let n = 0, bad = []; for (const d of docs) for (const i of d.images) { n++;"
                " if (!i.complete || i.naturalWidth === 0) bad.push(i.src); }"
                " const scripts = Object.keys(window).filter(k => k.startsWith('done')).length;"
                " return JSON.stringify({images: n, bad: bad.slice(0, 5), badCount: bad.length, scripts}); })()")
        value = browser.send("Runtime.evaluate", {"expression": expr, "returnByValue": True},
                             session=session)
        return json.loads(value["result"]["value"])
    finally:
        browser.close()


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--cli", help="pagelyst-cli (default build/h-linebench, then PATH)")
    ap.add_argument("--chromium", default=os.environ.get("PAGELYST_CHROMIUM", "chromium"))
    ap.add_argument("--lines", default=",".join(LINES), help="today's lines to run")
    ap.add_argument("--classic", default=",".join(CLASSIC), help="baseline lines to run ('' for none)")
    ap.add_argument("--pages", default="", help="page names to run (default all)")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--jobs", type=int, default=2, help="browser loads at once (each its own browser)")
    ap.add_argument("--floor", action="store_true",
                    help="also load each page unthrottled (the browser's own floor on loopback)")
    ap.add_argument("--check", action="store_true", help="only check every image decodes")
    ap.add_argument("--json", help="write the measured rows to this file")
    args = ap.parse_args()

    chromium = shutil.which(args.chromium)
    if not chromium:
        print("SKIP: Chromium is not installed", file=sys.stderr)
        return 77
    cli = find_cli(args.cli)
    if not args.check and not cli:
        print("pagelyst-cli not found; give --cli", file=sys.stderr)
        return 2
    site = Site()
    home = tempfile.mkdtemp(prefix="pagelyst-linebench-home-")
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

        # Model figures (one unshaped measurement per page and line; the classic figures from
        # the plain run's "times").
        model = {}
        for name, url in entries:
            plain = model_run(cli, url, None, home)
            for line in classic:
                index = CLASSIC[line][0]
                model[(name, line)] = next(t["download"] for t in plain["times"] if t["index"] == index)
            for line in lines:
                page = model_run(cli, url, line, home)
                model[(name, line)] = page["line"]["load"]
            print(f"model: {name} ({plain['elements']} elements, {plain['size']} bytes)", flush=True)

        jobs = []
        for line in lines:
            down, up, rtt = LINES[line]
            jobs += [(name, url, line, down, up, rtt) for name, url in entries]
        for line in classic:
            _, bps, latency = CLASSIC[line]
            jobs += [(name, url, line, bps * 8, bps * 8, latency) for name, url in entries]
        if args.floor:
            jobs += [(name, url, "unthrottled", 0, 0, 0) for name, url in entries]
            for name, _ in entries:
                model[(name, "unthrottled")] = 0
        measured = {}
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            futures = {pool.submit(browser_median, chromium, url, d, u, r, args.runs): (name, line)
                       for name, url, line, d, u, r in jobs}
            for future in concurrent.futures.as_completed(futures):
                name, line = futures[future]
                try:
                    median, loads = future.result()
                except Exception as error:  # noqa: BLE001 - report and go on
                    print(f"browser: {name} on {line}: {error}", flush=True)
                    continue
                measured[(name, line)] = median
                print(f"browser: {name:14} {line:16} median {median:8.0f} ms of "
                      f"{[round(x[0]) for x in loads]} ({loads[0][1]} requests, {loads[0][2]} failed);"
                      f" model {model[(name, line)]} ms", flush=True)

        order = [e[0] for e in entries]
        def rows_for(line_names):
            return [(p, l, model[(p, l)], measured[(p, l)]) for l in line_names for p in order
                    if (p, l) in measured]
        summary("Pagelyst's line model against Chromium throttled to the line", rows_for(lines))
        floor = [(p, measured[(p, "unthrottled")]) for p in order if (p, "unthrottled") in measured]
        if floor:
            print("\nThe browser unthrottled on loopback (its own floor), median ms:")
            for p, v in floor:
                print(f"  {p:16} {v:8.0f}")
        summary("Baseline: the classic four-lane model on its own lines", rows_for(classic))
        if args.json:
            with open(args.json, "w") as out:
                json.dump([{"page": p, "line": l, "model": model[(p, l)], "browser": measured[(p, l)]}
                           for (p, l) in measured], out, indent=1)
        return 0
    finally:
        site.close()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
