"""A network label printer (4 x 6 in, 203 dpi, IPP Everywhere) on
127.0.0.1:PORT whose printer ipp://127.0.0.1:PORT/ipp/print/ANSWER answers
as ANSWERS says: absurd resolutions, sizes or margins, ten thousand media
names, hostile texts, an answer cut off halfway, none at all, or only the
first. It takes jobs and keeps nothing of them. It counts the requests each
printer gets, as each comes in: a GET on a printer's path answers how many
it got so far. Standard library only.

    hostile_printer.py

It listens on a port the system gives it, and once it does, prints PORT.
"""
import collections
import http.server
import struct
import threading
import unicodedata

TEXT, NAME, KEYWORD, URI, CHARSET, LANGUAGE, MIME = 0x41, 0x42, 0x44, 0x45, 0x47, 0x48, 0x49
INTEGER, BOOLEAN, ENUM, RESOLUTION, COLLECTION = 0x21, 0x22, 0x23, 0x32, 0x34


def attribute(name, tag, values):
    """One attribute, each value as IPP encodes it; a collection is a dict."""
    out = []
    for i, v in enumerate(values if isinstance(values, list) else [values]):
        key = name.encode() if i == 0 else b""
        if isinstance(v, dict):
            out.append(struct.pack(">bH", COLLECTION, len(key)) + key + b"\0\0")
            for member, (mtag, mvalue) in v.items():
                out.append(struct.pack(">bHH", 0x4A, 0, len(member)) + member.encode())
                out.append(attribute("", mtag, mvalue))
            out.append(b"\x37\0\0\0\0")
            continue
        data = (struct.pack(">i", v) if tag in (INTEGER, ENUM) else bytes([v]) if tag == BOOLEAN
                else struct.pack(">iib", v, v, 3) if tag == RESOLUTION  # 3: per inch
                else v if isinstance(v, bytes) else v.encode())
        out.append(struct.pack(">bH", tag, len(key)) + key + struct.pack(">H", len(data)) + data)
    return b"".join(out)


def media(width, length, margins=(0, 0, 0, 0)):
    col = {"media-size": (COLLECTION, {"x-dimension": (INTEGER, width), "y-dimension": (INTEGER, length)})}
    for side, m in zip(("bottom", "left", "right", "top"), margins):
        col[f"media-{side}-margin"] = (INTEGER, m)
    return col


SANE = {
    "printer-state": (ENUM, 3),
    "printer-state-reasons": (KEYWORD, "none"),
    "printer-is-accepting-jobs": (BOOLEAN, 1),
    "operations-supported": (ENUM, [2, 4, 5, 6, 8, 9, 10, 11]),
    "charset-supported": (CHARSET, "utf-8"),
    "ipp-versions-supported": (KEYWORD, ["1.1", "2.0"]),
    # PDF too: CUPS 2.4.10 makes no queue for a printer of PWG raster alone.
    "document-format-supported": (MIME, ["application/octet-stream", "application/pdf", "image/pwg-raster"]),
    "pwg-raster-document-resolution-supported": (RESOLUTION, 203),
    "pwg-raster-document-type-supported": (KEYWORD, "black_1"),
    "printer-resolution-default": (RESOLUTION, 203),
    "printer-resolution-supported": (RESOLUTION, 203),
    "media-supported": (KEYWORD, "na_index-4x6_4x6in"),
    "media-col-default": (COLLECTION, media(10160, 15240)),
    "media-col-database": (COLLECTION, [media(10160, 15240)]),
}
# Markup, control characters, a right-to-left override, and the most
# octets an IPP text holds (1,023).
HOSTILE = ('<b>Out of labels</b> <a href="https://example.invalid/fix">Fix it here</a> '
           '<img src="file:///usr/share/pixmaps/debian-logo.png">\x01\x1b[31m\u202eslebal\u202c ' + "x" * 1023)
