#!/usr/bin/python3
"""Writes the reader's test workbooks into this folder.

Two kinds: workbooks saved by an independent writer (Debian's python3-openpyxl;
SheetJS comes from make_workbooks_sheetjs.js), and hand-made packages whose
parts are written here byte for byte, to reach what writers rarely produce
(inline strings, no dimension, 1904 dates, error cells, cached formula values,
a first sheet in a later part file, cells without references, prefixes).

Run with Debian's python3 (openpyxl): /usr/bin/python3 tests/data/make_workbooks.py
The files are committed; the tests do not regenerate them.
"""
import datetime
from html import escape
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
NS_R = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
XML = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'


def openpyxl_workbook() -> None:
    import openpyxl
    from openpyxl.styles import numbers

    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Prices"
    ws.append(["guid", "salp", "price1", "salp2", "price2", "note"])
    ws.append(["M-001", 12.5, 13, 0.25, 1500, "أقراص"])
    ws.append(["M-002", -3, 1e20, 1.5e-7, 123456789012345.0, True])
    ws.append([" M-003 ", None, 7, None, 9, datetime.datetime(2022, 3, 26, 0, 0)])
    ws["F4"].number_format = "yyyy-mm-dd"
    ws["B2"].number_format = '"$"#,##0.00'
    ws["C2"].number_format = numbers.FORMAT_CURRENCY_USD_SIMPLE
    ws["G7"].number_format = "0.00"  # formatting only: widens the used area to G7
    other = wb.create_sheet("Other")
    other.append(["not", "this", "one"])
    wb.active = 1  # the first sheet is not the active one
    wb.save(HERE / "openpyxl_prices.xlsx")


def package(name: str, parts: dict[str, str], order: list[str] | None = None) -> None:
    with zipfile.ZipFile(HERE / name, "w", zipfile.ZIP_DEFLATED) as z:
        for part in order or list(parts):
            z.writestr(part, parts[part])


