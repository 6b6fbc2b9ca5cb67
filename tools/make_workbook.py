#!/usr/bin/env python3
"""Writes a small price-list workbook (.xlsx) with Python's own zipfile: one
sheet, a heading row, then one row per "key,salp,price1,salp2,price2" argument."""
import sys
import zipfile
from xml.sax.saxutils import escape

CT = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
</Types>"""
RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
WB = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Prices" sheetId="1" r:id="rId1"/></sheets></workbook>"""
WB_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
</Relationships>"""


def cell(col: int, row: int, value: str) -> str:
    ref = f"{'ABCDE'[col]}{row}"
    try:
        float(value)
        return f'<c r="{ref}"><v>{value}</v></c>'
    except ValueError:
        return f'<c r="{ref}" t="inlineStr"><is><t>{escape(value)}</t></is></c>'


def main(out: str, rows: list[str]) -> None:
    table = [["guid", "salp", "price1", "salp2", "price2"]] + [r.split(",") for r in rows]
    xml_rows = "".join(
        f'<row r="{i + 1}">' + "".join(cell(c, i + 1, v) for c, v in enumerate(r) if v != "") + "</row>"
        for i, r in enumerate(table))
    sheet = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
             f"<sheetData>{xml_rows}</sheetData></worksheet>")
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CT)
        z.writestr("_rels/.rels", RELS)
        z.writestr("xl/workbook.xml", WB)
        z.writestr("xl/_rels/workbook.xml.rels", WB_RELS)
        z.writestr("xl/worksheets/sheet1.xml", sheet)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
