#!/usr/bin/env python3
"""Builds a stored layout from its template: each "@picture(CLASS, FILE)" becomes
the picture's stream data in hex (the class name with a length byte, then the file's bytes)."""
import re
import sys
from pathlib import Path


def main(template: str, pictures: str, out: str) -> None:
    text = Path(template).read_text(encoding="utf-8")

    def embed(m: re.Match) -> str:
        cls, name = m.group(1), m.group(2).strip()
        data = bytes([len(cls)]) + cls.encode("ascii") + (Path(pictures) / name).read_bytes()
        hexed = data.hex().upper()
        lines = [hexed[i:i + 64] for i in range(0, len(hexed), 64)]
        return "{\n      " + "\n      ".join(lines) + "}"

    text = re.sub(r"@picture\(([A-Za-z0-9_]+),\s*([^)]+)\)", embed, text)
    Path(out).write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main(*sys.argv[1:4])
