#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz corpora (run from the repository root)."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def text(s: bytes) -> bytes:
    if len(s) < 255:
        return bytes([len(s)]) + s
    if len(s) < 0xFFFE:
        return b"\xff" + struct.pack("<H", len(s)) + s
    return b"\xff\xff\xff" + struct.pack("<I", len(s)) + s


def header() -> bytes:
    return (struct.pack("<I", 0xAAAC) + text(b"Arial Black") + struct.pack("<i", 10)
            + text(b"Times New Roman") + struct.pack("<i", 10)
            + struct.pack("<IIII", 0xF0F0F0, 0xFFFFFF, 0, 0))


def card(index: bytes, body: bytes, tag: int = 1) -> bytes:
    return struct.pack("<I", 1) + text(index) + text(body) + struct.pack("<i", tag)


first = struct.pack("<HHH", 0xFFFF, 1, 8) + b"CardInfo"
seeds = {
    "archive-two": header() + struct.pack("<H", 2) + first + card(b"Ann", b"Tel 1")
    + struct.pack("<H", 0x8001) + card(b"bob", b"x" * 300, 0),
    "archive-empty": header() + struct.pack("<H", 0),
    "archive-wide": header() + struct.pack("<H", 1) + first + struct.pack("<I", 1)
    + b"\xff\xfe\xff\x03" + "A\u20ac\u4e2d".encode("utf-16-le") + text(b"") + struct.pack("<i", 1),
    "archive-big-ref": header() + struct.pack("<H", 2) + first + card(b"a", b"")
    + struct.pack("<HI", 0x7FFF, 0x80000001) + card(b"b", b""),
    "archive-object-ref": header() + struct.pack("<H", 2) + first + card(b"a", b"")
    + struct.pack("<H", 0x0002) + card(b"b", b""),
    "archive-long-count": header() + struct.pack("<HI", 0xFFFF, 3) + first + card(b"c", b"")
    + struct.pack("<H", 0x8001) + card(b"b", b"") + struct.pack("<H", 0x8001) + card(b"a", b""),
    "fixed-a": struct.pack("<Ii", 0xAAAA, 1) + b"Ann".ljust(42, b"\0") + b"Tel 1".ljust(512, b"\0"),
    "fixed-b": struct.pack("<Ii", 0xAAAB, 2) + (b"K" * 42) + b"body".ljust(512, b"\0")
    + struct.pack("<i", 0) + b"z".ljust(554, b"\0") + struct.pack("<i", 1),
    "fixed-negative": struct.pack("<Ii", 0xAAAB, -5),
    "other-version": struct.pack("<I", 0x1234),
}
for name, data in seeds.items():
    with open(os.path.join(here, "cardfile", name), "wb") as f:
        f.write(data)



def crd(cards, count=None) -> bytes:
    """The Cardfile layout the reader documents: 32-bit count, 32-bit text lengths."""
    out = b"MGC" + struct.pack("<i", len(cards) if count is None else count)
    position = 7 + 52 * len(cards)
    for index, body in cards:
        out += struct.pack("<IIB", 0, position, 0) + index[:43].ljust(43, b"\0")
        position += 4 + len(body)
    for _, body in cards:
        out += struct.pack("<I", len(body)) + body
    return out


def classic_crd(cards) -> bytes:
    """As the classic program writes it: 16-bit count, picture size 0, 16-bit text length."""
    out = b"MGC" + struct.pack("<H", len(cards))
    position = 5 + 52 * len(cards)
    for index, body in cards:
        out += b"\0" * 6 + struct.pack("<IB", position, 0) + index[:40].ljust(40, b"\0") + b"\0"
        position += 4 + len(body)
    for _, body in cards:
        out += struct.pack("<HH", 0, len(body)) + body
    return out


crd_seeds = {
    "three": crd([(b"zebra", b"Z\r\nz"), (b"\xc9cole", b"caf\xe9"), (b"apple", b"")]),
    "classic": classic_crd([(b"Smith, Ann", b"Ann Smith\r\n12 High St"), (b"Bank", b"Acct 4471"),
                            (b"L" * 40, b"t" * 440)]),
    "window": crd([(b"K" * 43, b"w" * 1500), (b"zero", b"ab\0cd")]),
    "empty": crd([]),
    "negative": crd([(b"a", b"b")], count=-3),
    "huge-count": crd([(b"only", b"one")], count=0x7FFFFFFF),
    "cut-entries": crd([(b"a", b"A"), (b"b", b"B"), (b"c", b"C")])[:7 + 52 * 2 + 20],
    "outside": b"MGC" + struct.pack("<i", 1) + struct.pack("<IIB", 0, 0xFFFFFFF0, 0) + b"x".ljust(43, b"\0"),
    "other": b"RRG" + struct.pack("<i", 1) + b"\0" * 60,
    "dko": b"DKO" + struct.pack("<IH", 0, 1) + b"\0" * 60,
    "mgc-picture": b"MGC" + struct.pack("<H", 2)
    + b"\0" * 6 + struct.pack("<IB", 5 + 104, 0) + b"a".ljust(41, b"\0")
    + b"\0" * 6 + struct.pack("<IB", 5 + 104 + 4 + 1, 0) + b"b".ljust(41, b"\0")
    + struct.pack("<HH", 0, 1) + b"A" + struct.pack("<HHHHH", 16, 8, 16, 0, 0) + b"\x55" * 16
    + struct.pack("<H", 1) + b"B",
    "short": b"MGC\1\0",
}


