// The resource manager: every resource of the application image (registered
// by the loader from the rsrc member, plus the version record from the
// options), found by type and id, and turned into objects of the class
// library by the six conversions of ResourceManagerElf.
//
// A resource's type is a four-character code with the first character in
// the most significant byte ("BMP " is 0x424D5020); ids are 16-bit.
#pragma once

#include "ImageRecords.h"
#include "SimpleVector.h"

#include <cstdint>

struct KESTstring;
struct RuntimeObject;
typedef struct _GdkPixbuf GdkPixbuf;
typedef struct _GdkCursor GdkCursor;

struct ResourceEntry {
    uint32_t type;
    uint32_t id;
    const uint8_t *data; // not owned; null for "no such resource"
    uint32_t length;
    uint32_t fileOffset; // of the payload in the file it came from; 0 for VERS
};

class ResourceManager {
  public:
    explicit ResourceManager(uint32_t growthStep = 0) : mEntries(growthStep) {}
    virtual ~ResourceManager() = default;
    ResourceManager(const ResourceManager &) = delete;
    ResourceManager &operator=(const ResourceManager &) = delete;

    void Add(uint32_t type, uint32_t id, const uint8_t *data, uint32_t length, uint32_t fileOffset);
    uint32_t GetCount() const { return mEntries.Count(); }
    // The first entry of that type and id (ids compared as 16-bit values), or
    // an entry of zeros.
    ResourceEntry Find(uint32_t type, uint32_t id) const;
    // An index at or beyond the count is reported and yields an entry of zeros.
    ResourceEntry GetEntry(uint32_t index) const;
    // The decoded version record (VERS 0), kept after the first success; null
    // while there is none.
    const kqimage::VersionInfo *VersionRecord();

    virtual RuntimeObject *DatabaseFromResource(uint16_t id) = 0;
    virtual RuntimeObject *PictureFromResource(uint16_t id) = 0;
    virtual KESTstring *TextFromResource(uint16_t id) = 0;
    virtual RuntimeObject *MovieFromResource(uint16_t id) = 0;
    virtual RuntimeObject *CursorFromResource(uint16_t id) = 0;
    virtual RuntimeObject *SoundFromResource(uint16_t id) = 0;

  private:
    SimpleVector<ResourceEntry> mEntries;
    kqimage::VersionInfo mVersion;
    bool mHaveVersion = false;
};

// The class library's picture and mouse-cursor support hands the resource
// side its object factories when it exists; until then those conversions
// report that the class is not available.
using PictureFactory = RuntimeObject *(*)(GdkPixbuf *image);
using CursorFactory = RuntimeObject *(*)(GdkCursor *cursor, uint16_t id);
void SetResourcePictureFactory(PictureFactory factory);
void SetResourceCursorFactory(CursorFactory factory);

// The one resource manager of the process.
ResourceManager &TheResourceManager();

// Decoding helpers of the conversions.
GdkPixbuf *DecodeBitmapResource(const uint8_t *payload, uint32_t length);
// The 68-byte cursor payload as GDK wants it: bits of image and mask reversed
// in every byte; hot spot (horizontal, vertical) from the big-endian values.
void PrepareCursorBits(const uint8_t payload[68], uint8_t image[32], uint8_t mask[32], int *hotX,
                       int *hotY);

extern "C" {
RuntimeObject *RuntimeGetBitmapFromResourceManager(int16_t id);
KESTstring *RuntimeGetTextFileFromResourceManager(int16_t id);
RuntimeObject *RuntimeGetCursorFromResourceManager(int16_t id);
RuntimeObject *RuntimeGetSoundFromResourceManager(int16_t id);
RuntimeObject *RuntimeGetMovieFromResource(int16_t id);
RuntimeObject *RuntimeGetDatabaseFromResource(int16_t id);
int32_t AppIntegerVersionStuffGetter(RuntimeObject *app, int32_t index);
KESTstring *AppStringVersionStuffGetter(RuntimeObject *app, int32_t index);
}
