// What unit tests read back from the runtime: the error reports made while
// some code runs, and the class name of an object.
#pragma once

#include "RuntimeObject.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace kqtest {

// The runtime error reports made while `body` runs, answered OK on standard
// error, as text.
inline std::string ReportsDuring(const std::function<void()> &body) {
    setenv("KQ_ERROR_REPORT", "ok", 1);
    testing::internal::CaptureStderr();
    body();
    return testing::internal::GetCapturedStderr();
}

// The class name of an object ("" for null).
inline std::string ClassName(const RuntimeObject *object) {
    if (object == nullptr || object->classPtr == nullptr) return "";
    return kstr::Text(object->classPtr->name);
}

} // namespace kqtest
