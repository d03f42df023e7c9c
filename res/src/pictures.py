#!/usr/bin/env python3
"""Builds every picture in res/ from the SVG sources in res/src/.

rsvg-convert turns each SVG into an RGBA PNG; everything after that is done
here with the standard library only, so the exact output formats are under
our control: 24-bit uncompressed bottom-up BMPs, a 4-bit two-image ICO with
AND masks, and RGBA PNGs.

Usage: pictures.py RES_DIR            rebuild everything
       pictures.py RES_DIR --preview  also write RES_DIR/preview.png
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
FACE = (231, 231, 231)  # window background behind the push buttons


# ---------------------------------------------------------------- images

class Image:
    """Straight (not premultiplied) RGBA pixels, rows top to bottom."""

    def __init__(self, w, h, px=None):
        self.w, self.h = w, h
        self.px = px if px is not None else [(0, 0, 0, 0)] * (w * h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def put(self, x, y, c):
        self.px[y * self.w + x] = c

    def crop(self, x0, y0, w, h):
        out = Image(w, h)
        for y in range(h):
            row = (y0 + y) * self.w + x0
            out.px[y * w:(y + 1) * w] = self.px[row:row + w]
        return out


def over(src, dst):
    """src (RGBA) over an opaque dst (RGB)."""
    a = src[3] / 255.0
    return tuple(int(round(src[i] * a + dst[i] * (1 - a))) for i in range(3))


def blend(img, dst, x0=0, y0=0):
    """Draws img over the RGBA image dst at (x0, y0)."""
    for y in range(img.h):
        for x in range(img.w):
            s = img.get(x, y)
            if s[3] == 0:
                continue
            d = dst.get(x0 + x, y0 + y)
            sa, da = s[3] / 255.0, d[3] / 255.0
            oa = sa + da * (1 - sa)
            c = tuple(int(round((s[i] * sa + d[i] * da * (1 - sa)) / oa)) for i in range(3))
            dst.put(x0 + x, y0 + y, c + (int(round(oa * 255)),))


def keyed(img, background, key=MAGENTA, cut=128):
    """Opaque RGB rows for a colour-keyed BMP: pixels less than half covered
    become the key colour, the others are flattened over `background`
    (a colour, or a function of the row) so their edges stay smooth on the
    surface the picture is drawn on."""
    rows = []
    for y in range(img.h):
        bg = background(y) if callable(background) else background
        row = []
        for x in range(img.w):
            p = img.get(x, y)
            row.append(key if p[3] < cut else over(p, bg))
        rows.append(row)
    return rows


def flat(img, background):
    return [[over(img.get(x, y), background) for x in range(img.w)] for y in range(img.h)]


# ---------------------------------------------------------------- PNG

def read_png(path):
    """Reads the 8-bit RGB/RGBA non-interlaced PNGs rsvg-convert writes."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(path + ': not a PNG')
    pos, idat = 8, b''
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b'IHDR':
            w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or ctype not in (2, 6) or interlace:
                raise ValueError(path + ': unsupported PNG layout')
        elif kind == b'IDAT':
            idat += body
        pos += 12 + n
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat)
    stride = w * bpp
    prev = bytearray(stride)
    px = []
    for y in range(h):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        for x in range(w):
            q = line[x * bpp:(x + 1) * bpp]
            px.append(tuple(q) if bpp == 4 else tuple(q) + (255,))
        prev = line
    return Image(w, h, px)


def png_bytes(img):
    raw = bytearray()
    for y in range(img.h):
        raw.append(0)
        for x in range(img.w):
            raw.extend(img.get(x, y))

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', img.w, img.h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


# ---------------------------------------------------------------- BMP

def bmp_bytes(rows):
    """24-bit uncompressed Windows BMP, BITMAPINFOHEADER, bottom-up rows."""
    h, w = len(rows), len(rows[0])
    pad = (4 - (w * 3) % 4) % 4
    body = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += b'\0' * pad
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 14 + 40)
    return head + info + bytes(body)


# ---------------------------------------------------------------- ICO

