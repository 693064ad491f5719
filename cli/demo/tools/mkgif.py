import sys, struct
# A valid GIF89a with a 4-colour palette; pixel codes written with 3-bit LZW codes and a clear
# code often enough that the code size never grows (no compression, simple and valid).
def gif(path, w, h, colors, pick):
    out = bytearray(b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF1, 0, 0))
    for c in colors: out += bytes(c)
    out += b'\x2c' + struct.pack('<HHHHB', 0, 0, w, h, 0) + bytes([2])
    clear, end = 4, 5
    codes = []
    pixels = [pick(x, y) for y in range(h) for x in range(w)]
    for i, p in enumerate(pixels):
        if i % 2 == 0: codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits = 0; n = 0; data = bytearray()
    for c in codes:
        bits |= c << n; n += 3
        while n >= 8: data.append(bits & 255); bits >>= 8; n -= 8
    if n: data.append(bits & 255)
    for i in range(0, len(data), 255):
        chunk = data[i:i+255]; out += bytes([len(chunk)]) + chunk
    out += b'\x00\x3b'
    open(path, 'wb').write(out)
pal = [(255,255,255),(30,90,200),(240,170,40),(20,20,20)]
gif(sys.argv[1]+'/logo.gif', 120, 40, pal, lambda x,y: 1 if 5<y<35 and 5<x<115 else (2 if (x//10+y//10)%2 else 0))
gif(sys.argv[1]+'/background.gif', 16, 16, [(250,250,245),(235,235,225),(0,0,0),(0,0,0)], lambda x,y: (x+y)%2)
gif(sys.argv[1]+'/frame-icon.gif', 24, 24, pal, lambda x,y: 3 if (x-12)**2+(y-12)**2 < 100 else 0)
gif(sys.argv[1]+'/moved.gif', 32, 32, pal, lambda x,y: 2 if x==y or x==31-y else 0)
gif(sys.argv[1]+'/slow.gif', 32, 32, pal, lambda x,y: 1 if (x//4+y//4)%2 else 0)
