#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Kelvo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the fuzz targets' seed corpora into fuzz/corpus/<target>/: small pictures of every
kind the loaders read (made here and with cjpeg from libjpeg-turbo-progs), the shipped layouts'
pages, and the project files of the tests and the example. Every seed stays far below 200 KB.
Run again after changing it; the files are checked in."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(TOP, "fuzz", "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def ppm(width, height):
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes(((x * 255) // max(1, width - 1), (y * 255) // max(1, height - 1),
                             (x * y) & 255))
    return b"P6\n%d %d\n255\n" % (width, height) + bytes(pixels)


def cjpeg(image, *options):
    return subprocess.run(["cjpeg", *options], input=image, stdout=subprocess.PIPE,
                          check=True).stdout


def with_orientation(jpeg, orientation):
    # A little-endian TIFF header and one IFD with the orientation entry, as cameras write it.
    tiff = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", 1)
    tiff += struct.pack("<HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack("<I", 0)
    body = b"Exif\x00\x00" + tiff
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body + jpeg[2:]


def jpeg_seeds():
    small = ppm(24, 16)
    odd = ppm(17, 9)
    put("fuzz_jpeg", "baseline.jpg", cjpeg(small, "-quality", "75"))
    put("fuzz_jpeg", "progressive.jpg", cjpeg(small, "-progressive"))
    put("fuzz_jpeg", "grey.jpg", cjpeg(small, "-grayscale"))
    put("fuzz_jpeg", "444-optimized.jpg", cjpeg(small, "-sample", "1x1", "-optimize"))
    put("fuzz_jpeg", "arithmetic.jpg", cjpeg(small, "-arithmetic"))
    put("fuzz_jpeg", "restart.jpg", cjpeg(odd, "-restart", "1B"))
    put("fuzz_jpeg", "rgb.jpg", cjpeg(odd, "-rgb"))
    for orientation in (3, 6, 8):
        put("fuzz_jpeg", "exif-%d.jpg" % orientation,
            with_orientation(cjpeg(odd, "-quality", "60"), orientation))
    photo = subprocess.run(["djpeg", "-scale", "1/8", "-ppm",
                            os.path.join(TOP, "Pictures", "Sunset.jpg")],
                           stdout=subprocess.PIPE, check=True).stdout
    put("fuzz_jpeg", "photo.jpg", cjpeg(photo, "-quality", "30", "-progressive"))


def bmp(width, height, bits, palette, rows, compression=0, top_down=False, masks=()):
    """rows: the pixel data, already padded to four bytes per row (or an RLE stream)."""
    header_size = 40
    info = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1,
                       bits, compression, len(rows), 2835, 2835, len(palette), 0)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(info) + len(extra) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + extra + pal + rows


def padded(row):
    return row + b"\x00" * (-len(row) % 4)


def bmp_seeds():
    w, h = 6, 4
    grey = [(i * 17, i * 17, i * 17) for i in range(16)]
    put("fuzz_bmp", "24.bmp", bmp(w, h, 24, [], b"".join(
        padded(b"".join(bytes((x * 40, y * 60, 99)) for x in range(w))) for y in range(h))))
    put("fuzz_bmp", "32-topdown.bmp", bmp(w, h, 32, [], bytes(range(w * h * 4)), top_down=True))
    put("fuzz_bmp", "8.bmp", bmp(w, h, 8, grey, b"".join(padded(bytes(range(y, y + w)))
                                                         for y in range(h))))
    put("fuzz_bmp", "4.bmp", bmp(w, h, 4, grey, b"".join(padded(b"\x01\x23\x45") for _ in range(h))))
    put("fuzz_bmp", "1.bmp", bmp(w, h, 1, [(0, 0, 0), (255, 255, 255)],
                                 b"".join(padded(b"\xa8") for _ in range(h))))
    put("fuzz_bmp", "16-565.bmp", bmp(w, h, 16, [], b"".join(padded(b"\x1f\xf8" * w)
                                                             for _ in range(h)),
                                      compression=3, masks=(0xF800, 0x07E0, 0x001F)))
    put("fuzz_bmp", "16-555.bmp", bmp(w, h, 16, [], b"".join(padded(b"\xe0\x03" * w)
                                                             for _ in range(h))))
    rle8 = b"\x03\x01\x00\x03\x02\x03\x04\x00\x00\x00\x02\x01\x01\x06\x05\x00\x00\x01"
    put("fuzz_bmp", "rle8.bmp", bmp(w, h, 8, grey, rle8, compression=1))
    rle4 = b"\x06\x12\x00\x00\x00\x04\x34\x56\x00\x00\x00\x01"
    put("fuzz_bmp", "rle4.bmp", bmp(w, h, 4, grey, rle4, compression=2))
    core = struct.pack("<IHHHH", 12, w, h, 1, 24)
    rows = b"".join(padded(b"\x10\x20\x30" * w) for _ in range(h))
    put("fuzz_bmp", "os2.bmp", b"BM" + struct.pack("<IHHI", 26 + len(rows), 0, 0, 26) + core + rows)


