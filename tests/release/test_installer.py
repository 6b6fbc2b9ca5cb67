"""The release as an IT person receives it, in the test bench's Wine prefix:
the release command run again into another folder gives the same program file
and package to the byte; run once more with a raised version and the signing
variables (a throw-away self-signed certificate made here with openssl), it
signs both files with SHA-256, which osslsigncode verifies against that
certificate. Then msiexec, silently: the package installs the program and its
Start-menu shortcut under Program Files\\NAVEKO with its uninstall entry; the
installed program runs the three-row update from there; the next version
replaces it (one entry, the new file, and the signed program still runs); the
older package refuses to install over it; removing it takes the files, the
shortcut and the entry and leaves the user's journal.
Argument: the release build's dist folder (tools/release.sh, run first by the test command)."""
import filecmp
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import bench  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
DIST = Path(os.environ.get("NAVEKO_RELEASE_DIST", ""))
WORK = bench.ARTIFACTS / "installer"
VERSION, NEXT = "1.0.0.0", "1.0.1.0"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
BASE = [("K1", "one", 1.0, 1.0, 1.0, 1.0), ("K2", "two", 2.0, 2.0, 2.0, 2.0), ("K3", "three", 3.0, 3.0, 3.0, 3.0)]
SHORTCUT = "NAVEKO تحديث ادوية.lnk"


