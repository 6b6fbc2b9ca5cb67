"""Every update on record, and the way back: the journal and the run log that
the real program writes under Wine, and Project2.exe /undo, against a real
SQLite database behind the "SQL Server" driver name. The journals' checks are
computed here with zlib, apart from the program."""
import re
import shutil
import sqlite3
import sys
import unittest
import zlib

import bench

BASE = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0),
        ("K3", "three", 3.0, 3.0, 3.0, 3.0), ("K4", "four", 4.0, 4.0, 4.0, 4.0)]
HEADING = ("row,key,old salp,old price1,old salp2,old price2,new salp,new price1,new salp2,new price2,"
           "outcome,check")
UNDO_DONE = "تمت استعادة الاسعار السابقة"
UNDO_PROBLEM = "تعذرت استعادة الاسعار السابقة"
NOTHING_TO_UNDO = "لا يوجد تحديث سابق لاستعادته"
SNAPSHOT_PROBLEM = "تعذر حفظ نسخة من الاسعار الحالية، لم يتم تحديث الاسعار"


def journal_bytes(records: list[str]) -> bytes:
    """A journal's final form: the byte-order mark, the heading, each record with its check."""
    crc = zlib.crc32(f"listed keys {len(records)}".encode())
    text = "\ufeff" + HEADING + "\r\n"
    for r in records:
        crc = zlib.crc32(r.encode(), crc)
        text += f"{r},{crc:08x}\r\n"
    return text.encode()


def undo_message(restored: int, left: int) -> str:
    return f"{UNDO_DONE}\nالاصناف المستعادة: {restored}\nالاصناف المتروكة لتغير اسعارها بعد التحديث: {left}"


def dump(db) -> list[str]:
    con = sqlite3.connect(db)
    try:
        return list(con.iterdump())
    finally:
        con.close()