def palette16(colours):
    """Fifteen representative colours by median cut, refined by a few rounds
    of k-means; entry 0 is kept black for the transparent pixels."""
    boxes = [list(colours)]
    while len(boxes) < 15:
        boxes.sort(key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b)
                                     for i in range(3)) if len(b) > 1 else -1)
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        ch = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[ch])
        boxes += [box[:len(box) // 2], box[len(box) // 2:]]
    pal = [tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes if b]
    for _ in range(8):
        sums = [[0, 0, 0, 0] for _ in pal]
        for c in colours:
            k = nearest(pal, c)
            for i in range(3):
                sums[k][i] += c[i]
            sums[k][3] += 1
        pal = [tuple(s[i] // s[3] for i in range(3)) if s[3] else p for s, p in zip(sums, pal)]
    pal = [(0, 0, 0)] + pal
    return pal + [(0, 0, 0)] * (16 - len(pal))


def nearest(pal, c):
    # weighted RGB distance: the eye is most sensitive to green, least to blue
    return min(range(len(pal)), key=lambda k: 3 * (pal[k][0] - c[0]) ** 2 +
               4 * (pal[k][1] - c[1]) ** 2 + 2 * (pal[k][2] - c[2]) ** 2)


def ico_image(img):
    """One 4-bpp icon image: BITMAPINFOHEADER (double height), 16-entry
    palette, XOR bitmap, AND mask; both bitmaps bottom-up, rows padded to
    32 bits.  Edges are hard: a pixel is either opaque or masked out."""
    w, h = img.w, img.h
    opaque = [[img.get(x, y)[3] >= 128 for x in range(w)] for y in range(h)]
    colours = [img.get(x, y)[:3] for y in range(h) for x in range(w) if opaque[y][x]]
    pal = palette16(colours)
    xor, mask = bytearray(), bytearray()
    xstride = ((w * 4 + 31) // 32) * 4
    mstride = ((w + 31) // 32) * 4
    for y in reversed(range(h)):
        idx = [nearest(pal[1:], img.get(x, y)[:3]) + 1 if opaque[y][x] else 0 for x in range(w)]
        line = bytearray(xstride)
        for x in range(0, w, 2):
            line[x // 2] = (idx[x] << 4) | (idx[x + 1] if x + 1 < w else 0)
        xor += line
        m = bytearray(mstride)
        for x in range(w):
            if not opaque[y][x]:
                m[x // 8] |= 0x80 >> (x % 8)
        mask += m
    head = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return head + b''.join(bytes((b, g, r, 0)) for r, g, b in pal) + bytes(xor) + bytes(mask)


def ico_bytes(images):
    blobs = [ico_image(i) for i in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', img.w % 256, img.h % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


# ---------------------------------------------------------------- reading back

def read_bmp(data, key=None):
    """Parses a BMP as written above, checking every header field the
    program's loader relies on; pixels equal to `key` come back clear."""
    magic, size, _, _, off = struct.unpack('<2sIHHI', data[:14])
    hsize, w, h, planes, bpp, comp, isize = struct.unpack('<IiiHHII', data[14:38])
    stride = (w * 3 + 3) & ~3
    assert magic == b'BM' and size == len(data) and off == 54, 'BMP file header'
    assert hsize == 40 and planes == 1 and bpp == 24 and comp == 0, 'BMP info header'
    assert h > 0 and isize == stride * h == len(data) - off, 'bottom-up rows, padded to 32 bits'
    img = Image(w, h)
    for y in range(h):
        line = data[off + (h - 1 - y) * stride:]
        for x in range(w):
            b, g, r = line[x * 3:x * 3 + 3]
            img.put(x, y, (r, g, b, 0 if (r, g, b) == key else 255))
    return img


def read_ico(data):
    """Parses an ICO as written above (4-bpp images with AND masks)."""
    reserved, kind, count = struct.unpack('<HHH', data[:6])
    assert reserved == 0 and kind == 1, 'ICO header'
    images = []
    for i in range(count):
        w, h, colours, _, planes, bpp, size, off = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
        hsize, bw, bh, bplanes, bbpp, comp = struct.unpack('<IiiHHI', data[off:off + 20])
        assert (colours, planes, bpp, bbpp, bplanes, comp) == (16, 1, 4, 4, 1, 0), 'ICO entry format'
        assert hsize == 40 and (bw, bh) == (w, 2 * h), 'ICO image header'
        xstride, mstride = ((w * 4 + 31) // 32) * 4, ((w + 31) // 32) * 4
        assert size == 40 + 64 + (xstride + mstride) * h, 'ICO image size'
        pal = [tuple(data[off + 40 + 4 * k:off + 43 + 4 * k][::-1]) for k in range(16)]
        xor, mask = off + 104, off + 104 + xstride * h
        img = Image(w, h)
        for y in range(h):
            for x in range(w):
                v = data[xor + (h - 1 - y) * xstride + x // 2]
                k = v >> 4 if x % 2 == 0 else v & 15
                clear = data[mask + (h - 1 - y) * mstride + x // 8] & (0x80 >> (x % 8))
                img.put(x, y, pal[k] + ((0 if clear else 255),))
        images.append(img)
    return images


# ---------------------------------------------------------------- build

class Build:
    def __init__(self, res):
        self.res = res
        self.src = os.path.join(res, 'src')
        self.tmpdir = tempfile.TemporaryDirectory(prefix='riduduz-redraw-')
        self.tmp = self.tmpdir.name

    def render(self, svg, w=None, h=None):
        out = os.path.join(self.tmp, os.path.basename(svg) + '-%sx%s.png' % (w, h))
        cmd = ['rsvg-convert', '-f', 'png', '-o', out]
        if w:
            cmd += ['-w', str(w), '-h', str(h)]
        subprocess.run(cmd + [svg], check=True)
        img = read_png(out)
        if w and (img.w, img.h) != (w, h):
            raise ValueError('%s rendered at %dx%d' % (svg, img.w, img.h))
        return img

    def write(self, rel, data, size=None):
        # read every file back through an independent parser before keeping it
        if rel.endswith('.bmp'):
            img = read_bmp(data)
            assert (img.w, img.h) == size, '%s is %dx%d' % (rel, img.w, img.h)
        elif rel.endswith('.ico'):
            assert [(i.w, i.h) for i in read_ico(data)] == size, rel
        path = os.path.join(self.res, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
        print('%-36s %6d bytes' % (rel, len(data)))

    def run(self, preview):
        skin = 'skin/blueglass/'

        logo = self.render(os.path.join(self.src, 'logo.svg'))
        assert (logo.w, logo.h) == (292, 50)
        rows = flat(logo, WHITE)
        assert rows[-1][0] == WHITE, 'the bottom-left pixel of the logo is its transparent colour'
        self.write('logo.bmp', bmp_bytes(rows), (292, 50))

        bar = self.render(os.path.join(self.src, 'titlebar.svg'))
        assert (bar.w, bar.h) == (271, 33)
        middle = bar.crop(162, 0, 8, 33)
        for y in range(33):
            assert len(set(middle.px[y * 8:(y + 1) * 8])) == 1, 'title-middle must stretch cleanly'
        self.write(skin + 'title-left.bmp', bmp_bytes(flat(bar.crop(0, 0, 162, 33), WHITE)), (162, 33))
        self.write(skin + 'title-middle.bmp', bmp_bytes(flat(middle, WHITE)), (8, 33))
        self.write(skin + 'title-right.bmp', bmp_bytes(flat(bar.crop(170, 0, 101, 33), WHITE)), (101, 33))

        # Title-bar buttons sit 6 px from the top of the bar: their soft edges
        # are flattened over the bar row they will be drawn on.
        def bar_row(y):
            return middle.get(0, y + 6)[:3]
        sheet = self.render(os.path.join(self.src, 'titlebuttons.svg'))
        assert (sheet.w, sheet.h) == (57, 38)
        for row, name in enumerate(('sysmenu', 'close')):
            for col, state in enumerate(('normal', 'over', 'pressed')):
                face = sheet.crop(col * 19, row * 19, 19, 19)
                self.write(skin + '%s-%s.bmp' % (name, state), bmp_bytes(keyed(face, bar_row)), (19, 19))

        faces = self.render(os.path.join(self.src, 'buttons.svg'))
        assert (faces.w, faces.h) == (96, 27)
        for col, state in enumerate(('normal', 'over', 'pressed', 'disabled')):
            face = faces.crop(col * 24, 0, 24, 27)
            for y in range(27):
                assert len(set(face.px[y * 24 + 6:y * 24 + 18])) == 1, 'button middle must stretch cleanly'
            self.write(skin + 'button-%s.bmp' % state, bmp_bytes(keyed(face, FACE)), (24, 27))

        icon = os.path.join(self.res, 'icons', 'riduduz.svg')
        small = os.path.join(self.src, 'icon-small.svg')
        icons = {16: self.render(small, 16, 16)}
        for size in (32, 48, 128):
            icons[size] = self.render(icon, size, size)
        for size, img in sorted(icons.items()):
            self.write('icons/riduduz-%d.png' % size, png_bytes(img))
        self.write('riduduz.ico', ico_bytes([icons[32], icons[16]]), [(32, 32), (16, 16)])

        if preview:
            self.write('preview.png', png_bytes(self.preview()))

    def preview(self):
        """A mock of the main window built from the pictures just written."""
        skin = os.path.join(self.res, 'skin', 'blueglass')

        def bmp(name, key=None):
            path = name if '/' in name else os.path.join(skin, name)
            with open(path, 'rb') as f:
                return read_bmp(f.read(), key)

        W, H = 541, 33 + 280
        win = Image(W, H, [FACE + (255,)] * (W * H))
        left, mid, right = bmp('title-left.bmp'), bmp('title-middle.bmp'), bmp('title-right.bmp')
        blend(left, win)
        for x in range(left.w, W - right.w, mid.w):
            blend(mid.crop(0, 0, min(mid.w, W - right.w - x), 33), win, x, 0)
        blend(right, win, W - right.w, 0)
        blend(bmp('sysmenu-normal.bmp', MAGENTA), win, 496, 6)
        blend(bmp('close-over.bmp', MAGENTA), win, 516, 6)
        # white banner with the logo, keyed on its bottom-left pixel
        for y in range(33, 33 + 62):
            for x in range(W):
                win.put(x, y, WHITE + (255,))
        logo = bmp(os.path.join(self.res, 'logo.bmp'))
        key = logo.get(0, logo.h - 1)[:3]
        logo = bmp(os.path.join(self.res, 'logo.bmp'), key)
        blend(logo, win, 8, 33 + 6)

        def button(x, y, w, state):
            face = bmp('button-%s.bmp' % state, MAGENTA)
            cap = 6
            blend(face.crop(0, 0, cap, 27), win, x, y)
            middle = face.crop(cap, 0, 1, 27)
            for i in range(cap, w - cap):
                blend(middle, win, x + i, y)
            blend(face.crop(24 - cap, 0, cap, 27), win, x + w - cap, y)

        button(W - 80 - 12, 33 + 17, 80, 'normal')
        button(140, 33 + 230, 121, 'over')
        button(280, 33 + 230, 121, 'normal')
        # border and the 11 x 11 elliptic top corners
        for x in range(W):
            win.put(x, H - 1, (0, 0, 0, 255))
        for y in range(33, H):
            win.put(0, y, (0, 0, 0, 255))
            win.put(W - 1, y, (0, 0, 0, 255))
        for y in range(6):
            for x in range(6):
                if ((x + 0.5 - 5.5) / 5.5) ** 2 + ((y + 0.5 - 5.5) / 5.5) ** 2 > 1:
                    win.put(x, y, (0, 0, 0, 0))
                    win.put(W - 1 - x, y, (0, 0, 0, 0))
        blend(self.render(os.path.join(self.src, 'preview-text.svg')), win)
        return win


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    Build(os.path.abspath(sys.argv[1])).run('--preview' in sys.argv[2:])
