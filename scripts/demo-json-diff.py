#!/usr/bin/env python3
"""Compares two `pagelyst-cli demo --json` outputs with what depends on the clock or the port
taken out: the loopback port, every measured or modelled time, and a page's class
with its analysis text (an element slower than the rule's share makes a page Bad or Critical on
one run and Perfect on the next, and the text follows the class). Exit status 0 when the rest is identical."""
import json
import re
import sys

TIME_KEYS = {"connect", "send", "wait", "receive", "total", "browse", "download", "page"}


def scrub_text(text):
    text = re.sub(r"127\.0\.0\.1:\d+|localhost:\d+", "HOST", text)
    return text


def scrub(value):
    if isinstance(value, dict) and "analysis" in value:
        value = dict(value, analysis="TIMED", **{"class": "TIMED", "classValue": "TIMED"})
    if isinstance(value, dict):
        return {k: ("T" if k in TIME_KEYS else scrub(v)) for k, v in value.items()}
    if isinstance(value, list):
        return [scrub(v) for v in value]
    if isinstance(value, str):
        return scrub_text(value)
    return value


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: demo-json-diff.py BEFORE.json AFTER.json")
    sides = []
    for path in sys.argv[1:]:
        with open(path, encoding="utf-8") as f:
            sides.append(json.dumps(scrub(json.load(f)), indent=1, sort_keys=True).splitlines())
    if sides[0] == sides[1]:
        print("identical, times and port aside")
        return 0
    import difflib
    sys.stdout.writelines(l + "\n" for l in difflib.unified_diff(*sides, lineterm=""))
    return 1


if __name__ == "__main__":
    sys.exit(main())