class Journal(unittest.TestCase):
    def setUp(self):
        self.work = bench.ARTIFACTS / ("journal-" + self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self.folder = bench.naveko_folder() / "journal"
        if self.folder.is_dir():
            shutil.rmtree(self.folder)
        self.folder.unlink(missing_ok=True)
        self.log = bench.naveko_folder() / "naveko.log"
        self.log.unlink(missing_ok=True)
        bench.price_list_file().unlink(missing_ok=True)

    def update(self, price_rows: list[str], db_rows=BASE) -> str:
        """The program started on a served price list; one press; the message it showed."""
        self.db = bench.serve_price_list(self, self.work, price_rows, db_rows)
        with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
            message = bench.press_and_read(bench.wait_for_window(bench.MAIN_TITLE))
            bench.focus(bench.x_window(bench.MAIN_TITLE))
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0)
        return message

    def undo(self, *args: str) -> tuple[str, int]:
        """Project2.exe /undo [FILE]: its one message (dismissed with Enter) and its exit code."""
        with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc"), args=("/undo", *args)) as prog:
            box = bench.wait_for_message_box()
            self.assertEqual(box["caption"], bench.APP_TITLE)
            self.assertFalse(bench.visible_windows(bench.MAIN_TITLE), "no main window")
            bench.dismiss_message_box()
            code = prog.wait(30)
        self.assertIsNotNone(code, "the program ended after its message")
        return box["text"].replace("\r\n", "\n"), code

    def journals(self) -> list:
        return sorted(self.folder.glob("*.csv"))

    def log_blocks(self) -> list[list[str]]:
        blocks = []
        for line in self.log.read_bytes().decode("utf-8").split("\r\n"):
            if line.startswith("==== "):
                blocks.append([line])
            elif line:
                blocks[-1].append(line)
        return blocks

    def test_a_three_row_update_is_on_record_byte_for_byte(self):
        self.assertEqual(self.update(["K1,10,11,12,13", "K2,20.5,,22,23", "NOPE,1,2,3,4"]), bench.UPDATE_DONE)
        [journal] = self.journals()
        self.assertRegex(journal.name, r"^\d{4}-\d\d-\d\d_\d{6}\.csv$")
        self.assertEqual(journal.read_bytes(), journal_bytes([
            "2,K1,1.0,1.0,1.0,1.0,10.0,11.0,12.0,13.0,changed",
            "3,K2,2.0,2.0,2.0,2.0,20.5,0.0,22.0,23.0,changed",
            "4,NOPE,,,,,,,,,not in the database"]))

        start, update = self.log_blocks()
        self.assertRegex(start[0], r"^==== \d{4}-\d\d-\d\d \d\d:\d\d:\d\d  NAVEKO price update 1\.0\.0\.0  start$")
        served = (self.work / "site" / "upload" / "F26-3-2022.xlsx").stat().st_size
        self.assertEqual(start[1:4], ["  database: connected to PilvaroM1 on .\\sqlexpress",
                                      f"  address: {bench.PRICE_LIST_URL}", f"  download: HTTP 200, {served} bytes"])
        self.assertTrue(start[4].startswith("  kept at: C:\\"), start)
        self.assertTrue(update[0].endswith("  update"))
        self.assertEqual(update[2:], ["  reader: the built-in reader", "  rows read: 4", "  keys listed: 3",
                                      f"  journal: {journal.name}", "  statements run: 3", "  rows changed: 2",
                                      f"  message: {bench.UPDATE_DONE}"])

    def test_a_stopped_run_says_where_and_why_and_undo_puts_the_rows_back(self):
        (self.work / "reference").mkdir()
        original = dump(bench.make_database(self.work / "reference", BASE))
        self.assertEqual(self.update(["K1,10,10,10,10", "K2,20,1.000.5,20,20", "K3,30,30,30,30"]),
                         bench.UPDATE_INCOMPLETE)
        [journal] = self.journals()
        self.assertEqual(journal.read_bytes(), journal_bytes([
            "2,K1,1.0,1.0,1.0,1.0,10.0,10.0,10.0,10.0,changed",
            "3,K2,2.0,2.0,2.0,2.0,,,,,failed: '1.000.5' is not a valid floating point value",
            "4,K3,3.0,3.0,3.0,3.0,,,,,not reached"]))
        self.assertIn("  stopped at: sheet row 3: '1.000.5' is not a valid floating point value",
                      self.log_blocks()[-1])

        self.assertEqual(self.undo(), (undo_message(1, 0), 0))
        self.assertEqual(dump(self.db), original, "the changed row is back to the last digit")
        self.assertEqual(len(self.journals()), 2, "the undo keeps a journal of its own")
        undo = self.log_blocks()[-1]
        self.assertTrue(undo[0].endswith("  undo"))
        self.assertIn("  rows restored: 1", undo)
        self.assertEqual(undo[-1], "  exit code: 0")

    def test_undo_keeps_a_row_edited_by_hand_since(self):
        self.assertEqual(self.update(["K1,10,11,12,13", "K2,20,21,22,23", "K3,30,31,32,33"]), bench.UPDATE_DONE)
        con = sqlite3.connect(self.db)
        con.execute("update mat00 set salp=99 where guid='K2'")
        con.commit()
        con.close()
        self.assertEqual(self.undo(), (undo_message(2, 1), 0))
        self.assertEqual(bench.mat00(self.db), [("K1", 1, 1, 1, 1), ("K2", 99, 21, 22, 23), ("K3", 3, 3, 3, 3),
                                                ("K4", 4, 4, 4, 4)])

    def test_undo_refuses_a_missing_cut_or_altered_journal_and_changes_nothing(self):
        self.db = bench.make_database(self.work, BASE)
        message, code = self.undo()
        self.assertEqual(message, NOTHING_TO_UNDO)
        self.assertNotEqual(code, 0)

        self.assertEqual(self.update(["K1,10,11,12,13", "K2,20,21,22,23", "K3,30,31,32,33"]), bench.UPDATE_DONE)
        [journal] = self.journals()
        good = journal.read_bytes()
        lines = good.split(b"\r\n")
        bad = {"cut.csv": good[:-20], "altered.csv": good.replace(b",20.0,21.0,", b",20.0,21.5,"),
               "dropped.csv": b"\r\n".join(lines[:2] + lines[3:])}
        self.assertNotEqual(bad["altered.csv"], good)
        db_bytes = self.db.read_bytes()
        for name, data in [("missing.csv", None), *bad.items()]:
            path = self.work / name
            if data is not None:
                path.write_bytes(data)
            message, code = self.undo("Z:" + str(path).replace("/", "\\"))
            self.assertEqual(message, UNDO_PROBLEM, name)
            self.assertNotEqual(code, 0, name)
            self.assertEqual(self.db.read_bytes(), db_bytes, f"{name}: the database is unchanged to the byte")
            self.assertTrue(any(line.startswith("  journal refused: ") for line in self.log_blocks()[-1]), name)
        self.assertEqual(self.journals(), [journal], "a refused undo writes no journal and deletes none")

    def test_a_snapshot_that_cannot_be_written_runs_no_statement(self):
        self.folder.parent.mkdir(parents=True, exist_ok=True)
        self.folder.write_text("a file where the journal folder belongs")
        try:
            db = bench.make_database(self.work, BASE)
            untouched = db.read_bytes()
            self.assertEqual(self.update(["K1,10,11,12,13"]), SNAPSHOT_PROBLEM)
            self.assertEqual(self.db.read_bytes(), untouched)
            self.assertTrue(any(line.startswith("  snapshot failed: ") for line in self.log_blocks()[-1]))
        finally:
            self.folder.unlink()


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
