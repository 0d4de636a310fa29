// Helpers for GUI tests that run on the private display of scripts/with-xvfb.
// Link with kqtestgui, which also provides main(): it initialises GTK+ once
// and fails at once when there is no display.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace kqtest {

// Turns the GLib main loop until `done` holds or `timeoutMs` has passed;
// blocks in between instead of sleeping. True when `done` held.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// Waits until the toplevel is mapped and viewable on the X server and its
// first exposure has been drawn.
bool WaitForWindow(GtkWidget *window, int timeoutMs = 10000);

// The X window id of a realised widget's window.
unsigned long XidOf(GtkWidget *widget);

// Whether the X server still knows the window with this id.
bool XWindowExists(unsigned long xid);

// Saves a PNG of the window with its frame (or of the whole screen when
// `window` is null) as <KQ_ARTIFACT_DIR>/<name>.png; returns the path, or ""
// when it could not be written.
std::string SaveScreenshot(GtkWidget *window, const std::string &name);

} // namespace kqtest
