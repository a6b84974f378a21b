#!/usr/bin/env python3
"""Writes the demo MSTS installation in demo/ from the definitions below.

Run from anywhere:  python3 demo/tools/make_demo.py
Everything in demo/ except the tools/ folder is deleted and written again,
so edit the definitions here rather than the generated files.

Text files are written as MSTS writes them: UTF-16LE with the byte-order
mark FF FE, the SIMISA@@@@@@@@@@JINX0 header line of the file's type, an
empty line, CR LF line ends and one tab of indentation per level.  Consist
(.con) and service (.srv) files follow the program's own save layout to the
byte.  The other files put an item's own values directly after its opening
parenthesis ("Wagon ( GP38", "points ( 8"), as MSTS content does; both
layouts read into the same item tree.

Textures are small 16x16 .ace files (uncompressed, DXT1, compressed) and
.dds files, sounds short 8-bit mono .wav files, shapes made of boxes in
Unicode text, binary or compressed form, some with bogies and wheels.

The deliberate faults are listed in FAULTS and the references whose letter
case differs from the file on disk in CASE_DIFFERENCES; README.md is written
from both, and tools/check_demo.py asserts that the files on disk show
exactly these faults.
"""

import math
import re
import shutil
import struct
import sys
import zlib
from pathlib import Path

DEMO = Path(__file__).resolve().parent.parent
CRLF = "\r\n"

# Header type codes by extension (the JINX0 code of each file type).
HEADER_CODES = {
    "con": "D0t", "eng": "D0t", "wag": "D0t", "sd": "t1t", "s": "s1t",
    "cvf": "h0t", "trk": "r0t", "sms": "x1t", "act": "a0t", "srv": "v0t",
}

# Items that keep their values on the opening line in the program's layout.
OPENING_LINE_NAMES = {"SignalUnit", "SignalUnits", "TrainCfg",
                      "Traffic_Definition", "Service_Definition"}

# Extensions written in the program's own save layout.
SAVE_LAYOUT = {"con", "srv"}


# ---------------------------------------------------------------------------
# Item trees and the text writer


class Item:
    """One item: a name, its values, its children and values after them."""

    def __init__(self, name, *params, kids=(), tail=()):
        self.name = name
        self.params = [str(p) for p in params]
        self.kids = list(kids)
        self.tail = [str(p) for p in tail]


def I(name, *params, kids=(), tail=()):
    return Item(name, *params, kids=kids, tail=tail)


def param_text(values):
    """Joins values, each after a blank; a value with a blank gets quotes."""
    text = ""
    for v in values:
        if " " in v and not (v.startswith('"') or v.endswith('"')):
            v = '"' + v + '"'
        text += " " + v
    return text


def write_item(out, item, indent, suffix, is_last, save_layout):
    own = param_text(item.params)
    end = "" if is_last else CRLF
    if not item.kids:
        if item.params:
            out.append(indent + item.name + " (" + own + " )" + suffix + end)
        else:
            # An item with nothing inside is written as MSTS does: "Name ( )".
            out.append(indent + item.name + " ( )" + suffix + end)
        return
    opening = item.name in OPENING_LINE_NAMES or not save_layout
    out.append(indent + item.name + " (" + (own if opening else "") + CRLF)
    trailing = param_text(item.tail)
    if not opening and own.strip():
        trailing = own + trailing
    for kid in item.kids[:-1]:
        write_item(out, kid, indent + "\t", "", False, save_layout)
    write_item(out, item.kids[-1], indent + "\t",
               trailing if trailing.strip() else "", False, save_layout)
    if item.name in OPENING_LINE_NAMES:
        end = CRLF
    out.append(indent + ")" + suffix + end)


def file_text(ext, items):
    header = "SIMISA@@@@@@@@@@JINX0" + HEADER_CODES[ext] + "______"
    out = [header + CRLF, CRLF]
    save_layout = ext in SAVE_LAYOUT
    for i, item in enumerate(items):
        write_item(out, item, "", "", i == len(items) - 1, save_layout)
    return "".join(out)


WRITTEN = []


def put_bytes(rel, data):
    path = DEMO / rel
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)
    WRITTEN.append(rel)


def put_text(rel, items):
    ext = rel.rsplit(".", 1)[1].lower()
    text = file_text(ext, items)
    if any(ord(c) > 127 for c in text):
        sys.exit(f"{rel}: only 7-bit text may be written")
    if "  " in text.replace("\t", ""):
        sys.exit(f"{rel}: two blanks in a row would read as an empty value")
    put_bytes(rel, b"\xff\xfe" + text.encode("utf-16-le"))


def num(v):
    """Writes a number without trailing zeros (1.50 -> 1.5, -0.0 -> 0)."""
    text = f"{v:.4f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


# ---------------------------------------------------------------------------
# Textures (.ace) and sounds (.wav)

COLOURS = {
    "gp38": (200, 60, 40), "frame": (55, 55, 60), "dd40": (30, 90, 160),
    "boxcar": (150, 75, 45), "red": (185, 35, 35), "hopper": (90, 95, 100),
    "coal": (25, 25, 28), "caboose": (200, 160, 30), "tanker": (20, 20, 20),
    "cab": (120, 140, 120), "panel": (40, 40, 40), "needle": (230, 230, 230),
    "thumb": (90, 130, 170), "wall": (170, 150, 120), "roof": (100, 60, 50),
    "signal": (190, 190, 170), "platform": (150, 150, 140),
    "crane": (210, 170, 40), "warehouse": (130, 110, 90),
    "load": (60, 110, 60), "bollard": (40, 40, 40), "bogie": (70, 60, 55),
}

# How seasonal and night variants tint a texture.
TINTS = {
    "Autumn": (1.2, 0.9, 0.6), "AutumnSnow": (1.3, 1.2, 1.1),
    "Spring": (0.9, 1.15, 0.9), "SpringSnow": (1.3, 1.3, 1.3),
    "Winter": (0.85, 0.85, 1.0), "WinterSnow": (1.5, 1.5, 1.5),
    "Snow": (1.6, 1.6, 1.6), "Night": (0.35, 0.35, 0.5),
}