def pam(width, height):
    # RGB with an alpha ramp from transparent to opaque across the picture.
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes(((x * 255) // max(1, width - 1), (y * 255) // max(1, height - 1),
                             (x * y) & 255, (x * 255) // max(1, width - 1)))
    header = b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
    return header % (width, height) + bytes(pixels)


def magick(image, fmt, *options):
    # ImageMagick's encoders are the libraries' own (libwebp, libheif, libtiff).
    return subprocess.run(["/usr/bin/convert", "-", *options, fmt + ":-"], input=image,
                          stdout=subprocess.PIPE, check=True).stdout


def webp_seeds():
    small = ppm(16, 12)
    put("fuzz_webp", "lossy.webp", magick(small, "webp", "-quality", "60"))
    put("fuzz_webp", "lossless.webp", magick(small, "webp", "-define", "webp:lossless=true"))
    put("fuzz_webp", "alpha-lossy.webp", magick(pam(16, 12), "webp", "-quality", "60"))
    put("fuzz_webp", "alpha-lossless.webp",
        magick(pam(16, 12), "webp", "-define", "webp:lossless=true"))


def tiff_seeds():
    small = ppm(16, 12)
    put("fuzz_tiff", "rgb-lzw.tif", magick(small, "tiff", "-compress", "LZW"))
    put("fuzz_tiff", "rgb16-tiles-zip.tif", magick(small, "tiff", "-depth", "16", "-compress", "Zip",
                                                   "-define", "tiff:tile-geometry=16x16"))
    put("fuzz_tiff", "planar-alpha.tif", magick(pam(16, 12), "tiff", "-interlace", "Plane"))
    put("fuzz_tiff", "grey16-msb.tif", magick(small, "tiff", "-colorspace", "Gray", "-depth", "16",
                                              "-endian", "MSB"))
    put("fuzz_tiff", "palette.tif", magick(small, "tiff", "-type", "Palette"))
    put("fuzz_tiff", "bilevel-g4.tif", magick(small, "tiff", "-monochrome", "-compress", "Group4"))
    put("fuzz_tiff", "cmyk.tif", magick(small, "tiff", "-colorspace", "CMYK"))
    put("fuzz_tiff", "ycbcr-jpeg.tif", magick(small, "tiff", "-compress", "JPEG"))
    put("fuzz_tiff", "oriented.tif", magick(small, "tiff", "-orient", "RightTop"))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, colour_type, depth, rows, chunks=(), interlace=0):
    """A PNG whose rows (filter byte included) are given; chunks go before the pixel data."""
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + b"".join(png_chunk(k, d) for k, d in chunks)
            + png_chunk(b"IDAT", zlib.compress(b"".join(rows))) + png_chunk(b"IEND", b""))


def icc_profile(gamma, primaries):
    """A version 2 matrix/TRC RGB profile: D50 white, the primaries' XYZ columns, one gamma."""
    def xyz(x, y, z):
        return b"XYZ \0\0\0\0" + b"".join(struct.pack(">i", round(v * 65536)) for v in (x, y, z))
    curve = b"curv\0\0\0\0" + struct.pack(">IH", 1, round(gamma * 256)) + b"\0\0"
    tags = [(b"wtpt", xyz(0.9642, 1.0, 0.8249))] + [
        (name, xyz(*p)) for name, p in zip((b"rXYZ", b"gXYZ", b"bXYZ"), primaries)] + [
        (name, curve) for name in (b"rTRC", b"gTRC", b"bTRC")]
    offset = 128 + 4 + 12 * len(tags)
    table, data = b"", b""
    for name, body in tags:
        table += name + struct.pack(">II", offset + len(data), len(body))
        data += body + b"\0" * (-len(body) % 4)
    size = offset + len(data)
    header = (struct.pack(">I", size) + b"lcms" + bytes((2, 0x10, 0, 0)) + b"mntrRGB XYZ "
              + b"\0" * 12 + b"acsp" + b"\0" * 24 + struct.pack(">I", 0)
              + b"".join(struct.pack(">i", round(v * 65536)) for v in (0.9642, 1.0, 0.8249)))
    header += b"\0" * (128 - len(header))
    return header + struct.pack(">I", len(tags)) + table + data


