#!/usr/bin/python3
"""Finishes a package wixl built, through libmsi (Debian's gir1.2-libmsi-1.0):
  - the database's code page, 1256, so that the Arabic shortcut name reads
    right on every Windows (wixl leaves it neutral; its strings were already
    written in that code page, WINDOWS_LANGUAGE=ar);
  - the package's language, Arabic, as the product's;
  - the package code (the summary's revision number) and the summary's dates,
    which wixl draws at random and from the clock, from what the caller gives:
    the same inputs give the same package.
Usage: msi_finish.py MSI PACKAGE_CODE UNIX_TIME"""
import os
import sys
import tempfile

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

CODE_PAGE = 1256


def filetime(unix_time: int) -> int:
    return (unix_time + 11644473600) * 10_000_000


def main() -> None:
    path, package_code, unix_time = sys.argv[1], sys.argv[2], int(sys.argv[3])
    db = Libmsi.Database.new(path, Libmsi.DbFlags.TRANSACT, None)
    with tempfile.TemporaryDirectory() as tmp:
        idt = os.path.join(tmp, "_ForceCodepage.idt")
        with open(idt, "w", newline="") as f:
            f.write(f"\r\n\r\n{CODE_PAGE}\t_ForceCodepage\r\n")
        db.import_(idt)
    info = Libmsi.SummaryInfo.new(db, 20)
    info.set_string(Libmsi.Property.UUID, "{" + package_code.upper() + "}")
    info.set_int(Libmsi.Property.CODEPAGE, CODE_PAGE)
    # The package's language is the product's (wixl writes 1033 there).
    platform = info.get_string(Libmsi.Property.TEMPLATE).split(";")[0]
    info.set_string(Libmsi.Property.TEMPLATE, f"{platform};1025")
    info.set_filetime(Libmsi.Property.CREATED_TM, filetime(unix_time))
    info.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime(unix_time))
    info.persist()
    db.commit()


if __name__ == "__main__":
    main()
