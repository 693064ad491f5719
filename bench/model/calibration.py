"""The browser's own time, which no line shows: measured on the calibration page (pages.py)
loaded unshaped, the shaper passing bytes through, as the model's measurement is taken.

- commit: from the document's first byte to the first request it makes, in the network stack.
  The document is small, so the tags have arrived with its first bytes: the rest is the
  browser committing the navigation and starting its parser.
- request: on a connection with requests queued for it, one response's end to the next one's,
  less what the program measured for such a response on the same loopback (its wait and
  receive): the browser's own time per request.

Both are medians over the loads, passed to the model as `--browser-cost COMMIT/REQUEST`."""

import statistics


def commit_of(load):
    document = next((r for r in load.requests if r["type"] == "Document"), None)
    starts = [r["start"] for r in load.requests if r is not document and "start" in r]
    if document is None or "first" not in document or not starts:
        return None
    return max(0.0, min(starts) - document["first"])


def cycles_of(load):
    """Per connection, the gaps between consecutive ends where the later request was already
    waiting in the network stack when the earlier one ended."""
    by_connection = {}
    for r in load.requests:
        if r["type"] != "Document" and r.get("connection") is not None and "start" in r:
            by_connection.setdefault(r["connection"], []).append(r)
    gaps = []
    for group in by_connection.values():
        group.sort(key=lambda r: r["end"])
        gaps += [b["end"] - a["end"] for a, b in zip(group, group[1:]) if b["start"] <= a["end"]]
    return gaps


def measured_response_ms(har):
    """The median wait plus receive the program measured for the page's elements."""
    entries = har["log"]["entries"][1:]
    times = [max(0, e["timings"]["wait"]) + max(0, e["timings"]["receive"]) for e in entries]
    return statistics.median(times) if times else 0.0


def browser_cost(loads, har):
    """(commit ms, request ms) from the browser's unshaped loads of the calibration page and the
    program's HAR of the same page."""
    commits = [c for c in map(commit_of, loads) if c is not None]
    gaps = [g for load in loads for g in cycles_of(load)]
    if not commits or not gaps:
        raise RuntimeError("the calibration page's loads show no commit or no queued request")
    request = max(0.0, statistics.median(gaps) - measured_response_ms(har))
    return statistics.median(commits), request
