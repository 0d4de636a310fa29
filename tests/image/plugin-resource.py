"""Writes a copy of an image container whose plug-in resources (type KQPl)
are damaged in one chosen way, re-framing the members so that the rest of
the container stays valid:

    plugin-resource.py MODE IN.kq OUT.kq

MODE is one of
    missing     the plug-in resources are left out
    truncated   each library is cut to a tenth of its length
    bad-header  the library's ELF identification is overwritten
    bad-name    the file name's length byte is 0
    no-entry    the name of the entry function in the library's dynamic
                symbols (the first place that names it) is changed, so that
                the installed library loads but has no entry function
"""

import struct
import sys

MEMBER_COUNT = 6
RSRC = 4  # code, data, import, symbols, rsrc, options
HEADER = struct.Struct("<4sHII")  # type, id, reserved, payload length
PLUGIN = b"lPQK"  # "KQPl" as its little-endian 32-bit value is stored


def split_members(blob):
    members, at = [], 0
    for _ in range(MEMBER_COUNT):
        (length,) = struct.unpack_from("<I", blob, at)
        at += 4
        if at + length > len(blob):
            raise SystemExit("not a container: a member runs past the end")
        members.append(blob[at:at + length])
        at += length
    return members


def resources(rsrc):
    at = 0
    while at < len(rsrc):
        kind, ident, _, length = HEADER.unpack_from(rsrc, at)
        start = at + HEADER.size
        yield kind, ident, rsrc[start:start + length]
        at = start + length


def damage(mode, payload):
    name_length = payload[0]
    name, library = payload[1:1 + name_length], payload[1 + name_length:]
    if mode == "truncated":
        library = library[:len(library) // 10]
    elif mode == "bad-header":
        library = b"\x7fKQX" + bytes(12) + library[16:]
    elif mode == "no-entry":
        if b"KESTPluginMain\0" not in library:
            raise SystemExit("the library does not name its entry function")
        library = library.replace(b"KESTPluginMain\0", b"KESTPluginMaiX\0", 1)
    elif mode == "bad-name":
        return b"\x00" + name + library
    return bytes([name_length]) + name + library


def main():
    mode, source, target = sys.argv[1:4]
    if mode not in ("missing", "truncated", "bad-header", "bad-name", "no-entry"):
        raise SystemExit("unknown mode " + mode)
    with open(source, "rb") as f:
        members = split_members(f.read())
    rsrc, found = bytearray(), 0
    for kind, ident, payload in resources(members[RSRC]):
        if kind == PLUGIN:
            found += 1
            if mode == "missing":
                continue
            payload = damage(mode, payload)
        rsrc += HEADER.pack(kind, ident, 0, len(payload)) + payload
    if found == 0:
        raise SystemExit(source + " carries no plug-in resource")
    members[RSRC] = bytes(rsrc)
    with open(target, "wb") as f:
        for member in members:
            f.write(struct.pack("<I", len(member)) + member)


main()
