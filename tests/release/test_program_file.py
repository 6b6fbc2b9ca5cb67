"""The program file as Windows sees it, read with pefile: the loader resolves
only Windows' known DLLs for it before its first line (no compiler run-time
DLLs; urlmon, odbc32 and comctl32, which Windows would look for in the
program's own folder first, are delay-loaded from the system folder; uxtheme
and msimg32 are bound at run time, not imported); its application manifest (resource 1 of type 24)
asks for Common Controls 6, system DPI awareness, the Windows 7 to 11
compatibility entries and to run as the invoking user; it carries its icon
and a version resource. Checked on every program file named on the command line."""
import sys
import unittest
import xml.etree.ElementTree as ET

import pefile

# Entries of HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 7 to 11.
KNOWN_DLLS = {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
              "user32.dll"}
DELAY_LOADED = {"urlmon.dll", "odbc32.dll", "comctl32.dll"}
RUNTIME_BOUND = {"uxtheme.dll", "msimg32.dll"}
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11"}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
FILES = []


def resource(pe, type_id, name_id=None):
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if t.id != type_id:
            continue
        for n in t.directory.entries:
            if name_id is not None and n.id != name_id:
                continue
            lang = n.directory.entries[0]
            return pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
    return None


class ProgramFile(unittest.TestCase):
    def each(self):
        for path in FILES:
            with self.subTest(file=path):
                yield path, pefile.PE(path)

    def test_the_loader_resolves_only_known_dlls_before_the_first_line(self):
        for path, pe in self.each():
            names = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
            self.assertTrue(names, "no import table")
            self.assertEqual(names - KNOWN_DLLS, set(), f"{path} imports DLLs Windows looks for beside the program")
            self.assertEqual(names & RUNTIME_BOUND, set(), "bound at run time, never imported")
            data = bytes(pe.__data__)
            for dll in DELAY_LOADED:  # the delay-load stubs name their DLLs
                self.assertIn(dll.encode(), data.lower(), f"{path} has no delay-load stub for {dll}")
            self.assertEqual(pe.FILE_HEADER.Machine, 0x8664, "x86-64")
            self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, 2, "a windowed program")

    def test_the_manifest_asks_for_what_the_program_expects(self):
        for path, pe in self.each():
            data = resource(pe, RT_MANIFEST, 1)
            self.assertIsNotNone(data, "no manifest resource 1")
            root = ET.fromstring(data)
            ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
                  "c": "urn:schemas-microsoft-com:compatibility.v1",
                  "ws05": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                  "ws16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
            deps = [a.attrib for a in root.findall("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", ns)]
            self.assertIn(("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df"),
                          [(d.get("name"), d.get("version"), d.get("publicKeyToken")) for d in deps])
            level = root.find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel", ns)
            self.assertEqual((level.get("level"), level.get("uiAccess")), ("asInvoker", "false"))
            ids = {s.get("Id").lower() for s in root.findall("c:compatibility/c:application/c:supportedOS", ns)}
            self.assertEqual(ids, set(SUPPORTED_OS), "Windows 7 to 11")
            settings = root.find("v3:application/v3:windowsSettings", ns)
            self.assertEqual(settings.find("ws05:dpiAware", ns).text.strip(), "true", "system DPI aware")
            self.assertEqual(settings.find("ws16:dpiAwareness", ns).text.strip(), "system")

    def test_icon_and_version(self):
        for path, pe in self.each():
            self.assertIsNotNone(resource(pe, RT_GROUP_ICON), "no icon")
            self.assertIsNotNone(resource(pe, RT_ICON))
            strings = {}
            for info in getattr(pe, "FileInfo", []):
                for entry in info:
                    for table in getattr(entry, "StringTable", []):
                        strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
            self.assertEqual(strings.get("ProductName"), "NAVEKO price update")
            self.assertEqual(strings.get("OriginalFilename"), "Project2.exe")
            self.assertEqual(strings.get("FileVersion"), "1.0.0.0")
            self.assertTrue(strings.get("LegalCopyright", "").startswith("Copyright"))
            self.assertTrue(strings.get("FileDescription"))
            self.assertEqual(pe.VS_FIXEDFILEINFO[0].FileVersionMS, 0x00010000)


if __name__ == "__main__":
    FILES.extend(a for a in sys.argv[1:] if a.endswith(".exe"))
    sys.argv = [sys.argv[0]] + [a for a in sys.argv[1:] if not a.endswith(".exe")]
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() and FILES else 1)