HOSTILE = HOSTILE.encode()[:1023]
# Every format character Python's Unicode data knows, each between two
# Arabic letters; and a name that shows nothing.
INVISIBLE = "\u0628" + "\u0628".join(chr(c) for c in range(0x110000) if unicodedata.category(chr(c)) == "Cf")
INVISIBLE_NAME = "\u200b\u200c\u200d\u200e\u2060\u2066\ufeff\U000e0001" * 4
BIG = 2**31 - 1
ANSWERS = {
    "sane": {},
    **{f"dpi-{name}": {"printer-resolution-default": (RESOLUTION, dpi),
                       "printer-resolution-supported": (RESOLUTION, dpi)}
       for name, dpi in (("zero", 0), ("negative", -203), ("huge", BIG))},
    # 4 x 8 in labels too, which the queue made while it answered sanely does not know.
    **{f"size-{name}": {"media-col-default": (COLLECTION, media(*size)),
                        "media-col-database": (COLLECTION, [media(10160, 15240), media(10160, 20320)])}
       for name, size in (("zero", (0, 0)), ("negative", (-10160, -15240)), ("huge", (BIG, BIG)))},
    "margins-past-media": {"media-col-default": (COLLECTION, media(10160, 15240, (9000, 6000, 6000, 9000)))},
    "ten-thousand-names": {"media-supported": (KEYWORD, [f"x_label-{i}_{i}x{i}mm" for i in range(1, 10001)])},
    # Out of labels, keeping every job it is sent.
    "hostile-texts": {"printer-make-and-model": (TEXT, HOSTILE), "printer-state-message": (TEXT, HOSTILE),
                      "printer-state-reasons": (KEYWORD, "media-empty-error")},
    "invisible-texts": {"printer-name": (NAME, INVISIBLE_NAME), "printer-state-message": (TEXT, INVISIBLE + "\u0628"),
                        "printer-state-reasons": (KEYWORD, "media-empty-error")},
}
stop = threading.Event()
answered = set()  # the paths of silent-after-first that had their answer
requests = collections.Counter()  # per path, each counted as it comes in
counting = threading.Lock()


class Printer(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with counting:
            count = f"{requests[self.path]}\n".encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(count)))
        self.end_headers()
        self.wfile.write(count)

    def do_POST(self):
        with counting:
            requests[self.path] += 1
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            request = b""
            while (size := int(self.rfile.readline().split(b";")[0], 16)) > 0:
                request += self.rfile.read(size)
                self.rfile.readline()  # the chunk's end of line
            self.rfile.readline()
        else:
            request = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        answer = self.path.rsplit("/", 1)[-1]
        if answer == "silent" or (answer == "silent-after-first" and self.path in answered):
            stop.wait(120)
            return
        answered.add(self.path)
        operation, request_id = struct.unpack(">HI", request[2:8])
        attrs = {**SANE, **ANSWERS.get(answer, {})}
        reply = [request[:2], struct.pack(">HI", 0, request_id), b"\x01",
                 attribute("attributes-charset", CHARSET, "utf-8"),
                 attribute("attributes-natural-language", LANGUAGE, "en")]
        if operation == 0x0B:  # Get-Printer-Attributes
            uri = f"ipp://127.0.0.1:{self.server.server_port}{self.path}"
            reply += [b"\x04", attribute("printer-uri-supported", URI, uri)]
            reply += [attribute(n, t, v) for n, (t, v) in attrs.items()]
        elif operation in (0x02, 0x05, 0x06, 0x09):  # its jobs: printed, or kept
            kept = attrs["printer-state-reasons"][1] != "none"
            reply += [b"\x02", attribute("job-id", INTEGER, 1), attribute("job-state", ENUM, 5 if kept else 9)]
        reply = b"".join(reply) + b"\x03"
        self.send_response(200)
        self.send_header("Content-Type", "application/ipp")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        if answer == "cut-off":  # the first half, then the connection closes
            self.wfile.write(reply[: len(reply) // 2])
            self.close_connection = True
        else:
            self.wfile.write(reply)


if __name__ == "__main__":
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Printer)
    server.daemon_threads = True
    print(server.server_port, flush=True)
    try:
        server.serve_forever()
    finally:
        stop.set()
