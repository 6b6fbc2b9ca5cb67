"""Hostile and broken files served under the price list's name."""
import struct
import zipfile
from pathlib import Path

import bench

REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"


def truncated(path: Path) -> None:
    bench.make_workbook(path, ["K1,9,9,9,9", "K2,9,9,9,9"])
    data = path.read_bytes()
    path.write_bytes(data[: len(data) // 2])


def zip_bomb(path: Path, inflated_mib: int = 600) -> None:
    """A good workbook whose sheet part inflates to 600 MiB (about 600 KiB on the wire)."""
    bench.make_workbook(path, ["K1,9,9,9,9"])
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, data in parts.items():
            if name != "xl/worksheets/sheet1.xml":
                z.writestr(name, data)
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
            f.write(f'<worksheet xmlns="{MAIN}"><sheetData><row r="2"><c r="A2" t="inlineStr"><is><t>K1</t></is></c>'
                    '<c r="B2"><v>9</v></c></row>'.encode())
            chunk = b" " * (1 << 20)
            for _ in range(inflated_mib):
                f.write(chunk)
            f.write(b"</sheetData></worksheet>")


def entity_expansion(path: Path) -> None:
    """The "billion laughs": ten levels of ten references each."""
    bench.make_workbook(path, ["K1,9,9,9,9"])
    entities = '<!ENTITY l0 "lol">' + "".join(
        f'<!ENTITY l{k} "{("&l%d;" % (k - 1)) * 10}">' for k in range(1, 10))
    sheet = (f'<?xml version="1.0"?><!DOCTYPE worksheet [{entities}]><worksheet xmlns="{MAIN}"><sheetData>'
             '<row r="2"><c r="A2" t="inlineStr"><is><t>&l9;</t></is></c><c r="B2"><v>9</v></c></row>'
             "</sheetData></worksheet>")
    replace_part(path, "xl/worksheets/sheet1.xml", sheet.encode())


def no_sheets(path: Path) -> None:
    bench.make_workbook(path, ["K1,9,9,9,9"])
    replace_part(path, "xl/workbook.xml",
                 f'<workbook xmlns="{MAIN}" xmlns:r="{REL}"><sheets/></workbook>'.encode())


def replace_part(path: Path, part: str, data: bytes) -> None:
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    parts[part] = data
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in parts.items():
            z.writestr(name, content)


def compound_file(path: Path, streams: dict[str, bytes]) -> None:
    """A compound file (the container of legacy .xls workbooks and of encrypted
    .xlsx ones): header, one FAT sector, one directory sector, then each stream
    (padded to 4096 bytes or more, so no mini stream is needed) in its own chain."""
    end, free, fat_sect = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
    payloads = [data.ljust(max(4096, (len(data) + 511) // 512 * 512), b"\0") for data in streams.values()]
    fat = [fat_sect, end]
    starts = []
    for p in payloads:
        starts.append(len(fat))
        n = len(p) // 512
        fat += [len(fat) + k + 1 for k in range(n - 1)] + [end]
    fat += [free] * (128 - len(fat))

    def entry(name: str, kind: int, child: int, right: int, start: int, size: int) -> bytes:
        raw = (name + "\0").encode("utf-16-le") if name else b""
        return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw), kind, 1) +
                struct.pack("<III", free, right, child) + b"\0" * 16 + struct.pack("<I", 0) + b"\0" * 16 +
                struct.pack("<IQ", start, size))

    names = list(streams)
    directory = entry("Root Entry", 5, 1, free, end, 0)
    for k, name in enumerate(names):
        directory += entry(name, 2, free, k + 2 if k + 1 < len(names) else free, starts[k], len(streams[name]))
    directory = directory.ljust(512, b"\0")
    header = (bytes.fromhex("D0CF11E0A1B11AE1") + b"\0" * 16 + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) +
              b"\0" * 6 + struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, end, 0, end, 0) +
              struct.pack("<I", 0) + struct.pack("<I", free) * 108)
    path.write_bytes(header + struct.pack("<128I", *fat) + directory + b"".join(payloads))


def encrypted(path: Path) -> None:
    compound_file(path, {"EncryptionInfo": b"\x04\x00\x04\x00\x40\x00\x00\x00" + b"<encryption/>",
                         "EncryptedPackage": struct.pack("<Q", 5000) + b"\x5a" * 5000})


def legacy_xls(path: Path) -> None:
    # A BIFF8 stream begins with its BOF record.
    compound_file(path, {"Workbook": bytes.fromhex("0908100000060500") + b"\0" * 12})


def html_page(path: Path) -> None:
    path.write_text("<!DOCTYPE html><html><head><title>Moved</title></head><body>The price list has moved.</body></html>")
