#!/usr/bin/env python3
"""The local price-list server for tests and the demo.

Serves files from a folder over HTTP on 127.0.0.1, answering both plain
requests ("GET /upload/x.xlsx") and the absolute-URI requests a client sends
through a proxy ("GET http://host/upload/x.xlsx"), which is how the unmodified
program reaches it. Each request is logged as one JSON line, with the
headers that ask about caching. On request it answers every GET with a fixed
status (--status 404) or drops the connection without an answer (--drop).

It can also behave as the maker's real web server may:
  --static          as a static-file server does: Last-Modified (the file's
                    time) and ETag, no Cache-Control, and 304 Not Modified to
                    a conditional request whose validator matches, If-None-Match
                    deciding when both are sent (RFC 9110, sections 13.1.2,
                    13.1.3 and 15.4.5); a client may then reuse its copy
                    heuristically (RFC 9111, section 4.2.2);
  --redirect CODE:PATH
                    answers CODE (301, 302) with a Location on the same server
                    naming PATH, which it serves (RFC 9110, 15.4.2 and 15.4.3);
  --short BYTES     announces the whole file in Content-Length, sends only its
                    first BYTES and closes the connection (a dropped line);
  --delay SECONDS   answers only after SECONDS (a slow line).
"""
import email.utils
import argparse
import json
import os
import signal
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
import time
from urllib.parse import unquote, urlsplit

XLSX = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"


def make_handler(root: Path, log_path: Path, status: int | None, drop: bool, static: bool = False,
                 redirect: tuple[int, str] | None = None, short: int | None = None, delay: float = 0):
    lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *args):  # the JSON log replaces the default one
            pass

        def record(self, answer: str) -> None:
            parts = urlsplit(self.path)
            entry = {"method": self.command, "target": self.path, "path": parts.path,
                     "host": parts.netloc or self.headers.get("Host", ""), "answer": answer}
            for header in ("If-None-Match", "If-Modified-Since", "Pragma", "Cache-Control"):
                if self.headers.get(header) is not None:
                    entry[header.lower()] = self.headers.get(header)
            with lock, open(log_path, "a", encoding="utf-8") as f:
                f.write(json.dumps(entry) + "\n")

        def do_GET(self):
            if delay:
                time.sleep(delay)
            if drop:
                self.record("dropped")
                self.connection.shutdown(2)
                self.close_connection = True
                return
            parts = urlsplit(self.path)
            if redirect and parts.path != redirect[1]:
                host = parts.netloc or self.headers.get("Host", "")
                self.record(str(redirect[0]))
                self.send_response(redirect[0])
                self.send_header("Location", f"http://{host}{redirect[1]}")
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            rel = unquote(parts.path).lstrip("/")
            file = (root / rel).resolve()
            inside = root.resolve() in file.parents
            if status is not None:
                body = (f"<html><body><h1>{status}</h1></body></html>").encode()
                if status < 400 and inside and file.is_file():
                    body = file.read_bytes()  # a served file under a forced status
                self.send(status, body, "text/html" if status >= 400 else "application/octet-stream")
                return
            if not inside or not file.is_file():
                self.send(404, b"<html><body><h1>404 Not Found</h1></body></html>", "text/html")
                return
            if static:
                stat = file.stat()
                etag = f'"{stat.st_size:x}-{int(stat.st_mtime * 1000):x}"'
                modified = email.utils.formatdate(stat.st_mtime, usegmt=True)
                since = self.headers.get("If-Modified-Since")
                since_time = email.utils.parsedate_to_datetime(since).timestamp() if since else None
                if self.headers.get("If-None-Match") == etag or (
                        self.headers.get("If-None-Match") is None and since_time is not None
                        and int(stat.st_mtime) <= since_time):
                    self.send(304, b"", None, {"ETag": etag, "Last-Modified": modified})
                    return
                self.send(200, file.read_bytes(), XLSX, {"ETag": etag, "Last-Modified": modified})
                return
            self.send(200, file.read_bytes(), XLSX, {"Cache-Control": "no-cache"})

        def send(self, code: int, body: bytes, ctype: str | None, headers: dict | None = None) -> None:
            self.record(str(code) + (f", {short} of {len(body)} bytes" if short is not None and code == 200 else ""))
            self.send_response(code)
            if ctype:
                self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            for name, value in (headers if headers is not None else {"Cache-Control": "no-cache"}).items():
                self.send_header(name, value)
            self.end_headers()
            if short is not None and code == 200:
                self.wfile.write(body[:short])
                self.wfile.flush()
                self.connection.shutdown(2)
                self.close_connection = True
                return
            self.wfile.write(body)

    return Handler


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--root", required=True, type=Path, help="folder whose files are served")
    ap.add_argument("--log", required=True, type=Path, help="file that receives one JSON line per request")
    ap.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free one)")
    ap.add_argument("--port-file", type=Path, help="where to write the port once listening")
    ap.add_argument("--status", type=int, help="answer every GET with this status")
    ap.add_argument("--drop", action="store_true", help="close every connection without an answer")
    ap.add_argument("--static", action="store_true", help="validators, no Cache-Control, 304 to a matching one")
    ap.add_argument("--redirect", help="CODE:PATH, answer CODE with a Location naming PATH on this server")
    ap.add_argument("--short", type=int, help="send only this many bytes of a file, then close")
    ap.add_argument("--delay", type=float, default=0, help="seconds to wait before answering")
    args = ap.parse_args()
    redirect = None
    if args.redirect:
        code, _, path = args.redirect.partition(":")
        redirect = (int(code), path)
    server = ThreadingHTTPServer(("127.0.0.1", args.port),
                                 make_handler(args.root, args.log, args.status, args.drop, args.static, redirect,
                                              args.short, args.delay))
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    if args.port_file:
        tmp = args.port_file.with_suffix(".tmp")
        tmp.write_text(str(server.server_address[1]))
        os.replace(tmp, args.port_file)
    print(f"price server on 127.0.0.1:{server.server_address[1]}, serving {args.root}", file=sys.stderr)
    server.serve_forever()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
