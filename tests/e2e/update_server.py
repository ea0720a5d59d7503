#!/usr/bin/env python3
"""A stand-in update server on 127.0.0.1 for the end-to-end tests.

It serves the version file and the installer archive from the paths the
program asks for, and can answer slowly, fail, or break an archive off
half-way, or stop after the archive's headers. It writes its port to --port-file once it listens and every
request it gets, a line each, to --log, and a line "ANSWERING path" just
before it answers a request for the version file, and a line "STALLING path"
once it has sent the headers of an archive it then never sends; an endless
archive ends with a line "CUT path" when the program closes the connection.
"""

import argparse
import http.server
import socketserver
import time

VERSION_PATH = "/versions/Kestrune_version.txt"
ARCHIVE_PATH = "/downloads/apps/Kestrune.zip"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--version", default=None, help="the version file's text; none: 404")
    parser.add_argument("--version-status", type=int, default=200)
    parser.add_argument("--version-delay", type=float, default=0.0)
    parser.add_argument("--archive", default=None, help="a file to serve as the archive")
    parser.add_argument("--archive-cut", type=int, default=-1,
                        help="close the connection after this many bytes of the archive")
    parser.add_argument("--archive-chunk-delay", type=float, default=0.0,
                        help="seconds between 64 KiB pieces of the archive")
    parser.add_argument("--archive-stall", action="store_true",
                        help="send the archive's headers, then nothing on the open connection")
    parser.add_argument("--archive-endless", action="store_true",
                        help="send the archive without a length, again and again without end")
    args = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *_):
            pass

        def note(self, what=None):
            with open(args.log, "a", encoding="utf-8") as log:
                log.write(f"{what or self.command} {self.path}\n")

        def send_body(self, status, body, content_type="text/plain"):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            self.note()
            if self.path == VERSION_PATH:
                time.sleep(args.version_delay)
                self.note("ANSWERING")
                if args.version is None:
                    self.send_body(404, b"not here")
                else:
                    self.send_body(args.version_status, args.version.encode("latin-1"))
            elif self.path == ARCHIVE_PATH and args.archive:
                with open(args.archive, "rb") as f:
                    data = f.read()
                self.send_response(200)
                self.send_header("Content-Type", "application/zip")
                if args.archive_endless:
                    self.send_header("Connection", "close")
                    self.end_headers()
                    try:
                        while True:
                            self.wfile.write(data)
                    except OSError:
                        self.note("CUT")
                    self.close_connection = True
                    return
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                if args.archive_stall:
                    self.wfile.flush()
                    self.note("STALLING")
                    time.sleep(3600)
                    return
                end = len(data) if args.archive_cut < 0 else args.archive_cut
                for start in range(0, end, 65536):
                    self.wfile.write(data[start:min(end, start + 65536)])
                    self.wfile.flush()
                    time.sleep(args.archive_chunk_delay)
                if args.archive_cut >= 0:
                    self.close_connection = True
            else:
                self.send_body(404, b"not here")

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True

    server = Server(("127.0.0.1", 0), Handler)
    with open(args.port_file + ".part", "w", encoding="utf-8") as f:
        f.write(str(server.server_address[1]))
    import os
    os.replace(args.port_file + ".part", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
