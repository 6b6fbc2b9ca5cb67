"""The real program under Wine against a real ODBC database (SQLite behind the
"SQL Server" driver name) and the local price-list server reached through the
prefix's proxy setting: what it shows, what it asks the server, what it leaves on disk."""
import sys
import unittest

import bench

ROWS = [("M1", "Aspirin", 1.0, 1.0, 1.0, 1.0), ("M2", "Panadol", 2.0, 2.0, 2.0, 2.0)]


class DatabaseAndDownload(unittest.TestCase):
    def setUp(self):
        self.work = bench.ARTIFACTS / self.id().split(".")[-1]
        self.work.mkdir(parents=True, exist_ok=True)
        self.site = self.work / "site"
        (self.site / "upload").mkdir(parents=True, exist_ok=True)
        self.workbook = bench.make_workbook(self.site / "upload" / "F26-3-2022.xlsx", ["M1,5,6,7,8"])
        bench.make_database(self.work, ROWS)
        bench.price_list_file().unlink(missing_ok=True)

    def main_window(self):
        return bench.wait_for_window(bench.MAIN_TITLE)

    def button(self, window):
        return next(c for c in window["children"] if c["class"] == "TTeButton")

    def close_with_alt_f4(self, prog):
        bench.focus(bench.x_window(bench.MAIN_TITLE))
        bench.xdotool("key", "--clearmodifiers", "alt+F4")
        self.assertEqual(prog.wait(30), 0, "the program did not end after Alt+F4")

    def test_database_and_download_fine(self):
        with bench.PriceServer(self.site) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                w = self.main_window()
                self.assertTrue(self.button(w)["enabled"])
                self.assertEqual(bench.price_list_file().read_bytes(), self.workbook.read_bytes())
                # Proxy-style requests for the fixed address (Wine's urlmon spells out port 80).
                self.assertEqual([(r["method"], r["host"].removesuffix(":80"), r["path"]) for r in server.requests()],
                                 [("GET", "prices.naveko.example", "/upload/F26-3-2022.xlsx")])
                self.assertTrue(server.requests()[0]["target"].startswith("http://prices.naveko.example"))
                self.close_with_alt_f4(prog)
        self.assertFalse(bench.price_list_file().exists(), "closing deletes the workbook")

    def test_a_stale_file_is_replaced_by_a_good_download(self):
        stale = bench.price_list_file()
        stale.write_bytes(b"left by an earlier run")
        with bench.PriceServer(self.site) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                self.main_window()
                self.assertEqual(stale.read_bytes(), self.workbook.read_bytes())
                self.close_with_alt_f4(prog)

    def test_a_fixed_path_that_takes_no_file_moves_the_price_list_to_the_users_folder(self):
        # As for a standard user under Program Files: here a folder stands in the file's place.
        blocked = bench.price_list_file()
        blocked.mkdir(parents=True, exist_ok=True)
        self.addCleanup(blocked.rmdir)
        own = bench.per_user_price_list_file()
        own.unlink(missing_ok=True)
        with bench.PriceServer(self.site) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                w = self.main_window()
                self.assertTrue(self.button(w)["enabled"], "the download went to the user's folder")
                self.assertEqual(own.read_bytes(), self.workbook.read_bytes())
                self.assertEqual(bench.press_and_read(w), bench.UPDATE_DONE, "the import reads it from there")
                self.assertEqual(bench.mat00(self.work / "PilvaroM1")[0], ("M1", 5.0, 6.0, 7.0, 8.0))
                self.close_with_alt_f4(prog)
        self.assertFalse(own.exists(), "closing deletes the workbook where it was kept")
        self.assertTrue(blocked.is_dir(), "what stood in the way is left alone")

    def test_missing_driver_shows_the_database_message_and_fetches_nothing(self):
        with bench.PriceServer(self.site) as server:
            bench.set_proxy(server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc", with_driver=False)) as prog:
                box = bench.wait_for_message_box()
                self.assertEqual(box["caption"], bench.APP_TITLE)
                self.assertEqual(box["text"], bench.DB_PROBLEM)
                self.assertEqual(box["buttons"], ["OK"])
                screen = bench.probe("screen")
                left, top, right, bottom = box["window"]["rect"]
                self.assertLessEqual(abs((left + right) // 2 - screen["width"] // 2), 1, "centred")
                self.assertLessEqual(abs((top + bottom) // 2 - screen["height"] // 2), 1, "centred")
                # The window came first, its button disabled, before the database was opened.
                [w] = bench.visible_windows(bench.MAIN_TITLE)
                self.assertFalse(self.button(w)["enabled"])
                bench.dismiss_message_box()
                w = self.main_window()
                self.assertFalse(self.button(w)["enabled"])
                self.assertEqual(server.requests(), [])
                self.assertFalse(bench.price_list_file().exists())
                self.close_with_alt_f4(prog)

    def download_fails(self, *server_args, proxy_port=None):
        with bench.PriceServer(self.site, *server_args) as server:
            bench.set_proxy(proxy_port or server.port)
            with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
                box = bench.wait_for_message_box()
                self.assertEqual((box["caption"], box["text"]), (bench.APP_TITLE, bench.DOWNLOAD_PROBLEM))
                bench.dismiss_message_box()
                self.assertEqual(prog.wait(30), 0, "the program ends by itself after the message")
            self.assertFalse(bench.price_list_file().exists(), "no file is left")
            return server.requests()

    def test_http_404_shows_the_download_message_once_and_ends(self):
        requests = self.download_fails("--status", "404")
        self.assertEqual([r["answer"] for r in requests], ["404"])

    def test_connection_refused_shows_the_download_message_and_ends(self):
        self.download_fails(proxy_port=bench.free_port())

    def test_connection_dropped_shows_the_download_message_and_ends(self):
        self.download_fails("--drop")

    def test_an_error_status_with_a_zip_body_counts_as_failed(self):
        # The server sends the real workbook, but under 500: the status decides.
        self.download_fails("--status", "500")


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
