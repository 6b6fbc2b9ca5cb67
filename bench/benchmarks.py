#!/usr/bin/python3
"""The benchmarks of the workbook reader and of the update run, each printed as
ratios against baselines run by this same script on the same files:

  reader:  our built-in reader (bench/read_xlsx reader) against openpyxl in
           read-only mode, SheetJS ("xlsx" on npm, Node) and the floor of only
           inflating the sheet part and scanning its bytes (read_xlsx floor);
           time of the work itself and peak resident memory of each process,
           on a 1500 x 30 and a 100 000 x 30 workbook.
  update:  RunPriceUpdate of 1499 rows through unixODBC and the SQLite driver
           (bench/update_run), without and with its snapshot and journal,
           against the same 1499 autocommit updates through Python's sqlite3
           module; the snapshot of 3, 1499 and 20 000 keys on a 20 000-record
           mat00 against one prepared select per key and one scan of mat00.

Usage (through bench/run.sh): benchmarks.py BUILD_DIR [--repeat N] [--only reader|update]"""
import json
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

BUILD = Path(sys.argv[1])
REPEAT = int(sys.argv[sys.argv.index("--repeat") + 1]) if "--repeat" in sys.argv else 3
ONLY = sys.argv[sys.argv.index("--only") + 1] if "--only" in sys.argv else None
WORK = Path(tempfile.mkdtemp(prefix="naveko-bench-"))
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def column(n: int) -> str:
    s = ""
    while n:
        n, r = divmod(n - 1, 26)
        s = chr(65 + r) + s
    return s


CONTENT_TYPES = (
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
    '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
    "</Types>")


