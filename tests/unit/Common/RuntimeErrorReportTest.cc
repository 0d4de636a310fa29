// The runtime error report without a dialog (KQ_ERROR_REPORT): its text, and
// how the answer decides whether the process goes on.
#include "RuntimeErrorReport.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string ReportText(int16_t code, const char *source, int32_t line, const char *condition,
                       const char *message) {
    char *text = RuntimeErrorReportText(code, source, line, condition, message);
    std::string result = text;
    g_free(text);
    return result;
}

} // namespace

TEST(RuntimeErrorReport, TextNamesCodeSourceLineConditionAndMessage) {
    EXPECT_EQ(
        ReportText(4, "../Common/Object Model/RuntimeObjectFoundation", 212, "objToAdd", nullptr),
        "Runtime Error 4: Failed Assertion\nPress OK to Continue\nPress Cancel to Quit.\n\n"
        "Please report what caused this error\nalong with the information below.\n\n"
        "../Common/Object Model/RuntimeObjectFoundation: 212\nFailure Condition: objToAdd\n");
    std::string withMessage = ReportText(2, "Common/plugin", 7, "defn", "Manifest file outdated?");
    EXPECT_EQ(withMessage.substr(0, 42), "Runtime Error 2: Invalid Class Definition\n");
    EXPECT_EQ(withMessage.substr(withMessage.size() - 47),
              "Failure Condition: defn\nManifest file outdated?");
}

TEST(RuntimeErrorReport, CodesOutsideTheTableHaveNoText) {
    EXPECT_STREQ(RuntimeErrorCodeText(8), "Unhandled Exception");
    EXPECT_STREQ(RuntimeErrorCodeText(0), "");
    EXPECT_EQ(RuntimeErrorCodeText(9), nullptr);
    EXPECT_EQ(RuntimeErrorCodeText(-1), nullptr);
    EXPECT_EQ(ReportText(12, "x", 1, "c", nullptr).substr(0, 18), "Runtime Error 12: ");
}

TEST(RuntimeErrorReport, OkGoesOnAfterWritingTheReport) {
    setenv("KQ_ERROR_REPORT", "ok", 1);
    testing::internal::CaptureStderr();
    KQ_ASSERT("Common/RuntimeMain", 1 + 1 == 3);
    KQ_ASSERT("Common/RuntimeMain", 1 + 1 == 2); // holds: no report
    std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("Failure Condition: 1 + 1 == 3\n"), std::string::npos);
    EXPECT_EQ(reported.find("1 + 1 == 2"), std::string::npos);
    EXPECT_NE(reported.find("Common/RuntimeMain: "), std::string::npos);
}

TEST(RuntimeErrorReportDeathTest, CancelEndsTheProcessWithStatusZero) {
    setenv("KQ_ERROR_REPORT", "cancel", 1);
    EXPECT_EXIT(
        {
            RuntimeErrorReport(kRuntimeErrorFailedAssertion, "Common/loaderX86", 3, "exeFile",
                               "Can't open executable /nowhere");
            std::exit(3); // not reached
        },
        testing::ExitedWithCode(0), "Failure Condition: exeFile\nCan't open executable /nowhere");
    unsetenv("KQ_ERROR_REPORT");
}
