#!/usr/bin/env python3
"""A hostile page's title and image address must reach the page analysis report as text.

Loopback pages whose title is a script and whose image address closes its attribute and opens
an <img onerror=...> are analysed with `pagelyst-cli analyze URL --analysis FILE`. FILE must
not hold a payload raw, and opened in headless Chromium it must run no script (the payloads
mark the document element with data-pwned-* attributes) while showing the title as text.

Two pages: "/" writes its title with character references, the way a page states the title
"<script>alert(1)</script>", and must show exactly that title; "/raw.html" writes the tags
into the TITLE element as they are, which the page scanner may read differently, so only
the absence of markup and script is checked there.

    xss_check.py --cli PAGELYST_CLI --out FOLDER

Exit status: 0 passed, 1 failed, 2 usage, 77 Chromium missing.
"""

import argparse
import html
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser_support as support  # noqa: E402

TITLE_ALERT = "<script>alert(1)</script>"
TITLE_MARK = "<script>document.documentElement.dataset.pwnedTitle=1</script>"
# Quotes and ">" stay raw in the page's source: the report must escape them itself.
TITLE = TITLE_ALERT + TITLE_MARK + " \"quoted\" 'single' > & done"
ENCODED_TITLE = html.escape(TITLE_ALERT + TITLE_MARK) + " \"quoted\" 'single' > &amp; done"
# Single-quoted in the page so that the double quote can close the report's attribute.
IMAGE_PAYLOAD = '"><img src=x onerror=alert(2)>'
IMAGE_MARK = '"><img src=x onerror=document.documentElement.dataset.pwnedImage=2>'
IMAGE_ADDRESS = "pixel.gif?a=" + IMAGE_PAYLOAD + "&b=" + IMAGE_MARK

# A 1x1 transparent GIF.
PIXEL = bytes.fromhex(
    "47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b")


def page(title):
    return f"""<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>{title}</title></head>
<body>
<p>A page whose title and image address carry markup.</p>
<img src='{IMAGE_ADDRESS}' alt="pixel">
</body>
</html>
""".encode()


PAGES = {
    "/": page(ENCODED_TITLE),
    "/raw.html": page(TITLE_ALERT + TITLE_MARK),
}

# The payloads placed raw into a page: proves that the browser run notices script that runs
# (the dialog-free markers only, since alert() would hold the page open).
CONTROL = f"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>control</title></head>
<body><p>{TITLE_MARK}</p><p><img src="x{IMAGE_MARK}</p></body></html>
"""

# As text the payloads are harmless; any of these in the file would be markup.
RAW_NEEDLES = ["<script", "<img src=x", "<img%20src=x"]


def serve(path, _request):
    if path in PAGES:
        return 200, {"Content-Type": "text/html; charset=utf-8"}, PAGES[path]
    if path == "/pixel.gif":
        return 200, {"Content-Type": "image/gif"}, PIXEL
    return 404, {"Content-Type": "text/plain"}, b"not found\n"


def pwned_markers(dom):
    return sorted({name for _, attrs in dom.elements for name in attrs
                   if name.startswith("data-pwned")})


def title_shown(dom):
    """The text of the cell after the "Title:" cell of the basic information table."""
    for rows in dom.tables:
        for _css, cells in rows:
            for i, cell in enumerate(cells[:-1]):
                if cell.strip() == "Title:":
                    return cells[i + 1].strip()
    return None


def check_report(chromium, report, name, exact_title):
    problems = []
    raw = open(report, "rb").read().decode("utf-8", "replace")
    if "General Web Page Analysis Report" not in raw:
        problems.append("the file is not the General Web Page Analysis Report")
    for needle in RAW_NEEDLES:
        at = raw.lower().find(needle.lower())
        if at >= 0:
            problems.append(f"the report holds {needle!r} unescaped: "
                            f"...{raw[max(0, at - 80):at + 80]!r}...")

    dom_text, error = chromium.dump_dom(support.file_url(report))
    if error:
        return problems + [f"opening the report: {error} (a dialog opened by injected "
                           "script keeps the page from finishing)"]
    with open(report[:-len(".html")] + ".dom.html", "w", encoding="utf-8") as f:
        f.write(dom_text)
    dom = support.Dom(dom_text)
    markers = pwned_markers(dom)
    if markers:
        problems.append(f"script from the page ran in the report (markers {markers})")
    scripts = [attrs for tag, attrs in dom.elements if tag == "script"]
    if scripts:
        problems.append(f"the report's DOM has {len(scripts)} script element(s)")
    handlers = [(tag, attr) for tag, attrs in dom.elements for attr in attrs
                if attr.startswith("on")]
    if handlers:
        problems.append(f"the report's DOM has event handler attributes: {handlers}")

    shown = title_shown(dom)
    print(f"  {name}: title shown as {shown!r}")
    if shown is None:
        problems.append("the report has no Title row")
    elif exact_title and shown != TITLE:
        problems.append(f"the title shows as {shown!r}, not {TITLE!r}")

    # The address is shown as the transfer sent it: spaces as %20, and quotes and angle
    # brackets either as typed (escaped in the HTML) or percent-encoded as a browser does.
    spaced = IMAGE_PAYLOAD.replace(" ", "%20")
    encoded = spaced.replace('"', "%22").replace(">", "%3E").replace("<", "%3C")
    if "pixel.gif" not in dom.text:
        problems.append("the image element is missing from the report")
    elif not any(form in dom.text for form in (IMAGE_PAYLOAD, spaced, encoded)):
        problems.append(f"the image address is not shown as text ({encoded!r} missing)")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="the pagelyst-cli executable")
    parser.add_argument("--out", required=True, help="folder for the reports and their DOMs")
    args = parser.parse_args()

    chromium = support.Chromium(support.temp_dir("pagelyst-xss-"))
    os.makedirs(args.out, exist_ok=True)

    control = os.path.join(args.out, "control.html")
    with open(control, "w", encoding="utf-8") as f:
        f.write(CONTROL)
    dom_text, error = chromium.dump_dom(support.file_url(control))
    if error:
        support.fail(f"control page: {error}")
    if pwned_markers(support.Dom(dom_text)) != ["data-pwned-image", "data-pwned-title"]:
        support.fail("the browser run does not notice script in a page: the control page's "
                     "markers are missing from its DOM")
    print("control page: both injected scripts ran and were noticed")

    home = support.temp_dir("pagelyst-xss-home-")
    failed = False
    with support.LoopbackServer(serve) as server:
        for path, name, exact in (("/", "analysis", True), ("/raw.html", "analysis-raw", False)):
            report = os.path.join(args.out, name + ".html")
            if os.path.exists(report):
                os.remove(report)
            url = f"http://127.0.0.1:{server.port}{path}"
            done = support.run_cli(args.cli,
                                   ["analyze", url, "--no-proxy", "--analysis", report], home)
            if done.returncode != 0:
                problems = [f"pagelyst-cli {support.cli_failure(done)}"]
            elif not os.path.isfile(report):
                problems = [f"pagelyst-cli wrote no analysis report to {report}"]
            else:
                problems = check_report(chromium, report, name, exact)
            for p in problems:
                print(f"FAIL: {url}: {p}", file=sys.stderr)
            if problems:
                failed = True
                print(f"report kept at {report}", file=sys.stderr)

    if failed:
        return 1
    print(f"passed: the reports in {args.out} show both payloads as text and run no script")
    return 0


if __name__ == "__main__":
    sys.exit(main())
