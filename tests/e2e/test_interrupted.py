"""Nothing lost when the program is ended at any instant, against PostgreSQL
through psqlODBC (a real server, reached by the unmodified program's fixed
connection string): an update killed right after its n-th commit, before that
row's outcome is on the disk, with the journal's last record also cut as a
power cut would leave it; an undo killed while a statement waits and right
after one of its commits. The moment comes from the database, not a clock: a
trigger holds the chosen key's statement, the test queues a lock on mat00
behind it, and once the statement has committed the lock holds the program's
next statement while it is killed. Then /undo must put every row back.

And the window answers while a 20 000-row update runs: a probe sends it
WM_NULL every 250 ms and times the answers."""
import json
import shutil
import signal
import subprocess
import sys
import threading
import time
import unittest

import bench

KEYS = [f"K{i}" for i in range(1, 51)]
UNDO_DONE = "تمت استعادة الاسعار السابقة"


def price_rows() -> list[str]:
    return [f"{k},{i}.25,{i}.5,,{i}e1" for i, k in enumerate(KEYS, start=1)]


class Interrupted(unittest.TestCase):
    def setUp(self):
        self.pg = bench.Postgres()
        self.work = bench.ARTIFACTS / ("interrupted-" + self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        journals = bench.naveko_folder() / "journal"
        shutil.rmtree(journals, ignore_errors=True)
        bench.price_list_file().unlink(missing_ok=True)
        self.journals = journals
        self.pg.create_mat00("numeric(18,2)", [(k, "1.5", "2.5", None, "4") for k in KEYS])
        # The trigger that holds the statement of the key named in hold_key (none at first).
        self.pg.execute("create table hold_key (guid varchar(40))")
        self.pg.execute("""create function hold() returns trigger language plpgsql as $$
            begin
              if exists (select 1 from hold_key where guid = new.guid) then perform pg_sleep(3); end if;
              return new;
            end $$""")
        self.pg.execute("create trigger hold after update on mat00 for each row execute function hold()")
        self.before = self.pg.mat00()
        self.env = self.pg.odbc_env(self.work / "odbc")

    def hold(self, key: str | None) -> None:
        self.pg.execute("delete from hold_key")
        if key:
            self.pg.execute("insert into hold_key values (%s)", (key,))

    def kill_after_commit(self, prog: bench.Program, key: str) -> None:
        """Waits for the program's statement on `key` to be held, queues a lock on
        mat00 behind it, and once the statement has committed (the lock is granted)
        kills the program, whose next statement the lock now holds."""
        self.pg.wait_for_sleeping_statement()
        held = self.pg.prices(key)
        with self.pg.lock_mat00() as locked:
            self.assertNotEqual(locked.prices(key), held, "the held statement has committed")
            prog.kill()

    def before_row(self, key: str):
        return next(r[1:] for r in self.before if r[0] == key)

    def undo(self) -> tuple[str, int]:
        with bench.Program(cwd=self.work, env=self.env, args=("/undo",)) as prog:
            box = bench.wait_for_message_box(60)
            bench.dismiss_message_box()
            code = prog.wait(30)
        return box["text"].replace("\r\n", "\n"), code

    def test_an_update_killed_after_its_nth_commit_is_undone_whole(self):
        for n, torn in ((1, False), (7, True), (40, False)):
            with self.subTest(n=n):
                self.pg.restore_mat00(self.before)
                shutil.rmtree(self.journals, ignore_errors=True)
                self.hold(KEYS[n - 1])
                bench.serve_price_list(self, self.work, price_rows(), [])
                with bench.Program(cwd=self.work, env=self.env) as prog:
                    bench.click_button(bench.wait_for_window(bench.MAIN_TITLE))
                    self.kill_after_commit(prog, KEYS[n - 1])
                self.hold(None)
                self.assertEqual(self.pg.changed_keys(self.before), KEYS[:n], "rows 1 to n were written")
                [journal] = sorted(self.journals.glob("*.csv"))
                records = journal.read_bytes().decode("utf-8").split("\r\n")
                last = [r for r in records if r.startswith(f"{n + 1},{KEYS[n - 1]},")][-1]
                self.assertIn(",about to write,", last, "killed before the row's ending reached the journal")
                if torn:
                    # A power cut while the next record was being written: half of it on the disk.
                    with open(journal, "ab") as f:
                        f.write(f"{n + 1},{KEYS[n - 1]},1.50,2.50,NULL,4.00,{n}.25,".encode())
                text, code = self.undo()
                self.assertEqual((text.split("\n")[0], code), (UNDO_DONE, 0), text)
                self.assertEqual(self.pg.mat00(), self.before)

    def test_an_undo_killed_half_way_is_finished_by_the_next(self):
        for variant in ("while a statement waits", "right after a commit"):
            with self.subTest(variant=variant):
                self.pg.restore_mat00(self.before)
                shutil.rmtree(self.journals, ignore_errors=True)
                self.hold(None)
                bench.serve_price_list(self, self.work, price_rows(), [])
                with bench.Program(cwd=self.work, env=self.env) as prog:
                    self.assertEqual(bench.press_and_read(bench.wait_for_window(bench.MAIN_TITLE)), bench.UPDATE_DONE)
                    prog.close_window()
                updated = self.pg.mat00()
                self.assertEqual(len(self.pg.changed_keys(self.before)), len(KEYS))
                self.hold(KEYS[19])
                with bench.Program(cwd=self.work, env=self.env, args=("/undo",)) as prog:
                    if variant == "right after a commit":
                        self.kill_after_commit(prog, KEYS[19])
                    else:
                        self.pg.wait_for_sleeping_statement()
                        prog.kill()
                self.hold(None)
                half = self.pg.mat00()
                self.assertNotEqual(half, updated, "the undo had begun")
                self.assertNotEqual(half, self.before, "the undo had not ended")
                text, code = self.undo()
                self.assertEqual((text.split("\n")[0], code), (UNDO_DONE, 0), text)
                self.assertIn(f": {len(KEYS)}\n", text + "\n", "every row the update wrote counts as restored")
                self.assertEqual(self.pg.mat00(), self.before)


class Answering(unittest.TestCase):
    def test_the_window_answers_while_a_20000_row_update_runs(self):
        work = bench.ARTIFACTS / "answering"
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        count = 20000
        rows = [f"G{i},{i}.5,{i}.25,{i},{i}.75" for i in range(1, count + 1)]
        db_rows = [(f"G{i}", "item", 1.0, 1.0, 1.0, 1.0) for i in range(1, count + 1)]
        db = bench.serve_price_list(self, work, rows, db_rows)
        with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as prog:
            window = bench.wait_for_window(bench.MAIN_TITLE)
            bench.click_button(window)
            seen = bench.probe("ping", "600", timeout=700)
            box = bench.wait_for_message_box(60)
            bench.dismiss_message_box()
            prog.close_window()
        print(f"answering: {json.dumps(seen)}", file=sys.stderr)
        self.assertTrue(seen["message_box"], seen)
        self.assertGreater(seen["sent"], 8, "the run lasted a few seconds at least")
        self.assertEqual(seen["unanswered"], 0, seen)
        self.assertLess(seen["longest_ms"], 1000, seen)
        self.assertFalse(seen["button_took_input"], "the button stays disabled while the run goes")
        self.assertEqual(box["text"], bench.UPDATE_DONE)
        after = dict((r[0], r[1:]) for r in bench.mat00(db))
        self.assertEqual(after["G1"], (1.5, 1.25, 1.0, 1.75))
        self.assertEqual(after[f"G{count}"], (count + 0.5, count + 0.25, float(count), count + 0.75))


if __name__ == "__main__":
    unittest.main()