def windows(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


def release(build: Path, extra: dict) -> Path:
    env = dict(os.environ, NAVEKO_BUILD=str(build), **extra)
    for key in ("NAVEKO_SIGN_PFX", "NAVEKO_SIGN_PASS", "NAVEKO_VERSION"):
        if key not in extra:
            env.pop(key, None)
    done = subprocess.run([str(ROOT / "tools" / "release.sh")], env=env, capture_output=True, text=True, timeout=1800)
    if done.returncode:
        raise AssertionError(f"release.sh failed:\n{done.stdout[-2000:]}\n{done.stderr[-3000:]}")
    print(done.stdout.strip().splitlines()[-1], flush=True)
    return build / "release" / "dist"


def refused_version(version: str) -> str:
    """What the release command says when asked for `version`, which it must refuse before building."""
    env = dict(os.environ, NAVEKO_BUILD=str(WORK / "refused"), NAVEKO_VERSION=version)
    done = subprocess.run([str(ROOT / "tools" / "release.sh")], env=env, capture_output=True, text=True, timeout=600)
    if done.returncode == 0:
        raise AssertionError(f"release.sh took version {version}")
    return done.stderr


def msiexec(*args: str, log: Path) -> int:
    done = subprocess.run([bench.WINE_RUN, "msiexec", *args, "/qn", "/l*v", windows(log)], env=bench.ENV,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=300)
    return done.returncode


def uninstall_entries() -> dict:
    """The uninstall entries whose DisplayName is the program's: {key: {value: data}}."""
    with tempfile.TemporaryFile() as out:
        subprocess.run([bench.WINE_RUN, "reg", "query", UNINSTALL, "/s"], env=bench.ENV, stdout=out,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=60)
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    entries, key = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            key = line.strip()
            entries[key] = {}
        elif key and line.startswith("    ") and len(line.split(None, 2)) >= 2:
            parts = line.split(None, 2)
            entries[key][parts[0]] = parts[2] if len(parts) > 2 else ""
    return {k: v for k, v in entries.items() if v.get("DisplayName") == "NAVEKO price update"}


def msi_table(msi: Path, table: str) -> list[list[str]]:
    """A table of the package as msiinfo exports it: its rows, after the three heading lines."""
    text = subprocess.run(["msiinfo", "export", str(msi), table], capture_output=True, check=True).stdout
    return [line.split("\t") for line in text.decode("utf-8").splitlines()[3:] if line]


class Package(unittest.TestCase):
    """What the package tells Windows Installer, read with msiinfo."""

    def test_a_version_windows_installer_could_not_tell_apart_is_refused(self):
        for version in ("1.0.1.1", "1.0.0.2"):
            self.assertIn(f"version {version} refused: its fourth field must be 0", refused_version(version))

    def test_tables(self):
        msi = DIST / f"NAVEKO-PriceUpdate-{VERSION}.msi"
        props = dict(r[:2] for r in msi_table(msi, "Property"))
        self.assertEqual({k: props.get(k) for k in ("ProductVersion", "Manufacturer", "UpgradeCode", "ALLUSERS",
                                                     "ARPPRODUCTICON", "ARPHELPTELEPHONE")},
                         {"ProductVersion": VERSION, "Manufacturer": "NAVEKO Pharmaceuticals",
                          "UpgradeCode": "{C8D6671A-B6C8-4269-8B3D-53D64AE6EA31}", "ALLUSERS": "1",
                          "ARPPRODUCTICON": "app.ico", "ARPHELPTELEPHONE": "0944361752"})
        self.assertIn(["app.ico"], [r[:1] for r in msi_table(msi, "Icon")])
        dirs = {r[0]: r for r in msi_table(msi, "Directory")}
        self.assertEqual(dirs["INSTALLDIR"][1:], ["ProgramFiles64Folder", "NAVEKO"])
        [shortcut] = msi_table(msi, "Shortcut")
        self.assertEqual((shortcut[1], shortcut[2]), ("ProgramMenuFolder", SHORTCUT[:-4]))
        for component in msi_table(msi, "Component"):
            self.assertTrue(int(component[3]) & 256, f"{component[0]} is 64-bit")
        suminfo = subprocess.run(["msiinfo", "suminfo", str(msi)], capture_output=True, text=True).stdout
        self.assertIn("Template: x64;", suminfo)
        upgrades = msi_table(msi, "Upgrade")
        self.assertEqual(sorted(r[-1] for r in upgrades), ["WIX_DOWNGRADE_DETECTED", "WIX_UPGRADE_DETECTED"])
        [condition] = msi_table(msi, "LaunchCondition")
        self.assertEqual(condition[0], "NOT WIX_DOWNGRADE_DETECTED")
        self.assertTrue(condition[1].startswith("A newer version of NAVEKO price update is already installed"))


class Installer(unittest.TestCase):
    def setUp(self):
        WORK.mkdir(parents=True, exist_ok=True)
        self.prefix = Path(bench.ENV["WINEPREFIX"]) / "drive_c"
        self.installed = self.prefix / "Program Files" / "NAVEKO" / "Project2.exe"

    def shortcuts(self) -> list:
        return [p for p in self.prefix.rglob(SHORTCUT) if "Start Menu" in str(p)]

    def run_update(self) -> str:
        db = bench.serve_price_list(self, WORK, ["K1,10,11,12,13", "K2,20,21,22,23", "K3,30,31,32,33"], BASE)
        bench.price_list_file().unlink(missing_ok=True)
        with bench.Program(cwd=WORK, env=bench.odbc_env(WORK / "odbc"), exe=str(self.installed)) as prog:
            message = bench.press_and_read(bench.wait_for_window(bench.MAIN_TITLE))
            bench.focus(bench.x_window(bench.MAIN_TITLE))
            bench.xdotool("key", "--clearmodifiers", "alt+F4")
            self.assertEqual(prog.wait(30), 0)
        self.assertEqual(bench.mat00(db), [("K1", 10, 11, 12, 13), ("K2", 20, 21, 22, 23), ("K3", 30, 31, 32, 33)])
        return message

    def test_rebuild_sign_install_upgrade_refuse_and_remove(self):
        first = DIST / f"NAVEKO-PriceUpdate-{VERSION}.msi"
        self.assertTrue(first.is_file(), f"no package {first}")

        # The same commit, another folder, another time: the same bytes.
        again = release(WORK / "rebuild", {})
        self.assertTrue(filecmp.cmp(DIST / "Project2.exe", again / "Project2.exe", shallow=False),
                        "the program file differs between two builds of the same commit")
        self.assertTrue(filecmp.cmp(first, again / first.name, shallow=False), "the package differs")

        # The next version, signed with a certificate that lives only for this test.
        with tempfile.TemporaryDirectory() as secret:
            key, cert, pfx = (Path(secret) / n for n in ("key.pem", "cert.pem", "signer.pfx"))
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-keyout", key, "-out", cert, "-days",
                            "2", "-nodes", "-subj", "/CN=NAVEKO test signer"], check=True, capture_output=True)
            subprocess.run(["openssl", "pkcs12", "-export", "-out", pfx, "-inkey", key, "-in", cert, "-passout",
                            "pass:throw-away"], check=True, capture_output=True)
            signed = release(WORK / "rebuild", {"NAVEKO_VERSION": NEXT, "NAVEKO_SIGN_PFX": str(pfx),
                                                "NAVEKO_SIGN_PASS": "throw-away"})
            nxt = signed / f"NAVEKO-PriceUpdate-{NEXT}.msi"
            for f in (signed / "Project2.exe", nxt):
                out = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", f], capture_output=True,
                                     text=True).stdout
                self.assertRegex(out, r"Message digest algorithm +: SHA256", f)
                self.assertIn("Signature verification: ok", out, f)
            self.assertFalse(list(signed.parent.rglob("*.pfx")) + list(signed.parent.rglob("*.pem")),
                             "the certificate reached the build's output")

        # Installed silently from the first package.
        self.assertEqual(msiexec("/i", windows(first), log=WORK / "install.log"), 0)
        self.assertTrue(filecmp.cmp(self.installed, DIST / "Project2.exe", shallow=False))
        self.assertEqual(len(self.shortcuts()), 1, "the Start-menu shortcut")
        [entry] = uninstall_entries().values()
        self.assertEqual((entry["Publisher"], entry["DisplayVersion"], entry["HelpTelephone"]),
                         ("NAVEKO Pharmaceuticals", VERSION, "0944361752"))
        self.assertEqual(self.run_update(), bench.UPDATE_DONE, "the installed program runs from its place")

        # The next version replaces it.
        self.assertEqual(msiexec("/i", windows(nxt), log=WORK / "upgrade.log"), 0)
        [entry] = uninstall_entries().values()
        self.assertEqual(entry["DisplayVersion"], NEXT, "one entry, the new version's")
        self.assertTrue(filecmp.cmp(self.installed, signed / "Project2.exe", shallow=False), "the new file")
        with bench.Program(cwd=WORK, env=bench.odbc_env(WORK / "odbc"), args=("/undo",), exe=str(self.installed)) as p:
            box = bench.wait_for_message_box()
            bench.dismiss_message_box()
            self.assertEqual(p.wait(30), 0, "the signed program runs and puts the prices back")
        self.assertTrue(box["text"].startswith("تمت استعادة الاسعار السابقة"), box)

        # The older package does not install over the newer one: it finds it and its launch
        # condition stops it (the message it shows is in the package; Wine's log omits it).
        self.assertNotEqual(msiexec("/i", windows(first), log=WORK / "downgrade.log"), 0)
        log = (WORK / "downgrade.log").read_bytes().decode("utf-8", "replace")
        self.assertIn("WIX_DOWNGRADE_DETECTED = {", log)
        self.assertNotIn("InstallFiles", log)
        [entry] = uninstall_entries().values()
        self.assertEqual(entry["DisplayVersion"], NEXT)

        # Removed: files, shortcut and entry go; the user's journals stay.
        journals = list((bench.naveko_folder() / "journal").glob("*.csv"))
        self.assertTrue(journals)
        self.assertEqual(msiexec("/x", windows(nxt), log=WORK / "remove.log"), 0)
        self.assertFalse(self.installed.exists())
        self.assertFalse(self.installed.parent.exists())
        self.assertEqual(self.shortcuts(), [])
        self.assertEqual(uninstall_entries(), {})
        self.assertTrue(all(j.exists() for j in journals), "the journals are the user's")


if __name__ == "__main__":
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
