"""The model bench's page set: fifteen pages of the shapes the web has, built in memory as valid
files of their type (a browser stops fetching an image it cannot decode, and the bench would
then measure nothing), and the demo site's own pages read from cli/demo/site.

Where the numbers come from: the public HTTP Archive's page-weight medians as its yearly Web
Almanac states them in words (the median page of recent years: about 2 MB in some 70 requests,
roughly half of it images in 20 to 40 files of a few tens of KB each, 400 to 600 KB of script
in 20 or so files, 60 to 80 KB of style sheets in 5 to 7 files, an HTML document of 20 to 35 KB,
icons of 1 to 2 KB). Each page below takes one of those shapes with the medians' element sizes
and counts, and a total of a fifth to a quarter of the median page's bytes, so that the slow
lines finish in minutes: the pages together hold about 4.3 MB.

pages(port) -> (site, entries): site maps "host:port/path" to a Response; entries lists
(name, url) of the pages the bench loads. CLASSIC_PAGES names the six the baseline loads.
"""

import os
import struct
import zlib

# The page set's host names, each a loopback address of its own so that the shaper can tell
# them apart (and the browser opens a pool of connections per name): three for http, one for
# https.
HOSTS = ("127.0.0.1", "127.0.0.2", "127.0.0.3")
SECURE_HOST = "127.0.0.4"
KB = 1024
DEMO_SITE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cli", "demo",
                         "site")
# A document is answered after this many milliseconds (a page the server builds), any other
# file at once (a static file).
DOCUMENT_DELAY_MS = 30


class Response:
    def __init__(self, kind, body, delay_ms=0, status=200, location=None):
        self.kind, self.body, self.delay_ms = kind, body, delay_ms
        self.status, self.location = status, location


# ---- images ---------------------------------------------------------------------------------

def gif(size, width=16, height=16, seed=0):
    """A GIF89a of width x height pixels in one colour, padded with comment extension blocks to
    `size` bytes (at least about 60)."""
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0)  # 2-colour global table
    palette = bytes([seed % 256, (seed * 7) % 256, (seed * 13) % 256, 255, 255, 255])
    # Image: LZW minimum code size 2; the data is clear, then index 0 for every pixel coded
    # simply as 3-bit codes with a clear code often enough that the width never grows.
    pixels = width * height
    codes = []
    clear, end = 4, 5
    run = 0
    for _ in range(pixels):
        if run == 0:
            codes.append(clear)
        codes.append(0)
        run += 1
        if run == 2:  # after a clear, two literals keep the next code below 8 (3 bits)
            run = 0
    codes.append(end)
    bits = 0
    nbits = 0
    data = bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 3
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02"
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        image += bytes([len(chunk)]) + bytes(chunk)
    image += b"\x00"
    body = head + palette + image
    pad = size - len(body) - 1  # the trailer
    comment = b""
    if pad >= 3:
        comment = b"\x21\xfe"
        left = pad - 3  # introducer, label and the block terminator
        while left > 0:
            n = min(255, left - 1) if left > 1 else 0
            if n <= 0:
                break
            comment += bytes([n]) + b"p" * n
            left -= n + 1
        comment += b"\x00"
    return body + comment + b"\x3b"


