"""The line bench's page set: eight pages of the shapes the web has, built in memory as valid
files of their type (a browser stops fetching an image it cannot decode, and the bench would
then measure nothing).

Where the numbers come from: a public web almanac's figures for the median page of the last few
years (about 2 MB and 70 requests on desktop, of which roughly 1 MB of images in some 25 to 40
files, 400 to 600 KB of script in 20 to 25 files, 60 to 80 KB of style sheets in 5 to 7 files and
an HTML document of 20 to 35 KB; a median image of a few tens of KB, icons of 1 to 2 KB). Each
page below takes one of those shapes and stays near those figures, a little lighter in total so
the slow lines finish in minutes: the pages together hold about 5.5 MB.

pages(port) -> (site, entries): site maps "host:port/path" to (content type, body bytes);
entries lists (name, url) of the pages the bench loads.
"""

import struct
import zlib

HOSTS = ("127.0.0.1", "127.0.0.2", "localhost")
KB = 1024


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

def pages(port):
    site = {}
    base = {h: f"http://{h}:{port}" for h in HOSTS}
    main = base["127.0.0.1"]

    def put(path, kind, body, host="127.0.0.1"):
        site[f"{host}:{port}{path}"] = (kind, body)
        return f"{base[host]}{path}" if host != "127.0.0.1" else path

    entries = []

    # 1. A home page with large scripts: the almanac's median script weight in three blocking
    # scripts of the head, one style sheet, a hero image and a few pictures.
    head = put("/home/site.css", "text/css", style(60 * KB, 1))
    scripts = [put(f"/home/{n}.js", "application/javascript", script(s * KB, i))
               for i, (n, s) in enumerate((("framework", 250), ("app", 150), ("analytics", 60)))]
    imgs = [put("/home/hero.jpg", "image/jpeg", jpeg(120 * KB, 960, 400, 1))]
    imgs += [put(f"/home/p{i}.png", "image/png", png(30 * KB, 48, 48, i)) for i in range(7)]
    h = f'<link rel="stylesheet" href="{head}">' + "".join(
        f'<script src="{s}"></script>' for s in scripts)
    b = "".join(f'<img src="{u}" alt="">\n{paragraphs(1500, i)}' for i, u in enumerate(imgs))
    put("/home/index.html", "text/html", html(h, b, 35 * KB))
    entries.append(("home+scripts", f"{main}/home/index.html"))

    # 2. An image gallery: thirty photographs of the median image's weight.
    css = put("/gallery/g.css", "text/css", style(20 * KB, 2))
    b = "".join(f'<a href="#"><img src="{put(f"/gallery/photo{i}.jpg", "image/jpeg", jpeg(35 * KB, 320, 240, i))}" alt=""></a>\n'
                for i in range(30))
    put("/gallery/index.html", "text/html", html(f'<link rel="stylesheet" href="{css}">', b, 15 * KB))
    entries.append(("gallery", f"{main}/gallery/index.html"))

    # 3. A long article: a large document whose pictures are referred to far down it.
    css = put("/article/a.css", "text/css", style(40 * KB, 3))
    js = put("/article/a.js", "application/javascript", script(80 * KB, 3))
    b = ""
    for i in range(5):
        b += paragraphs(25 * KB, i * 3)
        b += f'<figure><img src="{put(f"/article/fig{i}.jpg", "image/jpeg", jpeg(70 * KB, 640, 400, i))}" alt=""></figure>\n'
    put("/article/index.html", "text/html",
        html(f'<link rel="stylesheet" href="{css}"><script src="{js}"></script>', b, 150 * KB))
    entries.append(("long article", f"{main}/article/index.html"))

    # 4. 150 icons of 1 to 2 KB.
    b = "".join(f'<img src="{put(f"/icons/i{i}.gif", "image/gif", gif(1 * KB + (i % 5) * 200, 16, 16, i))}" alt="">'
                for i in range(150))
    put("/icons/index.html", "text/html", html("", b, 12 * KB))
    entries.append(("150 icons", f"{main}/icons/index.html"))

    # 5. Two frames, each a document with its style sheet and pictures.
    for f in ("left", "right"):
        css = put(f"/frames/{f}.css", "text/css", style(15 * KB, 5))
        b = "".join(f'<img src="{put(f"/frames/{f}{i}.png", "image/png", png(25 * KB, 40, 40, i))}" alt="">\n'
                    for i in range(6))
        put(f"/frames/{f}.html", "text/html", html(f'<link rel="stylesheet" href="{css}">', b, 20 * KB))
    frameset = ('<!DOCTYPE html>\n<html><head><title>frames</title></head>'
                '<frameset cols="30%,70%"><frame src="left.html"><frame src="right.html">'
                '</frameset></html>\n')
    put("/frames/index.html", "text/html", frameset.encode())
    entries.append(("two frames", f"{main}/frames/index.html"))

    # 6. One large image: a photograph of 1.5 MB on a small page.
    img = put("/big/photo.jpg", "image/jpeg", jpeg(1500 * KB, 2048, 1536, 6))
    put("/big/index.html", "text/html", html("", f'<img src="{img}" alt="">\n', 5 * KB))
    entries.append(("large image", f"{main}/big/index.html"))

    # 7. A page over three host names: the document and a third of the elements on 127.0.0.1,
    # a third on 127.0.0.2 (scripts, images) and a third on localhost (style sheet, images).
    css = put("/hosts/h.css", "text/css", style(30 * KB, 7), host="localhost")
    js = put("/hosts/h.js", "application/javascript", script(120 * KB, 7), host="127.0.0.2")
    b = ""
    for i in range(24):
        host = HOSTS[i % 3]
        b += f'<img src="{put(f"/hosts/img{i}.jpg", "image/jpeg", jpeg(18 * KB, 240, 160, i), host=host)}" alt="">\n'
    put("/hosts/index.html", "text/html",
        html(f'<link rel="stylesheet" href="{css}"><script src="{js}"></script>', b, 25 * KB))
    entries.append(("three hosts", f"{main}/hosts/index.html"))

    # 8. A page of 150 elements: 8 style sheets, 22 scripts and 120 small images (the almanac's
    # request counts at the heavy end).
    h = "".join(f'<link rel="stylesheet" href="{put(f"/many/s{i}.css", "text/css", style(8 * KB, 80 + i))}">'
                for i in range(8))
    h += "".join(f'<script src="{put(f"/many/j{i}.js", "application/javascript", script(12 * KB, 80 + i))}"></script>'
                 for i in range(22))
    b = "".join(f'<img src="{put(f"/many/m{i}.png", "image/png", png(3 * KB, 24, 24, i))}" alt="">\n'
                for i in range(120))
    put("/many/index.html", "text/html", html(h, b, 40 * KB))
    entries.append(("150 elements", f"{main}/many/index.html"))

    return site, entries


if __name__ == "__main__":
    site, entries = pages(8000)
    total = sum(len(b) for _, b in site.values())
    print(f"{len(site)} files, {total / 1e6:.2f} MB")
    for name, url in entries:
        path = url.split("/", 3)[3]
        prefix = "/" + path.rsplit("/", 1)[0] + "/"
        files = [k for k in site if prefix in k]
        print(f"  {name:14} {len(files):4} files {sum(len(site[k][1]) for k in files) / 1e3:8.0f} KB")
