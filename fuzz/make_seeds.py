#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<reader>/: small hand-made edge cases, plus
excerpts of the generated show data when a data folder is given (thornwake-datagen's output).
Deterministic, so rerunning it changes nothing. Usage: make_seeds.py [DATA_DIR]"""
import hashlib
import os
import random
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def put(reader, content, name=None):
    if isinstance(content, str):
        content = content.encode("latin-1")
    folder = os.path.join(CORPUS, reader)
    os.makedirs(folder, exist_ok=True)
    name = name or hashlib.sha1(content).hexdigest()[:16]
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


def truncations(reader, content, step):
    for n in range(0, len(content), step):
        put(reader, content[:n])


CUBE = ("v -1 -1 -1\nv 1 -1 -1\nv -1 1 -1\nv 1 1 -1\nv -1 -1 1\nv 1 -1 1\nv -1 1 1\nv 1 1 1\n"
        "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
        "o front\nf 1/1 3/2 4/3 2/4\nf 5/1/1 6/2/1 8/3/1 7/4/1\no side\nf 1//1 2//1 6//1\nf -1 -2 -3\n")


def obj_seeds():
    r = "obj"
    put(r, "", "empty")
    put(r, CUBE, "cube")
    put(r, CUBE.replace("\n", "\r\n"), "cube_crlf")
    put(r, CUBE.replace("\n", "\n\0", 3), "cube_nul")
    truncations(r, CUBE, 9)
    put(r, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "index_zero")
    put(r, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -1 -2 -4\nf -2147483648 1 2\n", "negative_index")
    put(r, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4294967299\nf 2147483647 1 2\n", "huge_index")
    put(r, "v 0 0 0\nf 1\nf 1 1\nf\n", "short_faces")
    put(r, "v nan inf -inf\nv 1e999 -1e999 1e-999\nv 0 1 0\nvn nan 0 0\nf 1//1 2//1 3//1\n", "nan_inf")
    put(r, "o\no a\no b\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\no c\n", "empty_groups")
    put(r, "v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 1/1 1//1 1\n", "mixed_forms")
    # The 100k-corner face is built by the regression test instead: it would dwarf the rest.
    put(r, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf " + "1 2 3 " * 700 + "\n", "face_2100")
    put(r, "v 1 2\nv\nvt\nvn 1\nf 1/ 2/ 3/\nf 1/2/3/4 5\n#\x00\xff\n", "odd_tokens")


POLY = ("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1/1 2/1 3/1 4/1\nf 1// 2// 3//\n")


def polygon_seeds():
    r = "polygons"
    put(r, "", "empty")
    put(r, POLY, "square")
    put(r, POLY.replace("\n", "\r\n"), "square_crlf")
    put(r, POLY.replace("\n", "\0", 2), "square_nul")
    truncations(r, POLY, 5)
    put(r, "v 0 0 0\nf 0/1 1/1 2/1\nf -1// 99999999999// 2147483648//\n", "bad_indices")
    put(r, "v nan inf 1e999\nv -1e999 0 0\nf 1// 2//\nf 1\nf\n", "nan_short")
    put(r, "v 0 0 0\nf " + "1// " * 2000 + "\n", "face_2000")
    put(r, "v 0 0 0\nf 1/ 1 1/1/1 1//\n", "odd_refs")


def path_record(i):
    return struct.pack("<fffdd", 0.1 * i, 1.0 - 0.1 * i, 0.5, 0.25 * i, 0.0)


def path_seeds():
    r = "path"
    three = b"".join(path_record(i) for i in range(3))
    for n in range(len(three) + 1):
        put(r, three[:n])  # every length: partial records
    put(r, b"".join(path_record(i) for i in range(40)), "forty")
    nan = struct.pack("<fffdd", float("nan"), float("inf"), -float("inf"), float("nan"), 1e308)
    put(r, nan * 6, "nan_inf")
    put(r, b"\xff" * 28 * 5 + b"\x00" * 3, "ones")


def state_seeds():
    r = "state_file"
    good = "2\n\n\n25\n9\n" + "0.5 1 0 " * 9 + "\n\n\n146\n9\n" + "1 0 1 " * 9
    put(r, "", "empty")
    put(r, good, "two")
    put(r, good.replace("\n", "\r\n"), "two_crlf")
    put(r, good.replace(" ", "\0", 4), "two_nul")
    truncations(r, good, 7)
    put(r, "1e300\n0 1e300\n1 2 3\n", "huge_counts")
    put(r, "4294967297\n\n\n0\n-5\n", "negative_count")
    put(r, "nan\n", "nan_count")
    put(r, "3\n\n\ninf\nnan\n1e999 1 1\n", "nan_inf")
    put(r, "1\n\n\n0\n20\n" + "1 2 3 " * 20, "twenty_slots")
    put(r, "2\n1 3\n1 99999999999 -1\n", "overflowing_int")


def volume_seeds():
    r = "velocity_volume"
    rnd = random.Random(12)
    put(r, b"", "empty")
    texels = b"".join(struct.pack("<fff", rnd.uniform(-1, 1), rnd.uniform(-1, 1), rnd.uniform(-1, 1))
                      for _ in range(300))
    put(r, texels, "texels")
    for n in (1, 2, 3, 5, 11, 13, 4097):
        put(r, texels[:n], "short_%d" % n)
    put(r, struct.pack("<fff", float("nan"), float("inf"), -float("inf")) * 10, "nan_inf")


def shader_seeds():
    r = "shader_source"
    src = "uniform float t;\nvoid main() { gl_FragColor = vec4(t); }\n"
    put(r, "", "empty")
    put(r, src, "fragment")
    put(r, src.replace("\n", "\r\n"), "fragment_crlf")
    put(r, src.replace(";", ";\0", 1), "fragment_nul")
    put(r, b"\xef\xbb\xbf" + src.encode(), "bom")


def run_option_seeds():
    r = "run_options"
    args = [
        ["--data", "data", "--capture", "out", "--size", "160x90", "--fps", "10", "--from", "1", "--to", "2", "--no-aa"],
        ["--help"], ["--version"], ["--size", "99999x1"], ["--size", "x"], ["--fps", "0"],
        ["--fps", "1e999"], ["--from", "nan"], ["--from", "5", "--to", "4"], ["--seek", "-1"],
        ["--windowed", "--fullscreen"], ["--capture", "a", "--video", "b"], ["--start-scene", "99999999999"],
        ["--size=1280x720", "--seek=inf"], ["-"], ["--"], ["--data"], [""], ["--fps", "2147483648"],
        ["--size", "1" * 5000 + "x10"],
    ]
    for a in args:
        put(r, "\0".join(a).encode())


# The snapshot reader's fuzz key and shape (fuzz/reader_inputs.h) and its hash (state/).
SNAP_KEY = 0x5457534E41500001
SNAP_FLOATS = (8, 4, 9)
M64 = (1 << 64) - 1
K1, K2, K3 = 0x9E3779B97F4A7C15, 0xBF58476D1CE4E5B9, 0x94D049BB133111EB


def hash_bytes(data, seed=0):
    def absorb(lane, word):
        lane = ((lane ^ word) * K3) & M64
        return lane ^ (lane >> 29)

    def finish(h):
        h ^= h >> 30
        h = (h * K2) & M64
        h ^= h >> 27
        h = (h * K3) & M64
        return h ^ (h >> 31)

    def word(at):
        return int.from_bytes(data[at:at + 8], "little")

    lane = [seed ^ K1, seed ^ K2, seed ^ K3, ~seed & M64]
    at = 0
    while len(data) - at >= 32:
        lane = [absorb(lane[i], word(at + 8 * i)) for i in range(4)]
        at += 32
    i = 0
    while len(data) - at >= 8:
        lane[i] = absorb(lane[i], word(at))
        at += 8
        i += 1
    if at < len(data):
        lane[3] = absorb(lane[3], word(at))
    h = seed ^ ((len(data) * K1) & M64)
    for l in lane:
        h = (finish(h ^ l) + K1) & M64
    return finish(h)


def byte_shuffle(raw, element):
    n = len(raw) // element
    return b"".join(raw[b:n * element:element] for b in range(element)) + raw[n * element:]


def snapshot(step, floats, tail=(0.0, 0.0, 0.0, 0, 0.0, 0.0, 0.0, 0), key=SNAP_KEY, counts=None, version=2,
             level=1, stream=None, extra=b""):
    # floats: main, splash, box positions; the box colours follow the positions' count
    counts = counts or [len(f) for f in floats]
    colours = [0.25 * (i % 4) for i in range(len(floats[2]))]
    payload = (byte_shuffle(struct.pack("<%df" % len(floats[0]), *floats[0]), 16) +
               byte_shuffle(struct.pack("<%df" % len(floats[1]), *floats[1]), 16) +
               byte_shuffle(struct.pack("<%df" % len(floats[2]), *floats[2]), 12) +
               byte_shuffle(struct.pack("<%df" % len(colours), *colours), 12) +
               struct.pack("<3fi3fi", *tail))
    stream = zlib.compress(payload, level) if stream is None else stream
    head = b"TWSNAP" + struct.pack("<HQqQQQQ", version, key, step, *counts, len(stream))
    return head + struct.pack("<Q", hash_bytes(payload, hash_bytes(head, key))) + stream + extra


def snapshot_seeds():
    r = "snapshot"
    rnd = random.Random(7)
    floats = [[rnd.uniform(-4, 4) for _ in range(n)] for n in SNAP_FLOATS]
    tail = (0.5, -1.0, 2.0, 1, 0.25, -0.75, 1.5, 274)
    good = snapshot(600, floats, tail)
    put(r, good, "valid")
    put(r, snapshot(0, [[0.0] * n for n in SNAP_FLOATS]), "valid_zero")
    put(r, snapshot(2 ** 40, floats, tail, level=0), "valid_stored")
    odd = [[float("nan"), float("inf"), -float("inf"), -0.0, 1e-45, 3.4e38, 0.0, 1.0], floats[1], floats[2]]
    put(r, snapshot(1, odd, tail, level=9), "valid_nan_inf")
    put(r, b"", "empty")
    put(r, good[:64], "header_only")
    truncations(r, good, 11)
    put(r, good + b"\0", "trailing")
    put(r, snapshot(600, floats, tail, key=SNAP_KEY + 1), "other_key")
    put(r, snapshot(600, floats, tail, version=1), "version_1")
    put(r, snapshot(-1, floats, tail), "negative_step")
    put(r, snapshot(600, floats, tail, counts=[8, 4, 1 << 62]), "huge_count")
    put(r, snapshot(600, floats, tail, stream=zlib.compress(b"\0" * 1000000, 9)), "inflates_too_far")
    put(r, snapshot(600, floats, tail, stream=zlib.compress(b"\0" * 40)), "inflates_short")
    put(r, snapshot(600, floats, tail, stream=zlib.compress(b"\0" * 152) + b"\0"), "stream_then_junk")
    put(r, good[:-9] + bytes([good[-9] ^ 0x10]) + good[-8:], "flipped_stream")
    put(r, good[:56] + bytes([good[56] ^ 1]) + good[57:], "checksum_field")


def image_seeds(data_dir):
    r = "image_sequence"
    put(r, b"", "empty")
    put(r, b"\xff\xd8\xff\xe0" + b"\x00" * 40, "jpeg_header_only")
    # Hand-made tiny images in formats the decoder accepts, so coverage starts inside them.
    w, h = 24, 16
    pixels = bytes(((x * 11) ^ (y * 7)) & 0xFF if 4 < x < 20 and 3 < y < 12 else 0
                   for y in range(h) for x in range(w))
    put(r, b"P5\n%d %d\n255\n" % (w, h) + pixels, "tiny.pgm")
    put(r, b"P5\n99999 99999\n255\n" + pixels, "huge_claim.pgm")
    put(r, b"P2\n2 2\n255\n0 255\n255 0\n", "ascii.pgm")
    row = (w + 3) & ~3
    bmp_pixels = b"".join(pixels[y * w:(y + 1) * w] + b"\0" * (row - w) for y in reversed(range(h)))
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    offset = 14 + 40 + len(palette)
    bmp = (b"BM" + struct.pack("<IHHI", offset + len(bmp_pixels), 0, 0, offset) +
           struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(bmp_pixels), 0, 0, 256, 0) +
           palette + bmp_pixels)
    put(r, bmp, "tiny.bmp")
    put(r, bmp[:70], "truncated.bmp")
    if data_dir:
        for frame in ("00000", "00275"):
            path = os.path.join(data_dir, "imageseq", frame + ".jpeg")
            if os.path.exists(path):
                data = open(path, "rb").read()
                put(r, data, frame + ".jpeg")
                put(r, data[:len(data) // 2], frame + "_half.jpeg")


def data_seeds(data_dir):
    """Excerpts of the generated files: whole where small, the head where large."""
    def read(rel, limit=None):
        path = os.path.join(data_dir, rel)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read(limit) if limit else f.read()

    box = read("newneomeshes/thegoodbox.obj")
    if box:
        put("polygons", box, "thegoodbox.obj")
        put("obj", box, "thegoodbox.obj")
    head = read("newneomeshes/thehead.obj")
    if head:
        put("polygons", head, "thehead.obj")
    title = read("newneomeshes/thornwake.obj", 24000)
    if title:
        put("obj", title[:title.rfind(b"\n") + 1], "thornwake_head.obj")
    path = read("try1.sav", 28 * 200)
    if path:
        put("path", path, "try1_head.sav")
    volume = read("binaries/Velocity.dat", 12 * 1024)
    if volume:
        put("velocity_volume", volume, "velocity_head.dat")
    # The shipped shaders are committed in data/ already: scripts/fuzz seeds from there.


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else None
    obj_seeds()
    polygon_seeds()
    path_seeds()
    state_seeds()
    volume_seeds()
    shader_seeds()
    run_option_seeds()
    snapshot_seeds()
    image_seeds(data_dir)
    if data_dir:
        data_seeds(data_dir)


if __name__ == "__main__":
    main()
