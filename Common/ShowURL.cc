// GlobalShowURL (see ShowURL.h). The browser is the program that the
// environment variable BROWSER names (an absolute path), else the desktop's
// own (gnome_url_show of libgnome-2, when that library is there), else the
// first of firefox, galeon, konqueror, mozilla and opera that `which` finds.
// The browser runs on by itself; the program and the address are quoted, so
// nothing in them reaches the shell as a command.
#include "ShowURL.h"

#include "ExecutablePath.h"
#include "ShellCommand.h"

#include <dlfcn.h>
#include <glib.h>

#include <cstdlib>
#include <string>

namespace {

using UrlShow = gboolean (*)(const char *url, GError **error);

const char *const kBrowsers[] = {"firefox", "galeon", "konqueror", "mozilla", "opera"};

// BROWSER, read once per process.
const std::string &BrowserVariable() {
    static const std::string value = [] {
        const char *text = std::getenv("BROWSER");
        return std::string(text != nullptr ? text : "");
    }();
    return value;
}

// gnome_url_show, looked up once per process; null when there is none.
UrlShow DesktopUrlShow() {
    static const UrlShow show = [] {
        void *library = dlopen("libgnome-2.so", RTLD_LAZY);
        return library != nullptr ? reinterpret_cast<UrlShow>(dlsym(library, "gnome_url_show"))
                                  : nullptr;
    }();
    return show;
}

std::string FoundBrowser() {
    for (const char *name : kBrowsers) {
        std::string path = shell::Run(std::string("which ") + name, true);
        if (!path.empty() && path[0] == '/') return path;
    }
    return "";
}

} // namespace

extern "C" void GlobalShowURL(KESTstring *address) {
    KESTstring *utf8 = kstr::ToUTF8(address);
    std::string url(kstr::Text(utf8), kstr::Length(utf8));
    RuntimeUnlockString(utf8);
    std::string browser = BrowserVariable();
    if (browser.empty() || browser[0] != '/') {
        if (UrlShow show = DesktopUrlShow()) {
            GError *error = nullptr;
            gboolean shown = show(url.c_str(), &error);
            g_clear_error(&error);
            if (shown) return;
        }
        browser = FoundBrowser();
        if (browser.empty()) return;
    }
    std::string program;
    for (char c : browser)
        if (c != '\n') program += c;
    shell::Run(ShellQuote(program.c_str()) + " " + ShellQuote(url.c_str()), false);
}
