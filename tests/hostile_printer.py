"""A network printer that answers what the tests choose: an IPP Everywhere
label printer (4 x 6 in labels, 203 dpi) on 127.0.0.1:PORT whose answers to
ipp://127.0.0.1:PORT/ipp/print/ANSWER are the sane ones but for what ANSWER
changes (see ANSWERS): absurd resolutions, sizes and margins, ten thousand
media names, hostile texts, an answer cut off halfway, or none at all.

    hostile_printer.py PORT

It takes jobs (and keeps nothing of them) and runs until it is stopped.
Only the standard library: the IPP encoding is written out here.
"""
import http.server
import struct
import sys
import threading

TEXT, NAME, KEYWORD, URI, CHARSET, LANGUAGE, MIME = 0x41, 0x42, 0x44, 0x45, 0x47, 0x48, 0x49
INTEGER, BOOLEAN, ENUM, RESOLUTION, RANGE = 0x21, 0x22, 0x23, 0x32, 0x33
DPI = 3
MAX_INT = 2**31 - 1


def value(tag, v):
    if tag in (INTEGER, ENUM):
        return struct.pack(">i", v)
    if tag == BOOLEAN:
        return bytes([v])
    if tag == RESOLUTION:
        return struct.pack(">iib", v, v, DPI)
    if tag == RANGE:
        return struct.pack(">ii", *v)
    return v if isinstance(v, bytes) else v.encode()


def attribute(name, tag, values):
    """One attribute; a collection is a dict of members, its values a list."""
    out = []
    for i, v in enumerate(values if isinstance(values, list) else [values]):
        key = name.encode() if i == 0 else b""
        if isinstance(v, dict):
            out.append(struct.pack(">bH", 0x34, len(key)) + key + b"\0\0")
            for member, (mtag, mvalues) in v.items():
                out.append(struct.pack(">bHH", 0x4A, 0, len(member)) + member.encode())
                out.append(attribute("", mtag, mvalues))
            out.append(b"\x37\0\0\0\0")
        else:
            data = value(tag, v)
            out.append(struct.pack(">bH", tag, len(key)) + key + struct.pack(">H", len(data)) + data)
    return b"".join(out)


def media(width, length, margins=(0, 0, 0, 0)):
    size = {"x-dimension": (INTEGER, width), "y-dimension": (INTEGER, length)}
    col = {"media-size": (0x34, size)}
    for side, m in zip(("bottom", "left", "right", "top"), margins):
        col[f"media-{side}-margin"] = (INTEGER, m)
    return col


def requested(request):
    """The requested-attributes of an IPP request, or None for all of them."""
    names, at, current = [], 9, b""
    while at + 3 <= len(request) and request[at] != 0x03:
        tag = request[at]
        if tag < 0x10:  # a group begins
            at += 1
            continue
        size = struct.unpack(">H", request[at + 1:at + 3])[0]
        name = request[at + 3:at + 3 + size] or current
        at += 3 + size
        size = struct.unpack(">H", request[at:at + 2])[0]
        if name == b"requested-attributes":
            names.append(request[at + 2:at + 2 + size].decode())
        current, at = name, at + 2 + size
    groups = {"all", "printer-description", "job-template", "media-col-database"}
    return None if not names or groups & set(names) else set(names)


def printer(uri, answer):
    """The printer's attributes: name -> (tag, values)."""
    attrs = {
        "printer-uri-supported": (URI, uri),
        "uri-security-supported": (KEYWORD, "none"),
        "uri-authentication-supported": (KEYWORD, "none"),
        "printer-name": (NAME, "Hostile"),
        "printer-make-and-model": (TEXT, "Test Label Printer"),
        "printer-state": (ENUM, 3),
        "printer-state-reasons": (KEYWORD, "none"),
        "printer-state-message": (TEXT, ""),
        "printer-is-accepting-jobs": (BOOLEAN, 1),
        "operations-supported": (ENUM, [2, 4, 5, 6, 8, 9, 10, 11]),
        "charset-configured": (CHARSET, "utf-8"),
        "charset-supported": (CHARSET, "utf-8"),
        "natural-language-configured": (LANGUAGE, "en"),
        "generated-natural-language-supported": (LANGUAGE, "en"),
        "ipp-versions-supported": (KEYWORD, ["1.1", "2.0"]),
        "document-format-default": (MIME, "application/octet-stream"),
        "document-format-supported": (MIME, ["application/octet-stream", "image/pwg-raster"]),
        "pwg-raster-document-resolution-supported": (RESOLUTION, 203),
        "pwg-raster-document-type-supported": (KEYWORD, "black_1"),
        "printer-resolution-default": (RESOLUTION, 203),
        "printer-resolution-supported": (RESOLUTION, 203),
        "media-default": (KEYWORD, "na_index-4x6_4x6in"),
        "media-supported": (KEYWORD, ["na_index-4x6_4x6in"]),
        "media-col-default": (0x34, media(10160, 15240)),
        "media-col-database": (0x34, [media(10160, 15240)]),
        "media-col-ready": (0x34, [media(10160, 15240)]),
        "media-bottom-margin-supported": (INTEGER, 0),
        "media-left-margin-supported": (INTEGER, 0),
        "media-right-margin-supported": (INTEGER, 0),
        "media-top-margin-supported": (INTEGER, 0),
        "print-color-mode-supported": (KEYWORD, "monochrome"),
        "print-color-mode-default": (KEYWORD, "monochrome"),
        "copies-supported": (RANGE, (1, 1)),
        "sides-supported": (KEYWORD, "one-sided"),
        "printer-up-time": (INTEGER, 1),
    }
    attrs.update(ANSWERS.get(answer, {}))
    return attrs


