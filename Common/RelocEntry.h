// The runtime export table: every entry point the application image and
// plug-ins can link against, by name.
//
// RelocEntry layout (one entry):
//   offset  field
//   0       name      zero-terminated ASCII, not owned; may be null
//   4       code      the entry point
//   8       reserved  two words, zero in every entry
//
// Indexes 0 .. kStaticExportCount-1 are the static part, generated at build
// time from Common/EntryPoints.list (a name listed twice has two entries with
// one entry point); indexes from kStaticExportCount on are the dynamic part,
// in order of addition. Linking scans the table by index with an exact,
// case-sensitive comparison, so the lowest index wins; the name map (used by
// RelocLookup and RelocAdd) compares names like the runtime's strings.
#pragma once

#include <cstddef>
#include <cstdint>

struct RelocEntry {
    const char *name;
    void *code;
    uint32_t reserved[2];
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(RelocEntry, name) == 0, "RelocEntry.name");
static_assert(offsetof(RelocEntry, code) == 4, "RelocEntry.code");
static_assert(offsetof(RelocEntry, reserved) == 8, "RelocEntry.reserved");
static_assert(sizeof(RelocEntry) == 16, "RelocEntry");
#endif

// The generated static part. Entries whose name no module implements carry a
// null code until the table is first used; then the fallback (a function that
// reports the missing entry point) takes its place.
extern const uint32_t kStaticExportCount;
extern RelocEntry gStaticExports[];
extern void *const kStaticExportFallbacks[];
extern const char *const kEntryPointNames[];

// Reports that `name` was called but is not implemented; returns 0.
long long RelocMissingEntryPoint(const char *name);

// Count of entries, static and dynamic.
uint32_t RelocEntryCount();
// The entry at `index`, or null beyond the count.
const RelocEntry *RelocEntryAt(uint32_t index);
// Linking: the code of the lowest-index entry named exactly `name` (`length`
// bytes); false when there is none.
bool RelocFindExact(const char *name, uint32_t length, void **code);
// The entry point named `name` in the name map, or null.
void *RelocLookup(const char *name);
// Adds an entry to the dynamic part unless the name is already there with the
// same entry point; a different entry point is reported and ignored.
void RelocAdd(const char *name, void *code);
