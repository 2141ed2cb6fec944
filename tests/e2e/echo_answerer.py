#!/usr/bin/env python3
"""A slow echo answerer for the end-to-end tests, run inside the test's own network namespace
with the kernel's own echo replies off (net.ipv4.icmp_echo_ignore_all=1). It reads the echo
requests sent to any 127.x address and answers each after DELAY_MS, from the address the request
went to, as a host behind a slower link would.

  echo_answerer.py DELAY_MS
"""
import socket
import struct
import sys
import threading

ICMP_ECHO_REQUEST = 8
ICMP_ECHO_REPLY = 0


def checksum(data):
    if len(data) % 2:
        data += b"\0"
    total = sum(struct.unpack("!%dH" % (len(data) // 2), data))
    total = (total >> 16) + (total & 0xFFFF)
    total += total >> 16
    return ~total & 0xFFFF


def answer(sender, request_ip, message):
    """Sends the reply to one request: its message with type 0, from its destination."""
    source, destination = request_ip[16:20], request_ip[12:16]
    reply = bytes([ICMP_ECHO_REPLY, 0, 0, 0]) + message[4:]
    reply = reply[:2] + struct.pack("!H", checksum(reply)) + reply[4:]
    header = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 20 + len(reply), 0, 0, 64, socket.IPPROTO_ICMP,
                         0, source, destination)
    header = header[:10] + struct.pack("!H", checksum(header)) + header[12:]
    sender.sendto(header + reply, (socket.inet_ntoa(destination), 0))


def main():
    delay = int(sys.argv[1]) / 1000.0
    listener = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)
    sender = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_RAW)
    while True:
        datagram, _ = listener.recvfrom(4096)
        header_size = (datagram[0] & 0x0F) * 4
        message = datagram[header_size:]
        if len(message) < 8 or message[0] != ICMP_ECHO_REQUEST:
            continue
        threading.Timer(delay, answer, (sender, datagram[:20], message)).start()


if __name__ == "__main__":
    main()
