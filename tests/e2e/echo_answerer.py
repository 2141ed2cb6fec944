#!/usr/bin/env python3
"""A slow echo answerer for the end-to-end tests, run inside the test's own network namespace
with the kernel's own echo replies off: it answers each echo request to any 127.x address after
DELAY_MS, from the address the request went to, as a host behind a slow link would.

  echo_answerer.py DELAY_MS
"""
import socket
import struct
import sys
import threading


def checksum(data):
    total = sum(struct.unpack("!%dH" % (len(data) // 2), data + b"\0" * (len(data) % 2)))
    total = (total >> 16) + (total & 0xFFFF)
    return ~(total + (total >> 16)) & 0xFFFF


def answer(sender, ip_header, message):
    # Type 0, the request's own code, identifier, sequence and data; the kernel fills in the
    # IP header's length and checksum.
    reply = b"\0\0\0\0" + message[4:]
    reply = reply[:2] + struct.pack("!H", checksum(reply)) + reply[4:]
    source, destination = ip_header[16:20], ip_header[12:16]
    header = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 0, 0, 0, 64, socket.IPPROTO_ICMP, 0, source,
                         destination)
    sender.sendto(header + reply, (socket.inet_ntoa(destination), 0))


def main():
    delay = int(sys.argv[1]) / 1000.0
    listener = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)
    sender = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_RAW)
    while True:
        datagram = listener.recv(4096)
        message = datagram[(datagram[0] & 0x0F) * 4:]
        if len(message) >= 8 and message[0] == 8:  # an echo request
            threading.Timer(delay, answer, (sender, datagram[:20], message)).start()


if __name__ == "__main__":
    main()