ADOBE_D50 = [(0.6097, 0.3111, 0.0195), (0.2053, 0.6257, 0.0609), (0.1492, 0.0632, 0.7446)]


def png_seeds():
    w, h = 7, 5
    rgb = [b"\0" + b"".join(bytes((x * 36, y * 60, 128)) for x in range(w)) for y in range(h)]
    put("fuzz_png", "rgb8.png", png(w, h, 2, 8, rgb))
    # Adam7 over one pixel: only the first pass has data.
    put("fuzz_png", "rgb8-adam7.png", png(1, 1, 2, 8, [b"\0\x10\x20\x30"], interlace=1))
    put("fuzz_png", "rgba16.png", png(w, h, 6, 16, [b"\1" + b"\x12\x34" * 4 * w for _ in range(h)]))
    put("fuzz_png", "palette2-trns.png", png(w, h, 3, 2, [b"\0\x1b\x6c" for _ in range(h)], [
        (b"PLTE", bytes((255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9))), (b"tRNS", b"\x80\xff")]))
    put("fuzz_png", "grey-alpha.png", png(w, h, 4, 8, [b"\2" + b"\x40\x80" * w for _ in range(h)]))
    exif = b"MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0"
    put("fuzz_png", "exif-iccp.png", png(w, h, 2, 8, rgb, [
        (b"iCCP", b"adobe\0\0" + zlib.compress(icc_profile(2.2, ADOBE_D50))), (b"eXIf", exif)]))


def icc_seeds():
    put("fuzz_icc", "adobe-like.icc", icc_profile(2.2, ADOBE_D50))
    put("fuzz_icc", "linear.icc", icc_profile(1.0, ADOBE_D50))
    put("fuzz_icc", "nclx-p3-srgb", b"\x0c\x0d")


def heif_seeds():
    # Tiny pictures: HEVC and AV1 decoding under the sanitizers is slow. (ImageMagick's HEIF
    # writer drops alpha, so there is no seed with it.)
    small = ppm(16, 12)
    put("fuzz_heif", "plain.heic", magick(small, "heic", "-quality", "50"))
    put("fuzz_heif", "plain.avif", magick(small, "avif", "-quality", "50"))
    put("fuzz_heif", "oriented.heic", magick(small, "heic", "-orient", "RightTop"))


def text_of(*parts):
    with open(os.path.join(TOP, *parts), "rb") as f:
        return f.read()


def template_seeds():
    # The shipped layouts' pages are seeds too: scripts/fuzz reads them from Layouts/ itself.
    put("fuzz_template_page", "tags.html",
        b"a#kel_page_title#b#Kel_Page_Text#c #kel_picture_filename def_cols=3 def_rows = 2#"
        b"#kel_page_filename layer=a b=c d# #kel_a #kel_b# #kel_x\n def_cols=five#")
    put("fuzz_template_page", "regions.html",
        b"<table>\n  <tr><td>x</td>\n    <td>#kel_picture_filename#</td>\n  </tr>\n</table>")

    css = b"body { color: #333; }\n"
    standard = [text_of("Layouts", "Standard", "index.html").replace(b"layer=photo", b"layer=large"),
                text_of("Layouts", "Standard", "photo.html").replace(b"layer=index", b"layer=index")]
    put("fuzz_layout", "standard", b"\x05" + b"\f".join(standard + [b"", css]))
    classic = [text_of("Layouts", "Classic", "index.html"), text_of("Layouts", "Classic",
                                                                    "picture.html")]
    put("fuzz_layout", "classic-names", b"\x03" + b"\f".join(
        classic + [b"#kel_page_text#", css,
                   "Strand \u00dc-1.jpg\nx\" onerror=\"alert(1).jpg\na b.jpg\na_b.jpg".encode()]))
    put("fuzz_layout", "darkroom", b"\x0c" + b"\f".join(
        [text_of("Layouts", "Darkroom", "index.html"), text_of("Layouts", "Darkroom", "view.html"),
         text_of("Layouts", "Darkroom", "strip.html")]))


def project_seeds():
    put("fuzz_project", "golden.kel", text_of("tests", "data", "model", "golden.kel"))
    put("fuzz_project", "sample-gallery.kel", text_of("examples", "sample-gallery.kel"))
    put("fuzz_project", "empty.kel",
        b'<kelvo version="1.00"><project output_directory="" output_subdirectory="">'
        b'<layouts active_layout=""/><picture_infos/></project></kelvo>')


