#!/usr/bin/env bash
# Wall time and peak memory of pagelyst-cli crawling a generated loopback site of 1,111 linked
# pages (pages 0 to 110 link to ten pages each, every page shows two images), with a page limit
# of 1,000, served statically by Python's threading HTTP server. Also checks the counts: 1,000
# pages started, four levels reached, 1,111 pages in the tree.
#   bench/cli/crawl-site.sh [path/to/pagelyst-cli]   (default: build/release/cli/pagelyst-cli)
set -euo pipefail
cli=${1:-build/release/cli/pagelyst-cli}
site=$(mktemp -d)
home=$(mktemp -d)
trap 'kill $server 2>/dev/null || true; rm -rf "$site" "$home"' EXIT

mkdir -p "$site/p" "$site/img"
printf 'GIF89a' >"$site/img/shared.gif"
for n in $(seq 0 1110); do
    printf 'GIF89a' >"$site/img/$n.gif"
    {
        printf '<html><head><title>Page %d</title></head><body>' "$n"
        printf '<img src="/img/shared.gif"><img src="/img/%d.gif"><a href="/p/0.html">home</a>' "$n"
        if ((n <= 110)); then
            for c in $(seq 1 10); do printf '<a href="/p/%d.html">%d</a>' $((10 * n + c)) $c; done
        fi
        printf '</body></html>'
    } >"$site/p/$n.html"
done

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do curl -sf "http://127.0.0.1:$port/p/0.html" >/dev/null && break; sleep 0.1; done

export PAGELYST_HOME=$home
/usr/bin/time -f '%e %M' -o "$home/time" "$cli" analyze "http://127.0.0.1:$port/p/0.html" \
    --crawl --levels 5 --pages 1000 --no-proxy --json >"$home/out.json" || true
read -r wall rss <"$home/time"
python3 - "$home/out.json" "$wall" "$rss" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
pages = doc["pages"]
loaded = [p for p in pages if p["state"] != "Ready"]
levels = max(p["depth"] for p in loaded) + 1
print(f"pages in tree {len(pages)}, started {len(loaded)}, levels reached {levels}")
print(f"wall {float(sys.argv[2]):.2f} s, peak resident {int(sys.argv[3]) / 1024:.1f} MiB")
ok = len(pages) == 1111 and len(loaded) == 1001 and levels == 4
sys.exit(0 if ok else 1)
PY
