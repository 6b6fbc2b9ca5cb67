"""The web, the start and the workstation as they really are: a price server
that behaves as a static-file server (validators, no Cache-Control, 304),
re-issues its list at the same address, redirects, drops the line half way or
answers late; a window that shows before the work; one copy at a time; and
the captions and an Arabic key on a workstation whose code page for
non-Unicode programs is not Arabic."""
import os
import shutil
import subprocess
import time
import unittest

import bench

DB_ROWS = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0)]
FIRST = ["K1,10,11,12,13", "K2,20,21,22,23"]
SECOND = ["K1,30,31,32,33", "K2,40,41,42,43"]
PRICE_LIST_URL = "http://prices.naveko.example/upload/F26-3-2022.xlsx"
ISSUE_DATE = time.mktime((2022, 3, 26, 9, 0, 0, 0, 0, -1))  # the list's file time: long ago


class Web(unittest.TestCase):
    def setUp(self):
        self.work = bench.ARTIFACTS / ("web-" + self.id().split(".")[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        (self.work / "site" / "upload").mkdir(parents=True)
        self.workbook = self.work / "site" / "upload" / "F26-3-2022.xlsx"
        self.db = bench.make_database(self.work, DB_ROWS)
        bench.price_list_file().unlink(missing_ok=True)

    def publish(self, rows: list[str], where: str = "upload") -> None:
        path = self.work / "site" / where / "F26-3-2022.xlsx"
        path.parent.mkdir(parents=True, exist_ok=True)
        bench.make_workbook(path, rows)
        os.utime(path, (ISSUE_DATE, ISSUE_DATE))

    def start_and_update(self, *server_args: str) -> tuple[str, list[dict]]:
        """One start against a server given `server_args`: the update's message (or the start's), and the requests."""
        with bench.PriceServer(self.work / "site", *server_args) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                window = bench.wait_for_window(bench.MAIN_TITLE)
                deadline = time.monotonic() + 60
                while time.monotonic() < deadline:
                    boxes = [w for w in bench.probe("windows") if w["class"] == "#32770"]
                    button = next(c for c in bench.wait_for_window(bench.MAIN_TITLE)["children"]
                                  if c["class"] == "TTeButton")
                    if boxes or button["enabled"]:
                        break
                    time.sleep(0.3)
                if boxes:  # the start's own message: the download failed
                    box = bench.wait_for_message_box()
                    bench.dismiss_message_box()
                    self.assertEqual(prog.wait(30), 0)
                    return box["text"], server.requests()
                message = bench.press_and_read(window)
                prog.close_window()
            return message, server.requests()

    def test_a_static_server_and_a_list_reissued_at_the_same_address(self):
        self.publish(FIRST)
        message, requests = self.start_and_update("--static")
        self.assertEqual(message, bench.UPDATE_DONE)
        self.assertEqual(bench.mat00(self.db)[0], ("K1", 10.0, 11.0, 12.0, 13.0))
        self.publish(SECOND)  # re-issued: same address, a new file
        message, requests = self.start_and_update("--static")
        self.assertEqual(message, bench.UPDATE_DONE)
        self.assertEqual(bench.mat00(self.db)[0], ("K1", 30.0, 31.0, 32.0, 33.0), "the second start applies the new list")
        self.assertEqual([r["answer"] for r in requests], ["200"], "asked for the server's current bytes")
        # Wine's moniker service serves no stale copy either way, but it keeps one in the cache, which
        # Windows may serve while its Last-Modified makes it look fresh: none may stay.
        self.assertEqual(bench.probe("urlcache", PRICE_LIST_URL), {"cached": False}, "no copy in the internet cache")
        print(f"static server, second start: {requests}")

    def test_redirects_are_followed(self):
        for code in ("301", "302"):
            with self.subTest(code):
                self.publish(FIRST, "moved")
                message, requests = self.start_and_update("--redirect", f"{code}:/moved/F26-3-2022.xlsx")
                self.assertEqual(message, bench.UPDATE_DONE)
                self.assertEqual([r["answer"] for r in requests], [code, "200"])
                self.assertEqual(bench.mat00(self.db)[0], ("K1", 10.0, 11.0, 12.0, 13.0))

    def test_a_line_that_drops_half_way_keeps_nothing(self):
        self.publish(FIRST)
        message, requests = self.start_and_update("--short", "700")
        self.assertEqual(message, bench.DOWNLOAD_PROBLEM)
        self.assertFalse(bench.price_list_file().exists(), "nothing kept")
        self.assertEqual(bench.mat00(self.db)[0], ("K1", 1.0, 1.0, 1.0, 1.0))

    def test_a_window_before_the_work_that_answers_while_a_slow_server_is_waited_for(self):
        self.publish(FIRST)
        with bench.PriceServer(self.work / "site", "--delay", "10") as server:
            bench.set_proxy(server.port)
            started = time.monotonic()
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                window = bench.wait_for_window(bench.MAIN_TITLE, 20)
                shown = time.monotonic() - started
                button = next(c for c in window["children"] if c["class"] == "TTeButton")
                self.assertLess(shown, 8, "the window shows before the slow download has ended")
                self.assertFalse(button["enabled"], "its button disabled while the work goes")
                seen = bench.probe("ping", "6", timeout=60)
                self.assertEqual(seen["unanswered"], 0, seen)
                self.assertLess(seen["longest_ms"], 1000, seen)
                deadline = time.monotonic() + 30
                while not next(c for c in bench.wait_for_window(bench.MAIN_TITLE)["children"]
                               if c["class"] == "TTeButton")["enabled"]:
                    self.assertLess(time.monotonic(), deadline, "the button is enabled once the list is fetched")
                    time.sleep(0.3)
                self.assertEqual(bench.press_and_read(window), bench.UPDATE_DONE)
                prog.close_window()
        print(f"window shown after {shown:.1f} s; {seen}")


class OneCopy(unittest.TestCase):
    def test_a_second_start_and_an_undo_while_one_runs_touch_nothing(self):
        work = bench.ARTIFACTS / "one-copy"
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        db = bench.serve_price_list(self, work, FIRST, DB_ROWS)
        before = bench.mat00(db)
        log = bench.naveko_folder() / "naveko.log"
        log.unlink(missing_ok=True)
        with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as first:
            window = bench.wait_for_window(bench.MAIN_TITLE)
            time.sleep(1)
            with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as second:
                self.assertEqual(second.wait(30), 0, "a second start ends by itself")
            self.assertEqual(len(bench.visible_windows(bench.MAIN_TITLE)), 1, "one window")
            with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc"), args=("/undo",)) as undo:
                box = bench.wait_for_message_box()
                bench.dismiss_message_box()
                self.assertEqual(undo.wait(30), 1)
            self.assertEqual(box["text"], "تعذرت استعادة الاسعار السابقة")
            self.assertEqual(bench.mat00(db), before, "nothing changed")
            self.assertTrue(first.running())
            self.assertEqual(bench.press_and_read(window), bench.UPDATE_DONE, "the first copy works on")
            first.close_window()
        text = log.read_text(encoding="utf-8")
        self.assertEqual(text.count("  start\n"), 1, "the second start wrote no block: it opened nothing")
        self.assertIn("refused: another copy of the program is running", text)


class AnyCodePage(unittest.TestCase):
    def test_arabic_captions_and_an_arabic_key_under_code_page_1252(self):
        # Without the Unix locale, Wine still picks code page 1252 from the name but cannot name its X windows.
        self.assertIn("en_US.utf8", subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split(),
                      "the en_US.UTF-8 locale is generated (tools/setup.sh)")
        work = bench.ARTIFACTS / "code-page-1252"
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        key = "دواء 1"  # "medicine 1"
        db = bench.serve_price_list(self, work, [f"{key},10,11,12,13"], [(key, "one", 1.0, 1.0, 1.0, 1.0)])
        env = {**bench.odbc_env(work / "odbc"), "NAVEKO_LANG": "en_US.UTF-8"}
        locale = subprocess.run([bench.WINE_RUN, bench.PROBE, "locale"], env={**bench.ENV, **env},
                                capture_output=True, timeout=60).stdout.decode()
        self.assertIn('"acp":1252', locale)
        with bench.Program(cwd=work, env=env) as prog:
            deadline = time.monotonic() + 30
            while not (found := [w for w in bench.probe("windows") if w["class"] == "TForm1"]):
                self.assertLess(time.monotonic(), deadline, "the main window shows")
                time.sleep(0.3)
            time.sleep(2)  # its start-up work has ended
            window = [w for w in bench.probe("windows") if w["class"] == "TForm1"][0]
            button = next(c for c in window["children"] if c["class"] == "TTeButton")
            print(f"under code page 1252: window {window['text']!r}, button {button['text']!r}")
            self.assertEqual(window["text"], bench.MAIN_TITLE)
            self.assertEqual(button["text"], "تحديث 26-3-2022")
            self.assertEqual(bench.press_and_read(window), bench.UPDATE_DONE)
            prog.close_window()
        self.assertEqual(bench.mat00(db), [(key, 10.0, 11.0, 12.0, 13.0)])


if __name__ == "__main__":
    unittest.main()
