"""The database as a pharmacy's may be: the program under Wine against
PostgreSQL through psqlODBC with mat00's key a uuid and its prices
numeric(19,4), prices numeric(18,2), prices money, and an audit trigger that
raises an error (in Arabic) after its own statements for one key. Per
variant: a footer row at the end and one in the middle of the list, a price
of 12.35 kept to the column's last digit and put back by /undo, a row another
session holds locked, a server session ended since the window opened, and the
trigger's error."""
import shutil
import sys
import threading
import time
import unittest
import uuid

import bench

TOTAL = "المجموع"  # a footer in column A: "the total"
TRIGGER_MESSAGE = "رفض التدقيق"  # "the audit refused"
UNDO_DONE = "تمت استعادة الاسعار السابقة"
VARIANTS = [
    # name, key type, price type, trigger
    ("uuid, numeric(19,4)", "uuid", "numeric(19,4)", False),
    ("numeric(18,2)", "varchar(40)", "numeric(18,2)", False),
    ("money", "varchar(40)", "money", False),
    ("audit trigger", "varchar(40)", "float", True),
]
# The 12.35 list price as each price type keeps and spells it.
KEPT = {"numeric(19,4)": "12.3500", "numeric(18,2)": "12.35", "money": "$12.35", "float": "12.35"}


