// The application's file types: each has a name ("text"), a four-character
// type code ("TEXT") and a four-character creator code ("KQap"). The image's
// start code registers the types its project declares; whatever creates or
// describes files asks this registry what a type's codes are.
#pragma once

#include "KESTstring.h"

#include <cstdint>

namespace filetypes {

struct Codes {
    uint32_t type;    // four characters, the first in the highest byte
    uint32_t creator; // the same for the creator code
};

// The codes of the type of that name (compared as the runtime compares
// strings); false when no such type is registered.
bool Find(const KESTstring *name, Codes *codes);

// The name of the type with that type code that was registered first (one
// reference for the caller), or null. Types keep the order in which their
// names were first registered: new codes for a registered name leave it in
// its place, a forgotten and registered again one comes last.
KESTstring *NameOfType(uint32_t type);

uint32_t Count();

} // namespace filetypes

extern "C" {
// Registers a file type, or gives a registered one of the same name new
// codes. A code has up to four characters; a shorter one is filled up with
// spaces. A type without a name or with a longer code raises
// UnsupportedFormatException and changes nothing.
void RuntimeRegisterFileType(KESTstring *name, KESTstring *type, KESTstring *creator);
// Forgets the type of that name; nothing when there is none.
void RuntimeDeregisterFileType(KESTstring *name);
}
