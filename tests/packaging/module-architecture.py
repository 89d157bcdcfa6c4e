#!/usr/bin/env python3
"""Prints what a Windows module is built for, read from its bytes alone: the PE header's machine and
the entry-point properties of its property list (resource PIPL 16000), as

    machine 0xAA64 entry wa64=AutoPluginMain

one "entry KEY=NAME" per entry-point property found (a module made for one architecture has one).
Fails with a message when the file is no PE module or has no readable property list.
    module-architecture.py MODULE
"""
import struct
import sys

PIPL_ID = 16000
# The properties that name the entry point, one per architecture a host may run as.
ENTRY_KEYS = {"8664", "wa64", "wx86"}


class NotAModule(Exception):
    pass


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def read_pe(data):
    if data[:2] != b"MZ":
        raise NotAModule("no MZ header")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotAModule("no PE signature")
    machine = u16(data, pe + 4)
    sections = u16(data, pe + 6)
    optional = pe + 24
    optional_size = u16(data, pe + 20)
    magic = u16(data, optional)
    if magic != 0x20B:
        raise NotAModule("not a 64-bit module (optional header magic 0x%X)" % magic)
    directories = u32(data, optional + 108)
    if directories <= 2:
        raise NotAModule("no resource directory entry")
    resource_rva = u32(data, optional + 112 + 2 * 8)
    table = optional + optional_size
    section_list = []
    for index in range(sections):
        header = table + 40 * index
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, header + 8)
        section_list.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def offset_of(rva):
        for address, size, raw in section_list:
            if address <= rva < address + size:
                return raw + rva - address
        raise NotAModule("RVA 0x%X lies in no section" % rva)

    return machine, resource_rva, offset_of


def resource_entries(data, base, directory):
    """(name or id, is_directory, offset) of each entry of a resource directory."""
    named, numbered = u16(data, directory + 12), u16(data, directory + 14)
    for index in range(named + numbered):
        entry = directory + 16 + 8 * index
        name, target = u32(data, entry), u32(data, entry + 4)
        if name & 0x80000000:
            text = base + (name & 0x7FFFFFFF)
            length = u16(data, text)
            key = data[text + 2:text + 2 + 2 * length].decode("utf-16-le").upper()
        else:
            key = name
        yield key, bool(target & 0x80000000), base + (target & 0x7FFFFFFF)


def pipl_bytes(data):
    machine, resource_rva, offset_of = read_pe(data)
    if resource_rva == 0:
        raise NotAModule("no resources")
    base = offset_of(resource_rva)
    types = {key: (is_dir, at) for key, is_dir, at in resource_entries(data, base, base)}
    if "PIPL" not in types or not types["PIPL"][0]:
        raise NotAModule("no PIPL resources")
    ids = {key: (is_dir, at) for key, is_dir, at in resource_entries(data, base, types["PIPL"][1])}
    if PIPL_ID not in ids or not ids[PIPL_ID][0]:
        raise NotAModule("no PIPL %d" % PIPL_ID)
    languages = list(resource_entries(data, base, ids[PIPL_ID][1]))
    if len(languages) != 1 or languages[0][1]:
        raise NotAModule("PIPL %d is not one resource" % PIPL_ID)
    leaf = languages[0][2]
    rva, size = u32(data, leaf), u32(data, leaf + 4)
    start = offset_of(rva)
    return machine, data[start:start + size]


def entry_points(pipl):
    if len(pipl) < 10 or struct.unpack_from("<h", pipl, 0)[0] != 1:
        raise NotAModule("the property list does not begin with 1")
    count = struct.unpack_from("<i", pipl, 6)[0]
    at = 10
    found = []
    for _ in range(count):
        if at + 16 > len(pipl):
            raise NotAModule("the property list ends inside a property")
        vendor, key, _, length = struct.unpack_from("<IIiI", pipl, at)
        # OSTypes are stored as little-endian numbers: 'wa64' is the number 0x77613634.
        key_text = struct.pack(">I", key).decode("latin-1")
        value = pipl[at + 16:at + 16 + length]
        if key_text in ENTRY_KEYS:
            found.append((key_text, value.split(b"\0", 1)[0].decode("latin-1")))
        at += 16 + (length + 3) // 4 * 4
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: module-architecture.py MODULE")
    with open(sys.argv[1], "rb") as module:
        data = module.read()
    try:
        machine, pipl = pipl_bytes(data)
        entries = entry_points(pipl)
    except (NotAModule, struct.error, UnicodeDecodeError) as fault:
        sys.exit("%s: %s" % (sys.argv[1], fault))
    print("machine 0x%04X" % machine + "".join(" entry %s=%s" % entry for entry in entries))


if __name__ == "__main__":
    main()
