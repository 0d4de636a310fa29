// The resource manager (see ResourceManagerCommon.h): the table, lookup, the
// version record and its accessors, and the resource entry points.
#include "ResourceManagerCommon.h"

#include "KESTstring.h"
#include "RuntimeErrorReport.h"

namespace {

const char kSource[] = "Common/ResourceManagerCommon";

} // namespace

void ResourceManager::Add(uint32_t type, uint32_t id, const uint8_t *data, uint32_t length,
                          uint32_t fileOffset) {
    mEntries.Append(ResourceEntry{type, id, data, length, fileOffset});
}

ResourceEntry ResourceManager::Find(uint32_t type, uint32_t id) const {
    for (const ResourceEntry &e : mEntries)
        if (e.type == type && uint16_t(e.id) == uint16_t(id)) return e;
    return ResourceEntry{};
}

ResourceEntry ResourceManager::GetEntry(uint32_t index) const {
    KQ_ASSERT_TEXT(kSource, index < GetCount(), "index < GetCount()", nullptr);
    return index < GetCount() ? mEntries[index] : ResourceEntry{};
}

const kqimage::VersionInfo *ResourceManager::VersionRecord() {
    if (!mHaveVersion) {
        ResourceEntry e = Find(kqimage::kResourceVersion, 0);
        mHaveVersion = e.data != nullptr && kqimage::DecodeVersion(e.data, e.length, &mVersion);
    }
    return mHaveVersion ? &mVersion : nullptr;
}

extern "C" {

RuntimeObject *RuntimeGetBitmapFromResourceManager(int16_t id) {
    return TheResourceManager().PictureFromResource(uint16_t(id));
}

KESTstring *RuntimeGetTextFileFromResourceManager(int16_t id) {
    return TheResourceManager().TextFromResource(uint16_t(id));
}

RuntimeObject *RuntimeGetCursorFromResourceManager(int16_t id) {
    return TheResourceManager().CursorFromResource(uint16_t(id));
}

RuntimeObject *RuntimeGetSoundFromResourceManager(int16_t id) {
    return TheResourceManager().SoundFromResource(uint16_t(id));
}

RuntimeObject *RuntimeGetMovieFromResource(int16_t id) {
    return TheResourceManager().MovieFromResource(uint16_t(id));
}

RuntimeObject *RuntimeGetDatabaseFromResource(int16_t id) {
    return TheResourceManager().DatabaseFromResource(uint16_t(id));
}

// Index: 0 major, 1 minor, 2 bug-fix, 3 stage code, 4 non-release, 5 region.
int32_t AppIntegerVersionStuffGetter(RuntimeObject *, int32_t index) {
    static const kqimage::VersionWord kWords[] = {
        kqimage::kVersionMajor, kqimage::kVersionMinor,      kqimage::kVersionBug,
        kqimage::kVersionStage, kqimage::kVersionNonRelease, kqimage::kVersionRegion};
    const kqimage::VersionInfo *v = TheResourceManager().VersionRecord();
    if (v == nullptr || index < 0 || index > 5) return -1;
    return int32_t(v->words[kWords[index]]);
}

// Index: 0 short version, 1 long version, 2 package information.
KESTstring *AppStringVersionStuffGetter(RuntimeObject *, int32_t index) {
    const kqimage::VersionInfo *v = TheResourceManager().VersionRecord();
    if (v == nullptr || index < 0 || index >= int32_t(kqimage::kVersionTextCount)) return nullptr;
    const std::string &text = v->texts[index];
    return kstr::Make(text.data(), uint32_t(text.size()), kEncodingUTF8);
}

} // extern "C"
