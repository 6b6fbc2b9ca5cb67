"""A program started from a downloads folder that a web page has written DLLs
into: uxtheme.dll, msimg32.dll, urlmon.dll, wininet.dll and odbc32.dll of the test's own
making (each writes NAME.dll.loaded when it is loaded) lie beside the program
and its working folder is that folder, as when it is opened from there.
Windows' order is emulated with WINEDLLOVERRIDES (a DLL file found before
Wine's own, the program's folder first). The program starts, runs the
three-row update, and none of the planted DLLs runs."""
import os
import shutil
import sys
import unittest
from pathlib import Path

import bench

PLANTED = Path(os.environ["NAVEKO_PLANTED"])
NAMES = ("uxtheme", "msimg32", "urlmon", "wininet", "odbc32")
BASE = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0), ("K3", "three", 3.0, 3.0, 3.0, 3.0)]


class PlantedDlls(unittest.TestCase):
    def test_dlls_beside_the_program_are_not_loaded(self):
        downloads = bench.ARTIFACTS / "planted" / "Downloads"
        shutil.rmtree(downloads.parent, ignore_errors=True)
        downloads.mkdir(parents=True)
        exe = downloads / "Project2.exe"
        shutil.copy(bench.EXE, exe)
        for name in NAMES:
            shutil.copy(PLANTED / f"{name}.dll", downloads / f"{name}.dll")
        bench.price_list_file().unlink(missing_ok=True)
        db = bench.serve_price_list(self, downloads, ["K1,10,11,12,13", "K2,20,21,22,23", "K3,30,31,32,33"], BASE)
        env = bench.odbc_env(downloads.parent / "odbc")
        env["NAVEKO_DLLOVERRIDES"] = ",".join(NAMES) + "=n,b"
        try:
            with bench.Program(cwd=downloads, env=env, exe=str(exe)) as prog:
                message = bench.press_and_read(bench.wait_for_window(bench.MAIN_TITLE))
                bench.focus(bench.x_window(bench.MAIN_TITLE))
                bench.xdotool("key", "--clearmodifiers", "alt+F4")
                self.assertEqual(prog.wait(30), 0)
        finally:
            ran = sorted(p.name.lower() for p in downloads.glob("*.loaded"))
            self.assertEqual(ran, [], "planted DLLs ran inside the program")
        self.assertEqual(message, bench.UPDATE_DONE)
        self.assertEqual(bench.mat00(db), [("K1", 10, 11, 12, 13), ("K2", 20, 21, 22, 23), ("K3", 30, 31, 32, 33)])


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
