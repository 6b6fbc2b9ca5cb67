"""The real program under Wine and Xvfb: its window appears centred at 320 x 448
with its caption, the screenshot shows both pictures and the button, and a real
close request (Alt+F4 typed through the X server) ends the process."""
import sys
import unittest

import bench

TITLE = "NAVEKO تحديث ادوية"
APP_TITLE = "NAVEKO- 0944361752"


def near(rgb, want, tol=40):
    return all(abs(a - b) <= tol for a, b in zip(rgb, want))


class MainWindow(unittest.TestCase):
    def test_the_bench_runs_programs_under_the_arabic_code_page(self):
        loc = bench.probe("locale")
        self.assertEqual(loc["acp"], 1256)
        self.assertEqual(loc["lcid"], 0x0401)

    def test_window_appears_centred_and_a_real_close_ends_the_program(self):
        screen = bench.probe("screen")
        work = bench.ARTIFACTS / "main_window"
        bench.serve_price_list(self, work, ["M1,1,2,3,4"], [("M1", "Aspirin", 1, 1, 1, 1)])
        with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as prog:
            w = bench.wait_for_window(TITLE)
            left, top, right, bottom = w["rect"]
            self.assertEqual((right - left, bottom - top), (320, 448))
            self.assertEqual(left, (screen["width"] - 320) // 2)
            self.assertEqual(top, (screen["height"] - 448) // 2)
            self.assertEqual(w["class"], "TForm1")
            # The taskbar entry is the hidden application window, titled with the application title.
            apps = [a for a in bench.probe("windows") if a["class"] == "TApplication"]
            self.assertEqual([a["text"] for a in apps], [APP_TITLE])
            button = [c for c in w["children"] if c["class"] == "TTeButton"]
            self.assertEqual(len(button), 1)
            self.assertEqual(button[0]["text"], "تحديث 26-3-2022")
            self.assertTrue(button[0]["enabled"])

            shot = bench.screenshot("main-window.png")
            ox, oy = w["client_origin"]
            # Upper picture: the banner's blue near its top-left corner.
            self.assertTrue(near(bench.pixel(shot, ox + 3, oy + 3), (0x0B, 0x4F, 0x8A)), bench.pixel(shot, ox + 3, oy + 3))
            # Lower picture: its dark blue heading bar, then its light panel.
            self.assertTrue(near(bench.pixel(shot, ox + 150, oy + 292), (0x0B, 0x4F, 0x8A)))
            self.assertTrue(near(bench.pixel(shot, ox + 150, oy + 400), (0xF4, 0xF7, 0xFA)))
            # The button: its bold red caption (its faces are the button test's business).
            _, _, pixels = bench.crop(shot, button[0]["rect"])
            red = sum(1 for i in range(0, len(pixels), 3) if pixels[i] > 200 and pixels[i + 1] < 60 and pixels[i + 2] < 60)
            self.assertGreater(red, 40)
            # Between the banner and the button: the window's own colour.
            self.assertTrue(near(bench.pixel(shot, ox + 150, oy + 212), (0xFF, 0xFF, 0xFF), 10))

            xid = bench.x_window(TITLE)
            bench.focus(xid)
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0, "the program did not end after Alt+F4")


class HighResolution(unittest.TestCase):
    def test_at_120_dpi_the_program_scales_its_window_and_button_itself(self):
        work = bench.ARTIFACTS / "dpi120"
        bench.serve_price_list(self, work, ["M1,1,2,3,4"], [("M1", "Aspirin", 1, 1, 1, 1)])
        bench.set_log_pixels(120)
        self.addCleanup(bench.set_log_pixels, 96)
        with bench.Program(cwd=work, env=bench.odbc_env(work / "odbc")) as prog:
            w = bench.wait_for_window(TITLE)
            button = next(c for c in w["children"] if c["class"] == "TTeButton")
            left, top, right, bottom = button["rect"]
            ox, oy = w["client_origin"]
            # Laid out for 96 dpi at (8, 224), 273 x 49: scaled by 120 / 96 when the window was made.
            self.assertEqual((left - ox, top - oy, right - left, bottom - top), (10, 280, 341, 61))
            wl, wt, wr, wb = w["rect"]
            self.assertGreater(wr - wl, 320 * 120 // 96 - 10, "the window grew with its client area")
            shot = bench.screenshot("main-window-120dpi.png")
            # The banner fills the wider client area; the button's caption is red.
            self.assertTrue(near(bench.pixel(shot, ox + 3, oy + 3), (0x0B, 0x4F, 0x8A)))
            bench.focus(bench.x_window(TITLE))
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0)


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
