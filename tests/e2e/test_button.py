"""UploadBut, the themed push button, in the real program with real X input:
its faces focused, hot, held and disabled, with the visual style on (compared
with DrawThemeBackground of "Button", part 1, in the state the state table
gives, drawn by winprobe in the same prefix) and off (the classic frames); a
press released off the button does not click; Space and Enter on the focused
button run the update. The screenshots go to the artifacts as button-*.png.

The program's one focusable control is UploadBut, so it holds the focus from
the start: its plain normal face never shows in the program (the unit tests
cover it off screen)."""
import sys
import time
import unittest

import bench

ROWS = [("M1", "Aspirin", 1.0, 1.0, 1.0, 1.0)]
PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED, PBS_DEFAULTED = 1, 2, 3, 4, 5


def band_pixels(image, rows, cols):
    """The pixels of the bands the caption never reaches: the top and bottom rows, the left and right columns."""
    width, height, data = image
    out = []
    for y in range(height):
        for x in range(width):
            if y < rows or y >= height - rows or x < cols or x >= width - cols:
                out.append(data[3 * (y * width + x):3 * (y * width + x) + 3])
    return out


def count(image, rgb):
    width, height, data = image
    want = bytes(rgb)
    return sum(1 for i in range(0, len(data), 3) if data[i:i + 3] == want)


class ButtonFaces(unittest.TestCase):
    def setUp(self):
        self.work = bench.ARTIFACTS / ("button_" + self.id().split(".")[-1])
        self.db = bench.serve_price_list(self, self.work, ["M1,5,6,7,8"], ROWS)

    def button(self):
        w = bench.wait_for_window(bench.MAIN_TITLE)
        return w, next(c for c in w["children"] if c["class"] == "TTeButton")

    def shot(self, name, rect):
        time.sleep(0.5)  # the repaint after the input
        path = bench.screenshot(f"button-{name}.png")
        return bench.crop(path, rect)

    def assert_face(self, image, state, name, style_on, colors):
        width, height, _ = image
        if style_on:
            expected = bench.expected_theme_part("Button", 1, state, width, height, f"button-{name}-expected.bmp")
            self.assertIsNotNone(expected, "the prefix's visual style is not in force")
            self.assertEqual(band_pixels(image, 6, 40), band_pixels(expected, 6, 40),
                             f"{name}: not DrawThemeBackground's push button in state {state}")
            return
        face, light, shadow = colors["btnface"], colors["btnhighlight"], colors["btnshadow"]
        rgb = lambda v: bytes(((v >> 16) & 255, (v >> 8) & 255, v & 255))
        px = lambda x, y: image[2][3 * (y * width + x):3 * (y * width + x) + 3]
        if state == PBS_DISABLED:
            self.assertEqual(px(0, 0), rgb(light), f"{name}: raised, not focused")
            self.assertEqual(count(image, (255, 0, 0)), 0, "a disabled caption is not red")
            self.assertGreater(count(image, tuple(rgb(shadow))), 20, "embossed in the shadow colour")
            return
        self.assertEqual(px(0, 0), b"\0\0\0", f"{name}: the focused outline")
        self.assertEqual(px(1, 1), rgb(shadow if state == PBS_PRESSED else light), f"{name}: sunken or raised")
        self.assertEqual(px(width // 2, 3), rgb(face))
        self.assertGreater(count(image, (255, 0, 0)), 20, "the bold red caption")

    def run_states(self, style_on):
        suffix = "on" if style_on else "off"
        colors = bench.probe("colors")
        with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc")) as prog:
            w, b = self.button()
            rect = b["rect"]
            self.assertTrue(b["enabled"])
            focused = self.shot(f"focused-{suffix}", rect)
            self.assert_face(focused, PBS_DEFAULTED, f"focused-{suffix}", style_on, colors)
            cx, cy = (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2
            bench.focus(bench.x_window(bench.MAIN_TITLE))
            bench.xdotool("mousemove", "--sync", str(cx), str(cy))
            hot = self.shot(f"hot-{suffix}", rect)
            self.assert_face(hot, PBS_HOT, f"hot-{suffix}", style_on, colors)
            bench.xdotool("mousedown", "1")
            held = self.shot(f"held-{suffix}", rect)
            self.assert_face(held, PBS_PRESSED, f"held-{suffix}", style_on, colors)
            # Released off the button: no click, no message.
            bench.xdotool("mousemove", "--sync", str(rect[2] + 40), str(cy))
            bench.xdotool("mouseup", "1")
            time.sleep(2)
            self.assertEqual([x for x in bench.probe("windows") if x["class"] == "#32770"], [],
                             "a press released off the button clicked it")
            self.assertEqual(bench.mat00(self.db)[0][1], 1.0)
            # Space, then Enter, on the focused button: each runs the update and shows its message.
            for key in ("space", "Return"):
                bench.focus(bench.x_window(bench.MAIN_TITLE))
                bench.xdotool("key", "--clearmodifiers", key)
                box = bench.wait_for_message_box(60)
                self.assertEqual(box["text"], bench.UPDATE_DONE, key)
                bench.dismiss_message_box()
                time.sleep(1)
            self.assertEqual(bench.mat00(self.db)[0][1:], (5.0, 6.0, 7.0, 8.0))
            bench.focus(bench.x_window(bench.MAIN_TITLE))
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0)

    def run_disabled(self, style_on):
        suffix = "on" if style_on else "off"
        colors = bench.probe("colors")
        with bench.Program(cwd=self.work, env=bench.odbc_env(self.work / "odbc", with_driver=False)) as prog:
            box = bench.wait_for_message_box(30)
            self.assertEqual(box["text"], bench.DB_PROBLEM)
            bench.dismiss_message_box()
            w, b = self.button()
            self.assertFalse(b["enabled"])
            disabled = self.shot(f"disabled-{suffix}", b["rect"])
            self.assert_face(disabled, PBS_DISABLED, f"disabled-{suffix}", style_on, colors)
            bench.focus(bench.x_window(bench.MAIN_TITLE))
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0)

    def test_faces_and_keys_with_the_visual_style_off(self):
        with bench.VisualStyle(False):
            self.run_states(False)

    def test_faces_and_keys_with_the_visual_style_on(self):
        with bench.VisualStyle(True):
            self.run_states(True)

    def test_disabled_with_the_visual_style_off(self):
        with bench.VisualStyle(False):
            self.run_disabled(False)

    def test_disabled_with_the_visual_style_on(self):
        with bench.VisualStyle(True):
            self.run_disabled(True)


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