def write_workbook(path: Path, rows: int, cols: int = 30) -> None:
    """A price list as a spreadsheet application saves it: shared strings for
    the keys and names, numbers for the prices, streamed into the zip."""
    words = ["tablet", "syrup", "capsule", "cream", "drops"]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   f'<Relationship Id="rId1" Type="{REL}/officeDocument" Target="xl/workbook.xml"/></Relationships>')
        z.writestr("xl/workbook.xml", f'<workbook xmlns="{MAIN}" xmlns:r="{REL}"><sheets>'
                   '<sheet name="Prices" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>'
                   f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
        with z.open("xl/sharedStrings.xml", "w", force_zip64=True) as f:
            f.write(f'<sst xmlns="{MAIN}">'.encode())
            for w in words:
                f.write(f"<si><t>{w}</t></si>".encode())
            for r in range(1, rows + 1):
                f.write(f"<si><t>K{r:06d}</t></si>".encode())
            f.write(b"</sst>")
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
            f.write(f'<worksheet xmlns="{MAIN}"><dimension ref="A1:{column(cols)}{rows}"/><sheetData>'.encode())
            for r in range(1, rows + 1):
                cells = [f'<c r="A{r}" t="s"><v>{len(words) + r - 1}</v></c>']
                for c in range(2, cols + 1):
                    ref = f"{column(c)}{r}"
                    if c % 7 == 0:
                        cells.append(f'<c r="{ref}" t="s"><v>{(r + c) % len(words)}</v></c>')
                    else:
                        cells.append(f'<c r="{ref}"><v>{(r * 31 + c * 17) % 10000 / 4}</v></c>')
                f.write(f'<row r="{r}">{"".join(cells)}</row>'.encode())
            f.write(b"</sheetData></worksheet>")


OPENPYXL = """
import sys, time, json, openpyxl
t = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
n = 0
for row in wb.worksheets[0].iter_rows(values_only=True):
    n += sum(v is not None for v in row)
print(json.dumps({"seconds": time.perf_counter() - t, "count": n}))
"""

SHEETJS = """
const XLSX = require("xlsx");
const t = process.hrtime.bigint();
const wb = XLSX.readFile(process.argv[process.argv.length - 1], {dense: true});
const ws = wb.Sheets[wb.SheetNames[0]];
let n = 0;
for (const row of ws["!data"] || ws) if (row) for (const c of row) if (c) n++;
console.log(JSON.stringify({seconds: Number(process.hrtime.bigint() - t) / 1e9, count: n}));
"""


def measure(cmd: list[str]) -> tuple[float, float]:
    """Best time of REPEAT runs, and the peak resident memory of the process (MiB)."""
    best, peak = float("inf"), 0.0
    for _ in range(REPEAT):
        proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        out = proc.stdout.read()
        err = proc.stderr.read()
        _, status, usage = os.wait4(proc.pid, 0)
        if status:
            raise SystemExit(f"{' '.join(cmd[:2])} failed: {err.decode()[-500:]}")
        result = json.loads(out.decode().strip().splitlines()[-1])
        best = min(best, result["seconds"])
        peak = max(peak, usage.ru_maxrss / 1024)
    return best, peak


def reader_benchmarks() -> None:
    drivers = BUILD / "bench"
    print("Workbook reader: best of", REPEAT, "runs; time of the work itself, peak resident memory of the process")
    for rows in (1500, 100_000):
        path = WORK / f"prices-{rows}x30.xlsx"
        write_workbook(path, rows)
        results = {
            "ours": measure([str(drivers / "read_xlsx"), "reader", str(path)]),
            "floor (inflate + scan)": measure([str(drivers / "read_xlsx"), "floor", str(path)]),
            "openpyxl read-only": measure(["/usr/bin/python3", "-c", OPENPYXL, str(path)]),
            "SheetJS (node)": measure(["node", "-e", SHEETJS, str(path)]),
        }
        ours_t, ours_m = results["ours"]
        print(f"\n  {rows} x 30 ({path.stat().st_size // 1024} KiB on disk)")
        print(f"  {'reader':24} {'time s':>9} {'peak MiB':>9} {'ours/this time':>15} {'ours/this mem':>14}")
        for name, (t, m) in results.items():
            print(f"  {name:24} {t:9.4f} {m:9.1f} {ours_t / t:15.3f} {ours_m / m:14.3f}")


def make_mat00(path: Path, rows: int) -> Path:
    con = sqlite3.connect(path)
    con.execute("create table mat00 (guid varchar(40) primary key, name varchar(60),"
                " salp float, price1 float, salp2 float, price2 float)")
    con.executemany("insert into mat00 values (?, '', 0, 0, 0, 0)", [(f"G{r}",) for r in range(1, rows + 1)])
    con.commit()
    con.close()
    return path


def update_run_once(template: Path, *args: str) -> float:
    """One run of bench/update_run on a fresh copy of the database."""
    db = WORK / "ours.db"
    shutil.copy(template, db)
    for old in WORK.glob("ours.db.journal*"):
        old.unlink()
    out = subprocess.run([str(BUILD / "bench" / "update_run"), str(db), *args], capture_output=True, check=True)
    return json.loads(out.stdout)["seconds"]


def update_run(template: Path, *args: str) -> float:
    """Best time of REPEAT runs of bench/update_run on fresh copies of the database."""
    return min(update_run_once(template, *args) for _ in range(REPEAT))


def update_benchmark() -> None:
    small = make_mat00(WORK / "mat00-1499.db", 1499)
    large = make_mat00(WORK / "mat00-20000.db", 20_000)
    # The run without and with its journal taken in turns, so that a change in
    # the machine's load falls on both (the best of each is compared).
    ours = journal = float("inf")
    for _ in range(max(REPEAT, 7)):
        ours = min(ours, update_run_once(small, "update"))
        journal = min(journal, update_run_once(small, "journal"))
    python = float("inf")
    for _ in range(REPEAT):
        db = WORK / "python.db"
        shutil.copy(small, db)
        con = sqlite3.connect(db, isolation_level=None)  # autocommit, one transaction per statement
        t = time.perf_counter()
        for r in range(1, 1500):
            v = float(f"{r}.5")
            con.execute("update mat00 set salp= ?,price1= ?,salp2= ?,price2= ?  where guid= ?", (v, v, v, v, f"G{r}"))
        python = min(python, time.perf_counter() - t)
        con.close()
    print(f"\nUpdate run, 1499 rows, autocommit, SQLite (best of {REPEAT})")
    print(f"  ours (ODBC, statement prepared and described per row) {ours:8.4f} s")
    print(f"  ours with snapshot and journal (intent before each statement, one fsync per row)  {journal:8.4f} s")
    print(f"  Python sqlite3 module                                 {python:8.4f} s")
    print(f"  ratio ours / Python                                   {ours / python:8.3f}")
    print(f"  ratio with journal / without                          {journal / ours:8.3f}")

    print(f"\nSnapshot of the listed keys' prices, mat00 of 20 000 records (best of {REPEAT})")
    print(f"  {'keys':>6} {'ours s':>9} {'per-key s':>10} {'scan s':>9} {'ours/per-key':>13} {'ours/scan':>10}")
    scan = update_run(large, "scan")
    for keys in (3, 1499, 20_000):
        snap = update_run(large, "snapshot", str(keys))
        per_key = update_run(large, "per-key", str(keys))
        print(f"  {keys:6} {snap:9.5f} {per_key:10.5f} {scan:9.5f} {snap / per_key:13.3f} {snap / scan:10.3f}")


if __name__ == "__main__":
    try:
        if ONLY in (None, "reader"):
            reader_benchmarks()
        if ONLY in (None, "update"):
            update_benchmark()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
