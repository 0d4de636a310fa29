// Shell commands and opening web addresses: captured output, children that
// run on and are collected later, the browser from BROWSER or found with
// `which` in its order, and addresses that cannot reach the shell.
#include "AppTestSupport.h"

#include "BackgroundTask.h"
#include "ShellCommand.h"
#include "ShowURL.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A temporary folder of the test's own.
std::string Folder() {
    static std::string folder = [] {
        std::string pattern = std::string(g_get_tmp_dir()) + "/kqtest-url-XXXXXX";
        return std::string(g_mkdtemp(&pattern[0]));
    }();
    return folder;
}

// A stand-in browser: writes its arguments, one per line, next to itself.
std::string FakeBrowser(const std::string &name) {
    std::string path = Folder() + "/" + name;
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out.part\"\nmv \"$0.out.part\" "
                           "\"$0.out\"\n";
    chmod(path.c_str(), 0755);
    return path;
}

std::string Contents(const std::string &path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Exists(const std::string &path) {
    return access(path.c_str(), F_OK) == 0;
}

// Opens the address and waits until `browser` has written what it got and
// the child has been collected by the main loop.
std::string ShowAndWait(const std::string &address, const std::string &browser) {
    KESTstring *text = kstr::Make(address.data(), uint32_t(address.size()), kEncodingUTF8);
    GlobalShowURL(text);
    RuntimeUnlockString(text);
    apptest::IterateUntil(
        [&] { return Exists(browser + ".out") && shell::PendingChildren() == 0; });
    return Contents(browser + ".out");
}

const char kHostile[] = "http://example.org/?a=1&b=\"2\";touch planted;'$(touch planted)'`touch "
                        "planted`\\";

} // namespace

TEST(Shell, CapturedCommandsGiveAllTheirOutput) {
    EXPECT_EQ(shell::Run("printf out; printf err >&2", true), "outerr");
    std::string big = shell::Run("head -c 2000 /dev/zero | tr '\\0' x", true);
    EXPECT_EQ(big, std::string(2000, 'x'));
    EXPECT_EQ(shell::Run("exit 3", true), "");
    EXPECT_FALSE(AnyPolledBackgroundTask()) << "captured commands leave nothing to collect";
}

TEST(Shell, ChildrenThatRunOnAreCollectedAndTheLoopMayBlockAgain) {
    shell::Run("sleep 0.2", false);
    EXPECT_EQ(shell::PendingChildren(), 1u);
    EXPECT_TRUE(AnyPolledBackgroundTask()) << "the main loop polls while a child runs";
    EXPECT_TRUE(apptest::IterateUntil([] { return shell::PendingChildren() == 0; }));
    EXPECT_FALSE(AnyPolledBackgroundTask());
}

TEST(ShowURL, BrowserVariableIsUsedAndTheAddressCannotReachTheShell) {
    std::string browser = FakeBrowser("my browser");
    std::string firefox = FakeBrowser("firefox");
    setenv("BROWSER", browser.c_str(), 1);
    std::string path = getenv("PATH");
    setenv("PATH", (Folder() + ":" + path).c_str(), 1);
    ASSERT_EQ(chdir(Folder().c_str()), 0);
    EXPECT_EQ(ShowAndWait(kHostile, browser), std::string(kHostile) + "\n");
    EXPECT_FALSE(Exists(Folder() + "/planted")) << "the address ran a command";
    EXPECT_FALSE(Exists(firefox + ".out")) << "no browser was searched for";
    setenv("PATH", path.c_str(), 1);
}

TEST(ShowURL, WithoutBrowserVariableTheFirstBrowserOnThePathInOrderOpensIt) {
    for (const char *name : {"firefox", "galeon", "konqueror", "mozilla", "opera"}) {
        std::string command = std::string("which ") + name + " >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) GTEST_SKIP() << "this host has " << name;
    }
    unsetenv("BROWSER");
    std::string path = getenv("PATH");
    setenv("PATH", (Folder() + ":" + path).c_str(), 1);
    KESTstring *address = kstr::FromC("http://example.org/");
    GlobalShowURL(address); // no browser at all: nothing happens
    EXPECT_EQ(shell::PendingChildren(), 0u);
    std::string opera = FakeBrowser("opera");
    std::string galeon = FakeBrowser("galeon");
    EXPECT_EQ(ShowAndWait("http://example.org/", galeon), "http://example.org/\n");
    EXPECT_FALSE(Exists(opera + ".out")) << "galeon comes before opera";
    RuntimeUnlockString(address);
    setenv("PATH", path.c_str(), 1);
}
