#!/usr/bin/env python3
"""The least update server the window tests need: on 127.0.0.1:PORT it
answers the assistant's connection test ("Internet Connection Test") with a
small storage file, and every other file as not found, so the program's
server status turns to reachable and no "Could Not Connect" message covers
the main page while a test runs. It ends when the shell that started it ends."""
import os
import socket
import struct
import sys

NAME = b"Internet Connection Test"
FILE = b"\x02" + NAME + b"\x00\x00Test\x001.00\x00\x00\x03ok"


def reply(content, sequence):
    body = content + struct.pack("<H", sequence)
    return struct.pack("<I", 0x91237483) + body + struct.pack("<H", sum(body) & 0xFFFF)


def answer(request):
    if len(request) < 4 + 33 + 4 or struct.unpack("<I", request[:4])[0] != 0x91237481:
        return None
    payload, sequence = request[4:-4], struct.unpack("<H", request[-4:-2])[0]
    name = payload[1:33].split(b"\x00")[0]
    found = name == NAME
    if payload[0] == 0x14:
        info = bytes([1 if found else 0]) + payload[1:33] + b"1.00".ljust(7, b"\x00")
        return reply(info + struct.pack("<I", len(FILE) if found else 0), sequence)
    if payload[0] == 0x15 and len(payload) >= 46:
        offset, count = struct.unpack("<IH", payload[40:46])
        data = FILE[offset:offset + count].ljust(count, b"\x00") if found else b""
        return reply(bytes([1 if found else 0, 0]) + data, sequence)
    return None


def main():
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", int(sys.argv[1])))
    s.settimeout(0.5)
    parent = os.getppid()
    while os.getppid() == parent:
        try:
            request, sender = s.recvfrom(2048)
        except socket.timeout:
            continue
        out = answer(request)
        if out:
            s.sendto(out, sender)


if __name__ == "__main__":
    main()