def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(
        ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(size, width=32, height=32, seed=0):
    """An RGB PNG of width x height pixels (a gradient), padded with a tEXt chunk to `size`."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows += bytes([(x * 8 + seed) % 256, (y * 8) % 256, (seed * 31) % 256])
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    body = (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr)
            + _png_chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
    end = _png_chunk(b"IEND", b"")
    pad = size - len(body) - len(end) - 12 - len(b"Comment\x00")
    text = _png_chunk(b"tEXt", b"Comment\x00" + b"p" * max(0, pad)) if pad > 0 else b""
    return body + text + end


def jpeg(size, width=320, height=240, seed=0):
    """A baseline grayscale JPEG of width x height pixels (multiples of 8), one flat grey, padded
    with comment (COM) segments to `size` bytes. Both Huffman tables hold a single code of one
    bit: DC difference category 0 and the AC end of block."""
    assert width % 8 == 0 and height % 8 == 0

    def segment(marker, data):
        return bytes([0xFF, marker]) + struct.pack(">H", len(data) + 2) + data

    out = b"\xff\xd8"
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment(0xDB, b"\x00" + bytes([1 + seed % 4] * 64))
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    # DHT class 0 (DC) id 0 and class 1 (AC) id 0: one code of length 1 for symbol 0.
    counts = b"\x01" + b"\x00" * 15
    out += segment(0xC4, b"\x00" + counts + b"\x00" + b"\x10" + counts + b"\x00")
    scan_header = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    blocks = (width // 8) * (height // 8)
    bits = 2 * blocks  # per block: DC category 0 ("0"), then EOB ("0")
    nbytes = (bits + 7) // 8
    data = bytearray(nbytes)  # all zero bits ...
    rest = nbytes * 8 - bits
    if rest:
        data[-1] |= (1 << rest) - 1  # ... padded with ones as the standard asks
    tail = scan_header + bytes(data) + b"\xff\xd9"
    pad = size - len(out) - len(tail)
    while pad > 4:
        n = min(pad - 4, 65533)
        if pad - 4 - n in (1, 2, 3):  # leave no remainder too small for another segment
            n -= 4
        out += segment(0xFE, b"p" * n)
        pad -= n + 4
    return out + tail


# ---- text -----------------------------------------------------------------------------------

def script(size, seed=0):
    lines = []
    total = 0
    i = 0
    while total < size:
        line = (f"function f{seed}_{i}(a,b){{var s=0;for(var k=0;k<a;k++){{s+=k*{i % 97}+b;}}"
                f"return s;}}\n")
        lines.append(line)
        total += len(line)
        i += 1
    text = "".join(lines)[:max(0, size - 40)]
    text = text[:text.rfind("\n") + 1]
    text += f"var done{seed}=true;\n"
    return (text + "/*" + "x" * max(0, size - len(text) - 5) + "*/\n").encode()


def style(size, seed=0):
    out = []
    total = 0
    i = 0
    while total < size:
        rule = (f".s{seed}-{i}{{margin:{i % 9}px;padding:{i % 7}px;color:#{(i * 2654435761) % 0xFFFFFF:06x}}}\n")
        out.append(rule)
        total += len(rule)
        i += 1
    text = "".join(out)
    text = text[:text.rfind("}", 0, max(1, size - 8)) + 1] + "\n"
    return (text + "/*" + "x" * max(0, size - len(text) - 5) + "*/\n").encode()


def paragraphs(size, seed=0):
    words = ("line model bandwidth round trip browser page element frame image script style "
             "connection transfer latency measure slow start window segment server").split()
    out = []
    total = 0
    i = seed
    while total < size:
        sentence = " ".join(words[(i * 7 + k) % len(words)] for k in range(14))
        p = f"<p>{sentence.capitalize()}. {sentence}.</p>\n"
        out.append(p)
        total += len(p)
        i += 1
    return "".join(out)


def html(head, body, size):
    doc = f"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>bench</title>{head}</head><body>\n{body}"
    pad = size - len(doc) - len("</body></html>\n")
    if pad > 0:
        doc += paragraphs(pad)
    return (doc + "</body></html>\n").encode()




# ---- the page set ---------------------------------------------------------------------------

# The pages the classic model's baseline loads: the six shapes its own bench had.
CLASSIC_PAGES = ("home+scripts", "gallery", "long article", "150 icons", "two frames",
                 "large image")

DEMO_TYPES = {".html": "text/html", ".css": "text/css", ".js": "application/javascript",
              ".gif": "image/gif", ".jpg": "image/jpeg", ".bin": "application/octet-stream"}


def pages(port):
    site = {}
    origin = {h: f"http://{h}:{port}" for h in HOSTS}
    origin[SECURE_HOST] = f"https://{SECURE_HOST}:{port}"
    main = origin[HOSTS[0]]
    entries = []

    def put(path, kind, body, host=HOSTS[0], delay_ms=None):
        if delay_ms is None:
            delay_ms = DOCUMENT_DELAY_MS if kind == "text/html" else 0
        site[f"{host}:{port}{path}"] = Response(kind, body, delay_ms)
        return f"{origin[host]}{path}" if host != HOSTS[0] else path

    def css(path, size, seed, host=HOSTS[0]):
        return f'<link rel="stylesheet" href="{put(path, "text/css", style(size * KB, seed), host)}">'

    def js(path, size, seed, host=HOSTS[0]):
        return (f'<script src="{put(path, "application/javascript", script(size * KB, seed), host)}">'
                "</script>")

    def img(path, size, seed, width=16, height=16, host=HOSTS[0]):
        if path.endswith(".jpg"):
            body, kind = jpeg(size * KB, width, height, seed), "image/jpeg"
        elif path.endswith(".png"):
            body, kind = png(size * KB, width, height, seed), "image/png"
        else:
            body, kind = gif(int(size * KB), width, height, seed), "image/gif"
        return f'<img src="{put(path, kind, body, host)}" alt="">'

    # A small business's home page: a style sheet, a library and the site's script, a logo,
    # a hero picture, five pictures of its work and four small icons.
    h = css("/biz/site.css", 20, 1) + js("/biz/lib.js", 45, 1) + js("/biz/site.js", 15, 2)
    b = img("/biz/logo.png", 6, 1, 120, 40) + img("/biz/hero.jpg", 90, 1, 960, 400)
    b += "".join(img(f"/biz/work{i}.jpg", 25, i, 320, 240) + paragraphs(600, i) for i in range(5))
    b += "".join(img(f"/biz/icon{i}.gif", 1, i) for i in range(4))
    put("/biz/index.html", "text/html", html(h, b, 15 * KB))
    entries.append(("business home", f"{main}/biz/index.html"))

    # A home page with large scripts: the median's script weight in three blocking scripts of
    # the head, one style sheet, a hero image and a few pictures.
    h = css("/home/site.css", 40, 1) + "".join(
        js(f"/home/{n}.js", s, i) for i, (n, s) in enumerate((("framework", 150), ("app", 80),
                                                              ("analytics", 30))))
    b = img("/home/hero.jpg", 80, 1, 960, 400)
    b += "".join(img(f"/home/p{i}.png", 15, i, 48, 48) + paragraphs(1500, i) for i in range(6))
    put("/home/index.html", "text/html", html(h, b, 30 * KB))
    entries.append(("home+scripts", f"{main}/home/index.html"))

    # An image gallery: twenty-four photographs of the median image's weight.
    b = "".join(f'<a href="#">{img(f"/gallery/photo{i}.jpg", 22, i, 320, 240)}</a>\n'
                for i in range(24))
    put("/gallery/index.html", "text/html", html(css("/gallery/g.css", 15, 2), b, 12 * KB))
    entries.append(("gallery", f"{main}/gallery/index.html"))

    # A long article: a large document whose pictures are referred to far down it.
    b = ""
    for i in range(4):
        b += paragraphs(25 * KB, i * 3)
        b += f'<figure>{img(f"/article/fig{i}.jpg", 45, i, 640, 400)}</figure>\n'
    put("/article/index.html", "text/html",
        html(css("/article/a.css", 30, 3) + js("/article/a.js", 50, 3), b, 120 * KB))
    entries.append(("long article", f"{main}/article/index.html"))

    # 150 icons of 1 to 2 KB.
    b = "".join(img(f"/icons/i{i}.gif", 1 + (i % 5) * 0.2, i) for i in range(150))
    put("/icons/index.html", "text/html", html("", b, 12 * KB))
    entries.append(("150 icons", f"{main}/icons/index.html"))

    # Two frames, each a document with its style sheet and pictures.
    for f in ("left", "right"):
        b = "".join(img(f"/frames/{f}{i}.png", 18, i, 40, 40) + "\n" for i in range(5))
        put(f"/frames/{f}.html", "text/html", html(css(f"/frames/{f}.css", 10, 5), b, 15 * KB))
    frameset = ('<!DOCTYPE html>\n<html><head><title>frames</title></head>'
                '<frameset cols="30%,70%"><frame src="left.html"><frame src="right.html">'
                '</frameset></html>\n')
    put("/frames/index.html", "text/html", frameset.encode())
    entries.append(("two frames", f"{main}/frames/index.html"))

    # One large image: a photograph of 500 KB on a small page.
    put("/big/index.html", "text/html", html("", img("/big/photo.jpg", 500, 6, 2048, 1536), 5 * KB))
    entries.append(("large image", f"{main}/big/index.html"))

    # A page over three host names: the document and a third of the pictures on the first,
    # the script and a third on the second, the style sheet and a third on the third.
    h = css("/hosts/h.css", 25, 7, HOSTS[2]) + js("/hosts/h.js", 80, 7, HOSTS[1])
    b = "".join(img(f"/hosts/img{i}.jpg", 14, i, 240, 160, HOSTS[i % 3]) + "\n" for i in range(21))
    put("/hosts/index.html", "text/html", html(h, b, 20 * KB))
    entries.append(("three hosts", f"{main}/hosts/index.html"))

    # A page of 150 elements: 8 style sheets, 22 scripts and 120 small images (the request
    # counts of the heavy end).
    h = "".join(css(f"/many/s{i}.css", 6, 80 + i) for i in range(8))
    h += "".join(js(f"/many/j{i}.js", 9, 80 + i) for i in range(22))
    b = "".join(img(f"/many/m{i}.png", 2, i, 24, 24) + "\n" for i in range(120))
    put("/many/index.html", "text/html", html(h, b, 30 * KB))
    entries.append(("150 elements", f"{main}/many/index.html"))

    # A shop over https: a style sheet, two scripts and ten product pictures.
    s = SECURE_HOST
    h = css("/shop/shop.css", 30, 9, s) + js("/shop/vendor.js", 60, 9, s) + js("/shop/shop.js", 25, 10, s)
    b = "".join(img(f"/shop/item{i}.jpg", 20, i, 240, 240, s) + paragraphs(400, i) for i in range(10))
    put("/shop/index.html", "text/html", html(h, b, 25 * KB), s)
    entries.append(("https shop", f"{origin[s]}/shop/index.html"))

    # The demo site's pages as the program's own demo serves them: its files, its answer
    # delays (60 ms for a page, 30 ms for any other file, 800 ms for its slow image), its
    # redirect and its missing image.
    for root, _, names in os.walk(DEMO_SITE):
        for name in names:
            full = os.path.join(root, name)
            path = "/demo/" + os.path.relpath(full, DEMO_SITE).replace(os.sep, "/")
            with open(full, "rb") as f:
                body = f.read()
            kind = DEMO_TYPES.get(os.path.splitext(name)[1], "application/octet-stream")
            if kind == "text/html":
                body = (body.replace(b"{{HOME_ORIGIN}}", f"{main}/demo".encode())
                        .replace(b"{{PARTNER_ORIGIN}}", f"{origin[HOSTS[1]]}/demo".encode()))
            delay = 800 if name == "slow.gif" else 60 if kind == "text/html" else 30
            put(path, kind, body, delay_ms=delay)
    site[f"{HOSTS[0]}:{port}/demo/images/redirect.gif"] = Response(
        "text/html", b"", 30, 302, f"{main}/demo/images/moved.gif")
    for page in ("index", "about", "products", "contact", "downloads"):
        entries.append((f"demo {page}", f"{main}/demo/{page}.html"))

    # Not in the set: the page the bench measures the browser's own time on, unshaped. Sixty
    # small pictures on one host keep the browser's six connections busy from the document on.
    b = "".join(img(f"/calibrate/c{i}.gif", 1, 200 + i) for i in range(60))
    put("/calibrate/index.html", "text/html", html("", b, 4 * KB))

    return site, entries, f"{main}/calibrate/index.html"


if __name__ == "__main__":
    site, entries, _ = pages(8000)
    total = sum(len(r.body) for r in site.values())
    print(f"{len(site)} files, {total / 1e6:.2f} MB")