def name(s: bytes) -> bytes:
    return struct.pack("<I", len(s) + 1) + s + b"\0"


def counted(s: bytes) -> bytes:
    return struct.pack("<I", len(s)) + s


def rrg(cards, last_id=0) -> bytes:
    """RRG: "RRG", last object id, 16-bit count, entries from 9, then flag, object, text."""
    data = b""
    positions = []
    first = 9 + 52 * len(cards)
    for index, body, obj in cards:
        positions.append(first + len(data))
        if obj is None:
            data += struct.pack("<H", 0)
        else:
            data += struct.pack("<HI", 1, 1) + obj + struct.pack("<HH4hH", 8, 16, 0, 0, 90, 60, 0)
        data += struct.pack("<H", len(body)) + body
    out = b"RRG" + struct.pack("<IH", last_id, len(cards))
    for pos, (index, _, _) in zip(positions, cards):
        out += b"\0" * 6 + struct.pack("<IB", pos, 0) + index[:40].ljust(41, b"\0")
    return out + data


static = struct.pack("<II", 0x501, 3) + name(b"DIB") + struct.pack("<II", 200, 200) + counted(b"\1" * 48)
embedded = (struct.pack("<II", 0x501, 2) + name(b"SoundRec") + counted(b"") + counted(b"")
            + counted(b"RIFF....WAVE") + struct.pack("<II", 0x501, 5) + name(b"METAFILEPICT")
            + struct.pack("<II", 846, 846) + counted(b"\2" * 24))
linked = (struct.pack("<II", 0x501, 1) + name(b"ExcelWorksheet") + name(b"C:\\B.XLS") + name(b"R1C1")
          + counted(b"") + struct.pack("<II", 0, 1) + struct.pack("<II", 0x501, 5) + name(b"Biff3")
          + struct.pack("<I", 0) + counted(b"Biff3") + counted(b"\3" * 10))
crd_seeds.update({
    "rrg-text": rrg([(b"zebra", b"Z\r\nz", None), (b"\xc9cole", b"caf\xe9", None), (b"blank", b"", None)]),
    "rrg-objects": rrg([(b"map", b"see picture", static), (b"bell", b"sound", embedded),
                        (b"budget", b"", linked), (b"plain", b"text", None)], 3),
    "rrg-bad-format": rrg([(b"x", b"y", struct.pack("<II", 0x501, 9) + name(b"Odd"))]),
    "rrg-huge-native": rrg([(b"x", b"y", embedded.replace(counted(b"RIFF....WAVE"),
                                                         struct.pack("<I", 0xFFFFFFF0) + b"RIFF"))]),
    "rrg-cut": rrg([(b"map", b"see picture", static), (b"bell", b"sound", embedded)])[:200],
    "rrg-huge-count": b"RRG" + struct.pack("<IH", 0, 0xFFFF) + rrg([(b"a", b"b", None)])[9:],
})
os.makedirs(os.path.join(here, "crd"), exist_ok=True)
for name, data in crd_seeds.items():
    with open(os.path.join(here, "crd", name), "wb") as f:
        f.write(data)

for i, value in enumerate(["0:1:10:20:530:400", "0:1:0x10:20:530:400", "0:1:10:20:530",
                           " -1: 2:017:0X1f:+4:5", "", "0x:1", "2:1:-2147483648:0:99999999999:7"]):
    with open(os.path.join(here, "placement", f"seed-{i}"), "wb") as f:
        f.write(value.encode())

