// Applying fix-up records (see ImageFixups.h).
#include "ImageFixups.h"

#include "RuntimeErrorReport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kqimage {

namespace {

const char kSource[] = "Common/loaderX86";

class Linker {
  public:
    Linker(const uint8_t *import, uint32_t length, const PlacedImage &image,
           ImportResolver &resolver)
        : mImport(import), mLength(length), mImage(image), mResolver(resolver) {}
    ~Linker() { std::free(mVisited); }

    bool Run() {
        while (mPos < mLength) {
            uint32_t recordStart = mPos;
            uint8_t tag = mImport[mPos++];
            bool ok = true;
            switch (tag) {
            case kFixupRuntimeImport:
                ok = RuntimeImport();
                break;
            case kFixupDataReloc:
                ok = Relocate(mImage.dataBase, "data relocation");
                break;
            case kFixupCodeReloc:
                ok = Relocate(mImage.codeBase, "code relocation");
                break;
            case kFixupLibraryImport:
                ok = LibraryImport();
                break;
            case kFixupStringRef:
                ok = StringReference();
                break;
            default: // tag 0 and tags above the last one carry nothing
                break;
            }
            if (!ok) {
                Damaged(recordStart);
                return false;
            }
        }
        return true;
    }

  private:
    void Damaged(uint32_t recordStart) {
        char where[64];
        std::snprintf(where, sizeof where, " (record at import offset %u)", recordStart);
        std::string message =
            "The application image's fix-up records are damaged: " + mProblem + where;
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "fixupRecord",
                           message.c_str());
    }

    bool Fail(std::string problem) {
        mProblem = std::move(problem);
        return false;
    }

    bool Byte(uint8_t *value) {
        if (mPos >= mLength) return Fail("a record runs past the end of the import member");
        *value = mImport[mPos++];
        return true;
    }

    bool Word(uint32_t *value) {
        if (mLength - mPos < 4) return Fail("a record runs past the end of the import member");
        *value = Read32(mImport + mPos);
        mPos += 4;
        return true;
    }

    // A length-prefixed name followed by a zero byte; points into the record.
    bool Name(const char **name, uint32_t *length) {
        uint8_t n;
        if (!Byte(&n)) return false;
        if (mLength - mPos < uint32_t(n) + 1)
            return Fail("a name runs past the end of the import member");
        if (mImport[mPos + n] != 0) return Fail("a name has no terminating zero byte");
        *name = reinterpret_cast<const char *>(mImport + mPos);
        uint32_t visible = 0;
        while (visible < n && (*name)[visible] != 0)
            ++visible;
        *length = visible;
        mPos += uint32_t(n) + 1;
        return true;
    }

    bool SiteInCode(uint32_t site) const {
        return mImage.codeLength >= 4 && site <= mImage.codeLength - 4;
    }

    bool CheckSite(uint32_t site, const char *what) {
        if (SiteInCode(site)) return true;
        char text[96];
        std::snprintf(text, sizeof text, "the %s site %u lies outside the code block", what, site);
        return Fail(text);
    }

    // Walks a chain from `head`, storing at each site `target` (absolute) or
    // `target` minus the end of the site (relative).
    bool Chain(uint32_t head, uint32_t target, bool relative, const char *name) {
        if (mVisited == nullptr && head != 0) {
            mVisited = static_cast<uint8_t *>(std::calloc(mImage.codeLength / 8 + 1, 1));
            if (mVisited == nullptr) return Fail("no memory to check the chains");
        }
        for (uint32_t site = head; site != 0;) {
            if (!SiteInCode(site))
                return Fail(std::string("the chain of '") + name + "' leaves the code block");
            uint8_t bit = uint8_t(1u << (site & 7));
            if (mVisited[site >> 3] & bit)
                return Fail(std::string("the chain of '") + name + "' runs into a site twice");
            mVisited[site >> 3] |= bit;
            uint8_t *p = mImage.code + site;
            uint32_t next = Read32(p);
            Write32(p, relative ? target - (mImage.codeBase + site + 4) : target);
            site = next;
        }
        return true;
    }

    bool RuntimeImport() {
        uint8_t mode;
        uint32_t head, length;
        const char *name;
        if (!Byte(&mode) || !Word(&head) || !Name(&name, &length)) return false;
        uint32_t target;
        if (!mResolver.RuntimeExport(name, length, &target)) {
            std::string message = std::string("Function '") + name + "' was not exported";
            RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "foundFunction",
                               message.c_str());
            return true; // the chain's sites keep their link values
        }
        return Chain(head, target, mode == kImportRelative, name);
    }

    bool LibraryImport() {
        uint32_t head, functionLength, libraryLength;
        const char *function, *library;
        if (!Word(&head) || !Name(&function, &functionLength) || !Name(&library, &libraryLength))
            return false;
        uint32_t address = mResolver.LibraryFunction(function, library);
        return Chain(head, address, true, function);
    }

    bool Relocate(uint32_t base, const char *what) {
        uint32_t site;
        if (!Word(&site) || !CheckSite(site, what)) return false;
        uint8_t *p = mImage.code + site;
        Write32(p, Read32(p) + base);
        return true;
    }

    bool StringReference() {
        uint32_t site;
        if (!Word(&site) || !CheckSite(site, "string reference")) return false;
        uint8_t *p = mImage.code + site;
        uint32_t offset = Read32(p);
        // The whole record: header, length byte, text and zero byte.
        if (mImage.dataLength < kStringHeaderSize + 2 ||
            offset > mImage.dataLength - kStringHeaderSize - 2)
            return Fail("a string reference points outside the data block");
        uint8_t *record = mImage.data + offset;
        uint32_t textLength = Read32(record + kStringLengthOffset);
        if (textLength > mImage.dataLength - offset - kStringHeaderSize - 2)
            return Fail("a string record runs past the end of the data block");
        uint32_t address = mImage.dataBase + offset;
        Write32(p, address);
        if (Read32(record + kStringTextPointerOffset) == 0)
            Write32(record + kStringTextPointerOffset, address + kStringHeaderSize);
        return true;
    }

    const uint8_t *mImport;
    uint32_t mLength;
    const PlacedImage &mImage;
    ImportResolver &mResolver;
    uint32_t mPos = 0;
    uint8_t *mVisited = nullptr; // one bit per code offset: sites already linked
    std::string mProblem;
};

} // namespace

bool ApplyFixups(const uint8_t *import, uint32_t length, const PlacedImage &image,
                 ImportResolver &resolver) {
    return Linker(import, length, image, resolver).Run();
}

} // namespace kqimage
