// Intrinsic classes and modules, RuntimeInitExternalClasses, and the texts
// of the unhandled-exception report.
#include "IntrinsicClass.h"
#include "ImageTestSupport.h"
#include "RelocEntry.h"
#include "RuntimeException.h"
#include "UnhandledException.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace imagetest;

namespace {

extern "C" int32_t TestModuleAnswer() {
    return 42;
}
extern "C" int32_t TestModuleSecond() {
    return 7;
}

const MethodEntry kModuleMethods[] = {
    KQ_METHOD("Answer", &kTypeInteger, KQ_NO_TABLE, TestModuleAnswer),
    KQ_METHOD("Second", &kTypeInteger, KQ_NO_TABLE, TestModuleSecond),
};

void *Exported(const char *name) {
    void *code = nullptr;
    return RelocFindExact(name, uint32_t(std::strlen(name)), &code) ? code : nullptr;
}

} // namespace

TEST(IntrinsicClasses, ModulesAddTheirEntryPointsAndAreChecked) {
    static ObjectDefinition module;
    definitions::Init(&module, "TestModule", nullptr, 0);
    definitions::SetMethods(&module, kModuleMethods, 2);
    ReportCapture capture;
    RegisterIntrinsicModule(&module);
    EXPECT_EQ(capture.Reports(), 0) << capture.Text();
    EXPECT_EQ(Exported("TestModuleAnswer"), reinterpret_cast<void *>(&TestModuleAnswer));
    EXPECT_EQ(Exported("TestModuleSecond"), reinterpret_cast<void *>(&TestModuleSecond));

    static ObjectDefinition notAModule;
    definitions::Init(&notAModule, "TestModule", &RuntimeExceptionDefinition, 36);
    ReportCapture second;
    RegisterIntrinsicModule(&notAModule);
    std::string text = second.Text();
    for (const char *condition : {"0 == defn->objectSize", "NULL == defn->super",
                                  "not gIntrinsicModuleMap->HasEntry( defn->className )"})
        EXPECT_NE(text.find(condition), std::string::npos) << condition << "\n" << text;
}

TEST(IntrinsicClasses, InitExternalClassesRegistersTheRuntimeClassesByName) {
    ReportCapture capture;
    RuntimeInitExternalClasses();
    KESTstring *name = kstr::FromC("nilobjectexception");
    EXPECT_EQ(LookupIntrinsicClass(name), &NilObjectExceptionDefinition);
    RuntimeUnlockString(name);
    EXPECT_EQ(Exported("RuntimeExceptionInitializer"),
              reinterpret_cast<void *>(&RuntimeExceptionInitializer));
    EXPECT_EQ(capture.Reports(), 0) << capture.Text();
}

TEST(IntrinsicClasses, UnhandledExceptionTextsNameTheClassAndExplain) {
    RuntimeObject *exc = definitions::Instantiate(&NilObjectExceptionDefinition);
    KESTstring *message, *explanation;
    UnhandledExceptionTexts(exc, &message, &explanation);
    EXPECT_STREQ(kstr::Text(message), "An exception of class NilObjectException was not "
                                      "handled.  The application must shut down.");
    EXPECT_EQ(explanation, nullptr); // empty message, error number 0
    RuntimeUnlockString(message);
    KESTstring *text = kstr::FromC("Disk full");
    exceptions::SetMessage(exc, text);
    exceptions::SetErrorNumber(exc, 28);
    UnhandledExceptionTexts(exc, &message, &explanation);
    EXPECT_STREQ(kstr::Text(explanation),
                 "Exception Message: Disk full\rException Error Number: 28");
    for (KESTstring *s : {message, explanation, text})
        RuntimeUnlockString(s);
    RuntimeUnlockObject(exc);
}