def record_seeds():
    put("fuzz_run_record", "pictures.xml", b'''<?xml version="1.0"?>
<kelvo-record version="1" folder="@DIR@">
  <file path="index.html" kind="page" key="795627d2b6022f9b" size="3566" time="1796594132719754707" inode="10953076" />
  <file path="thumbs/a_index.jpg" kind="picture" key="v1 140x140 q80 exact" size="5120" time="1796594132719451465" inode="10953764">
    <source path="0123456789abcdef" size="914024" time="1796594132000000000" hash="fedcba9876543210" />
  </file>
  <file path="new.html" kind="page" />
  <folder path="thumbs/" />
</kelvo-record>
''')
    put("fuzz_run_record", "escapes.xml", b'''<?xml version="1.0"?>
<kelvo-record version="1" folder="@DIR@">
  <file path="../keep.txt" kind="page" />
  <file path="a/../../keep.txt" kind="picture" />
  <folder path="../" />
</kelvo-record>
''')


def url_seeds():
    for i, path in enumerate(["\x01C:\\Web\\pics\\Strand \u00dc-1_big.jpg", "\x00out/a b#?.jpg",
                              "\x01../x/\u00e9t\u00e9 \u00c4\u00d6\u00dc\u00e4\u00f6\u00fc.jpg",
                              "\x00.."]):
        put("fuzz_make_url", "path-%d" % i, path.encode())


def language_seeds():
    for i, text in enumerate([b"%s: %d pictures, %5.1f%% done, %-8.2n MB", b"%2:s %1:d %.3s %x %",
                              "%s Bilder in \u00bb%s\u00ab".encode()]):
        put("fuzz_language", "text-%d" % i, text)


def language_file_seeds():
    # The shipped translations compiled as the build does, then damaged the ways a copy breaks:
    # cut short, and a block whose length runs past the end.
    lrelease = shutil.which("lrelease-qt6") or "/usr/lib/qt6/bin/lrelease"
    with tempfile.TemporaryDirectory() as folder:
        for code in ("EN", "DE"):
            output = os.path.join(folder, "Kelvo_%s.lng" % code)
            subprocess.run([lrelease, "-silent", "-idbased",
                            os.path.join(TOP, "translations", "Kelvo_%s.ts" % code), "-qm", output],
                           check=True)
            with open(output, "rb") as f:
                data = f.read()
            put("fuzz_language_file", "Kelvo_%s.lng" % code, data)
            if code == "EN":
                for cut in (15, 16, 21, len(data) // 2, len(data) - 1):
                    put("fuzz_language_file", "cut-%d.lng" % cut, data[:cut])
                put("fuzz_language_file", "long-block.lng",
                    data[:17] + struct.pack(">I", len(data)) + data[21:])


def help_seeds():
    # The sitemaps as written, and context maps: the first byte times four is the size of the
    # /#IVB part, the rest is /#STRINGS.
    for language in ("en", "de"):
        for kind in ("hhc", "hhk"):
            with open(os.path.join(TOP, "help", language, "Kelvo." + kind), "rb") as f:
                put("fuzz_help", "%s.%s" % (language, kind), f.read())
    strings = b"/html/start.htm\x00C:\\build\\help\\pictures.htm\x00\x00x.htm"
    pairs = [(1000, 0), (1024, 16), (2000, 46), (3000, 200), (-1, 15)]
    ivb = struct.pack("<I", 8 * len(pairs)) + b"".join(struct.pack("<iI", c, o) for c, o in pairs)
    put("fuzz_help", "context-map", bytes((len(ivb) // 4,)) + ivb + strings)
    put("fuzz_help", "context-map-short", bytes((3,)) + struct.pack("<IiI", 200, 5, 1) + b"a")


def main():
    if shutil.which("cjpeg") is None:
        sys.exit("make-seeds: cjpeg is missing (Debian libjpeg-turbo-progs)")
    if not os.path.exists("/usr/bin/convert"):
        sys.exit("make-seeds: /usr/bin/convert is missing (Debian imagemagick)")
    shutil.rmtree(CORPUS, ignore_errors=True)
    jpeg_seeds()
    bmp_seeds()
    webp_seeds()
    tiff_seeds()
    png_seeds()
    icc_seeds()
    heif_seeds()
    template_seeds()
    project_seeds()
    record_seeds()
    url_seeds()
    language_seeds()
    language_file_seeds()
    help_seeds()


if __name__ == "__main__":
    main()
