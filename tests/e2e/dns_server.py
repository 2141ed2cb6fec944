#!/usr/bin/env python3
"""A tiny DNS server for the end-to-end tests, run on 127.0.0.1:53 inside the test's own network
namespace. Each query is answered as the first word of MODE_FILE says at that moment:

  answer   A queries get 127.0.0.1 for every name, except names that start with "nosuch",
           which get "no such name" (NXDOMAIN); AAAA queries of names that start with "dual"
           get ::1; other query types get an empty answer
  silent   nothing is sent back
  nxdomain every name gets "no such name"
  roundrobin as answer, but the address is 127.0.0.2 and 127.0.0.3 in turn, query by query, as a
           name served round-robin
  rotate   as answer, but A queries get 127.0.0.2, 127.0.0.3 and 127.0.0.4, each answer starting
           one further on, as a name served round-robin with several addresses

Each query is logged as "name type" in MODE_FILE.queries.

  dns_server.py MODE_FILE [PORT]
"""
import socket
import struct
import sys

LOOPBACK = bytes([127, 0, 0, 1])
ROUND_ROBIN = [bytes([127, 0, 0, 2]), bytes([127, 0, 0, 3])]
ROTATED = [bytes([127, 0, 0, n]) for n in (2, 3, 4)]
TYPE_A = 1
TYPE_AAAA = 28
RCODE_NXDOMAIN = 3


def question_end(packet):
    """Offset just past the first question (name, type, class), or None if malformed."""
    offset = 12
    while offset < len(packet):
        length = packet[offset]
        if length == 0:
            end = offset + 1 + 4
            return end if end <= len(packet) else None
        if length & 0xC0:
            return None
        offset += 1 + length
    return None


def question_name(packet, end):
    labels, offset = [], 12
    while packet[offset] != 0:
        length = packet[offset]
        labels.append(packet[offset + 1:offset + 1 + length].decode("ascii", "replace"))
        offset += 1 + length
    return ".".join(labels).lower()


def log_query(packet, path):
    end = question_end(packet) if len(packet) >= 12 else None
    if end is not None:
        qtype = struct.unpack("!H", packet[end - 4:end - 2])[0]
        with open(path, "a") as log:
            log.write("%s %s\n" % (question_name(packet, end), {TYPE_A: "A", TYPE_AAAA: "AAAA"}.get(qtype, qtype)))


def reply(packet, mode, serial):
    """The response to one query, or None; serial counts the A queries answered before."""
    if len(packet) < 12:
        return None
    end = question_end(packet)
    if end is None:
        return None
    ident, flags = struct.unpack("!HH", packet[:4])
    name = question_name(packet, end)
    qtype = struct.unpack("!H", packet[end - 4:end - 2])[0]
    missing = mode == "nxdomain" or name.startswith("nosuch")
    answers = b""
    count = 0
    if not missing and qtype == TYPE_A:
        # The name by pointer to the question, type A, class IN, 60 s, 4 bytes of address.
        addresses = [ROUND_ROBIN[serial % 2] if mode == "roundrobin" else LOOPBACK]
        if mode == "rotate":
            addresses = ROTATED[serial % 3:] + ROTATED[:serial % 3]
        answers = b"".join(struct.pack("!HHHIH", 0xC00C, TYPE_A, 1, 60, 4) + a for a in addresses)
        count = len(addresses)
    elif not missing and qtype == TYPE_AAAA and name.startswith("dual"):
        answers = struct.pack("!HHHIH", 0xC00C, TYPE_AAAA, 1, 60, 16) + bytes(15) + b"\x01"
        count = 1
    rcode = RCODE_NXDOMAIN if missing else 0
    # A response to a recursive query: QR, the opcode and RD copied, RA, the code.
    out_flags = 0x8000 | (flags & 0x7900) | 0x0080 | rcode
    header = struct.pack("!HHHHHH", ident, out_flags, 1, count, 0, 0)
    return header + packet[12:end] + answers


def main():
    mode_file = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 53
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.bind(("127.0.0.1", port))
    serial = 0
    while True:
        packet, sender = server.recvfrom(4096)
        log_query(packet, mode_file + ".queries")
        try:
            with open(mode_file) as f:
                mode = (f.read().split() or ["answer"])[0]
        except OSError:
            mode = "answer"
        if mode == "silent":
            continue
        out = reply(packet, mode, serial)
        if out is not None and out[7] > 0:  # an answer given
            serial += 1
        if out is not None:
            server.sendto(out, sender)


if __name__ == "__main__":
    main()
