#!/usr/bin/env python3
"""A plain D-Bus peer for the end-to-end tests: it speaks the wire protocol
itself, so it can send what well-behaved libraries refuse to build.

  bus_peer.py paths DEST COUNT LENGTH [LAST]
      OpenDocumentFiles with COUNT paths of LENGTH bytes each (documents
      that do not exist: /pp...p.kedata), then the paths LAST.
  bus_peer.py uris DEST COUNT LENGTH [LAST]
      OpenDocuments the same way, as strings.
  bus_peer.py event DEST LENGTH
      Event("kqKS", "TEXT", LENGTH bytes) at /org/kestrune/Events.

Prints the reply's type (return, error NAME, or none) on standard output.
The session bus is DBUS_SESSION_BUS_ADDRESS (a unix:path= or abstract= one).
"""
import os
import socket
import struct
import sys


def pad(data, align):
    return data + b"\0" * (-len(data) % align)


class Writer:
    def __init__(self):
        self.data = bytearray()

    def align(self, n):
        self.data += b"\0" * (-len(self.data) % n)

    def u32(self, value):
        self.align(4)
        self.data += struct.pack("<I", value)

    def string(self, text):
        raw = text.encode() if isinstance(text, str) else text
        self.u32(len(raw))
        self.data += raw + b"\0"

    def signature(self, text):
        self.data += bytes([len(text)]) + text.encode() + b"\0"

    def bytes_array(self, raw):
        self.u32(len(raw))
        self.data += raw

    def array(self, items, element, align):
        self.u32(0)
        at = len(self.data) - 4
        self.align(align)
        start = len(self.data)
        for item in items:
            element(item)
        struct.pack_into("<I", self.data, at, len(self.data) - start)


def message(serial, path, interface, member, destination, signature, body):
    fields = Writer()

    def field(code, kind, write):
        fields.align(8)
        fields.data += bytes([code])
        fields.signature(kind)
        write(fields)

    field(1, "o", lambda w: w.string(path))
    if interface:
        field(2, "s", lambda w: w.string(interface))
    field(3, "s", lambda w: w.string(member))
    if destination:
        field(6, "s", lambda w: w.string(destination))
    if signature:
        field(8, "g", lambda w: w.signature(signature))
    head = struct.pack("<cBBBII", b"l", 1, 0, 1, len(body), serial)
    head += struct.pack("<I", len(fields.data)) + bytes(fields.data)
    return pad(head, 8) + body


def connect():
    address = os.environ["DBUS_SESSION_BUS_ADDRESS"].split(";")[0]
    kind, _, rest = address.partition(":")
    options = dict(part.split("=", 1) for part in rest.split(","))
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    if "path" in options:
        sock.connect(options["path"])
    else:
        sock.connect("\0" + options["abstract"])
    uid = str(os.getuid()).encode().hex()
    sock.sendall(b"\0AUTH EXTERNAL " + uid.encode() + b"\r\n")
    if not sock.recv(4096).startswith(b"OK"):
        sys.exit("bus_peer: the bus refused us")
    sock.sendall(b"BEGIN\r\n")
    return sock


def read_exact(sock, count):
    data = bytearray()
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return bytes(data)


def read_message(sock):
    head = read_exact(sock, 16)
    kind = head[1]
    body_length, _, fields_length = struct.unpack("<III", head[4:16])
    rest = read_exact(sock, fields_length + (-(16 + fields_length) % 8) + body_length)
    fields = rest[:fields_length]
    reply_serial = None
    error = ""
    at = 0
    while at < len(fields):
        at += -at % 8
        code = fields[at]
        sig_len = fields[at + 1]
        sig = fields[at + 2:at + 2 + sig_len].decode()
        at += 3 + sig_len
        if sig in ("u",):
            at += -at % 4
            value = struct.unpack("<I", fields[at:at + 4])[0]
            at += 4
        elif sig in ("s", "o"):
            at += -at % 4
            n = struct.unpack("<I", fields[at:at + 4])[0]
            value = fields[at + 4:at + 4 + n].decode(errors="replace")
            at += 5 + n
        else:  # g
            n = fields[at]
            value = fields[at + 1:at + 1 + n].decode()
            at += 2 + n
        if code == 5:
            reply_serial = value
        if code == 4:
            error = value
    return kind, reply_serial, error


def call(sock, serial, *args):
    sock.sendall(message(serial, *args))
    while True:
        kind, reply_serial, error = read_message(sock)
        if reply_serial == serial and kind in (2, 3):
            return "return" if kind == 2 else "error " + error


def main():
    what, dest = sys.argv[1], sys.argv[2]
    sock = connect()
    call(sock, 1, "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello",
         "org.freedesktop.DBus", "", b"")
    body = Writer()
    if what == "event":
        body.string("kqKS")
        body.string("TEXT")
        body.bytes_array(b"x" * int(sys.argv[3]))
        args = ("/org/kestrune/Events", "org.kestrune.Events", "Event", dest, "ssay")
    else:
        count, length = int(sys.argv[3]), int(sys.argv[4])
        items = [b"/" + b"p" * max(length - 8, 1) + b".kedata"] * count
        items += [os.fsencode(p) for p in sys.argv[5:]]
        if what == "paths":
            body.array(items, body.bytes_array, 4)
            args = ("/org/kestrune/Kestrune", "org.kestrune.Kestrune", "OpenDocumentFiles",
                    dest, "aay")
        else:
            body.array(items, body.string, 4)
            args = ("/org/kestrune/Kestrune", "org.kestrune.Kestrune", "OpenDocuments",
                    dest, "as")
    sock.settimeout(30)
    try:
        print(call(sock, 2, *args, bytes(body.data)))
    except (EOFError, OSError):
        print("none")


if __name__ == "__main__":
    main()
