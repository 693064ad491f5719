#!/usr/bin/env bash
# The HAR of a crawl against the server's own record: a generated 13-page site on nginx, every
# response throttled (LIMIT_RATE, 200k by default), crawled with `pagelyst-cli --crawl --har`.
# nginx logs each request with the moment it ended and how long it took, so its start is known
# to the millisecond; the script prints both sequences side by side and checks that the HAR's
# entries start in increasing order and in the order the requests reached the server.
#     bench/cli/har-order.sh [pagelyst-cli]
# Needs nginx and python3. Exit status 1 when the orders disagree.
set -uo pipefail
cli=$(realpath "${1:-build/dev/cli/pagelyst-cli}")
rate=${LIMIT_RATE:-200k}
work=$(mktemp -d)
trap 'kill $(cat "$work/nginx.pid" 2>/dev/null) 2>/dev/null || true; rm -rf "$work"' EXIT
site=$work/site
mkdir -p "$site/p" "$site/e" "$work/home" "$work/tmp"

# Page n links to 3n+1 .. 3n+3 and shows three elements of its own and one of page 0's.
head -c 6000 /dev/zero | tr '\0' 'x' >"$work/blob"
for n in $(seq 0 12); do
    {
        printf '<html><head><title>Page %d</title><link rel="stylesheet" href="/e/%d.css">' "$n" "$n"
        printf '</head><body><img src="/e/%d-a.gif"><img src="/e/%d-b.gif"><img src="/e/0-a.gif">' \
            "$n" "$n"
        for c in 1 2 3; do
            child=$((3 * n + c))
            ((child < 13)) && printf '<a href="/p/%d.html">%d</a>' "$child" "$child"
        done
        printf '</body></html>'
    } >"$site/p/$n.html"
    cp "$work/blob" "$site/e/$n.css"
    for k in a b; do { printf 'GIF89a'; cat "$work/blob"; } >"$site/e/$n-$k.gif"; done
done

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
chmod -R a+rX "$work"
cat >"$work/nginx.conf" <<CONF
daemon on;
pid $work/nginx.pid;
error_log $work/error.log;
worker_processes 1;
events { worker_connections 256; }
http {
    include /etc/nginx/mime.types;
    log_format timed '\$msec \$request_time \$request_uri';
    access_log $work/access.log timed;
    client_body_temp_path $work/tmp; proxy_temp_path $work/tmp; fastcgi_temp_path $work/tmp;
    uwsgi_temp_path $work/tmp; scgi_temp_path $work/tmp;
    keepalive_timeout 30; keepalive_requests 10000;
    server {
        listen 127.0.0.1:$port;
        root $site;
        limit_rate $rate;
        sendfile on; sendfile_max_chunk 4k;
    }
}
CONF
chmod a+rwx "$work"
nginx -c "$work/nginx.conf" -e "$work/error.log" 2>/dev/null || nginx -c "$work/nginx.conf"
for _ in $(seq 50); do [ -s "$work/nginx.pid" ] && break; sleep 0.1; done
sleep 0.3
base=http://127.0.0.1:$port
PAGELYST_HOME=$work/home "$cli" analyze "$base/p/0.html" --crawl --har "$work/crawl.har" \
    >/dev/null 2>"$work/cli.err"
echo "pagelyst-cli exit status $?; nginx on $base, limit_rate $rate"
sleep 0.5  # nginx writes its log line when the response is out
python3 - "$work/crawl.har" "$work/access.log" <<'PY'
import json, sys
from datetime import datetime, timezone
har = json.load(open(sys.argv[1]))["log"]
entries = []
for e in har["entries"]:
    t = datetime.strptime(e["startedDateTime"], "%Y-%m-%dT%H:%M:%S.%fZ").replace(tzinfo=timezone.utc)
    path = e["request"]["url"].split("/", 3)[3]
    entries.append(("/" + path, t.timestamp()))
log = []
for line in open(sys.argv[2]):
    end, took, uri = line.split()
    log.append((uri, float(end) - float(took)))
log.sort(key=lambda r: r[1])
print(f"{len(entries)} HAR entries, {len(log)} requests in the nginx log, {len(har['pages'])} pages")
increasing = all(a[1] <= b[1] for a, b in zip(entries, entries[1:]))
print("HAR start times increase:", "yes" if increasing else "NO")
server_start = {uri: start for uri, start in log}
# Requests that reached the server within the same millisecond have no order to agree on.
disorders = 0
for (a, ta), (b, tb) in zip(entries, entries[1:]):
    if server_start[b] + 0.0015 < server_start[a]:
        disorders += 1
        print(f"  out of server order: {a} before {b}")
print("HAR order agrees with the nginx log:", "yes" if disorders == 0 else f"NO ({disorders})")
gaps = [abs(t - server_start[u]) * 1000 for u, t in entries]
print(f"HAR start minus nginx start: max {max(gaps):.1f} ms, median {sorted(gaps)[len(gaps)//2]:.1f} ms")
print(f"{'#':>3}  {'HAR startedDateTime':26} {'nginx start (s)':>17}  path")
for i, (u, t) in enumerate(entries):
    print(f"{i:3}  {datetime.fromtimestamp(t, timezone.utc).isoformat(timespec='milliseconds'):26} "
          f"{server_start[u]:17.3f}  {u}")
sys.exit(0 if increasing and disorders == 0 and len(entries) == len(log) else 1)
PY
