#!/usr/bin/env python3
"""The reports over the demo site's home page, rendered by headless Chromium.

The demo site's files (cli/demo/site) are served on a loopback port the way `pagelyst-cli
demo` serves them: "{{HOME_ORIGIN}}" and "{{PARTNER_ORIGIN}}" in the HTML files become
http://127.0.0.1:PORT and http://localhost:PORT, images/redirect.gif answers 302 to
images/moved.gif, images/slow.gif answers after 800 ms and unknown paths 404. For each report
`pagelyst-cli analyze HOME --report ID --html FILE` writes the export; Chromium takes a
screenshot of it into the output folder, and its DOM must hold no "Query Error" and no
"No data", and every table at least one data row.

    reports_check.py --cli PAGELYST_CLI --site cli/demo/site --out FOLDER [--report ID ...]

Without --report: the consolidated (1) and page analysis (2) reports and the seven stored
ones (101 to 107). Exit status: 0 passed, 1 failed, 2 usage, 77 Chromium missing.
"""

import argparse
import os
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser_support as support  # noqa: E402

DEFAULT_REPORTS = ["1", "2", "101", "102", "103", "104", "105", "106", "107"]
SLOW_DELAY = 0.8
NOT_FOUND = (b'<!DOCTYPE html>\n<html lang="en">\n<head><meta charset="utf-8">'
             b"<title>Not found</title></head>\n<body><h1>Not found</h1>\n"
             b"<p>The demo site has no such file. This answer is part of the demonstration.</p>\n"
             b"</body>\n</html>\n")
# Texts a report shows in place of content it could not produce.
ERROR_TEXTS = ["Query Error", "No data", "Report not available", "Report Not Available"]


def content_type(path):
    for suffix, kind in ((".html", "text/html; charset=utf-8"), (".css", "text/css; charset=utf-8"),
                         (".js", "text/javascript; charset=utf-8"), (".gif", "image/gif"),
                         (".jpg", "image/jpeg")):
        if path.endswith(suffix):
            return kind
    return "application/octet-stream"


def load_site(folder, port):
    home = f"http://127.0.0.1:{port}"
    partner = f"http://localhost:{port}"
    files = {}
    for root, _dirs, names in os.walk(folder):
        for name in names:
            full = os.path.join(root, name)
            relative = os.path.relpath(full, folder).replace(os.sep, "/")
            data = open(full, "rb").read()
            if relative.endswith(".html"):
                data = data.replace(b"{{HOME_ORIGIN}}", home.encode())
                data = data.replace(b"{{PARTNER_ORIGIN}}", partner.encode())
            files[relative] = data
    return files


def demo_handler(files_holder):
    def handle(path, _request):
        files = files_holder[0]
        if path == "/images/redirect.gif":
            return 302, {"Location": "/images/moved.gif"}, b""
        if path == "/images/slow.gif":
            time.sleep(SLOW_DELAY)
        name = path.lstrip("/") or "index.html"
        if name not in files:
            return 404, {"Content-Type": content_type(".html")}, NOT_FOUND
        return 200, {"Content-Type": content_type(name)}, files[name]

    return handle


def table_problems(dom):
    problems = []
    for index, rows in enumerate(dom.tables, 1):
        data_rows = [cells for css, cells in rows if "header" not in css.lower()]
        if not data_rows:
            heading = " | ".join(rows[0][1]) if rows else "no rows at all"
            problems.append(f"table {index} has no data row ({heading})")
    return problems


def check_report(cli, chromium, report, url, out, home):
    """The problems of one report (an empty list when it passed)."""
    safe = report.replace("/", "_").replace(" ", "_")
    html_path = os.path.join(out, f"report-{safe}.html")
    png_path = os.path.join(out, f"report-{safe}.png")
    if os.path.exists(html_path):
        os.remove(html_path)
    done = support.run_cli(cli, ["analyze", url, "--no-proxy", "--report", report,
                                 "--html", html_path], home)
    # 3: the home page ends as "Child Error", since one of its images answers 404 on purpose.
    if done.returncode not in (0, 3):
        return [f"pagelyst-cli {support.cli_failure(done)}"]
    if not os.path.isfile(html_path) or os.path.getsize(html_path) == 0:
        return [f"pagelyst-cli wrote no report to {html_path}"]

    problems = []
    dom_text, error = chromium.dump_dom(support.file_url(html_path))
    if error:
        return [error]
    with open(os.path.join(out, f"report-{safe}.dom.html"), "w", encoding="utf-8") as f:
        f.write(dom_text)
    dom = support.Dom(dom_text)
    for text in ERROR_TEXTS:
        if text in dom.text:
            problems.append(f"the page shows {text!r}")
    if not dom.tables:
        problems.append("the page has no table")
    problems += table_problems(dom)

    error = chromium.screenshot(support.file_url(html_path), png_path)
    if error:
        problems.append(error)
    else:
        with open(png_path, "rb") as f:
            head = f.read(24)
        if head[:8] != b"\x89PNG\r\n\x1a\n":
            problems.append(f"{png_path} is not a PNG file")
        else:
            print(f"  screenshot {png_path} ({int.from_bytes(head[16:20], 'big')}x"
                  f"{int.from_bytes(head[20:24], 'big')}, {os.path.getsize(png_path)} bytes), "
                  f"{len(dom.tables)} table(s)")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="the pagelyst-cli executable")
    parser.add_argument("--site", required=True, help="the demo site's folder (cli/demo/site)")
    parser.add_argument("--out", required=True, help="folder for the reports and screenshots")
    parser.add_argument("--report", action="append", help="a report id or name (repeatable)")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.site, "index.html")):
        print(f"reports_check: {args.site} holds no index.html", file=sys.stderr)
        return 2

    chromium = support.Chromium(support.temp_dir("pagelyst-reports-"))
    os.makedirs(args.out, exist_ok=True)
    home = support.temp_dir("pagelyst-reports-home-")
    failures = {}
    files_holder = [None]
    with support.LoopbackServer(demo_handler(files_holder)) as server:
        files_holder[0] = load_site(args.site, server.port)
        url = f"http://127.0.0.1:{server.port}/"
        for report in args.report or DEFAULT_REPORTS:
            print(f"report {report}:")
            problems = check_report(args.cli, chromium, report, url, args.out, home)
            for p in problems:
                print(f"  FAIL: {p}", file=sys.stderr)
            if problems:
                failures[report] = problems

    if failures:
        print(f"failed reports: {', '.join(failures)} (files in {args.out})", file=sys.stderr)
        return 1
    print(f"passed: every report rendered with data; screenshots in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
