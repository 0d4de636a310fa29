// Plug-in libraries carried in the image: every resource of type `KQPl` (a
// length-prefixed file name, then the library's ELF file) is installed as a
// file, loaded with dlopen, and its "KESTPluginMain" is called with the
// runtime's entry-point lookup while "KQPLUGINPATH" names the file.
//
// A library that cannot be installed or loaded ends the process with exit
// status 1 after a runtime error report: there is no way to run without it.
// The bytes of a library are checked before they are installed: the dynamic
// loader maps a file cut short without complaint and the process then dies
// of a bus error when it touches the missing part.
#pragma once

#include <cstdint>
#include <string>

// Installs and starts every plug-in of the resource manager, in resource
// order.
void InstallPlugins();

// Loads a plug-in library that is a file already (not carried in the image)
// the same way and calls its entry function; false with the loader's error
// text when it cannot be loaded or has no "KESTPluginMain".
bool LoadPluginFile(const char *path, std::string *error);

// Splits a `KQPl` payload; false when the name is empty, runs past the
// payload, or is not a plain file name (no "/", not "." or "..").
bool SplitPluginPayload(const uint8_t *payload, uint32_t length, std::string *name,
                        const uint8_t **library, uint32_t *libraryLength);

// Checks that `library` is an ELF shared object for 32-bit x86 whose program
// headers and segments lie within its `length` bytes; false with the reason.
bool CheckPluginLibrary(const uint8_t *library, uint32_t length, std::string *why);

extern "C" {
// The lookup function handed to a plug-in: the entry point named `name`, or
// null.
void *RuntimeLookupPluginEntrypoint(const char *name);
}