class DatabaseVariants(unittest.TestCase):
    def setUp(self):
        self.pg = bench.Postgres()
        self.journals = bench.naveko_folder() / "journal"

    def key(self, name: str) -> str:
        return str(uuid.uuid5(uuid.NAMESPACE_DNS, name)) if self.key_type == "uuid" else name

    def make(self, key_type: str, price_type: str, trigger: bool) -> None:
        self.key_type = key_type
        self.pg.create_mat00(price_type, [(self.key(k), "1", "2", None, "4") for k in ("K1", "K2", "K3", "AUDITED")],
                             key_type=key_type)
        if trigger:
            self.pg.execute("create table mat00_audit (guid text, at timestamp default now())")
            self.pg.execute(f"""create function mat00_audit() returns trigger language plpgsql as $$ begin
                insert into mat00_audit (guid) values (new.guid);
                if new.guid = '{self.key('AUDITED')}' then raise exception '{TRIGGER_MESSAGE}'; end if;
                return new; end $$""")
            self.pg.execute("create trigger mat00_audit after update on mat00 for each row execute function mat00_audit()")
        self.before = self.pg.mat00()

    def run_program(self, work, rows: list[str], between=None) -> str:
        """The program on a served list; `between(prog)` runs once the window is up; one press; its message."""
        shutil.rmtree(self.journals, ignore_errors=True)
        (bench.naveko_folder() / "naveko.log").unlink(missing_ok=True)
        bench.serve_price_list(self, work, rows, [])
        with bench.Program(cwd=work, env=self.pg.odbc_env(work / "odbc")) as prog:
            window = bench.wait_for_window(bench.MAIN_TITLE)
            time.sleep(1)  # the window's start-up work (the database, the download) has ended
            if between:
                between(prog)
            message = bench.press_and_read(window, timeout=150)
            prog.close_window()
        return message

    def journal(self) -> list[str]:
        [path] = sorted(self.journals.glob("*.csv"))
        return path.read_bytes().decode("utf-8-sig").split("\r\n")[1:-1]

    def undo(self, work) -> tuple[str, int]:
        with bench.Program(cwd=work, env=self.pg.odbc_env(work / "odbc"), args=("/undo",)) as prog:
            box = bench.wait_for_message_box(60)
            bench.dismiss_message_box()
            code = prog.wait(30)
        return box["text"].split("\n")[0].strip(), code

    def test_each_variant(self):
        for name, key_type, price_type, trigger in VARIANTS:
            work = bench.ARTIFACTS / ("variant-" + price_type.replace("(", "").replace(")", "").replace(",", "-"))
            shutil.rmtree(work, ignore_errors=True)
            work.mkdir(parents=True)
            uuid_keys = key_type == "uuid"
            self.make(key_type, price_type, trigger)
            k1, k2, k3 = self.key("K1"), self.key("K2"), self.key("K3")

            with self.subTest(name, case="a footer at the end, and 12.35 kept and put back"):
                self.pg.restore_mat00(self.before)
                message = self.run_program(work, [f"{k1},12.35,12.35,12.35,12.35", f"{k2},20,20,20,20",
                                                  f"{TOTAL},1000,1000,1000,1000"])
                self.assertEqual(message, bench.UPDATE_INCOMPLETE if uuid_keys else bench.UPDATE_DONE)
                self.assertEqual(self.pg.prices(k1), (KEPT[price_type],) * 4)
                self.assertEqual(self.pg.prices(k2)[0], {"numeric(19,4)": "20.0000", "numeric(18,2)": "20.00",
                                                         "money": "$20.00", "float": "20"}[price_type])
                records = self.journal()
                print(f"{name}: journal of a 12.35 price: {records[0]}", file=sys.stderr)
                self.assertIn(f",{KEPT[price_type]},{KEPT[price_type]},{KEPT[price_type]},{KEPT[price_type]},changed,",
                              records[0])
                footer = records[2]
                self.assertTrue(footer.startswith(f"4,{TOTAL},"), footer)
                self.assertIn("failed: " if uuid_keys else ",not in the database,", footer)
                self.assertEqual(self.undo(work), (UNDO_DONE, 0))
                self.assertEqual(self.pg.mat00(), self.before, "every price back to its last digit")

            with self.subTest(name, case="a footer in the middle"):
                self.pg.restore_mat00(self.before)
                message = self.run_program(work, [f"{k1},10,10,10,10", f"{TOTAL},1000,1000,1000,1000",
                                                  f"{k2},20,20,20,20"])
                self.assertEqual(message, bench.UPDATE_INCOMPLETE if uuid_keys else bench.UPDATE_DONE)
                self.assertNotEqual(self.pg.prices(k1), self.before_prices(k1), "the rows before it are updated")
                self.assertEqual(self.pg.prices(k2) == self.before_prices(k2), uuid_keys)

            with self.subTest(name, case="a locked row"):
                self.pg.restore_mat00(self.before)
                locker = self.pg.connect()
                locker.autocommit = False
                with locker.cursor() as c:
                    c.execute("select * from mat00 where guid = %s for update", (k2,))
                started = time.monotonic()
                try:
                    message = self.run_program(work, [f"{k1},10,10,10,10", f"{k2},20,20,20,20", f"{k3},30,30,30,30"])
                finally:  # whatever happened, the next case's restore must not wait on this lock
                    waited = time.monotonic() - started
                    locker.rollback()
                    locker.close()
                self.assertEqual(message, bench.UPDATE_INCOMPLETE)
                self.assertGreater(waited, 45, "it waited for the statement's time-out")
                records = self.journal()
                self.assertIn(",changed,", records[0])
                self.assertIn("failed: ", records[1])
                self.assertIn(",not reached,", records[2])
                self.assertEqual(self.pg.prices(k3), self.before_prices(k3))
                self.assertEqual(self.undo(work), (UNDO_DONE, 0))
                self.assertEqual(self.pg.mat00(), self.before)

            with self.subTest(name, case="a server session ended since the window opened"):
                self.pg.restore_mat00(self.before)

                def end_sessions(prog):
                    self.pg.execute("select pg_terminate_backend(pid) from pg_stat_activity "
                                    "where datname = 'PilvaroM1' and pid <> pg_backend_pid()")
                    self.pg.con.close()
                    self.pg.con = self.pg.connect()

                message = self.run_program(work, [f"{k1},10,10,10,10"], between=end_sessions)
                self.assertEqual(message, bench.UPDATE_DONE)
                self.assertNotEqual(self.pg.prices(k1), self.before_prices(k1))
                log = (bench.naveko_folder() / "naveko.log").read_text(encoding="utf-8")
                self.assertIn("connection lost since the start, opened again", log)

            if trigger:
                with self.subTest(name, case="the trigger's error"):
                    self.pg.restore_mat00(self.before)
                    audited = self.key("AUDITED")
                    message = self.run_program(work, [f"{k1},10,10,10,10", f"{audited},5,5,5,5", f"{k2},20,20,20,20"])
                    self.assertEqual(message, bench.UPDATE_INCOMPLETE)
                    records = self.journal()
                    self.assertIn("failed: ", records[1])
                    self.assertIn(TRIGGER_MESSAGE, records[1], "the database's Arabic message, whole")
                    log = (bench.naveko_folder() / "naveko.log").read_text(encoding="utf-8")
                    self.assertIn(TRIGGER_MESSAGE, log)
                    self.assertIn(",not reached,", records[2])

    def before_prices(self, key: str) -> tuple:
        return next(r[1:] for r in self.before if r[0] == key)


if __name__ == "__main__":
    unittest.main()