csv_seeds = {
    "own-export": b"Index,Body,Tagged\r\nAnn,\"Tel 1\r\nTel 2\",1\r\n\"B, \"\"q\"\"\",plain,0\r\nCaf\xc3\xa9,,1\r\n",
    "sheet-semicolon-bom": b"\xef\xbb\xbfName;Street;Town;VIP\r\n\"Ann\nMiller\";\"Main St 4\nBack\";Bern;yes\r\n"
    b";;;\r\nBob;Side St\r\nChen \xe4\xb8\xad;;Basel;no;extra\r\n",
    "tab-cp1252": b"Nom\tVille\nCaf\xe9\tZ\xfcrich\n\x80uro\t\x00nul\n",
    "unclosed-quote": b"a,b\n\"never closed,\r\nstill",
    "cr-lines": b"a;b\rc;d\r\"e\"x;\"\"\r,",
    "wide-row": b"h\n" + b"," * 1000 + b"\n",
}
os.makedirs(os.path.join(here, "csv"), exist_ok=True)
for name, data in csv_seeds.items():
    with open(os.path.join(here, "csv", name), "wb") as f:
        f.write(data)

def recovery(path: bytes, cards: bytes, blocked: int = 0, pid: int = 4242, layout: int = 1,
             path_size=None) -> bytes:
    """Recovery file: magic, layout, pid, process start, time, save-blocked, path, card file."""
    size = len(path) if path_size is None else path_size
    return (b"Tessel recovery\n" + struct.pack("<IIQqBI", layout, pid, 123456, 1765281840, blocked, size)
            + path + cards)


archive_two = seeds["archive-two"]
recovery_seeds = {
    "titled": recovery(b"/home/ann/sample.tsl", archive_two),
    "untitled": recovery(b"", seeds["archive-empty"]),
    "import": recovery(b"/home/ann/old.crd", seeds["archive-wide"], blocked=1),
    "fixed-cards": recovery(b"/x.tsl", seeds["fixed-a"]),
    "long-path": recovery(b"/x.tsl", archive_two, path_size=0xFFFFFFFF),
    "bad-flag": recovery(b"/x.tsl", archive_two, blocked=7),
    "other-layout": recovery(b"/x.tsl", archive_two, layout=2),
    "cut-cards": recovery(b"/x.tsl", archive_two[:40]),
    "nul-in-path": recovery(b"/x\0y.tsl", archive_two),
    "magic-only": b"Tessel recovery\n",
}
os.makedirs(os.path.join(here, "recovery"), exist_ok=True)
for name, data in recovery_seeds.items():
    with open(os.path.join(here, "recovery", name), "wb") as f:
        f.write(data)

# vCard: the test data files (2.1 quoted-printable, 4.0) are copied in as
# they are; these add a Tessel export, folds, damage and the odd cases.
vcard_seeds = {
    "tessel-export": b"BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Tessel//Tessel 0.1.0//EN\r\n"
    b"N:Smith;John;;;\r\nFN:Smith\\, John\r\nNOTE:Tel 555 1234\\nj@x.org\\, www.x.org\r\n"
    b"TEL:555 1234\r\nEMAIL;TYPE=INTERNET:j@x.org\r\nURL:www.x.org\r\nCATEGORIES:Tagged\r\n"
    b"END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Tessel//Tessel 0.1.0//EN\r\n"
    b"N:Acme;;;;\r\nFN:Acme\r\nNOTE:" + "caf\u00e9 \u20ac".encode() * 20 + b"\r\n END:VCARD\r\n",
    "folded-30": b"BEGIN:VCARD\nVERSION:3.0\nFN:Long\n  name\nORG:A;B\nADR:;;St 1\\nFloor 2;Town;;1;X\n"
    b"item1.EMAIL;TYPE=\"a:b;c\":m@x.org\nEND:VCARD\n",
    "qp-21": b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:M=FC;J=\r\n"
    b"=E9\r\nNOTE;QUOTED-PRINTABLE:a=0D=0Ab=\r\n=3D=\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:in\r\nEND:VCARD\r\n"
    b"KEY;ENCODING=BASE64:AAAA\r\nEND:VCARD\r\n",
    "charset-refused": b"BEGIN:VCARD\r\nFN;CHARSET=KOI8-R:\xf0\xd2\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:b\r\nEND:VCARD\r\n",
    "cut-short": b"BEGIN:VCARD\r\nFN:whole\r\nEND:VCARD\r\ngarbage\r\nBEGIN:VCARD\r\nFN:cut\r\nNOTE:and",
    "utf16": "BEGIN:VCARD\r\n".encode("utf-16"),
    "bom-tel-uri": b"\xef\xbb\xbfBEGIN:VCARD\r\nVERSION:4.0\r\nN:;;;;\r\nFN:x\r\nTEL;VALUE=uri:tel:+1-555-0100\r\n"
    b"EMAIL:mailto:a@b.cd\r\nEND:VCARD\r\n",
}
os.makedirs(os.path.join(here, "vcard"), exist_ok=True)
for name, data in vcard_seeds.items():
    with open(os.path.join(here, "vcard", name), "wb") as f:
        f.write(data)
