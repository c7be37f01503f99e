#!/usr/bin/env python3
# Writes the link fuzzer's seed corpus (fuzz/corpus/): valid exchanges in the fuzzer's input form,
# a control byte and then arrivals, each a length byte and its bytes; and the traffic fuzzer's
# (fuzz/traffic_corpus/): runs, each a direction byte, a length byte and its bytes; the telnet
# fuzzer's (fuzz/telnet_corpus/) and the port-URL fuzzer's (fuzz/port_url_corpus/). Run from anywhere.
import os

HERE = os.path.dirname(os.path.abspath(__file__))
LX, IDENT = 0x00, 0x80  # control: one X reading, or one identification query
SYN, ACK, DC1, NAK = 0x16, 0x06, 0x11, 0x15


def commands(n):
    return n - 1


def block(data, last=True, error=(0, 0)):
    flags = error[1] if error[0] else (0x01 if last else 0x00)
    head = [0x02, 0x00, 0x14, 0x00, error[0], flags, 0x00, 0x00, 0x00, len(data) & 0xFF, len(data) >> 8]
    return bytes(head) + data + b"\x5a"


def seed(control, *arrivals):
    out = bytes([control])
    for a in arrivals:
        a = bytes(a)
        while len(a) > 255:
            out += bytes([255]) + a[:255]
            a = a[255:]
        out += bytes([len(a)]) + a
    return out


SEEDS = {
    # The first X reading of a link, as in the example exchange: sequence 5, an empty last block.
    "x-reading": seed(LX, [SYN, 5], [ACK], block(b"")),
    "identification": seed(IDENT, [SYN, 0], [ACK], block(b"MODELO-X|")),
    "two-blocks": seed(IDENT, [SYN, 0], [ACK], block(b"A|", last=False), block(b"B|")),
    "block-right-after-ack": seed(LX, [SYN, 9], bytes([ACK]) + block(b"0|")),
    "busy-syn": seed(commands(2) | LX, [DC1, 1, 2], [SYN, 0], [ACK], block(b"")),
    "busy-frame": seed(LX, [SYN, 0], [DC1, 0, 1], [ACK], block(b"")),
    "refused": seed(LX, [SYN, 0], [NAK, 1, 1]),
    "refused-split": seed(LX, [SYN, 0], [NAK], [], [2, 4]),
    "garbage": seed(LX, [SYN, 0], [0x41]),
    "silent": seed(LX, [SYN, 0]),
    "busy-enq": seed(LX, [SYN, 0], [ACK], [DC1, 2, 5, 0, 0, 0], block(b"")),
    "header-error": seed(LX, [SYN, 0], [ACK], block(b"", error=(5, 1))),
    "split-block": seed(IDENT, [SYN, 0], [ACK], block(b"0123456789|" * 3)[:20], [], block(b"0123456789|" * 3)[20:]),
    "truncated-block": seed(LX, [SYN, 0], [ACK], block(b"xyz")[:12]),
    "three-commands": seed(commands(3) | IDENT, [SYN, 7], [ACK], block(b"A|"), [ACK], block(b"B|"), [ACK],
                           block(b"C|")),
    "failed-write": seed(commands(2) | (2 << 2) | LX, [SYN, 0], [ACK], block(b"")),
    "port-gone": seed(commands(2) | 0x40 | LX, [SYN, 0], [ACK], block(b"")),
}

SENT, RECEIVED, NOTE = 0, 1, 2
FRAME = bytes([0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7])


def runs(*pairs):
    out = b""
    for direction, data in pairs:
        data = bytes(data)
        while len(data) > 255:
            out += bytes([direction, 255]) + data[:255]
            data = data[255:]
        out += bytes([direction, len(data)]) + data
    return out


TRAFFIC_SEEDS = {
    "x-reading": runs((NOTE, b"Conectado"), (SENT, [SYN]), (RECEIVED, [SYN, 5]), (SENT, FRAME), (RECEIVED, [ACK]),
                      (SENT, [0x05, 0x00]), (RECEIVED, block(b"0|")[:6]), (RECEIVED, block(b"0|")[6:11]),
                      (RECEIVED, block(b"0|")[11:])),
    "refused-and-busy": runs((SENT, [SYN]), (RECEIVED, [DC1, 1, 2]), (SENT, [SYN]), (RECEIVED, [SYN, 0]),
                             (SENT, FRAME), (RECEIVED, [NAK, 1, 1]), (SENT, FRAME), (RECEIVED, [ACK]),
                             (SENT, [0x05, 0x00]), (RECEIVED, [DC1, 2, 5, 0, 0, 0]), (RECEIVED, block(b"A|"))),
    "split-block": runs((SENT, FRAME), (RECEIVED, bytes([ACK]) + block(b"0123456789|" * 40)[:200]),
                        (RECEIVED, block(b"0123456789|" * 40)[200:]), (SENT, FRAME), (RECEIVED, [0x41])),
}

IAC, SB, SE, WILL, DO, COM_PORT = 0xFF, 0xFA, 0xF0, 0xFB, 0xFD, 44
# The telnet fuzzer's: a byte for the pieces' size, then what a server sends.
TELNET_SEEDS = {
    "server-opening": bytes([3, IAC, WILL, 0, IAC, DO, 0, IAC, WILL, 3, IAC, DO, COM_PORT,
                             IAC, SB, COM_PORT, 101, 0, 1, 0xC2, 0, IAC, SE, IAC, SB, COM_PORT, 102, 8, IAC, SE]),
    "answer-with-ff": bytes([2, SYN, IAC, IAC]) + block(bytes([IAC, IAC]) + b"|") + bytes([IAC, 0xF1, ACK]),
}
# The port-URL fuzzer's: names as typed.
URL_SEEDS = {
    "raw": b"socket://loja12:3001",
    "rfc2217-v6": b"rfc2217://[fe80::1]:7000",
    "no-port": b"socket://loja12",
}


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write(os.path.join(HERE, "corpus"), SEEDS)
    write(os.path.join(HERE, "traffic_corpus"), TRAFFIC_SEEDS)
    write(os.path.join(HERE, "telnet_corpus"), TELNET_SEEDS)
    write(os.path.join(HERE, "port_url_corpus"), URL_SEEDS)