def content_types() -> str:
    return (XML + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/></Types>')


def package_rels(target: str = "xl/workbook.xml") -> str:
    return (XML + '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            f'<Relationship Id="rId1" Type="{REL}/officeDocument" Target="{target}"/></Relationships>')


def rels(*items: tuple[str, str, str]) -> str:
    body = "".join(f'<Relationship Id="{i}" Type="{REL}/{t}" Target="{target}"/>' for i, t, target in items)
    return XML + f'<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">{body}</Relationships>'


def workbook(sheets: list[tuple[str, str]], pr: str = "") -> str:
    body = "".join(f'<sheet name="{n}" sheetId="{k + 1}" r:id="{rid}"/>' for k, (n, rid) in enumerate(sheets))
    return XML + f"<workbook {NS} {NS_R}>{pr}<sheets>{body}</sheets></workbook>"


def worksheet(rows: str, before: str = "") -> str:
    return XML + f"<worksheet {NS}>{before}<sheetData>{rows}</sheetData></worksheet>"


def simple(name: str, sheet: str, styles: str | None = None, shared: str | None = None, pr: str = "") -> None:
    items = [("rId1", "worksheet", "worksheets/sheet1.xml")]
    parts = {"[Content_Types].xml": content_types(), "_rels/.rels": package_rels(),
             "xl/workbook.xml": workbook([("Sheet1", "rId1")], pr)}
    if styles is not None:
        items.append(("rId2", "styles", "styles.xml"))
        parts["xl/styles.xml"] = styles
    if shared is not None:
        items.append(("rId3", "sharedStrings", "sharedStrings.xml"))
        parts["xl/sharedStrings.xml"] = shared
    parts["xl/_rels/workbook.xml.rels"] = rels(*items)
    parts["xl/worksheets/sheet1.xml"] = sheet
    package(name, parts)


def styles(num_fmts: dict[int, str], xfs: list[int]) -> str:
    fmts = "".join(f'<numFmt numFmtId="{i}" formatCode="{escape(c, quote=True)}"/>' for i, c in num_fmts.items())
    cell_xfs = "".join(f'<xf numFmtId="{i}" fontId="0" fillId="0" borderId="0" xfId="0"/>' for i in xfs)
    return (XML + f'<styleSheet {NS}><numFmts count="{len(num_fmts)}">{fmts}</numFmts>'
            '<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>'
            f'<cellXfs count="{len(xfs)}">{cell_xfs}</cellXfs></styleSheet>')


def hand_made() -> None:
    # Inline strings with a rich-text run, and no dimension element.
    simple("inline_strings.xlsx", worksheet(
        '<row r="1"><c r="A1" t="inlineStr"><is><t>guid</t></is></c>'
        '<c r="B1" t="inlineStr"><is><r><t>sa</t></r><r><rPr><b/></rPr><t>lp</t></r></is></c></row>'
        '<row r="2"><c r="A2" t="inlineStr"><is><t xml:space="preserve"> K1 </t></is></c><c r="B2"><v>2.5</v></c></row>'))
    # A dimension that lies: the cells reach E4.
    simple("wrong_dimension.xlsx", worksheet(
        '<row r="1"><c r="A1"><v>1</v></c></row><row r="4"><c r="E4"><v>5</v></c></row>',
        before='<dimension ref="A1:B2"/>'))
    # 1904 dates, custom date, time and currency formats, booleans, error cells.
    simple("formats_1904.xlsx", worksheet(
        '<row r="1"><c r="A1" s="1"><v>0</v></c><c r="B1" s="2"><v>44646.5</v></c><c r="C1" s="3"><v>12.5</v></c>'
        '<c r="D1" s="4"><v>0.75</v></c><c r="E1" s="5"><v>3</v></c></row>'
        '<row r="2"><c r="A2" t="b"><v>1</v></c><c r="B2" t="b"><v>0</v></c><c r="C2" t="e"><v>#N/A</v></c>'
        '<c r="D2" s="6"><v>7</v></c><c r="E2" s="7"><v>8</v></c></row>'),
        styles=styles({164: "dd/mm/yyyy", 165: "[$€-407]#,##0.00", 166: "[h]:mm", 167: '"m"0', 168: "[Red]0.00"},
                   [0, 14, 164, 165, 166, 7, 167, 168]),
        pr='<workbookPr date1904="1"/>')
    # The 1900 system around its missing 29 February, and built-in currency.
    simple("dates_1900.xlsx", worksheet(
        '<row r="1"><c r="A1" s="1"><v>1</v></c><c r="B1" s="1"><v>59</v></c><c r="C1" s="1"><v>61</v></c>'
        '<c r="D1" s="1"><v>44646</v></c><c r="E1" s="1"><v>-1</v></c></row>'
        '<row r="2"><c r="A2" t="d"><v>2022-03-26T12:00:00</v></c></row>'),
        styles=styles({}, [0, 14]))
    # Formulas: cached number, cached text, and one with no cached value; shared
    # strings with a phonetic guide that is not part of the text.
    simple("formulas.xlsx", worksheet(
        '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><f>1+1</f><v>2</v></c>'
        '<c r="C1" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c r="D1"><f>NOW()</f></c></row>'
        '<row r="2"><c r="A2" t="s"><v>1</v></c></row>'),
        shared=(XML + f'<sst {NS} count="2" uniqueCount="2"><si><t>plain</t></si>'
                '<si><r><t>ri</t></r><r><t>ch</t></r><rPh sb="0" eb="1"><t>PHONETIC</t></rPh></si></sst>'))
    # Rows and cells without r attributes, and a namespace prefix on every element.
    simple("no_references.xlsx",
           XML + '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData>'
           '<x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row>'
           '<x:row><x:c><x:v>3</x:v></x:c><x:c r="D2"><x:v>4</x:v></x:c><x:c><x:v>5</x:v></x:c></x:row>'
           '</x:sheetData></x:worksheet>')
    # The first sheet of the workbook lives in sheet3.xml, stored after the
    # others; a chart sheet listed before it is not a worksheet.
    first = worksheet('<row r="1"><c r="A1" t="inlineStr"><is><t>first</t></is></c><c r="C3"><v>1</v></c></row>')
    later = worksheet('<row r="1"><c r="A1" t="inlineStr"><is><t>second</t></is></c></row>')
    package("first_sheet_later.xlsx", {
        "[Content_Types].xml": content_types(),
        "_rels/.rels": package_rels(),
        "xl/workbook.xml": workbook([("Chart", "rId9"), ("First", "rId3"), ("Second", "rId1")]),
        "xl/_rels/workbook.xml.rels": rels(("rId1", "worksheet", "worksheets/sheet1.xml"),
                                           ("rId3", "worksheet", "/xl/worksheets/sheet3.xml"),
                                           ("rId9", "chartsheet", "chartsheets/sheet1.xml")),
        "xl/worksheets/sheet1.xml": later,
        "xl/chartsheets/sheet1.xml": XML + f"<chartsheet {NS}/>",
        "xl/worksheets/sheet3.xml": first,
    })
    # Formatting only: the used area reaches G10 although the data stop at B2.
    simple("formatted_area.xlsx", worksheet(
        '<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c></row>'
        '<row r="2"><c r="A2"><v>3</v></c><c r="B2"><v>4</v></c></row>'
        '<row r="10"><c r="G10" s="1"/></row>'), styles=styles({}, [0, 2]))
    simple("one_cell.xlsx", worksheet('<row r="1"><c r="A1"><v>1</v></c></row>'))
    simple("empty_sheet.xlsx", worksheet(""))


if __name__ == "__main__":
    openpyxl_workbook()
    hand_made()
