#include "ImageTestSupport.h"

#include "ImageFormat.h"

#include <cstring>
#include <gtest/gtest.h>

namespace imagetest {

void Put32(Bytes &b, uint32_t v) {
    uint8_t w[4];
    kqimage::Write32(w, v);
    b.insert(b.end(), w, w + 4);
}

void Put16(Bytes &b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void PutName(Bytes &b, const std::string &name) {
    b.push_back(uint8_t(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
}

Bytes Container(const std::vector<Bytes> &members) {
    Bytes out;
    for (const Bytes &m : members) {
        Put32(out, uint32_t(m.size()));
        out.insert(out.end(), m.begin(), m.end());
    }
    return out;
}

Bytes ElfWithSections(const std::vector<std::string> &names, const std::vector<Bytes> &contents) {
    Bytes strtab(1, 0);
    std::vector<uint32_t> nameOffsets;
    for (const std::string &n : names) {
        nameOffsets.push_back(uint32_t(strtab.size()));
        strtab.insert(strtab.end(), n.begin(), n.end());
        strtab.push_back(0);
    }
    uint32_t shstrtabName = uint32_t(strtab.size());
    const char kNames[] = ".shstrtab";
    strtab.insert(strtab.end(), kNames, kNames + sizeof kNames);

    Bytes file(52, 0);
    std::memcpy(file.data(), "\177ELF\1\1\1", 7);
    std::vector<uint32_t> offsets;
    for (const Bytes &c : contents) {
        offsets.push_back(uint32_t(file.size()));
        file.insert(file.end(), c.begin(), c.end());
    }
    uint32_t strtabOffset = uint32_t(file.size());
    file.insert(file.end(), strtab.begin(), strtab.end());
    uint32_t shoff = uint32_t(file.size());
    uint16_t count = uint16_t(names.size() + 2);
    auto header = [&](uint32_t name, uint32_t offset, uint32_t size) {
        Bytes h(40, 0);
        kqimage::Write32(h.data(), name);
        kqimage::Write32(h.data() + 16, offset);
        kqimage::Write32(h.data() + 20, size);
        file.insert(file.end(), h.begin(), h.end());
    };
    header(0, 0, 0);
    for (size_t i = 0; i < names.size(); ++i)
        header(nameOffsets[i], offsets[i], uint32_t(contents[i].size()));
    header(shstrtabName, strtabOffset, uint32_t(strtab.size()));
    kqimage::Write32(file.data() + 32, shoff);
    file[46] = 40;
    file[48] = uint8_t(count);
    file[50] = uint8_t(count - 1);
    return file;
}

ReportCapture::ReportCapture() {
    setenv("KQ_ERROR_REPORT", "ok", 1);
    testing::internal::CaptureStderr();
}

ReportCapture::~ReportCapture() {
    Text();
}

std::string ReportCapture::Text() {
    if (!mDone) {
        mText = testing::internal::GetCapturedStderr();
        mDone = true;
    }
    return mText;
}

int ReportCapture::Reports() {
    const std::string &t = Text();
    int n = 0;
    for (size_t at = t.find("Runtime Error "); at != std::string::npos;
         at = t.find("Runtime Error ", at + 1))
        ++n;
    return n;
}

std::string TempFolder() {
    char pattern[] = "/tmp/kqimage-XXXXXX";
    return mkdtemp(pattern) != nullptr ? pattern : "";
}

} // namespace imagetest