# The texts: markup, control characters, a right-to-left override, and the
# most octets an IPP text holds (1,023).
HOSTILE = ('<b>Out of labels</b> <a href="https://example.invalid/fix">Fix it here</a> '
           '<img src="file:///usr/share/pixmaps/debian-logo.png">\x01\x1b[31m\u202eslebal\u202c')
HOSTILE = (HOSTILE + " " + "x" * 1023).encode()[:1023]
ANSWERS = {
    "sane": {},
    "dpi-zero": {"printer-resolution-default": (RESOLUTION, 0),
                 "printer-resolution-supported": (RESOLUTION, 0)},
    "dpi-negative": {"printer-resolution-default": (RESOLUTION, -203),
                     "printer-resolution-supported": (RESOLUTION, -203)},
    "dpi-huge": {"printer-resolution-default": (RESOLUTION, MAX_INT),
                 "printer-resolution-supported": (RESOLUTION, MAX_INT)},
    "size-zero": {"media-col-default": (0x34, media(0, 0))},
    "size-negative": {"media-col-default": (0x34, media(-10160, -15240))},
    "size-huge": {"media-col-default": (0x34, media(MAX_INT, MAX_INT))},
    "margins-past-media": {"media-col-default": (0x34, media(10160, 15240, (9000, 6000, 6000, 9000)))},
    "ten-thousand-names": {"media-supported": (KEYWORD, [f"x_label-{i}_{i}x{i}mm" for i in range(1, 10001)])},
    "hostile-texts": {"printer-make-and-model": (TEXT, HOSTILE),
                      "printer-state-message": (TEXT, HOSTILE),
                      "printer-state-reasons": (KEYWORD, "media-empty-error")},
}
stop = threading.Event()


def encoded(uri, answer, made={}):
    """Each printer's attributes as they go out, made once."""
    if uri not in made:
        made[uri] = {n: attribute(n, t, v) for n, (t, v) in printer(uri, answer).items()}
    return made[uri]


class Printer(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def body(self):
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            data = b""
            while (size := int(self.rfile.readline().split(b";")[0], 16)) > 0:
                data += self.rfile.read(size)
                self.rfile.readline()
            self.rfile.readline()
            return data
        return self.rfile.read(int(self.headers.get("Content-Length", 0)))

    def do_POST(self):
        request = self.body()
        answer = self.path.rsplit("/", 1)[-1]
        if answer == "silent":  # never answers
            stop.wait(120)
            return
        operation, request_id = struct.unpack(">HI", request[2:8])
        uri = f"ipp://127.0.0.1:{self.server.server_port}{self.path}"
        reply = request[:2] + struct.pack(">HI", 0, request_id) + b"\x01"
        reply += attribute("attributes-charset", CHARSET, "utf-8")
        reply += attribute("attributes-natural-language", LANGUAGE, "en")
        if operation == 0x0B:  # Get-Printer-Attributes
            asked = requested(request)
            reply += b"\x04" + b"".join(a for n, a in encoded(uri, answer).items() if not asked or n in asked)
        elif operation in (0x02, 0x05, 0x06, 0x09):  # jobs: printed at once, or kept while out of labels
            kept = "media-empty-error" in str(printer(uri, answer)["printer-state-reasons"])
            reply += b"\x02" + attribute("job-id", INTEGER, 1) + attribute("job-uri", URI, uri + "/1")
            reply += attribute("job-state", ENUM, 5 if kept else 9)
            reply += attribute("job-state-reasons", KEYWORD, "job-printing" if kept else "none")
        reply += b"\x03"
        self.send_response(200)
        self.send_header("Content-Type", "application/ipp")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        if answer == "cut-off":  # the first half, then the connection closes
            self.wfile.write(reply[: len(reply) // 2])
            self.close_connection = True
            return
        self.wfile.write(reply)


if __name__ == "__main__":
    for name in ANSWERS:  # before it listens: ten thousand media take a while
        encoded(f"ipp://127.0.0.1:{sys.argv[1]}/ipp/print/{name}", name)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Printer)
    server.daemon_threads = True
    try:
        server.serve_forever()
    finally:
        stop.set()
