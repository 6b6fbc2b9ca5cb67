"""Broken and hostile price lists, each served by the local server under the
workbook's name: the real program, a real click, the import message, the
database untouched, the program still running and closable."""
import sys
import unittest

import bad_workbooks
import bench

ROWS = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0)]


class BadWorkbooks(unittest.TestCase):
    def check(self, make, reason):
        work = bench.ARTIFACTS / self.id().split(".")[-1]
        site = work / "site"
        (site / "upload").mkdir(parents=True, exist_ok=True)
        make(site / "upload" / "F26-3-2022.xlsx")
        bench.price_list_file().unlink(missing_ok=True)
        db = bench.make_database(work, ROWS)
        log = bench.ARTIFACTS / "program.log"
        start = log.stat().st_size if log.exists() else 0
        env = bench.odbc_env(work / "odbc")
        env["NAVEKO_WINEDEBUG"] = "+debugstr"  # the program logs why the import failed
        with bench.PriceServer(site) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=work, env=env) as prog:
                w = bench.wait_for_window(bench.MAIN_TITLE)
                self.assertEqual(bench.press_and_read(w), bench.IMPORT_PROBLEM)
                self.assertTrue(prog.running(), "no crash")
                w = bench.wait_for_window(bench.MAIN_TITLE)
                self.assertTrue(next(c for c in w["children"] if c["class"] == "TTeButton")["enabled"])
                bench.focus(bench.x_window(bench.MAIN_TITLE))
                bench.xdotool("key", "--clearmodifiers", "alt+F4")
                self.assertEqual(prog.wait(30), 0)
        self.assertEqual(bench.mat00(db), [r[:1] + r[2:] for r in ROWS], "the database is untouched")
        with open(log, "rb") as f:
            f.seek(start)
            lines = [line for line in f.read().decode(errors="replace").splitlines() if "Price list import failed" in line]
        self.assertEqual(len(lines), 1, lines)
        self.assertIn(reason, lines[0])

    def test_truncated_zip(self):
        self.check(bad_workbooks.truncated, "not a readable zip archive")

    def test_zip_bomb(self):
        self.check(bad_workbooks.zip_bomb, "inflates to more than 536870912 bytes")

    def test_entity_expansion(self):
        self.check(bad_workbooks.entity_expansion, "declares a document type")

    def test_workbook_without_sheets(self):
        self.check(bad_workbooks.no_sheets, "has no worksheet")

    def test_encrypted_workbook(self):
        self.check(bad_workbooks.encrypted, "compound document")

    def test_legacy_xls_under_the_xlsx_name(self):
        self.check(bad_workbooks.legacy_xls, "compound document")

    def test_html_page_under_the_xlsx_name(self):
        self.check(bad_workbooks.html_page, "HTML document")


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
