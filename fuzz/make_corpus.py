#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_reply: small valid and broken replies.

Run from anywhere; the files go to corpus/fuzz_reply beside this script.
The replies echo the session id fuzz_reply.cpp installs.
"""
import pathlib
import struct

SESSION = bytes([0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80])
DEVICE = bytes(range(1, 9))
OUT = pathlib.Path(__file__).resolve().parent / "corpus" / "fuzz_reply"

NAME, DHCP, IP, NETMASK, GATEWAY, DNS1, DNS2 = 504, 505, 506, 507, 508, 509, 510
IDENT_SHORT, IDENT_LONG, MODEL, LAN_INDEX = 525, 526, 527, 529
NUMBER_A, NUMBER_B, ACTIVE_LAN, SHORT_TEXT, LAN_OPTION = 530, 531, 535, 536, 538


def record(kind, text):
    value = text.encode()
    if value:
        value += b"\0" * (4 - len(value) % 4)
    return struct.pack("<hh", kind, 4 + len(value)) + value


def raw(kind, length, value=b""):
    return struct.pack("<hh", kind, length) + value


def reply(opcode, payload=b"", status=1, magic=0xAA55, session=SESSION, length=None):
    header = struct.pack("<HHHH", magic, opcode, status, 0) + session + DEVICE + bytes(18)
    header += struct.pack("<H", len(payload) if length is None else length)
    return header + payload


def two_ports():
    return (record(MODEL, "KVR-620") + record(NAME, "Gate") + record(NUMBER_A, "3")
            + record(NUMBER_B, "-1") + record(SHORT_TEXT, "abc") + record(ACTIVE_LAN, "1")
            + record(LAN_INDEX, "0") + record(IP, "192.168.0.50") + record(DHCP, "0")
            + record(NETMASK, "255.255.255.0") + record(LAN_OPTION, "1")
            + record(LAN_INDEX, "1") + record(IP, "10.0.0.50") + record(GATEWAY, "10.0.0.1")
            + record(DNS1, "10.0.0.53") + record(DNS2, "10.0.0.54"))


SEEDS = {
    "discover_two_ports": reply(101, two_ports()),
    "discover_one_port": reply(101, record(MODEL, "KVR-610L") + record(NAME, "Yard")
                               + record(LAN_INDEX, "0") + record(IP, "192.168.1.9")),
    "discover_unsupported": reply(101, record(MODEL, "kvr-620") + record(NAME, "x")),
    "discover_lan_index_5": reply(101, record(MODEL, "KVR-620") + record(LAN_INDEX, "5")
                                  + record(IP, "6.6.6.6")),
    "discover_long_name": reply(101, record(MODEL, "KVR-620") + record(NAME, "N" * 300)),
    "record_length_2": reply(101, record(MODEL, "KVR-620") + raw(NAME, 2, b"ab")),
    "record_past_end": reply(101, record(MODEL, "KVR-620") + raw(NAME, 400, b"abcd")),
    "volumes": reply(164, record(999, "Volume_1:Volume_2:Volume_1")),
    "volumes_colons": reply(164, record(NAME, "::Volume_1:")),
    "volumes_empty_first": reply(164, raw(NAME, 4) + record(NAME, "Volume_9")),
    "identity": reply(123, record(NAME, "Gate") + record(IDENT_SHORT, "gate-01")
                      + record(IDENT_LONG, "L" * 600)),
    "login_refused": reply(102, status=0),
    "wrong_session": reply(102, session=bytes(8)),
    "request_magic": reply(101, record(MODEL, "KVR-620"), magic=0x55AA),
    "length_mismatch": reply(101, record(MODEL, "KVR-620"), length=3),
    "short": reply(102)[:20],
}


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for name, data in SEEDS.items():
        (OUT / name).write_bytes(data)
    print(f"wrote {len(SEEDS)} seeds to {OUT}")


if __name__ == "__main__":
    main()
