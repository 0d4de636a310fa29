// The runtime export table (see RelocEntry.h): the generated static part,
// the dynamic part, the name map, and the exact linear scan used for linking.
#include "RelocEntry.h"

#include "ExportScan.h"
#include "RuntimeErrorReport.h"
#include "SimpleVector.h"
#include "StringMap.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char kSource[] = "Common/relocentry";

struct Table {
    uint32_t *staticKeys = nullptr;
    uint32_t *staticLengths = nullptr;
    const char **staticNames = nullptr;
    SimpleVector<RelocEntry *> dynamic;
    StringMap<RelocEntry *> *nameMap = nullptr;
};

Table &TheTable() {
    static Table table;
    return table;
}

// Binds unimplemented static entries to their fallbacks and prepares the
// scan keys; runs once, on first use of the table.
Table &Prepared() {
    Table &t = TheTable();
    if (t.staticKeys != nullptr) return t;
    t.staticKeys = new uint32_t[kStaticExportCount];
    t.staticLengths = new uint32_t[kStaticExportCount];
    t.staticNames = new const char *[kStaticExportCount];
    for (uint32_t i = 0; i < kStaticExportCount; ++i) {
        RelocEntry &e = gStaticExports[i];
        if (e.code == nullptr) e.code = kStaticExportFallbacks[i];
        uint32_t length = e.name != nullptr ? uint32_t(std::strlen(e.name)) : 0;
        t.staticLengths[i] = length;
        t.staticNames[i] = e.name;
        t.staticKeys[i] = e.name != nullptr ? exportscan::Key(e.name, length) : 0;
    }
    return t;
}

void MapEntry(StringMap<RelocEntry *> &map, RelocEntry *e) {
    if (e->name == nullptr) return;
    KESTstring *key = kstr::FromC(e->name);
    if (!map.Lookup(key, nullptr)) map.Set(key, e);
    RuntimeUnlockString(key);
}

StringMap<RelocEntry *> &NameMap() {
    Table &t = Prepared();
    if (t.nameMap == nullptr) {
        t.nameMap = new StringMap<RelocEntry *>(256);
        for (uint32_t i = 0; i < kStaticExportCount; ++i)
            MapEntry(*t.nameMap, &gStaticExports[i]);
        for (RelocEntry *e : t.dynamic)
            MapEntry(*t.nameMap, e);
    }
    return *t.nameMap;
}

RelocEntry *MapLookup(const char *name) {
    KESTstring *key = kstr::FromC(name);
    RelocEntry *entry = nullptr;
    NameMap().Lookup(key, &entry);
    RuntimeUnlockString(key);
    return entry;
}

} // namespace

long long RelocMissingEntryPoint(const char *name) {
    char message[320];
    std::snprintf(message, sizeof message,
                  "The entry point '%s' is not implemented in this runtime yet", name);
    RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "implemented", message);
    return 0;
}

uint32_t RelocEntryCount() {
    return kStaticExportCount + Prepared().dynamic.Count();
}

const RelocEntry *RelocEntryAt(uint32_t index) {
    Table &t = Prepared();
    if (index < kStaticExportCount) return &gStaticExports[index];
    index -= kStaticExportCount;
    return index < t.dynamic.Count() ? t.dynamic[index] : nullptr;
}

bool RelocFindExact(const char *name, uint32_t length, void **code) {
    Table &t = Prepared();
    int32_t found = exportscan::Find(t.staticKeys, t.staticLengths, t.staticNames,
                                     kStaticExportCount, name, length);
    if (found >= 0) {
        *code = gStaticExports[found].code;
        return true;
    }
    for (RelocEntry *e : t.dynamic) {
        if (e->name != nullptr && std::strlen(e->name) == length &&
            std::memcmp(e->name, name, length) == 0) {
            *code = e->code;
            return true;
        }
    }
    return false;
}

void *RelocLookup(const char *name) {
    if (name == nullptr) return nullptr;
    RelocEntry *e = MapLookup(name);
    return e != nullptr ? e->code : nullptr;
}

void RelocAdd(const char *name, void *code) {
    Table &t = Prepared();
    if (name != nullptr) {
        if (RelocEntry *old = MapLookup(name)) {
            KQ_ASSERT_TEXT(kSource, code == old->code, "functionPtr == oldEntry->code", nullptr);
            return;
        }
    }
    auto *entry = new (std::nothrow) RelocEntry{name, code, {0, 0}};
    KQ_ASSERT_TEXT(kSource, entry != nullptr, "newEntry", nullptr);
    if (entry == nullptr) return;
    t.dynamic.Append(entry);
    if (name != nullptr) MapEntry(NameMap(), entry);
}
