"""The whole job, end to end: the real program under Wine downloads the price
list from the local server, a real mouse click on its button imports the
workbook and updates mat00 in a real SQLite database behind the "SQL Server"
driver name; the one message is read from its window and dismissed with a real
Enter, then the database is read back."""
import sqlite3
import sys
import unittest
import zipfile

import bench

BASE = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0),
        ("K3", "three", 3.0, 3.0, 3.0, 3.0), ("K4", "four", 4.0, 4.0, 4.0, 4.0)]


class UpdateRun(unittest.TestCase):
    def setUp(self):
        self.work = bench.ARTIFACTS / self.id().split(".")[-1]
        self.work.mkdir(parents=True, exist_ok=True)
        self.site = self.work / "site"
        (self.site / "upload").mkdir(parents=True, exist_ok=True)
        self.served = self.site / "upload" / "F26-3-2022.xlsx"
        bench.price_list_file().unlink(missing_ok=True)

    def run_program(self, db_rows, presses=1, env=None, between=None):
        """Starts the program on the served workbook, presses the button `presses`
        times, and returns the messages and mat00 afterwards."""
        db = bench.make_database(self.work, db_rows)
        messages = []
        with bench.PriceServer(self.site) as server:
            bench.set_proxy(server.port)
            run_env = bench.odbc_env(self.work / "odbc")
            run_env.update(env or {})
            with bench.Program(cwd=self.work, env=run_env) as prog:
                w = bench.wait_for_window(bench.MAIN_TITLE)
                for k in range(presses):
                    if k and between:
                        between(db)
                    messages.append(bench.press_and_read(w))
                    w = bench.wait_for_window(bench.MAIN_TITLE)
                    button = next(c for c in w["children"] if c["class"] == "TTeButton")
                    self.assertTrue(button["enabled"], "the button stays enabled")
                self.assertTrue(prog.running(), "the program is still running")
                bench.focus(bench.x_window(bench.MAIN_TITLE))
                bench.xdotool("key", "--clearmodifiers", "alt+F4")
                self.assertEqual(prog.wait(30), 0)
        return messages, dict((r[0], r[1:]) for r in bench.mat00(db))

    def workbook(self, rows):
        bench.make_workbook(self.served, rows)

    def test_three_rows_update_and_report_success(self):
        self.workbook(["K1,10,11,12,13", "K2,20.5,21,22,23", "K3,30,31,32,33.25"])
        messages, db = self.run_program(BASE)
        self.assertEqual(messages, [bench.UPDATE_DONE])
        self.assertEqual(db["K1"], (10, 11, 12, 13))
        self.assertEqual(db["K2"], (20.5, 21, 22, 23))
        self.assertEqual(db["K3"], (30, 31, 32, 33.25))
        self.assertEqual(db["K4"], (4, 4, 4, 4), "an unlisted medicine keeps its prices")

    def test_keys_blanks_empty_prices_and_skipped_rows(self):
        # A blanks-only key is one statement with the empty key; blanks around a
        # key are dropped; an empty price cell sets 0; an empty key cell skips the row.
        self.workbook(["   ,9,9,9,9", " K2 ,5,6,7,8", "K3,1,,3,", ",7,7,7,7", "NOPE,1,1,1,1"])
        messages, db = self.run_program(BASE + [("", "blank", 0.5, 0.5, 0.5, 0.5)])
        self.assertEqual(messages, [bench.UPDATE_DONE])
        self.assertEqual(db[""], (9, 9, 9, 9))
        self.assertEqual(db["K2"], (5, 6, 7, 8))
        self.assertEqual(db["K3"], (1, 0, 3, 0))
        self.assertEqual(db["K1"], (1, 1, 1, 1))

    def test_a_bad_price_stops_the_run_at_its_row(self):
        self.workbook(["K1,10,10,10,10", "K2,20,1.000.5,20,20", "K3,30,30,30,30"])
        messages, db = self.run_program(BASE)
        self.assertEqual(messages, [bench.UPDATE_INCOMPLETE])
        self.assertEqual(db["K1"], (10, 10, 10, 10), "the rows before it stay updated")
        self.assertEqual(db["K2"], (2, 2, 2, 2))
        self.assertEqual(db["K3"], (3, 3, 3, 3), "the rows after it are not run")

    def test_2000_rows_update_every_data_row(self):
        keys = [f"G{n:04d}" for n in range(1, 2000)]
        self.workbook([f"{k},{n},{n},{n},{n}" for n, k in enumerate(keys, start=1)])
        messages, db = self.run_program([(k, "", -1.0, -1.0, -1.0, -1.0) for k in keys])
        self.assertEqual(messages, [bench.UPDATE_DONE])
        self.assertEqual(db["G1499"], (1499, 1499, 1499, 1499), "sheet row 1500")
        self.assertEqual(db["G1500"], (1500, 1500, 1500, 1500), "sheet row 1501")
        self.assertEqual(db["G1999"], (1999, 1999, 1999, 1999), "sheet row 2000, the last")
        self.assertEqual(sum(1 for v in db.values() if v[0] >= 0), 1999)

    def test_a_heading_only_sheet_runs_nothing_and_succeeds(self):
        self.workbook([])
        messages, db = self.run_program(BASE)
        self.assertEqual(messages, [bench.UPDATE_DONE])
        self.assertEqual(db, {r[0]: r[2:] for r in BASE})

    def test_pressing_twice_runs_the_whole_import_and_update_again(self):
        self.workbook(["K1,10,11,12,13"])

        def reset_and_replace(db):
            # Undo the first run's update and change the file the next import reads.
            con = sqlite3.connect(db)
            con.execute("update mat00 set salp=1, price1=1, salp2=1, price2=1")
            con.commit()
            con.close()
            bench.make_workbook(bench.price_list_file(), ["K1,10,11,12,13", "K2,50,51,52,53"])

        messages, db = self.run_program(BASE, presses=2, between=reset_and_replace)
        self.assertEqual(messages, [bench.UPDATE_DONE, bench.UPDATE_DONE])
        self.assertEqual(db["K1"], (10, 11, 12, 13))
        self.assertEqual(db["K2"], (50, 51, 52, 53))

    def text_cell(self, placeholder: str, text: str) -> None:
        """Puts text into the served sheet where a placeholder cell stood, so that
        a number-like price arrives as a text cell, not a number."""
        with zipfile.ZipFile(self.served) as z:
            parts = {n: z.read(n) for n in z.namelist()}
        sheet = "xl/worksheets/sheet1.xml"
        parts[sheet] = parts[sheet].decode().replace(f">{placeholder}<", f">{text}<").encode()
        with zipfile.ZipFile(self.served, "w") as z:
            for n, data in parts.items():
                z.writestr(n, data)

    def run_with_comma_separator(self, db_rows):
        bench.set_decimal_separator(",", ".")
        try:
            return self.run_program(db_rows)
        finally:
            bench.set_decimal_separator(".", ",")

    def test_a_comma_decimal_locale(self):
        # With a comma as the regional decimal separator a number cell's text is
        # 12,5, and a text cell written with a comma is a price.
        self.workbook(["K1,12.5,0.25,3,4", "K2,x,1,1,1"])
        self.text_cell("x", "7,25")
        messages, db = self.run_with_comma_separator(BASE)
        self.assertEqual(messages, [bench.UPDATE_DONE])
        self.assertEqual(db["K1"], (12.5, 0.25, 3, 4))
        self.assertEqual(db["K2"], (7.25, 1, 1, 1))

    def test_a_point_in_a_text_price_fails_under_a_comma_separator(self):
        self.workbook(["K1,5,5,5,5", "K2,x,9,9,9"])
        self.text_cell("x", "7.25")
        messages, db = self.run_with_comma_separator(BASE)
        self.assertEqual(messages, [bench.UPDATE_INCOMPLETE])
        self.assertEqual(db["K1"], (5, 5, 5, 5))
        self.assertEqual(db["K2"], (2, 2, 2, 2))

if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
