// Helpers for the string tests: records from C++ text, their bytes back as
// std::string, the process locale for one test, and captured error reports.
#pragma once

#include "KESTstring.h"
#include "ReportSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace strtest {

using kstr::StringRef;

inline StringRef S(const std::string &text, uint32_t encoding = kEncodingUTF8) {
    return StringRef(kstr::Make(text.data(), uint32_t(text.size()), encoding));
}

inline std::string Str(const KESTstring *s) {
    return std::string(kstr::Text(s), kstr::Length(s));
}
inline std::string Str(const StringRef &s) {
    return Str(s.Get());
}

// Sets the whole process locale for the life of the object.
class LocaleScope {
  public:
    explicit LocaleScope(const char *name) : mOld(std::setlocale(LC_ALL, nullptr)) {
        mOk = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, mOld.c_str()); }
    bool Ok() const { return mOk; }

  private:
    std::string mOld;
    bool mOk;
};

#define KQ_LOCALE(name)                                                                            \
    strtest::LocaleScope localeScope(name);                                                        \
    ASSERT_TRUE(localeScope.Ok()) << "locale " << name << " is not installed"

using kqtest::ReportsDuring;

} // namespace strtest
