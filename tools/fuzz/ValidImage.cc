#include "ValidImage.h"

#include "ImageFormat.h"

#include <string>

namespace imagefuzz {

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes &b, uint32_t v) {
    uint8_t w[4];
    kqimage::Write32(w, v);
    b.insert(b.end(), w, w + 4);
}

void PutName(Bytes &b, const std::string &name) {
    b.push_back(uint8_t(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
}

} // namespace

std::vector<uint8_t> ValidContainer() {
    using namespace kqimage;
    Bytes code(64, 0x90);
    kqimage::Write32(code.data() + 1, 11); // chain RuntimeInit: 1 -> 11
    kqimage::Write32(code.data() + 11, 0);
    kqimage::Write32(code.data() + 20, 0); // absolute import
    kqimage::Write32(code.data() + 25, 0); // library import
    kqimage::Write32(code.data() + 30, 4); // data offset
    kqimage::Write32(code.data() + 35, 8); // code offset
    kqimage::Write32(code.data() + 40, 8); // string record at data offset 8
    Bytes data(8, 0);
    for (uint32_t w : {1u, 0u, 4u, 2u, kEncodingUTF8})
        Put32(data, w);
    data.insert(data.end(), {2, 'h', 'i', 0});

    Bytes import{kFixupRuntimeImport, kImportRelative};
    Put32(import, 1);
    PutName(import, "RuntimeInit");
    import.insert(import.end(), {kFixupRuntimeImport, kImportAbsolute});
    Put32(import, 20);
    PutName(import, "RuntimeExit");
    import.push_back(kFixupLibraryImport);
    Put32(import, 25);
    PutName(import, "cos");
    PutName(import, "libm.so.6");
    for (auto [tag, site] : {std::pair<uint8_t, uint32_t>{kFixupDataReloc, 30},
                             {kFixupCodeReloc, 35},
                             {kFixupStringRef, 40}}) {
        import.push_back(tag);
        Put32(import, site);
    }
    import.insert(import.end(), {kFixupNop, 9});

    Bytes symbols;
    Put32(symbols, 2);
    for (uint32_t w : {0u, 0u, 30u, 6u})
        Put32(symbols, w);
    const char names[] = "entry\0helper";
    symbols.insert(symbols.end(), names, names + sizeof names);

    Bytes rsrc;
    for (auto [type, payload] : {std::pair<uint32_t, std::string>{kResourceText, "text"},
                                 {kResourcePlugin, std::string("\x05libX.so\x7f"
                                                               "ELF",
                                                               10)}}) {
        Put32(rsrc, type);
        rsrc.insert(rsrc.end(), {0xFF, 0xFF, 0, 0, 0, 0});
        Put32(rsrc, uint32_t(payload.size()));
        rsrc.insert(rsrc.end(), payload.begin(), payload.end());
    }

    Bytes options{kOptionIcon, 1, 1, 255, 0, 0, 255, kOptionVersion};
    for (uint32_t w : {1u, 1u, 2u, 3u, 3u, 3u})
        Put32(options, w);
    options.insert(options.end(), {1, 'S', 1, 'L', 0});

    Bytes container;
    for (const Bytes *m : {&code, &data, &import, &symbols, &rsrc, &options}) {
        Put32(container, uint32_t(m->size()));
        container.insert(container.end(), m->begin(), m->end());
    }
    return container;
}

} // namespace imagefuzz
