// The application image format, as written by the toolchain (kqc, kqlink) and
// read by the runtime's loader. Plain fixed-width C++ with no dependencies, so
// that the 64-bit host tools and the i386 runtime share one definition.
//
// The container is the contents of the executable's ".kq" section: six
// members, each a little-endian 32-bit length followed by that many bytes, in
// the order of ImageMember, with no padding and no magic number. Every
// multi-byte integer in the container is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kqimage {

// --- the container ----------------------------------------------------------

constexpr char kSectionName[] = ".kq";

enum ImageMember : uint32_t {
    kMemberCode = 0,    // x86 code; the entry point is its first byte
    kMemberData = 1,    // initial contents of the data block
    kMemberImport = 2,  // fix-up records (FixupTag)
    kMemberSymbols = 3, // symbol table; may be empty
    kMemberRsrc = 4,    // resource records; may be empty
    kMemberOptions = 5, // option records (OptionTag); may be empty
    kMemberCount = 6,
};

// Names of the member files that stand in for a missing ".kq" section.
constexpr const char *kMemberFileNames[kMemberCount] = {
    "code.dat", "data.dat", "import.dat", "symbols.dat", "rsrc.dat", "options.dat",
};
constexpr const char *kMemberNames[kMemberCount] = {
    "code", "data", "import", "symbols", "rsrc", "options",
};

// --- fix-up records (the import member) -------------------------------------
//
// Records lie back to back; the first byte is the tag. Sites and chain heads
// are offsets into the code block. A chain threads every site of one target
// through the code: before linking, the 32-bit word at a site holds the code
// offset of the next site of the chain, 0 ending it (so offset 0 is never a
// site). Names in records are at most 255 bytes, length-prefixed and followed
// by a zero byte.
enum FixupTag : uint8_t {
    kFixupNop = 0,           // nothing follows
    kFixupRuntimeImport = 1, // mode(1) head(4) n(1) name(n) 0
    kFixupDataReloc = 2,     // site(4): word += data base
    kFixupCodeReloc = 3,     // site(4): word += code base
    kFixupLibraryImport = 4, // head(4) a(1) function(a) 0 b(1) library(b) 0
    kFixupStringRef = 5,     // site(4): word = data base + word; string record fixed
    kFixupLastTag = 5,       // tags above this are skipped like kFixupNop
};

// Mode byte of a runtime import: how each site of its chain receives the
// target. Any value other than kImportRelative stores absolute addresses.
enum ImportMode : uint8_t {
    kImportAbsolute = 0,
    kImportRelative = 1, // target - (site address + 4): the site follows a call opcode
};

constexpr uint32_t kMaxImportName = 255;
constexpr uint8_t kCallOpcode = 0xE8;

// --- static string records (in the data member) ------------------------------
//
// The runtime's KESTstring layout: refCount(4) = 1, text(4) = 0 (the loader
// sets it to the record + 20), capacity(4) = length + 2, length(4),
// encoding(4), then a length byte, the text and a zero byte.
constexpr uint32_t kStringHeaderSize = 20;
constexpr uint32_t kStringTextPointerOffset = 4;
constexpr uint32_t kStringCapacityOffset = 8;
constexpr uint32_t kStringLengthOffset = 12;
constexpr uint32_t kStringEncodingOffset = 16;
constexpr uint32_t kEncodingUTF8 = 0x08000100;

// --- symbol table (the symbols member) ----------------------------------------
//
// count N(4), N entries {code offset(4), name offset(4)}, then zero-terminated
// names; a name offset counts from the first byte after the last entry.
constexpr uint32_t kSymbolEntrySize = 8;

// --- resource records (the rsrc member) ---------------------------------------
//
// type(4) id(2) reserved(4) length(4) payload(length), back to back.
constexpr uint32_t kResourceTypeOffset = 0;
constexpr uint32_t kResourceIdOffset = 4;
constexpr uint32_t kResourceReservedOffset = 6;
constexpr uint32_t kResourceLengthOffset = 10;
constexpr uint32_t kResourceHeaderSize = 14;

// A four-character code with the first character in the most significant
// byte: FourCC("BMP ") == 0x424D5020.
constexpr uint32_t FourCC(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

constexpr uint32_t kResourceBitmap = FourCC("BMP ");
constexpr uint32_t kResourceText = FourCC("TEXT");
constexpr uint32_t kResourceCursor = FourCC("CURS");
constexpr uint32_t kResourceSound = FourCC("WAVE");
constexpr uint32_t kResourceMovie = FourCC("moov");
constexpr uint32_t kResourceDatabase = FourCC("DBAS");
constexpr uint32_t kResourcePlugin = FourCC("KQPl");
constexpr uint32_t kResourceVersion = FourCC("VERS");

// --- option records (the options member) --------------------------------------
enum OptionTag : uint8_t {
    // width(1) height(1) then width*height RGBA pixels, rows from the top,
    // alpha not premultiplied, rows unpadded.
    kOptionIcon = 1,
    // six 32-bit words then three texts, each a length byte and its bytes.
    kOptionVersion = 2,
};

enum VersionWord : uint32_t {
    kVersionMajor = 0,
    kVersionMinor = 1,
    kVersionBug = 2,
    kVersionNonRelease = 3,
    kVersionStage = 4,
    kVersionRegion = 5,
    kVersionWordCount = 6,
};
enum VersionText : uint32_t {
    kVersionShort = 0,
    kVersionLong = 1,
    kVersionPackageInfo = 2,
    kVersionTextCount = 3,
};

// --- handler markers in compiled code -----------------------------------------
//
// jmp (0xE9 rel32, or 0xEB rel8 + three filler bytes) over the record, then
// kind(4) at +5, two unread bytes, the exception local's frame offset (signed
// 16-bit) at +11; a handler's first instruction at +13.
enum MarkerKind : uint32_t {
    kMarkerHandler = 0x411,
    kMarkerRegionStart = 0x412,
    kMarkerRegionEnd = 0x413,
};
constexpr uint32_t kMarkerKindOffset = 5;
constexpr uint32_t kMarkerLocalOffset = 11;
constexpr uint32_t kMarkerSize = 13;
constexpr uint8_t kJumpNear = 0xE9;
constexpr uint8_t kJumpShort = 0xEB;

// --- signature type codes ------------------------------------------------------
//
// A member's signature: name "%" result "%" parameter codes, the receiver
// first for instance methods; "o<Name>" is an object of class Name.
namespace typecode {
constexpr char kBoolean[] = "b";
constexpr char kColor[] = "c";
constexpr char kCurrency[] = "e";
constexpr char kSingle[] = "f4";
constexpr char kDouble[] = "f8";
constexpr char kInt8[] = "i1";
constexpr char kInt16[] = "i2";
constexpr char kInt32[] = "i4";
constexpr char kInt64[] = "i8";
constexpr char kUInt8[] = "u1";
constexpr char kUInt16[] = "u2";
constexpr char kUInt32[] = "u4";
constexpr char kUInt64[] = "u8";
constexpr char kString[] = "s";
constexpr char kPtr[] = "p";
constexpr char kVariant[] = "v";
constexpr char kObjectPrefix[] = "o<"; // o<Name>
constexpr char kTypedPrefix[] = "t<";  // t<Name>, read like o<Name>
constexpr char kArray = 'A';           // A, dimensions, element code ('a' accepted)
constexpr char kSeparator = '%';
} // namespace typecode

// --- little-endian access --------------------------------------------------------

inline uint16_t Read16(const uint8_t *p) {
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t Read32(const uint8_t *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void Write32(uint8_t *p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace kqimage