def picture(colour, size=16, tint=(1.0, 1.0, 1.0)):
    """A framed tile with a band, as rows of (r, g, b) pixels, top row first.

    The lighter band near the top and the marker in the top-left corner show
    which way up the texture is drawn.
    """
    w = h = size
    base = tuple(min(255, int(c * t)) for c, t in zip(colour, tint))
    dark = tuple(c // 2 for c in base)
    light = tuple(min(255, c + 70) for c in base)

    def pixel(x, y):
        if x in (0, w - 1) or y in (0, h - 1):
            return dark
        if x < 4 and y < 4:
            return (255, 255, 255)
        if 3 <= y <= 4:
            return light
        return base

    return [[pixel(x, y) for x in range(w)] for y in range(h)]


def halved(rows):
    """The next smaller mipmap level: every second pixel of every second row."""
    return [row[::2] for row in rows[::2]]


def ace_header(size, options, fmt, channels):
    body = struct.pack("<7i", 1, options, size, size, fmt, len(channels), 0)
    body += b"\0" * 16
    body += b"Vantor demo texture".ljust(64, b"\0")
    body += b"\0" * 44
    for bits, channel in channels:
        body += struct.pack("<qq", bits, channel)
    return body


def rgb_rows(rows):
    """Rows as ACE stores them: the R, G and B planes of each row in turn."""
    return b"".join(bytes(p[c] for p in row) for row in rows for c in range(3))


def ace(colour, size=16, tint=(1.0, 1.0, 1.0)):
    """An uncompressed RGB .ace without mipmaps."""
    w = h = size
    rows = picture(colour, size, tint)
    body = ace_header(size, 0, 0x0E, [(8, 3), (8, 4), (8, 5)])
    first_row = len(body) + 4 * h
    body += b"".join(struct.pack("<i", first_row + 3 * w * y) for y in range(h))
    body += rgb_rows(rows)
    return b"SIMISA@@@@@@@@@@" + body


def rgb565(p):
    return (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3


def from565(c):
    r, g, b = c >> 11, (c >> 5) & 63, c & 31
    return (r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2)


def dxt1_blocks(rows):
    """DXT1 (BC1) blocks of a picture, each 4x4 block between its lightest and
    darkest pixel, left to right and top to bottom."""
    out = b""
    h, w = len(rows), len(rows[0])
    for by in range(0, h, 4):
        for bx in range(0, w, 4):
            block = [rows[min(by + y, h - 1)][min(bx + x, w - 1)]
                     for y in range(4) for x in range(4)]
            c0, c1 = max(rgb565(p) for p in block), min(rgb565(p) for p in block)
            if c0 == c1:
                out += struct.pack("<HHI", c0, c1, 0)
                continue
            a, b = from565(c0), from565(c1)
            palette = [a, b, tuple((2 * a[i] + b[i]) // 3 for i in range(3)),
                       tuple((a[i] + 2 * b[i]) // 3 for i in range(3))]
            bits = 0
            for k, p in enumerate(block):
                best = min(range(4), key=lambda j: sum(
                    (p[i] - palette[j][i]) ** 2 for i in range(3)))
                bits |= best << (2 * k)
            out += struct.pack("<HHI", c0, c1, bits)
    return out


def ace_dxt1(colour, size=16):
    """A DXT1 .ace with mipmaps; the levels under 4x4 are plain RGB rows."""
    levels = [picture(colour, size)]
    while len(levels[-1]) > 1:
        levels.append(halved(levels[-1]))
    body = ace_header(size, 0x11, 0x12, [(8, 3), (8, 4), (8, 5)])
    data, offsets = b"", []
    start = len(body) + 4 * len(levels)
    for rows in levels:
        offsets.append(start + len(data))
        if len(rows) >= 4:
            blocks = dxt1_blocks(rows)
            data += struct.pack("<i", len(blocks)) + blocks
        else:
            data += rgb_rows(rows)
    body += b"".join(struct.pack("<i", o) for o in offsets) + data
    return b"SIMISA@@@@@@@@@@" + body


def dds(colour, size=16, dxt1=False):
    """A .dds: DXT1 with mipmaps, or uncompressed 32-bit BGRA without them."""
    levels = [picture(colour, size)]
    while dxt1 and len(levels[-1]) > 1:
        levels.append(halved(levels[-1]))
    flags = 0x1007 | (0x20000 if dxt1 else 0)
    header = struct.pack("<7I", 124, flags, size, size, 0, 0, len(levels)) + b"\0" * 44
    if dxt1:
        header += struct.pack("<II4s5I", 32, 0x4, b"DXT1", 0, 0, 0, 0, 0)
        data = b"".join(dxt1_blocks(rows) for rows in levels)
    else:
        header += struct.pack("<II4s5I", 32, 0x41, b"\0" * 4, 32, 0xFF0000, 0xFF00,
                              0xFF, 0xFF000000)
        data = b"".join(bytes((p[2], p[1], p[0], 255)) for row in levels[0] for p in row)
    header += struct.pack("<I", 0x1000 | (0x400008 if dxt1 else 0)) + b"\0" * 16
    return b"DDS " + header + data


def wav(freq, ms=150, rate=11025):
    """A short 8-bit mono PCM tone."""
    n = rate * ms // 1000
    data = bytes(128 + int(40 * math.sin(2 * math.pi * freq * i / rate))
                 for i in range(n))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    chunks = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    chunks += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(chunks)) + chunks


# ---------------------------------------------------------------------------
# Shapes (.s) and shape descriptions (.sd)

NORMALS = [(-1, 0, 0), (1, 0, 0), (0, -1, 0), (0, 1, 0), (0, 0, -1), (0, 0, 1)]
UVS = [(0, 0), (1, 0), (1, 1), (0, 1)]


def box_faces(x0, x1, y0, y1, z0, z1):
    """Yields (normal index, four corners) for the six faces of a box.

    Corners are ordered so that (b - a) x (c - a) points outwards: seen from
    outside in MSTS's left-handed axes the triangles (a, b, c) and (a, c, d)
    run clockwise, which is MSTS's front face.
    """
    xs, ys, zs = (x0, x1), (y0, y1), (z0, z1)
    for ni, n in enumerate(NORMALS):
        axis = [i for i in range(3) if n[i]][0]
        fixed = (xs, ys, zs)[axis][0 if n[axis] < 0 else 1]
        u_axis, v_axis = [(2, 1), (2, 1), (0, 2), (0, 2), (0, 1), (0, 1)][ni]
        corners = []
        for u, v in UVS:
            p = [0.0, 0.0, 0.0]
            p[axis] = fixed
            p[u_axis] = (xs, ys, zs)[u_axis][u]
            # v runs from the top of a side face (0) to its bottom (1).
            p[v_axis] = (xs, ys, zs)[v_axis][1 - v if v_axis == 1 else v]
            corners.append(tuple(p))
        a, b, c = corners[0], corners[1], corners[2]
        ab = [b[i] - a[i] for i in range(3)]
        ac = [c[i] - a[i] for i in range(3)]
        cross = (ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                 ab[0] * ac[1] - ab[1] * ac[0])
        order = [0, 1, 2, 3]
        if sum(cross[i] * n[i] for i in range(3)) < 0:
            order = [0, 3, 2, 1]
        yield ni, [(corners[k], k) for k in order]


def shape(parts, images, declared_images=None, matrices=None):
    """A shape made of boxes.

    parts: (x0, x1, y0, y1, z0, z1, image index[, matrix index]) in metres,
    MSTS axes (X right, Y up, Z forward), in the space of their matrix;
    images: texture file names as written; matrices: (name, (x, y, z), parent)
    for a hierarchy of translations (default: MAIN alone).
    """
    matrices = matrices or [("MAIN", (0, 0, 0), -1)]
    points, vertices, groups = [], [], {}
    world = []
    for name, offset, parent in matrices:
        base = world[parent] if parent >= 0 else (0, 0, 0)
        world.append(tuple(base[i] + offset[i] for i in range(3)))
    for part in parts:
        x0, x1, y0, y1, z0, z1, img = part[:7]
        mat = part[7] if len(part) > 7 else 0
        for ni, corners in box_faces(x0, x1, y0, y1, z0, z1):
            first = len(vertices)
            for p, uv in corners:
                points.append(p)
                vertices.append((len(points) - 1, ni, uv))
            tris = groups.setdefault((img, mat), [])
            tris.append((first, first + 1, first + 2, ni))
            tris.append((first, first + 2, first + 3, ni))
    placed = []
    for part in parts:
        mat = part[7] if len(part) > 7 else 0
        for i in range(2):
            placed.append([part[2 * k + i] + world[mat][k] for k in range(3)])
    lo = [min(p[i] for p in placed) for i in range(3)]
    hi = [max(p[i] for p in placed) for i in range(3)]
    centre = [(lo[i] + hi[i]) / 2 for i in range(3)]
    radius = math.sqrt(sum((hi[i] - lo[i]) ** 2 for i in range(3))) / 2
    ordered = sorted(groups)
    textured = sorted({img for img, _ in ordered})
    prims = []
    for key in ordered:
        tris = groups[key]
        idxs = [str(v) for t in tris for v in t[:3]]
        prims.append(I("prim_state_idx", ordered.index(key)))
        prims.append(I("indexed_trilist", kids=[
            I("vertex_idxs", len(idxs), *idxs),
            I("normal_idxs", len(tris), *[x for t in tris for x in (t[3], 3)]),
            I("flags", len(tris), *["00000000"] * len(tris)),
        ]))
    faces = sum(len(groups[g]) for g in ordered)
    count = len(ordered)
    header = I("sub_object_header", "00000400", -1, -1, "000001d2", "000001c4",
               kids=[
                   I("geometry_info", faces, count, 0, 3 * faces, 0, 0, count,
                     0, 0, 0, kids=[
                         I("geometry_nodes", 1, kids=[
                             I("geometry_node", count, 0, 0, 0, 0, kids=[
                                 I("cullable_prims", count, faces, 3 * faces)])]),
                         I("geometry_node_map", 1, 0)]),
                   I("subobject_shaders", 1, 0),
                   I("subobject_light_cfgs", 1, 0)],
               tail=[0])
    sub_object = I("sub_object", kids=[
        header,
        I("vertices", len(vertices), kids=[
            I("vertex", "00000000", p, n, "ffffffff", "ff808080",
              kids=[I("vertex_uvs", 1, uv)]) for p, n, uv in vertices]),
        I("vertex_sets", 1, kids=[I("vertex_set", 0, 0, len(vertices))]),
        I("primitives", len(prims), kids=prims),
    ])
    return [I("shape", kids=[
        I("shape_header", "00000000", "00000000"),
        I("volumes", 1, kids=[I("vol_sphere", kids=[
            I("vector", *[num(c) for c in centre])], tail=[num(radius)])]),
        I("shader_names", 1, kids=[I("named_shader", "TexDiff")]),
        I("texture_filter_names", 1, kids=[I("named_filter_mode", "MipLinear")]),
        I("points", len(points), kids=[
            I("point", *[num(c) for c in p]) for p in points]),
        I("uv_points", len(UVS), kids=[I("uv_point", u, v) for u, v in UVS]),
        I("normals", len(NORMALS), kids=[I("vector", *n) for n in NORMALS]),
        I("sort_vectors", 0),
        I("colours", 0),
        I("matrices", len(matrices), kids=[
            I("matrix " + name, 1, 0, 0, 0, 1, 0, 0, 0, 1, *[num(c) for c in offset])
            for name, offset, _ in matrices]),
        I("images", declared_images or len(images),
          kids=[I("image", name) for name in images]),
        I("textures", len(textured), kids=[
            I("texture", img, 0, 0, "ff000000") for img in textured]),
        I("light_materials", 0),
        I("light_model_cfgs", 1, kids=[I("light_model_cfg", "00000000", kids=[
            I("uv_ops", 1, kids=[I("uv_op_copy", 1, 0)])])]),
        I("vtx_states", len(matrices), kids=[
            I("vtx_state", "00000000", m, -5, 0, "00000002")
            for m in range(len(matrices))]),
        I("prim_states", len(ordered), kids=[
            I("prim_state", "00000000", 0, kids=[I("tex_idxs", 1, textured.index(img))],
              tail=[0, mat, 0, 0, 1]) for img, mat in ordered]),
        I("lod_controls", 1, kids=[I("lod_control", kids=[
            I("distance_levels_header", 0),
            I("distance_levels", 1, kids=[I("distance_level", kids=[
                I("distance_level_header", kids=[
                    I("dlevel_selection", 2000),
                    I("hierarchy", len(matrices), *[p for _, _, p in matrices])]),
                I("sub_objects", 1, kids=[sub_object])])])])]),
    ])], (lo, hi)


# The binary token form of a shape: every block is uint16 token id, uint16 0,
# uint32 length of the rest, uint8 label length and the label in UTF-16LE, then
# its values and child blocks in the order the token's layout gives. Ids and
# layouts are the file library's own.
LIBRARY = DEMO.parent / "library"


def token_ids():
    ids = {}
    for line in (LIBRARY / "tokens" / "core-tokens.tsv").read_text().splitlines():
        number, name = line.split("\t")
        ids[name.lower()] = int(number)
    return ids


def token_layouts():
    source = (LIBRARY / "src" / "TokenLayouts.cpp").read_text()
    return dict(re.findall(r'\{"(\w+)", "([^"]*)"\}', source))


def binary_block(item, ids, layouts):
    token, _, label = item.name.partition(" ")
    layout = layouts[token]
    queue = [("v", p) for p in item.params] + [("b", k) for k in item.kids] + \
            [("v", t) for t in item.tail]
    body = b""
    for count, letter, star, optional in re.findall(r"(\d*)([uidfsb])(\*?)(\[?)", layout):
        repeat = len(queue) if star else int(count or 1)
        for _ in range(repeat):
            if not queue:
                break
            kind, value = queue.pop(0)
            if letter == "b":
                body += binary_block(value, ids, layouts)
            elif letter == "f":
                body += struct.pack("<f", float(value))
            elif letter == "d":
                body += struct.pack("<I", int(value, 16))
            elif letter == "i":
                body += struct.pack("<i", int(value))
            elif letter == "u":
                body += struct.pack("<I", int(value))
            else:
                text = value.strip('"')
                body += struct.pack("<H", len(text)) + text.encode("utf-16-le")
        if optional and not queue:
            break
    if queue:
        sys.exit(f"{item.name}: values left over for the layout {layout}")
    head = struct.pack("<B", len(label)) + label.encode("utf-16-le")
    return struct.pack("<HHI", ids[token], 0, len(head) + len(body)) + head + body


def binary_shape(items):
    payload = b"JINX0s1b______\r\n" + binary_block(items[0], token_ids(), token_layouts())
    return b"SIMISA@@@@@@@@@@" + payload


def compressed(data):
    """The compressed form of a file: SIMISA@F, the inflated length, @@@@, zlib."""
    payload = data[16:]
    return b"SIMISA@F" + struct.pack("<I", len(payload)) + b"@@@@" + zlib.compress(payload, 9)


def sd(shape_name, alt_texture, bounds):
    lo, hi = bounds
    return [I("shape", shape_name, kids=[
        I("ESD_Detail_Level", 0),
        I("ESD_Alternative_Texture", alt_texture),
        I("ESD_Bounding_Box", *[num(v) for v in lo + hi]),
    ])]


def put_shape(folder, name, parts, images, alt_texture=0, with_sd=True,
              declared_images=None, matrices=None, form="text"):
    """form: "text" (Unicode), "binary" or "compressed" (binary, zlib-packed)."""
    items, bounds = shape(parts, images, declared_images, matrices)
    if form == "text":
        put_text(f"{folder}/{name}.s", items)
    elif form == "binary":
        put_bytes(f"{folder}/{name}.s", binary_shape(items))
    else:
        put_bytes(f"{folder}/{name}.s", compressed(binary_shape(items)))
    if with_sd:
        put_text(f"{folder}/{name}.sd", sd(f"{name}.s", alt_texture, bounds))


# Box shapes for rolling stock: (x0, x1, y0, y1, z0, z1, image).
def frame(length, image=1):
    h = length / 2
    return (-1.4, 1.4, 0.5, 1.2, -h, h, image)


def hood_unit(length, cab=True):
    """A diesel hood unit; the cab (when there is one) is near the front, +Z."""
    h = length / 2
    parts = [frame(length)]
    if cab:
        parts += [(-1.1, 1.1, 1.2, 3.9, -h + 0.4, h - 5.0, 0),
                  (-1.5, 1.5, 1.2, 4.5, h - 5.0, h - 2.0, 0),
                  (-1.1, 1.1, 1.2, 3.4, h - 2.0, h - 0.3, 0)]
    else:
        parts += [(-1.1, 1.1, 1.2, 3.9, -h + 0.4, h - 0.4, 0)]
    return parts


def running_gear(length, image):
    """Two bogies under MAIN, each with two wheel sets under matrices of their
    own: (parts, matrices) for shape(). Bogie centres stand 2 m in from the ends."""
    matrices = [("MAIN", (0, 0, 0), -1)]
    parts = []
    for n, z in ((1, length / 2 - 2.0), (2, -(length / 2 - 2.0))):
        bogie = len(matrices)
        matrices.append((f"BOGIE{n}", (0, 0, z), 0))
        parts.append((-1.3, 1.3, 0.3, 0.5, -1.5, 1.5, image, bogie))
        for axle, dz in (("A", 0.9), ("B", -0.9)):
            wheels = len(matrices)
            matrices.append((f"WHEELS{n}{axle}", (0, 0.45, dz), bogie))
            parts += [(-0.8, -0.65, -0.45, 0.45, -0.45, 0.45, image, wheels),
                      (0.65, 0.8, -0.45, 0.45, -0.45, 0.45, image, wheels),
                      (-0.65, 0.65, -0.06, 0.06, -0.06, 0.06, image, wheels)]
    return parts, matrices


def boxcar(length, height):
    h = length / 2
    return [frame(length), (-1.55, 1.55, 1.2, height, -h, h, 0)]


# ---------------------------------------------------------------------------
# Rolling stock

TRAINSET = "Trains/Trainset"


def wagon_section(name, kind, shape_name, size, mass, sound, extra=()):
    w, h, l = size
    kids = [
        I("Type", kind),
        I("WagonShape", shape_name),
        *extra,
        I("Size", f"{num(w)}m", f"{num(h)}m", f"{num(l)}m"),
        I("Mass", f"{num(mass)}t"),
        I("WheelRadius", "0.46m"),
        I("NumWheels", 8),
        I("Coupling", kids=[I("Type", "Automatic"), I("Velocity", "0.1m/s")]),
        I("BrakeSystemType", "Air single-pipe"),
        I("MaxBrakeForce", "60kN"),
        I("Sound", sound),
    ]
    return I("Wagon", name, kids=kids)


def engine_section(name, wagon_name, cab, sound, title, description):
    return I("Engine", name, kids=[
        I("Wagon", wagon_name),
        I("Type", "Diesel"),
        I("MaxPower", "1491kW"),
        I("MaxForce", "283kN"),
        I("MaxContinuousForce", "240kN"),
        I("MaxVelocity", "65mph"),
        I("WheelRadius", "0.51m"),
        I("DieselEngineIdleRPM", 315),
        I("DieselEngineMaxRPM", 900),
        I("CabView", cab),
        I("Sound", sound),
        I("Name", title),
        I("Description", description),
    ])


def sms(files_by_trigger):
    """A sound definition: one stream per (trigger kind, wav names)."""
    streams = []
    for trigger, names in files_by_trigger:
        files = [I("File", f'"{n}"', -1) for n in names]
        selection = I("SelectionMethod", "SequentialSelection")
        if trigger == "loop":
            trig = I("Initial_Trigger", kids=[
                I("StartLoop", len(files), kids=files + [selection])])
        else:
            trig = I("Discrete_Trigger", 8, kids=[
                I("PlayOneShot", len(files), kids=files + [selection])])
        streams.append(I("Stream", kids=[
            I("Priority", 6), I("Triggers", 1, kids=[trig])]))
    return [I("Tr_SMS", kids=[I("ScalabiltyGroup", 5, kids=[
        I("Activation", kids=[I("ExternalCam"), I("Distance", 1000)]),
        I("Deactivation", kids=[I("Distance", 1000)]),
        I("Volume", "1.0"),
        I("Streams", len(streams), kids=streams),
    ])])]


def cvf(engine, views, controls):
    """A cab view: three views (front, left, right) and dial-like controls."""
    kids = [I("CabViewType", 1)]
    for image, heading in views:
        kids += [I("CabViewFile", image), I("CabViewWindow", 0, 0, 640, 480),
                 I("CabViewWindowFile", '""'), I("Position", -0.6, 2.8, 7.9),
                 I("Direction", 0, heading, 0)]
    kids.append(I("EngineData", engine))
    ctl = []
    for kind, ctype, image, x in controls:
        ctl.append(I(kind, kids=[
            I("Type", *ctype), I("Position", x, 380, 40, 40),
            I("Graphic", image), I("Style", "NEEDLE" if kind == "Dial" else "LIST"),
            I("ScaleRange", 0, 80)]))
    kids.append(I("CabViewControls", len(ctl), kids=ctl))
    return [I("Tr_CabViewFile", kids=kids)]


def stock():
    # GP38: the reference engine, every file present.
    f = f"{TRAINSET}/GP38"
    gp38_size = (3.1, 4.6, 17.1)
    put_text(f"{f}/GP38.eng", [
        wagon_section("GP38", "Engine", "GP38.s", gp38_size, 113, "GP38.sms",
                      extra=[I("Thumbnail", "GP38_Thumb.ace")]),
        engine_section("GP38", "GP38", "gp38.cvf", "GP38cab.sms", "Demo GP38",
                       "A four-axle road switcher made for the Vantor demo."),
    ])
    # GP38b: cloned from GP38, its Engine section still names the GP38 wagon.
    put_text(f"{f}/GP38b.eng", [
        wagon_section("GP38b", "Engine", "GP38.s", gp38_size, 113, "GP38.sms"),
        engine_section("GP38b", "GP38", "gp38.cvf", "GP38cab.sms", "Demo GP38b",
                       "A second GP38 number, cloned from the first."),
    ])
    gear, matrices = running_gear(17.1, 2)
    put_shape(f, "GP38", hood_unit(17.1) + gear,
              ["GP38.ace", "GP38_Frame.ace", "GP38_Bogie.ace"], matrices=matrices)
    put_bytes(f"{f}/GP38.ace", ace(COLOURS["gp38"]))
    put_bytes(f"{f}/GP38_Frame.ace", ace(COLOURS["frame"]))
    put_bytes(f"{f}/GP38_Bogie.ace", ace_dxt1(COLOURS["bogie"]))
    put_bytes(f"{f}/GP38_Thumb.ace", ace(COLOURS["thumb"]))
    put_text(f"{f}/SOUND/GP38.sms", sms([("loop", ["GP38_Idle.wav"]),
                                          ("once", ["gp38_horn.wav"])]))
    put_text(f"{f}/SOUND/GP38cab.sms", sms([("loop", ["GP38 Cab Idle.wav"]),
                                             ("once", ["GP38_Bell.wav"])]))
    for n, hz in (("GP38_Idle", 110), ("GP38_Horn", 440), ("GP38 Cab Idle", 90),
                  ("GP38_Bell", 880)):
        put_bytes(f"{f}/SOUND/{n}.wav", wav(hz))
    put_text(f"{f}/CABVIEW/GP38.cvf", cvf(
        "GP38", [("GP38_Front.ace", 0), ("GP38_Left.ace", -70),
                 ("GP38_Right.ace", 70)],
        [("Dial", ("SPEEDOMETER", "DIAL"), "Speedo.ace", 300),
         ("Dial", ("AMMETER", "DIAL"), "Ammeter.ace", 360),
         ("Lever", ("THROTTLE", "LEVER"), "Throttle.ace", 420)]))
    for n in ("GP38_Front", "GP38_Left", "GP38_Right"):
        put_bytes(f"{f}/CABVIEW/{n}.ace", ace(COLOURS["cab"]))
    for n in ("Speedo", "Ammeter", "Throttle"):
        put_bytes(f"{f}/CABVIEW/{n}.ace", ace(COLOURS["needle"]))

    # Demo Diesel: a folder name with a blank; a six-axle A unit and B unit.
    f = f"{TRAINSET}/Demo Diesel"
    dd_size = (3.1, 4.7, 20.4)
    put_text(f"{f}/DD40.eng", [
        wagon_section("DD40", "Engine", "DD40.s", dd_size, 180, "DD40.sms"),
        engine_section("DD40", "DD40", "DD40.cvf", "DD40cab.sms", "Demo DD40",
                       "A heavy six-axle diesel for the coal trains."),
    ])
    put_text(f"{f}/DD40B.eng", [
        wagon_section("DD40B", "Engine", "DD40B.s", dd_size, 178, "DD40.sms"),
        engine_section("DD40B", "DD40B", "DD40B.cvf", "DD40Bcab.sms",
                       "Demo DD40B", "The cabless booster unit of the DD40."),
    ])
    put_shape(f, "DD40", hood_unit(20.4), ["DD40.ace", "DD40_Frame.ace"])
    put_shape(f, "DD40B", hood_unit(20.4, cab=False),
              ["DD40.ace", "DD40_Frame.ace"])
    put_bytes(f"{f}/DD40.ace", ace(COLOURS["dd40"]))
    put_bytes(f"{f}/DD40_Frame.ace", ace(COLOURS["frame"]))
    put_text(f"{f}/SOUND/DD40.sms", sms([("loop", ["DD40_Idle.wav"]),
                                          ("once", ["DD40_Horn.wav"])]))
    put_text(f"{f}/SOUND/DD40cab.sms", sms([("loop", ["DD40_CabIdle.wav"])]))
    put_text(f"{f}/SOUND/DD40Bcab.sms", sms([("loop", ["DD40_Idle.wav"])]))
    for n, hz in (("DD40_Idle", 100), ("DD40_Horn", 392), ("DD40_CabIdle", 80)):
        put_bytes(f"{f}/SOUND/{n}.wav", wav(hz))
    put_text(f"{f}/CABVIEW/DD40.cvf", cvf(
        "DD40", [("DD40_Front.ace", 0), ("DD40_Left.ace", -70),
                 ("DD40_Right.ace", 70)],
        [("Dial", ("SPEEDOMETER", "DIAL"), "DD40_Speedo.ace", 300),
         ("Lever", ("TRAIN_BRAKE", "LEVER"), "DD40_Brake.ace", 420)]))
    for n in ("DD40_Front", "DD40_Left", "DD40_Right"):
        put_bytes(f"{f}/CABVIEW/{n}.ace", ace(COLOURS["cab"]))
    put_bytes(f"{f}/CABVIEW/DD40_Speedo.ace", ace(COLOURS["needle"]))

    # Boxcar: two 40 ft boxcars, each with its own shape.
    f = f"{TRAINSET}/Boxcar"
    box_size = (3.2, 4.5, 12.8)
    put_text(f"{f}/Boxcar40.wag", [
        wagon_section("Boxcar40", "Freight", "boxcar40.s", box_size, 29,
                      "Boxcar.sms", extra=[I("Thumbnail", "Boxcar40_Thumb.ace")])])
    put_text(f"{f}/Boxcar40Red.wag", [
        wagon_section("Boxcar40Red", "Freight", "Boxcar40Red.s", box_size, 29,
                      "Boxcar.sms",
                      extra=[I("Thumbnail", "Boxcar40Red_Thumb.ace")])])
    # Binary shapes; Bogie.ace lies only in the shared Trainset/TEXTURES folder.
    gear, matrices = running_gear(12.8, 2)
    put_shape(f, "Boxcar40", boxcar(12.8, 4.5) + gear,
              ["BOXCAR40.ACE", "Underframe.ace", "Bogie.ace"], matrices=matrices,
              form="binary")
    put_shape(f, "Boxcar40Red", boxcar(12.8, 4.5) + gear,
              ["Boxcar40Red.ace", "Underframe.ace", "Bogie.ace"], matrices=matrices,
              form="binary")
    put_bytes(f"{f}/Boxcar40.ace", ace_dxt1(COLOURS["boxcar"]))
    put_bytes(f"{f}/Boxcar40Red.ace", ace(COLOURS["red"]))
    put_bytes(f"{f}/Underframe.ace", compressed(ace(COLOURS["frame"])))
    put_bytes(f"{TRAINSET}/TEXTURES/Bogie.ace", ace(COLOURS["bogie"]))
    put_bytes(f"{f}/Boxcar40_Thumb.ace", ace(COLOURS["thumb"]))
    put_text(f"{f}/SOUND/Boxcar.sms", sms([("loop", ["Boxcar_Roll.wav"])]))
    put_bytes(f"{f}/SOUND/Boxcar_Roll.wav", wav(60))

    # Hopper: empty and loaded hoppers sharing one shape; the loaded one
    # carries a coal load shape (freight animation).
    f = f"{TRAINSET}/Hopper"
    hop_size = (3.1, 3.9, 16.3)
    shared_sound = '"..\\\\..\\\\Common.Snd\\\\FreightCar.sms"'
    put_text(f"{f}/Hopper.wag", [
        wagon_section("Hopper", "Freight", "Hopper.s", hop_size, 24, shared_sound)])
    put_text(f"{f}/HopperLoaded.wag", [
        wagon_section("HopperLoaded", "Freight", "Hopper.s", hop_size, 110,
                      "HopperLoaded.sms",
                      extra=[I("FreightAnim", "Hopper_Coal.s", 1, 1)])])
    h = 16.3 / 2
    gear, matrices = running_gear(16.3, 2)
    put_shape(f, "Hopper", [frame(16.3, 0), (-1.5, 1.5, 1.6, 3.9, -h, h, 0),
                            (-0.8, 0.8, 0.6, 1.6, -h + 2, -1, 1),
                            (-0.8, 0.8, 0.6, 1.6, 1, h - 2, 1)] + gear,
              ["Hopper.ace", "HopperChute.ace", "Hopper_Bogie.dds"], matrices=matrices)
    put_bytes(f"{f}/Hopper_Bogie.dds", dds(COLOURS["bogie"]))
    put_shape(f, "Hopper_Coal", [(-1.4, 1.4, 3.6, 4.1, -h + 0.3, h - 0.3, 0)],
              ["Hopper_Coal.ace"])
    put_bytes(f"{f}/Hopper.ace", ace(COLOURS["hopper"]))
    put_bytes(f"{f}/Hopper_Coal.ace", ace(COLOURS["coal"]))
    put_text(f"{f}/SOUND/HopperLoaded.sms",
             sms([("loop", ["HopperLoaded_Roll.wav", "HopperLoaded_Squeal.wav"])]))
    put_bytes(f"{f}/SOUND/HopperLoaded_Roll.wav", wav(55))

    # Tanker: its shape file is missing; its sound lies in Common.Snd and the
    # folder has no SOUND folder of its own.
    f = f"{TRAINSET}/Tanker"
    tank_size = (3.0, 4.3, 14.6)
    put_text(f"{f}/Tanker.wag", [
        wagon_section("Tanker", "Freight", "Tanker.s", tank_size, 30, shared_sound)])
    put_text(f"{f}/Tanker.sd", sd("Tanker.s", 0,
                                  ([-1.5, 0.5, -7.3], [1.5, 4.3, 7.3])))
    put_bytes(f"{f}/Tanker.ace", ace(COLOURS["tanker"]))

    # Caboose: every file present; a sound file name with a blank.
    f = f"{TRAINSET}/Caboose"
    put_text(f"{f}/Caboose.wag", [
        wagon_section("Caboose", "Freight", "Caboose.s", (3.1, 4.6, 11.2), 22,
                      "Caboose.sms")])
    # A compressed shape; its Caboose.ace is there only as Caboose.dds.
    gear, matrices = running_gear(11.2, 2)
    put_shape(f, "Caboose", boxcar(11.2, 3.8) + [(-1.0, 1.0, 3.8, 4.6, -1.5, 1.5, 0)] + gear,
              ["Caboose.ace", "Caboose_Frame.ace", "Bogie.ace"], matrices=matrices,
              form="compressed")
    put_bytes(f"{f}/Caboose.dds", dds(COLOURS["caboose"], dxt1=True))
    put_bytes(f"{f}/Caboose_Frame.ace", ace(COLOURS["frame"]))
    put_text(f"{f}/SOUND/Caboose.sms", sms([("loop", ["Caboose Wheels.wav"])]))
    put_bytes(f"{f}/SOUND/Caboose Wheels.wav", wav(70))

    # Common.Snd: shared freight car sounds (a folder with a dot in its name,
    # so it is no stock folder).
    f = f"{TRAINSET}/Common.Snd"
    put_text(f"{f}/FreightCar.sms", sms([("loop", ["FreightCar_Roll.wav"]),
                                         ("once", ["FreightCar_Bump.wav"])]))
    put_bytes(f"{f}/FreightCar_Roll.wav", wav(50))
    put_bytes(f"{f}/FreightCar_Bump.wav", wav(40))


# ---------------------------------------------------------------------------
# Consists

CONSISTS = "Trains/Consists"

# Vehicles: (kind, file name, folder as written, flipped).
E, W = "Engine", "Wagon"


def train_cfg(name, vehicles, serial=True, max_velocity=("22.35200", "0.10000"),
              durability="1.00000"):
    kids = [I("Name", name)]
    if serial:
        kids.append(I("Serial", 1))
    kids += [I("MaxVelocity", *max_velocity),
             I("NextWagonUID", len(vehicles) if serial else len(vehicles) + 1),
             I("Durability", durability)]
    for uid, (kind, stock_name, folder, flip) in enumerate(vehicles):
        vk = [I("Flip")] if flip else []
        vk += [I("UiD", uid), I(kind + "Data", stock_name, folder)]
        kids.append(I(kind, kids=vk))
    return I("TrainCfg", name, kids=kids)


CONSIST_LIST = {
    "Demo Freight": [(E, "GP38", "GP38", False), (E, "GP38", "GP38", True),
                     (W, "Boxcar40", "Boxcar", False),
                     (W, "Boxcar40Red", "Boxcar", False),
                     (W, "Boxcar40", "Boxcar", False),
                     (W, "Caboose", "Caboose", False)],
    "Coal Drag": [(E, "DD40", "Demo Diesel", False),
                  (E, "DD40B", "Demo Diesel", False),
                  (W, "Hopper", "Hopper", False), (W, "Hopper", "Hopper", False),
                  (W, "HopperLoaded", "Hopper", False),
                  (W, "Hopper", "Hopper", False), (W, "Caboose", "Caboose", False)],
    "Yard Shunt": [(E, "GP38", "gp38", False), (W, "Boxcar40", "Boxcar", False),
                   (W, "Tanker", "Tanker", False), (W, "Caboose", "Caboose", True)],
    "Mixed Goods": [(E, "GP38b", "GP38", False),
                    (W, "Boxcar40Red", "Boxcar", False),
                    (W, "Flatcar60", "Flatcar", False),
                    (W, "Tanker", "Tanker", False), (W, "Hopper", "Hopper", False)],
    "Light Engine": [(E, "GP38", "GP38", False)],
    "Transfer": [(E, "GP38b", "GP38", False), (W, "Hopper", "Hopper", False),
                 (W, "Hopper", "Hopper", False), (W, "Caboose", "Caboose", False)],
}


def consists():
    for name, vehicles in CONSIST_LIST.items():
        put_text(f"{CONSISTS}/{name}.con", [I("Train", kids=[train_cfg(name, vehicles)])])
    # A consist with no vehicles, as the program saves a new, empty consist.
    put_text(f"{CONSISTS}/Empty Train.con", [I("Train", kids=[
        train_cfg("Empty Train", [], serial=False,
                  max_velocity=("40.00000", "1.00000"), durability="1.0")])])


# ---------------------------------------------------------------------------
# Routes

def route_file(route_id, title, description):
    return [I("Tr_RouteFile", kids=[
        I("RouteID", route_id), I("Name", title), I("Description", description),
        I("Graphic", "load.ace"), I("LoadingScreen", "load.ace"),
        I("FileName", route_id), I("Electrified", "00000000"), I("Era", 1985),
        I("SpeedLimit", "26.8"), I("RouteStart", -6000, 15000, "0", "0"),
    ])]


def service(serial, title, consist, path):
    return [I("Service_Definition", kids=[
        I("Serial", serial), I("Name", title), I("Train_Config", consist),
        I("PathID", path), I("MaxWheelAcceleration", "0.5"),
        I("Efficiency", "0.9")])]


def activity(route_id, title, description, player_service, start, loose):
    """An activity; loose: list of (consist name, vehicles) placed as
    loose consists (ActivityObjects of the kind WagonsList); None for an
    activity without an ActivityObjects item."""
    header = I("Tr_Activity_Header", kids=[
        I("RouteID", route_id), I("Name", title), I("Description", description),
        I("Briefing", description), I("CompleteActivity", 1), I("Type", 0),
        I("Mode", 2), I("StartTime", *start), I("Season", 1), I("Weather", 0),
        I("PathID", "Main Line"), I("StartingSpeed", 0), I("Duration", 1, 0),
        I("Difficulty", 1), I("Animals", 50), I("Workers", 20),
        I("FuelWater", 100), I("FuelCoal", 100), I("FuelDiesel", 100)])
    seconds = start[0] * 3600 + start[1] * 60
    file_kids = [
        I("Player_Service_Definition", player_service, kids=[
            I("Player_Traffic_Definition", seconds), I("UiD", 0)]),
        I("NextServiceUID", 1),
        I("NextActivityObjectUID", 32768 + len(loose or [])),
    ]
    if loose is not None:
        objects = []
        for k, (name, vehicles) in enumerate(loose):
            cfg = train_cfg(name, vehicles, max_velocity=("0.00000", "0.00000"))
            objects.append(I("ActivityObject", kids=[
                I("ObjectType", "WagonsList"),
                I("Train_Config", kids=[cfg]),
                I("Direction", 1), I("ID", 32768 + k),
                I("Tile", -6000, 15000, num(120.5 + 60 * k), num(-80.25 + 25 * k)),
            ]))
        file_kids.append(I("ActivityObjects", kids=objects))
    return [I("Tr_Activity", kids=[
        I("Serial", 1), header, I("Tr_Activity_File", kids=file_kids)])]


def route_shape(route, name, parts, images, alt, textures, with_sd=True,
                declared_images=None):
    """A route shape in SHAPES with its textures in TEXTURES.

    textures: {subfolder or "": [image names present there]}."""
    put_shape(f"{route}/SHAPES", name, parts, images, alt, with_sd, declared_images)
    for sub, names in textures.items():
        for n in names:
            colour = COLOURS[TEXTURE_COLOUR[n]]
            folder = f"{route}/TEXTURES" + (f"/{sub}" if sub else "")
            put_bytes(f"{folder}/{n}", ace(colour, tint=TINTS.get(sub, (1, 1, 1))))


TEXTURE_COLOUR = {
    "DV_ShedWall.ace": "wall", "DV_ShedRoof.ace": "roof",
    "DV_Signalbox.ace": "signal", "DV_Platform.ace": "platform",
    "HB_Crane.ace": "crane", "HB_Warehouse.ace": "warehouse",
    "HB_Bollard.ace": "bollard",
}


def routes():
    r = "Routes/DemoVal"
    put_text(f"{r}/DEMOVAL.trk", route_file(
        "DemoVal", "Demo Valley",
        "A short valley line with a coal mine, made for the Vantor demo."))
    put_bytes(f"{r}/load.ace", ace(COLOURS["load"]))
    both = ["DV_ShedWall.ace", "DV_ShedRoof.ace"]
    seasons = {"": both, "Autumn": both, "AutumnSnow": both, "Spring": both,
               "SpringSnow": both, "Winter": both, "WinterSnow": ["DV_ShedWall.ace"]}
    route_shape(r, "DV_Shed", [(-5, 5, 0, 5, -10, 10, 0), (-5.5, 5.5, 5, 5.6, -10.5, 10.5, 1)],
                both, 252, seasons)
    route_shape(r, "DV_Signalbox", [(-2, 2, 0, 6, -3, 3, 0)], ["DV_Signalbox.ace"],
                257, {"": ["DV_Signalbox.ace"], "Snow": ["DV_Signalbox.ace"],
                      "Night": ["DV_Signalbox.ace"]})
    route_shape(r, "DV_Platform", [(-2.5, 2.5, 0, 0.9, -40, 40, 0)],
                ["DV_Platform.ace"], 0, {"": ["DV_Platform.ace"]}, declared_images=2)
    put_text(f"{r}/SERVICES/Morning Freight.srv",
             service(1, "Morning Freight", "Demo Freight", "Valley Down"))
    put_text(f"{r}/SERVICES/Evening Freight.srv",
             service(2, "Evening Freight", "Demo Freight", "Valley Up"))
    put_text(f"{r}/SERVICES/Coal Empties.srv",
             service(3, "Coal Empties", "Coal Drag", "Valley Up"))
    put_text(f"{r}/SERVICES/Engine Move.srv",
             service(4, "Engine Move", "Light Engine", "Valley Down"))
    put_text(f"{r}/ACTIVITIES/Coal Run.act", activity(
        "DemoVal", "Coal Run",
        "Take the empty hoppers up the valley and collect the cars left at the mine.",
        "Coal Empties", (8, 30, 0), [
            ("Mine Siding Hoppers", [(W, "Hopper", "Hopper", False),
                                     (W, "Hopper", "Hopper", False),
                                     (W, "HopperLoaded", "Hopper", False)]),
            ("Yard Boxcars", [(W, "Boxcar40", "Boxcar", False),
                              (W, "Boxcar40Red", "Boxcar", True),
                              (W, "Caboose", "Caboose", False)]),
        ]))
    put_text(f"{r}/ACTIVITIES/Yard Work.act", activity(
        "DemoVal", "Yard Work", "Sort the cars standing in the valley yard.",
        "Engine Move", (14, 0, 0), [
            ("Tank Cars", [(W, "Tanker", "Tanker", False),
                           (W, "Tanker", "Tanker", False)]),
            ("Lone Boxcar", [(W, "Boxcar40", "Boxcar", False)]),
            ("Hopper And Caboose", [(W, "Hopper", "Hopper", False),
                                    (W, "Caboose", "Caboose", True)]),
        ]))

    r = "Routes/Harbour"
    put_text(f"{r}/Harbour.trk", route_file(
        "Harbour", "Harbour Branch",
        "A harbour branch with a quay, a warehouse and a crane."))
    put_bytes(f"{r}/load.ace", ace(COLOURS["load"]))
    route_shape(r, "HB_Crane", [(-3, 3, 0, 2, -3, 3, 0), (-0.5, 0.5, 2, 18, -0.5, 0.5, 0)],
                ["HB_Crane.ace"], 0, {"": ["HB_Crane.ace"]}, with_sd=False)
    route_shape(r, "HB_Warehouse", [(-10, 10, 0, 8, -20, 20, 0)], ["HB_Warehouse.ace"],
                256, {"": ["HB_Warehouse.ace"], "Night": ["HB_Warehouse.ace"]})
    route_shape(r, "HB_Bollard", [(-0.2, 0.2, 0, 0.8, -0.2, 0.2, 0)], ["HB_Bollard.ace"],
                0, {})
    put_text(f"{r}/SERVICES/Dock Shunt.srv",
             service(1, "Dock Shunt", "Yard Shunt", "Quay Road"))
    put_text(f"{r}/SERVICES/Harbour Goods.srv",
             service(2, "Harbour Goods", "Mixed Goods", "Quay Road"))
    put_text(f"{r}/SERVICES/Light Run.srv",
             service(3, "Light Run", "light engine", "Quay Road"))
    put_text(f"{r}/ACTIVITIES/Harbour Pickup.act", activity(
        "Harbour", "Harbour Pickup", "Collect the two boxcars from the quay.",
        "Dock Shunt", (10, 15, 0), [
            ("Quay Boxcars", [(W, "Boxcar40", "boxcar", False),
                              (W, "Boxcar40Red", "Boxcar", False)]),
        ]))
    put_text(f"{r}/ACTIVITIES/Quiet Sunday.act", activity(
        "Harbour", "Quiet Sunday", "Run the engine down to the quay and back.",
        "Light Run", (9, 0, 0), None))


# ---------------------------------------------------------------------------
# Deliberate faults and case differences (README.md and check_demo.py use
# these).  kind "missing": file names ref, which does not exist; "names": the
# engine's Engine section names another wagon; "image count": the shape
# declares more images than it lists; "alt 256": the .sd holds the
# alternative-texture value 256; "no consist": the service names a consist
# that is not installed.  Paths are relative to demo/.

TS = TRAINSET
FAULTS = [
    ("missing", f"{TS}/Tanker/Tanker.wag", f"{TS}/Tanker/Tanker.s",
     "The tank car names its shape Tanker.s, which is not in the Tanker "
     "folder (its Tanker.sd and texture are)."),
    ("missing", f"{TS}/Demo Diesel/DD40B.eng", f"{TS}/Demo Diesel/CABVIEW/DD40B.cvf",
     "The DD40B booster unit names the cab view DD40B.cvf, which is not in "
     "its CABVIEW folder."),
    ("missing", f"{TS}/Demo Diesel/CABVIEW/DD40.cvf",
     f"{TS}/Demo Diesel/CABVIEW/DD40_Brake.ace",
     "The DD40 cab view names the brake lever image DD40_Brake.ace, which is "
     "not in the CABVIEW folder."),
    ("names", f"{TS}/GP38/GP38b.eng", "",
     "GP38b.eng was cloned from GP38.eng: its Wagon and Engine sections are "
     "named GP38b, but the Wagon item inside the Engine section still names "
     "GP38."),
    ("missing", f"{TS}/Boxcar/Boxcar40Red.wag", f"{TS}/Boxcar/Boxcar40Red_Thumb.ace",
     "The red boxcar names the thumbnail Boxcar40Red_Thumb.ace, which is not "
     "in the Boxcar folder."),
    ("missing", f"{TS}/Hopper/SOUND/HopperLoaded.sms",
     f"{TS}/Hopper/SOUND/HopperLoaded_Squeal.wav",
     "The loaded hopper's sound definition HopperLoaded.sms names "
     "HopperLoaded_Squeal.wav, which is not in the SOUND folder."),
    ("missing", f"{TS}/Hopper/Hopper.s", f"{TS}/Hopper/HopperChute.ace",
     "The hopper shape Hopper.s names the texture HopperChute.ace (used by "
     "the chutes), which is not in the Hopper folder."),
    ("missing", f"{CONSISTS}/Mixed Goods.con", f"{TS}/Flatcar/Flatcar60.wag",
     "The consist Mixed Goods names the wagon Flatcar60 in the folder "
     "Flatcar, which is not installed."),
    ("missing", "Routes/DemoVal/SHAPES/DV_Shed.s",
     "Routes/DemoVal/TEXTURES/WinterSnow/DV_ShedRoof.ace",
     "The engine shed of Demo Valley asks for all six seasonal texture sets "
     "(alternative-texture value 252), but TEXTURES/WinterSnow lacks "
     "DV_ShedRoof.ace."),
    ("image count", "Routes/DemoVal/SHAPES/DV_Platform.s", "",
     "The platform shape DV_Platform.s declares 2 images but lists only one."),
    ("missing", "Routes/Harbour/SHAPES/HB_Crane.s", "Routes/Harbour/SHAPES/HB_Crane.sd",
     "The harbour crane shape HB_Crane.s has no HB_Crane.sd beside it."),
    ("alt 256", "Routes/Harbour/SHAPES/HB_Warehouse.sd", "",
     "The warehouse's HB_Warehouse.sd holds the alternative-texture value "
     "256 (night textures alone), a setting known to be broken; the night "
     "texture TEXTURES/Night/HB_Warehouse.ace itself is present."),
    ("missing", "Routes/Harbour/SHAPES/HB_Bollard.s",
     "Routes/Harbour/TEXTURES/HB_Bollard.ace",
     "The bollard shape HB_Bollard.s names the texture HB_Bollard.ace, which "
     "is not in the route's TEXTURES folder."),
]

# (file, reference as written, what it means on disk)
CASE_DIFFERENCES = [
    (f"{CONSISTS}/Yard Shunt.con", "gp38/GP38.eng",
     "its first vehicle names the stock folder `gp38`; the folder is `GP38`"),
    (f"{TS}/GP38/GP38.eng", "gp38.cvf",
     "the cab view `gp38.cvf` is `CABVIEW/GP38.cvf`"),
    (f"{TS}/GP38/GP38b.eng", "gp38.cvf",
     "the cab view `gp38.cvf` is `CABVIEW/GP38.cvf`"),
    (f"{TS}/GP38/SOUND/GP38.sms", "gp38_horn.wav",
     "the horn `gp38_horn.wav` is `GP38_Horn.wav`"),
    (f"{TS}/Boxcar/Boxcar40.wag", "boxcar40.s",
     "the shape `boxcar40.s` is `Boxcar40.s` (and its .sd `Boxcar40.sd`)"),
    (f"{TS}/Boxcar/Boxcar40.s", "BOXCAR40.ACE",
     "the texture `BOXCAR40.ACE` is `Boxcar40.ace`"),
    ("Routes/Harbour/SERVICES/Light Run.srv", "light engine",
     "the service runs the consist `light engine`; the file is "
     "`Light Engine.con`, whose name is `Light Engine`"),
    ("Routes/Harbour/ACTIVITIES/Harbour Pickup.act", "boxcar/Boxcar40.wag",
     "the loose consist Quay Boxcars names the stock folder `boxcar` for "
     "its first wagon; the folder is `Boxcar`"),
]


# ---------------------------------------------------------------------------
# README


def readme():
    lines = [
        "# Demo MSTS installation",
        "",
        "A small Microsoft Train Simulator installation of our own making, for",
        "trying Vantor out and for tests. Point the program's MSTS location at",
        "this folder (`demo`). Every file here is written by",
        "`tools/make_demo.py`; change the definitions there and run",
        "`python3 demo/tools/make_demo.py`, then `python3 demo/tools/check_demo.py`.",
        "",
        "## Layout",
        "",
        "```",
        "Trains/Consists/     7 consists",
        "tools/              make_demo.py writes everything, check_demo.py checks it",
        "Trains/Trainset/     GP38, Demo Diesel, Boxcar, Hopper, Tanker, Caboose",
        "                     (stock folders) and Common.Snd (shared sounds)",
        "Routes/DemoVal/      Demo Valley: DEMOVAL.trk, SERVICES, ACTIVITIES,",
        "                     SHAPES, TEXTURES with seasonal and night sets",
        "Routes/Harbour/      Harbour Branch: Harbour.trk, SERVICES, ACTIVITIES,",
        "                     SHAPES, TEXTURES",
        "```",
        "",
        "Text files are UTF-16LE with the byte-order mark FF FE, the SIMISA",
        "header line of their type, an empty line, CR LF line ends and tab",
        "indentation, with no line break after the last closing parenthesis",
        "(service files end with one, as the program writes them). Consists and",
        "services are laid out exactly as the program saves a file; the other",
        "files keep an item's own values on its opening line (`Wagon ( GP38`,",
        "`points ( 8`), as MSTS content does. Items with nothing inside are",
        "written `Name ( )` (`Flip ( )`, `ExternalCam ( )`).",
        "",
        "Shapes are made of boxes with one distance level; triangles run",
        "clockwise seen from outside (MSTS's front face). Vehicles face +Z",
        "(engines have their cab towards +Z). Route shapes and the DD40s have",
        "one matrix; GP38, Boxcar40, Boxcar40Red, Hopper and Caboose stand on",
        "two bogies (matrices BOGIE1 and BOGIE2 under MAIN), each with two",
        "wheel sets under matrices of their own (WHEELS1A ... WHEELS2B). Shapes",
        "are Unicode text, except the boxcars (binary tokens) and the caboose",
        "(compressed binary, `SIMISA@F`).",
        "",
        "Textures are 16 x 16 pictures with a light band near the top edge and",
        "a white marker in the top-left corner, mostly uncompressed RGB .ace",
        "files without mipmaps. Others: `GP38_Bogie.ace` and `Boxcar40.ace` are",
        "DXT1 with mipmaps; `Underframe.ace` is a compressed .ace;",
        "`Hopper_Bogie.dds` is a 32-bit DDS and `Caboose.dds` a DXT1 DDS",
        "(the caboose shape names `Caboose.ace`, which is there only as the",
        "DDS); `Bogie.ace` lies only in `Trains/Trainset/TEXTURES`, the",
        "texture folder `..\\textures\\` of the boxcars and the caboose.",
        "Sounds are short 8-bit mono .wav tones.",
        "",
        "## Rolling stock",
        "",
        "| Folder | Files | Length |",
        "|---|---|---|",
        "| GP38 | GP38.eng (all files present), GP38b.eng | 17.1 m |",
        "| Demo Diesel | DD40.eng, DD40B.eng (cabless booster) | 20.4 m |",
        "| Boxcar | Boxcar40.wag (all files present), Boxcar40Red.wag | 12.8 m |",
        "| Hopper | Hopper.wag, HopperLoaded.wag (with a coal load shape, FreightAnim) | 16.3 m |",
        "| Tanker | Tanker.wag | 14.6 m |",
        "| Caboose | Caboose.wag (all files present) | 11.2 m |",
        "",
        "Hopper.wag and Tanker.wag use the shared sound",
        "`..\\\\..\\\\Common.Snd\\\\FreightCar.sms`, which climbs out of the stock",
        "folder's SOUND folder into `Trains/Trainset/Common.Snd`. The Tanker",
        "folder has no SOUND folder, so the path can only be followed by",
        "resolving `..` in the text, as Windows does.",
        "",
        "## Consists",
        "",
        "| Consist | Vehicles, front first (stock folder as written) |",
        "|---|---|",
    ]
    for name, vehicles in CONSIST_LIST.items():
        text = ", ".join(f"{v[1]} ({v[2]}{', flipped' if v[3] else ''})"
                         for v in vehicles)
        lines.append(f"| {name} | {text} |")
    lines += [
        "| Empty Train | none: only Name, MaxVelocity, NextWagonUID and "
        "Durability, as the program saves a new consist |",
        "",
        "Coal Drag names the folder `Demo Diesel` in quotes because of its",
        "blank (`EngineData ( DD40 \"Demo Diesel\" )`), so the item reads as",
        "three values: `DD40`, `\"Demo` and `Diesel\"`.",
        "",
        "## Routes",
        "",
        "| Route | Services (consist) | Activities (loose consists) |",
        "|---|---|---|",
        "| DemoVal (Demo Valley) | Morning Freight and Evening Freight (Demo "
        "Freight), Coal Empties (Coal Drag), Engine Move (Light Engine) "
        "| Coal Run (2: Mine Siding Hoppers, Yard "
        "Boxcars), Yard Work (3: Tank Cars, Lone Boxcar, Hopper And Caboose) |",
        "| Harbour (Harbour Branch) | Dock Shunt (Yard Shunt), Harbour Goods "
        "(Mixed Goods), Light Run (\"light engine\") | Harbour Pickup (1: Quay "
        "Boxcars), Quiet Sunday (no loose consists, no ActivityObjects item) |",
        "",
        "Route shapes and their alternative-texture values: DV_Shed 252 (six",
        "seasonal sets), DV_Signalbox 257 (Snow and Night), DV_Platform 0,",
        "HB_Warehouse 256 (Night), HB_Bollard 0, HB_Crane (no .sd file).",
        "",
        "## Deliberate faults",
        "",
        "Each of these is wrong on purpose; apart from them every file that",
        "a file names is present (when names are matched without regard to",
        "letter case).",
        "",
    ]
    for n, (_, file, _, text) in enumerate(FAULTS, 1):
        lines.append(f"{n}. `{file}`: {text}")
    lines += [
        "",
        "Consists and loose consists that use faulty stock meet the fault",
        "again: Yard Shunt, Mixed Goods and the loose consist Tank Cars (Yard",
        "Work) contain the Tanker, whose shape is missing; Mixed Goods and",
        "Transfer start with GP38b; Coal Drag has the DD40 and DD40B; the",
        "hoppers everywhere lack the chute texture.",
        "",
        "## Things that are right but easy to get wrong",
        "",
        "- Coal Drag names the folder `Demo Diesel` in quotes; a reader that",
        "  takes the folder value as it stands, without joining the quoted",
        "  words, looks for a folder called `\"Demo` and does not find it.",
        "- Hopper_Coal.s (the coal load) has no .eng or .wag of the same name",
        "  beside it; a tool that tells stock shapes from route shapes that",
        "  way takes it for a route shape and looks for its texture in a",
        "  `..\\Textures` folder, which does not exist here.",
        "- Tanker.wag and Hopper.wag reach their sound through `..`; see",
        "  Rolling stock above.",
        "- Empty Train has four items under TrainCfg and no vehicles.",
        "- Quiet Sunday has no ActivityObjects item, so it has no loose",
        "  consists to open.",
        "",
        "## Names that differ in letter case from the files on disk",
        "",
        "MSTS runs on Windows, where names are found whatever their case. These",
        "references are spelled differently from the files they mean:",
        "",
    ]
    for file, _, text in CASE_DIFFERENCES:
        lines.append(f"- `{file}`: {text}.")
    lines += [
        "",
        "The folders the program looks in are spelled in capitals here as in",
        "much MSTS content: `SOUND`, `CABVIEW`, `SERVICES`, `ACTIVITIES`,",
        "`SHAPES`, `TEXTURES`; the route folder `DemoVal` holds `DEMOVAL.trk`.",
        "",
    ]
    (DEMO / "README.md").write_text("\n".join(lines), encoding="utf-8")


def main():
    for entry in DEMO.iterdir():
        if entry.name == "tools":
            continue
        if entry.is_dir():
            shutil.rmtree(entry)
        else:
            entry.unlink()
    stock()
    consists()
    routes()
    readme()
    print(f"wrote {len(WRITTEN)} files and README.md below {DEMO}")


if __name__ == "__main__":
    main()
