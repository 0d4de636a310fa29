// Helpers of the value tests, on top of the object-model test support.
#pragma once

#include "ObjectModelTestSupport.h"

#include <cstring>
#include <functional>
#include <string>

// The class name of the exception that `body` raised; "" when it raised none.
inline std::string RaisedBy(const std::function<void()> &body) {
    RuntimeObject *exc = kqtest::Raised(body);
    std::string name = kqtest::ClassName(exc);
    RuntimeUnlockObject(exc);
    return name;
}

// A new UTF-8 string (one reference for the caller).
inline KESTstring *Utf8(const char *text) {
    return kstr::Make(text, uint32_t(std::strlen(text)), kEncodingUTF8);
}
