#!/usr/bin/env python3
"""Checks the generated demo installation in demo/.

Run:  python3 demo/tools/check_demo.py [--corvane PATH | --no-corvane]

1. Every simulator text file starts with the byte-order mark FF FE and the
   header line of its extension, followed by an empty line; uses CR LF line
   ends only, tabs only for indentation, 7-bit characters, no two blanks in
   a row and no parenthesis inside quotes; its parentheses balance; its first
   item has the expected name.
2. Every .ace texture is a well-formed RGB file (uncompressed, DXT1 with
   mipmaps, or either packed in the compressed SIMISA@F form), every .dds a
   well-formed DXT1 or 32-bit file, every binary or compressed shape a
   well-formed token stream, and every .wav a well-formed PCM file.
3. Following every reference (shapes, .sd files, textures and their
   seasonal and night variants, thumbnails, sounds, cab views, consists'
   stock, services' consists, activities' loose consists, route files),
   resolving names without regard to letter case as Windows does: the
   problems found are exactly the deliberate faults listed in make_demo.py
   (and README.md), and the references that only resolve when case is
   ignored are exactly the listed case differences.
4. With the corvane tool (found in build/dev/bin or given with --corvane):
   every text file reads into the expected first items, and each consist
   saved again by the library gives the same bytes, except the first item's
   lower-case name and "Flip ( )", which the library writes as a bare "Flip".

Exits with status 1 and a list of problems when any check fails.
"""

import os
import posixpath
import re
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

TOOLS = Path(__file__).resolve().parent
DEMO = TOOLS.parent
sys.dont_write_bytecode = True
sys.path.insert(0, str(TOOLS))
import make_demo  # noqa: E402  (the declared faults and case differences)

HEADERS = {
    "con": "D0t", "eng": "D0t", "wag": "D0t", "sd": "t1t", "s": "s1t",
    "cvf": "h0t", "trk": "r0t", "sms": "x1t", "act": "a0t", "srv": "v0t",
}
FIRST_ELEMENT = {
    "con": "Train", "eng": "Wagon", "wag": "Wagon", "sd": "shape", "s": "shape",
    "cvf": "Tr_CabViewFile", "trk": "Tr_RouteFile", "sms": "Tr_SMS",
    "act": "Tr_Activity", "srv": "Service_Definition",
}
ALT_FOLDERS = {1: ["Snow"], 252: ["Autumn", "AutumnSnow", "Spring", "SpringSnow",
                                  "Winter", "WinterSnow"],
               256: ["Night"], 257: ["Snow", "Night"]}

problems = []


def problem(text):
    problems.append(text)


def rel(path):
    return Path(path).relative_to(DEMO).as_posix()


def demo_files():
    for path in sorted(DEMO.rglob("*")):
        if path.is_file() and "tools" not in path.relative_to(DEMO).parts[:1]:
            yield path


# ---------------------------------------------------------------------------
# 1. Text layout


def check_text(path):
    name = rel(path)
    ext = path.suffix[1:].lower()
    data = path.read_bytes()
    if data[:2] != b"\xff\xfe":
        problem(f"{name}: does not start with FF FE")
        return None
    if len(data) % 2:
        problem(f"{name}: odd number of bytes after the byte-order mark")
        return None
    text = data[2:].decode("utf-16-le")
    header = "SIMISA@@@@@@@@@@JINX0" + HEADERS[ext] + "______"
    if not text.startswith(header + "\r\n\r\n"):
        problem(f"{name}: header line is not {header} followed by an empty line")
    if any(ord(c) > 127 for c in text):
        problem(f"{name}: holds characters beyond 7-bit text")
    if re.search(r"\r(?!\n)|(?<!\r)\n", text):
        problem(f"{name}: has a line end other than CR LF")
    lines = text.split("\r\n")
    depth = 0
    for number, line in enumerate(lines, 1):
        body = line.lstrip("\t")
        if number > 2 and depth > 0 and body and not line.startswith("\t") \
                and body != ")":
            problem(f"{name}:{number}: line inside an item is not indented")
        if body.startswith(" ") or "\t" in body:
            problem(f"{name}:{number}: indentation or separator other than tabs")
        if "  " in body:
            problem(f"{name}:{number}: two blanks in a row")
        if line.count('"') % 2:
            problem(f"{name}:{number}: unbalanced quote")
        for quoted in re.findall(r'"[^"]*"', line):
            if "(" in quoted or ")" in quoted:
                problem(f"{name}:{number}: parenthesis inside quotes")
        for c in line:
            depth += (c == "(") - (c == ")")
            if depth < 0:
                problem(f"{name}:{number}: closing parenthesis without an opening one")
                depth = 0
    if depth:
        problem(f"{name}: {depth} parenthesis(es) left open")
    ending = "\r\n" if ext == "srv" else ""
    if not text.endswith(")" + ending):
        problem(f"{name}: does not end with ')'{' and CR LF' if ending else ''}")
    body = text[len(header) + 4:]
    first = re.match(r"\s*([^\s(]+)\s*\(", body)
    if not first or first.group(1).lower() != FIRST_ELEMENT[ext].lower():
        problem(f"{name}: first item is not {FIRST_ELEMENT[ext]}")
    return body


