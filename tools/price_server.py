#!/usr/bin/env python3
"""The local price-list server for tests and the demo.

Serves files from a folder over HTTP on 127.0.0.1, answering both plain
requests ("GET /upload/x.xlsx") and the absolute-URI requests a client sends
through a proxy ("GET http://host/upload/x.xlsx"), which is how the unmodified
program reaches it. Each request is logged as one JSON line. On request it
answers every GET with a fixed status (--status 404) or drops the connection
without an answer (--drop).
"""
import argparse
import json
import os
import signal
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from urllib.parse import unquote, urlsplit


def make_handler(root: Path, log_path: Path, status: int | None, drop: bool):
    lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *args):  # the JSON log replaces the default one
            pass

        def record(self, answer: str) -> None:
            parts = urlsplit(self.path)
            entry = {"method": self.command, "target": self.path, "path": parts.path,
                     "host": parts.netloc or self.headers.get("Host", ""), "answer": answer}
            with lock, open(log_path, "a", encoding="utf-8") as f:
                f.write(json.dumps(entry) + "\n")

        def do_GET(self):
            if drop:
                self.record("dropped")
                self.connection.shutdown(2)
                self.close_connection = True
                return
            rel = unquote(urlsplit(self.path).path).lstrip("/")
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
            self.send(200, file.read_bytes(),
                      "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")

        def send(self, code: int, body: bytes, ctype: str) -> None:
            self.record(str(code))
            self.send_response(code)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
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
    args = ap.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(args.root, args.log, args.status, args.drop))
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
