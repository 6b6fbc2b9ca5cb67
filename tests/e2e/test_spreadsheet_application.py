"""The update through the spreadsheet application as it really behaves: the
release program under Wine against an out-of-process stand-in of its
automation server (tests/spreadsheet/win/spreadsheet_double.cpp), registered
as "Excel.Application" in the bench for these cases only. One case per
behaviour: the right prices (through the stand-in, whose numbers are made to
differ from the file's in one case, or through the built-in reader where the
stand-in fails), the message within the bound, no stand-in process left, and
the log naming the reader."""
import datetime
import os
import re
import shutil
import subprocess
import time
import unittest

import bench

CLSID = "{B355F6E1-5630-492D-9EA8-E6D154585A40}"
APP, BUILT_IN = "the spreadsheet application", "the built-in reader"
DB_ROWS = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0)]
PRICES = ["K1,10,11,12,13", "K2,20.5,,22,23"]
FROM_FILE = [("K1", 10.0, 11.0, 12.0, 13.0), ("K2", 20.5, 0.0, 22.0, 23.0)]
PLUS_1000 = [("K1", 1010.0, 1011.0, 1012.0, 1013.0), ("K2", 1020.5, 0.0, 1022.0, 1023.0)]
BOUND = 60  # seconds the program gives the whole exchange

# name, the stand-in's behaviour, the workbook ("typed": currency, date and boolean cells), reader, prices after
CASES = [
    ("busy at first, its numbers 1000 more", "reject 5\nadd 1000", "plain", APP, PLUS_1000),
    ("a workbook with links", "links", "plain", APP, FROM_FILE),
    ("volatile formulas: unsaved once opened", "volatile", "plain", APP, FROM_FILE),
    ("saved with another sheet active", "other-sheet", "plain", APP, FROM_FILE),
    ("currency, date, boolean and text cells", "", "typed", APP, FROM_FILE),
    ("the last cell in row 1 048 576", "far-last-cell", "plain", APP, FROM_FILE),
    ("a crash in the middle of Value", "crash Value", "plain", BUILT_IN, FROM_FILE),
    ("a dialog at Open, which nobody sees", "prompt-open", "plain", BUILT_IN, FROM_FILE),
    ("busy past the bound", "reject 200", "plain", BUILT_IN, FROM_FILE),
    ("registered but not startable", "missing", "plain", BUILT_IN, FROM_FILE),
]


def typed_workbook(path) -> None:
    """The price list with a currency-formatted price, a date and a boolean beside the prices."""
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["guid", "salp", "price1", "salp2", "price2", "issued", "listed"])
    ws.append(["K1", 10, 11, 12, 13, datetime.date(2022, 3, 26), True])
    ws.append(["K2", 20.5, None, 22, 23, datetime.date(2022, 3, 27), False])
    ws["B2"].number_format = '"$"#,##0.00'
    ws["B3"].number_format = '"$"#,##0.00'
    wb.save(path)


def doubles_running() -> list[str]:
    out = subprocess.run(["pgrep", "-af", "spreadsheet_double.exe"], capture_output=True, text=True).stdout
    return [line for line in out.splitlines() if "pgrep" not in line]


class SpreadsheetApplication(unittest.TestCase):
    def setUp(self):
        self.folder = bench.Path(bench.ENV["WINEPREFIX"]) / "drive_c" / "naveko-double"
        self.addCleanup(self.unregister)

    def register(self, exe: str) -> None:
        bench.run_reg(["reg", "add", r"HKCR\Excel.Application\CLSID", "/ve", "/d", CLSID, "/f"])
        bench.run_reg(["reg", "add", rf"HKCR\CLSID\{CLSID}\LocalServer32", "/ve", "/d", exe, "/f"])
        bench.run_reg(["reg", "add", rf"HKCR\CLSID\{CLSID}\ProgID", "/ve", "/d", "Excel.Application", "/f"])

    def unregister(self) -> None:
        for key in (r"HKCR\Excel.Application", rf"HKCR\CLSID\{CLSID}"):
            subprocess.run([bench.WINE_RUN, "reg", "delete", key, "/f"], env=bench.ENV, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=60)
        for line in doubles_running():
            subprocess.run(["kill", "-9", line.split()[0]])

    def test_each_behaviour_ends_in_the_right_prices_within_the_bound_and_leaves_no_instance(self):
        double = "Z:" + os.environ["NAVEKO_SPREADSHEET_DOUBLE"].replace("/", "\\")
        for name, behaviour, workbook, reader, prices in CASES:
            with self.subTest(name):
                work = bench.ARTIFACTS / ("spreadsheet-" + re.sub(r"\W+", "-", name))
                shutil.rmtree(work, ignore_errors=True)
                work.mkdir(parents=True)
                shutil.rmtree(self.folder, ignore_errors=True)
                self.folder.mkdir(parents=True)
                (self.folder / "behaviour.txt").write_text(behaviour.replace("missing", ""))
                self.register(double.replace("spreadsheet_double.exe", "no_such_server.exe") if behaviour == "missing"
                              else double)
                (bench.naveko_folder() / "naveko.log").unlink(missing_ok=True)
                db = bench.serve_price_list(self, work, PRICES, DB_ROWS)
                if workbook == "typed":
                    typed_workbook(work / "site" / "upload" / "F26-3-2022.xlsx")
                with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as prog:
                    window = bench.wait_for_window(bench.MAIN_TITLE)
                    bench.click_button(window)
                    pressed = time.monotonic()
                    box = bench.wait_for_message_box(BOUND + 40)
                    waited = time.monotonic() - pressed
                    bench.dismiss_message_box()
                    prog.close_window()
                self.assertEqual(box["text"], bench.UPDATE_DONE)
                self.assertLess(waited, BOUND + 15, "the message came within the bound")
                self.assertEqual(bench.mat00(db), prices)
                deadline = time.monotonic() + 15
                while doubles_running() and time.monotonic() < deadline:
                    time.sleep(0.5)
                self.assertEqual(doubles_running(), [], "no instance the program started is left")
                update = (bench.naveko_folder() / "naveko.log").read_text(encoding="utf-8").split("====")[-1]
                self.assertIn(f"  reader: {reader}\n", update)
                self.assertEqual("  spreadsheet application: failed: " in update, reader == BUILT_IN, update)
                print(f"{name}: {reader}, message after {waited:.1f} s")


if __name__ == "__main__":
    unittest.main()