# ---------------------------------------------------------------------------
# 2. Binary files


def unpack(name, data):
    """The file behind the compressed form SIMISA@F, or the file itself."""
    if data[:8] != b"SIMISA@F":
        return data
    (length,) = struct.unpack_from("<I", data, 8)
    inflated = zlib.decompress(data[16:])
    if data[12:16] != b"@@@@" or len(inflated) != length:
        problem(f"{name}: compressed header or length is wrong")
    return b"SIMISA@@@@@@@@@@" + inflated


def check_ace(path):
    name = rel(path)
    data = unpack(name, path.read_bytes())
    if data[:16] != b"SIMISA@@@@@@@@@@":
        problem(f"{name}: not an .ace (SIMISA@@@@@@@@@@)")
        return
    body = data[16:]
    sig, options, w, h, fmt, channels, _ = struct.unpack_from("<7i", body)
    if (sig, channels) != (1, 3) or (options, fmt) not in ((0, 0x0E), (0x11, 0x12)) \
            or w <= 0 or h <= 0:
        problem(f"{name}: expected signature 1, RGB with 3 channels, plain or DXT1 with mipmaps")
        return
    records = [struct.unpack_from("<qq", body, 152 + 16 * i) for i in range(3)]
    if records != [(8, 3), (8, 4), (8, 5)]:
        problem(f"{name}: channel records are not 8-bit R, G, B")
    table = 152 + 16 * 3
    if fmt == 0x12:
        levels = w.bit_length()
        at = table + 4 * levels
        for k in range(levels):
            size = max(1, w >> k)
            (offset,) = struct.unpack_from("<i", body, table + 4 * k)
            if offset != at:
                problem(f"{name}: level {k} offset {offset} is wrong")
                return
            at += 4 + 8 * (size // 4) ** 2 if size >= 4 else 3 * size * size
        if len(body) != at:
            problem(f"{name}: {len(body)} body bytes, expected {at}")
        return
    for y in range(h):
        (offset,) = struct.unpack_from("<i", body, table + 4 * y)
        if offset != table + 4 * h + 3 * w * y:
            problem(f"{name}: row {y} offset {offset} is wrong")
            break
    if len(body) != table + 4 * h + 3 * w * h:
        problem(f"{name}: {len(body)} body bytes, expected {table + 4 * h + 3 * w * h}")


def check_dds(path):
    name = rel(path)
    data = path.read_bytes()
    if data[:4] != b"DDS " or struct.unpack_from("<I", data, 4)[0] != 124:
        problem(f"{name}: not a DDS file")
        return
    h, w = struct.unpack_from("<II", data, 12)
    (levels,) = struct.unpack_from("<I", data, 28)
    four_cc = data[84:88]
    if four_cc == b"DXT1":
        size = sum(8 * max(1, (w >> k) // 4) * max(1, (h >> k) // 4) for k in range(levels))
    elif struct.unpack_from("<I", data, 88)[0] == 32:
        size = 4 * w * h
    else:
        problem(f"{name}: neither DXT1 nor 32-bit pixels")
        return
    if len(data) != 128 + size:
        problem(f"{name}: {len(data)} bytes, expected {128 + size}")


def binary_tree(name, data, ids):
    """Reads a binary shape into Nodes: blocks whose layout holds only blocks
    after an optional count, and the image names; the rest is skipped."""
    names = {v: k for k, v in ids.items()}
    strings = {"image", "named_shader", "named_filter_mode"}

    def block(at, end, parent):
        token, table, length = struct.unpack_from("<HHI", data, at)
        if table != 0 or token not in names or at + 8 + length > end:
            raise ValueError(f"bad block at byte {at}")
        node = Node(names[token])
        parent.kids.append(node)
        stop = at + 8 + length
        at += 9 + 2 * data[at + 8]
        if node.name in strings:
            (count,) = struct.unpack_from("<H", data, at)
            node.params.append(data[at + 2:at + 2 + 2 * count].decode("utf-16-le"))
        elif node.name in ("shape", "images"):
            if node.name == "images":
                node.params.append(str(struct.unpack_from("<I", data, at)[0]))
                at += 4
            while at < stop:
                at = block(at, stop, node)
        return stop

    root = Node("")
    try:
        if block(32, len(data), root) != len(data):
            raise ValueError("bytes after the shape block")
    except (ValueError, struct.error) as e:
        problem(f"{name}: {e}")
    return root


def check_packed_shape(path):
    name = rel(path)
    data = unpack(name, path.read_bytes())
    if data[:32] != b"SIMISA@@@@@@@@@@JINX0s1b______\r\n":
        problem(f"{name}: neither a Unicode text shape nor a binary one")
        return
    binary_trees[name] = binary_tree(name, data, make_demo.token_ids())


def check_wav(path):
    name = rel(path)
    data = path.read_bytes()
    if data[:4] != b"RIFF" or data[8:16] != b"WAVEfmt ":
        problem(f"{name}: not a RIFF WAVE file")
        return
    (riff_size,) = struct.unpack_from("<I", data, 4)
    fmt_tag, chans, rate, byte_rate, align, bits = struct.unpack_from("<HHIIHH", data, 20)
    (data_size,) = struct.unpack_from("<I", data, 40)
    if riff_size != len(data) - 8 or data[36:40] != b"data" or data_size != len(data) - 44:
        problem(f"{name}: chunk sizes do not match the file")
    if fmt_tag != 1 or byte_rate != rate * chans * bits // 8 or align != chans * bits // 8:
        problem(f"{name}: not consistent PCM")


# ---------------------------------------------------------------------------
# 3. References


class Node:
    def __init__(self, name):
        self.name, self.params, self.kids = name, [], []

    def child(self, name):
        return next((k for k in self.kids if k.name == name), None)

    def all(self, name):
        return [k for k in self.kids if k.name == name]


def parse(body):
    """Reads items: a name, then "(", values and child items, then ")"."""
    root, pending = Node(""), []
    stack = [root]
    for token in re.findall(r"\(|\)|[^\s()]+", body):
        if token == "(":
            node = Node(pending.pop() if pending else "")
            stack[-1].params += pending
            pending = []
            stack[-1].kids.append(node)
            stack.append(node)
        elif token == ")":
            stack[-1].params += pending
            pending = []
            if len(stack) > 1:
                stack.pop()
        else:
            pending.append(token)
    return root


def top(tree, name):
    return next((k for k in tree.kids if k.name.lower() == name.lower()), None)


def joined(params, start=0):
    """A value that may be quoted and split at blanks, joined and unquoted."""
    if len(params) <= start:
        return ""
    text = params[start]
    if text.startswith('"') and (len(text) == 1 or not text.endswith('"')):
        for more in params[start + 1:]:
            text += " " + more
            if more.endswith('"'):
                break
    return text[1:-1] if len(text) > 1 and text[0] == text[-1] == '"' else text


def file_name(params):
    """A file name as written: joined, doubled backslashes made single."""
    text = joined(params).replace("/", "\\")
    while "\\\\" in text:
        text = text.replace("\\\\", "\\")
    return text.replace("\\", "/")


def find_dir(base, name):
    """The subfolder of base called name in any case, or base/name."""
    for entry in (DEMO / base).iterdir() if (DEMO / base).is_dir() else ():
        if entry.is_dir() and entry.name.lower() == name.lower():
            return rel(entry)
    return posixpath.join(base, name)


def resolve(base, written):
    """Finds base/written ignoring case, after resolving ".." in the text.

    Returns (path relative to demo/ or None, exact case, wanted path)."""
    wanted = posixpath.normpath(posixpath.join(base, written))
    current, exact = DEMO, True
    for part in wanted.split("/"):
        if not current.is_dir():
            return None, False, wanted
        match = [e for e in current.iterdir() if e.name.lower() == part.lower()]
        if not match:
            return None, False, wanted
        exact = exact and any(e.name == part for e in match)
        current = next((e for e in match if e.name == part), match[0])
    return (rel(current) if current.is_file() else None), exact, wanted


found = set()
case_found = set()
loaded = {}


def load(path_rel):
    if path_rel not in loaded:
        loaded[path_rel] = binary_trees.get(path_rel) or parse(text_bodies.get(path_rel, ""))
    return loaded[path_rel]


def need(referrer, base, written, named=True):
    """Records a missing reference or a case difference; returns the file.

    named: the file names written itself (not a name the program derives)."""
    hit, exact, wanted = resolve(base, written)
    if hit is None:
        found.add(("missing", referrer, wanted.lower()))
    elif not exact and named:
        case_found.add((referrer, written))
    return hit


def check_sound(sms_rel):
    folder = posixpath.dirname(sms_rel)

    def walk(node):
        for kid in node.kids:
            if kid.name == "File":
                need(sms_rel, folder, file_name(kid.params))
            else:
                walk(kid)
    walk(load(sms_rel))


def check_cab(cvf_rel):
    folder = posixpath.dirname(cvf_rel)
    root = top(load(cvf_rel), "Tr_CabViewFile")
    for view in root.all("CabViewFile"):
        need(cvf_rel, folder, file_name(view.params))
    controls = root.child("CabViewControls")
    if int(controls.params[0]) != len(controls.kids):
        problem(f"{cvf_rel}: CabViewControls count differs from its controls")
    for control in controls.kids:
        need(cvf_rel, folder, file_name(control.child("Graphic").params))


def check_stock(stock_rel):
    folder = posixpath.dirname(stock_rel)
    tree = load(stock_rel)
    wagon = top(tree, "Wagon")
    shape = file_name(wagon.child("WagonShape").params)
    need(stock_rel, folder, shape)
    need(stock_rel, folder, shape + "d", named=False)
    for name in ("FreightAnim", "Thumbnail"):
        if wagon.child(name):
            need(stock_rel, folder, file_name(wagon.child(name).params))
    if not re.match(r"[\d.]+m$", wagon.child("Size").params[2]):
        problem(f"{stock_rel}: Size has no length in metres as its third value")
    sound_dir = find_dir(folder, "Sound")
    sms = need(stock_rel, sound_dir, file_name(wagon.child("Sound").params))
    if sms:
        check_sound(sms)
    if stock_rel.lower().endswith(".eng"):
        engine = tree.kids[1] if len(tree.kids) > 1 else None
        if engine is None or engine.name != "Engine":
            problem(f"{stock_rel}: no Engine section")
            return
        if not (wagon.params[0] == engine.params[0] == engine.child("Wagon").params[0]):
            found.add(("names", stock_rel, ""))
        cvf = need(stock_rel, find_dir(folder, "Cabview"),
                   file_name(engine.child("CabView").params))
        if cvf:
            check_cab(cvf)
        sms = need(stock_rel, sound_dir, file_name(engine.child("Sound").params))
        if sms:
            check_sound(sms)


def check_shape(shape_rel):
    folder = posixpath.dirname(shape_rel)
    images = top(load(shape_rel), "shape").child("images")
    names = [file_name(i.params) for i in images.all("image")]
    if int(images.params[0]) != len(names):
        found.add(("image count", shape_rel, ""))
    if shape_rel.startswith("Trains/"):
        # Beside the shape, then in the TEXTURES folder beside the stock folder;
        # an .ace may stand in for a .dds of the same name and the other way round.
        shared = find_dir(posixpath.dirname(folder), "Textures")
        for n in names:
            other = n[:-4] + {".ace": ".dds", ".dds": ".ace"}.get(n[-4:].lower(), n[-4:])
            places = [(folder, n), (folder, other), (shared, n), (shared, other)]
            if not any(base and resolve(base, written)[0] for base, written in places[1:]):
                need(shape_rel, folder, n)
            elif resolve(folder, n)[0]:
                need(shape_rel, folder, n)
        return
    textures = find_dir(posixpath.dirname(folder), "Textures")
    for n in names:
        need(shape_rel, textures, n)
    sd = need(shape_rel, folder, posixpath.basename(shape_rel) + "d", named=False)
    if not sd:
        return
    value = int(top(load(sd), "shape").child("ESD_Alternative_Texture").params[0])
    if value == 256:
        found.add(("alt 256", sd, ""))
    for n in names:
        for sub in ALT_FOLDERS.get(value, []):
            need(shape_rel, find_dir(textures, sub), n)


def vehicles(cfg):
    for vehicle in cfg.kids:
        if vehicle.name in ("Engine", "Wagon"):
            data = vehicle.child(vehicle.name + "Data")
            yield vehicle, joined(data.params), joined(data.params, 1)


def check_train(referrer, cfg):
    uids = []
    for vehicle, stock_name, folder in vehicles(cfg):
        ext = vehicle.name[:3].lower()
        need(referrer, "Trains/Trainset", f"{folder}/{stock_name}.{ext}")
        uids.append(int(vehicle.child("UiD").params[0]))
    if len(set(uids)) != len(uids):
        problem(f"{referrer}: vehicles share a UiD")
    next_uid = int(cfg.child("NextWagonUID").params[0])
    if uids and max(uids) >= next_uid:
        problem(f"{referrer}: NextWagonUID {next_uid} is not above every UiD")


def check_consist(con_rel):
    cfg = load(con_rel).kids[0].kids[0]
    stem = Path(con_rel).stem
    if cfg.name != "TrainCfg" or joined(cfg.params) != stem \
            or joined(cfg.child("Name").params) != stem:
        problem(f"{con_rel}: TrainCfg and its Name are not named {stem!r}")
    check_train(con_rel, cfg)


def check_route(route_dir):
    folder = rel(route_dir)
    trk = need(folder, folder, route_dir.name + ".trk", named=False)
    if not trk or not top(load(trk), "Tr_RouteFile").child("Name"):
        problem(f"{folder}: no route file with a Name")
    for srv in sorted(route_dir.glob("*/*.srv")):
        srv_rel = rel(srv)
        consist = joined(top(load(srv_rel), "Service_Definition")
                         .child("Train_Config").params)
        hit, exact, _ = resolve("Trains/Consists", consist + ".con")
        if hit is None:
            found.add(("no consist", srv_rel, consist.lower()))
        elif not exact:
            case_found.add((srv_rel, consist))
    for act in sorted(route_dir.glob("*/*.act")):
        act_rel = rel(act)
        activity_file = top(load(act_rel), "Tr_Activity").child("Tr_Activity_File")
        objects = activity_file.child("ActivityObjects")
        for obj in objects.kids if objects else []:
            if obj.child("ObjectType").params == ["WagonsList"]:
                check_train(act_rel, obj.child("Train_Config").child("TrainCfg"))


def check_references():
    checks = {"eng": check_stock, "wag": check_stock, "s": check_shape,
              "con": check_consist}
    jobs = [(checks[p.suffix[1:].lower()], rel(p)) for p in demo_files()
            if p.suffix[1:].lower() in checks]
    jobs += [(check_route, r) for r in sorted((DEMO / "Routes").iterdir())]
    for check, target in jobs:
        try:
            check(target)
        except (AttributeError, IndexError, ValueError, OSError) as error:
            problem(f"{target}: an expected item is missing or unreadable "
                    f"({type(error).__name__}: {error})")

    def norm(kind, file, ref):
        return (kind, file, ref.lower())
    declared = {norm(*f[:3]) for f in make_demo.FAULTS}
    for extra in sorted(found - declared):
        problem(f"undeclared fault: {extra}")
    for lost in sorted(declared - found):
        problem(f"declared fault not found: {lost}")
    declared_case = {(f, r) for f, r, _ in make_demo.CASE_DIFFERENCES}
    for extra in sorted(case_found - declared_case):
        problem(f"undeclared case difference: {extra}")
    for lost in sorted(declared_case - case_found):
        problem(f"declared case difference not found: {lost}")
    readme = (DEMO / "README.md").read_text(encoding="utf-8")
    for _, file, _, _ in make_demo.FAULTS:
        if f"`{file}`" not in readme:
            problem(f"README.md does not list the fault in {file}")


# ---------------------------------------------------------------------------
# 4. The file library's own reading and writing


def check_with_corvane(tool):
    expected_first = {"con": ["train"], "eng": ["wagon", "Engine "],
                      "wag": ["wagon"], "sd": ["shape"], "s": ["shape"],
                      "cvf": ["tr_cabviewfile"], "trk": ["tr_routefile"],
                      "sms": ["tr_sms"], "act": ["tr_activity"],
                      "srv": ["service_definition"]}
    import json
    with tempfile.TemporaryDirectory() as tmp:
        for path in demo_files():
            ext = path.suffix[1:].lower()
            if ext not in expected_first:
                continue
            run = subprocess.run([tool, "tree", str(path)], capture_output=True)
            if run.returncode:
                problem(f"{rel(path)}: corvane tree failed")
                continue
            names = [i["name"] for i in json.loads(run.stdout)["items"]]
            if names != expected_first[ext]:
                problem(f"{rel(path)}: corvane reads the items {names}")
            if ext != "con":
                continue
            out = os.path.join(tmp, "saved.con")
            subprocess.run([tool, "save", str(path), out], check=True)
            saved = Path(out).read_bytes()[2:].decode("utf-16-le")
            original = path.read_bytes()[2:].decode("utf-16-le")
            original = original.replace("\r\nTrain (", "\r\ntrain (", 1)
            original = original.replace("Flip ( )", "Flip")
            if saved != original:
                problem(f"{rel(path)}: saving it again changes its layout")


def main():
    args = sys.argv[1:]
    tool = None
    if "--corvane" in args:
        tool = args[args.index("--corvane") + 1]
    elif "--no-corvane" not in args:
        default = DEMO.parent / "build" / "dev" / "bin" / "corvane"
        tool = str(default) if default.exists() else None

    global text_bodies
    text_bodies = {}
    counts = {}
    for path in demo_files():
        ext = path.suffix[1:].lower()
        counts[ext] = counts.get(ext, 0) + 1
        if ext == "s" and path.read_bytes()[:2] != b"\xff\xfe":
            check_packed_shape(path)
        elif ext in HEADERS:
            text_bodies[rel(path)] = check_text(path) or ""
        elif ext == "ace":
            check_ace(path)
        elif ext == "dds":
            check_dds(path)
        elif ext == "wav":
            check_wav(path)
        elif rel(path) != "README.md":
            problem(f"{rel(path)}: unexpected file")
    check_references()
    if tool:
        check_with_corvane(tool)

    summary = ", ".join(f"{n} .{e}" for e, n in sorted(counts.items()))
    if problems:
        print("\n".join(problems))
        print(f"FAILED: {len(problems)} problem(s) in {summary}")
        return 1
    print(f"OK: {summary}; {len(found)} deliberate faults and "
          f"{len(case_found)} case differences found as declared"
          + ("; corvane reads and saves them as expected" if tool else
             "; corvane not run"))
    return 0


text_bodies = {}
binary_trees = {}

if __name__ == "__main__":
    sys.exit(main())
