// Helpers of the value tests, on top of the object-model test support.
#pragma once

#include "ObjectModelTestSupport.h"
#include "Variant.h"

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

// An object reference held by a test, released at the end of its scope.
class Held {
  public:
    explicit Held(RuntimeObject *object) : mObject(object) {}
    ~Held() { RuntimeUnlockObject(mObject); }
    Held(const Held &) = delete;
    Held &operator=(const Held &) = delete;
    RuntimeObject *get() const { return mObject; }

  private:
    RuntimeObject *mObject;
};

// A new StringObject variant of UTF-8 text (one reference for the caller).
inline RuntimeObject *TextVariant(const char *text) {
    KESTstring *s = Utf8(text);
    RuntimeObject *variant = StringToVariant(s);
    RuntimeUnlockString(s);
    return variant;
}

// The text of a variant, as VariantToString gives it.
inline std::string VariantText(RuntimeObject *variant) {
    KESTstring *s = VariantToString(variant);
    std::string text = kstr::Text(s);
    RuntimeUnlockString(s);
    return text;
}
