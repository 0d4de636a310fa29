// The window list (see WindowList.h).
#include "WindowList.h"

#include "SimpleVector.h"

namespace {

SimpleVector<NativeWindow *> gWindows;

bool IndexOf(NativeWindow *window, uint32_t *index) {
    for (uint32_t i = 0; i < gWindows.Count(); ++i)
        if (gWindows[i] == window) {
            *index = i;
            return true;
        }
    return false;
}

void Swap(uint32_t a, uint32_t b) {
    NativeWindow *w = gWindows[a];
    gWindows[a] = gWindows[b];
    gWindows[b] = w;
}

} // namespace

namespace windowlist {

void Add(NativeWindow *window) {
    if (window != nullptr) gWindows.Insert(0, window);
}

void BringToFront(NativeWindow *window) {
    uint32_t i;
    if (!IndexOf(window, &i)) return;
    gWindows.RemoveAt(i);
    gWindows.Insert(0, window);
}

void MoveForward(NativeWindow *window) {
    uint32_t i;
    if (IndexOf(window, &i) && i > 0) Swap(i, i - 1);
}

void MoveBackward(NativeWindow *window) {
    uint32_t i;
    if (IndexOf(window, &i) && i + 1 < gWindows.Count()) Swap(i, i + 1);
}

void SendToBack(NativeWindow *window) {
    uint32_t i;
    if (!IndexOf(window, &i)) return;
    gWindows.RemoveAt(i);
    gWindows.Append(window);
}

void Remove(NativeWindow *window) {
    uint32_t i;
    if (IndexOf(window, &i)) gWindows.RemoveAt(i);
}

uint32_t Count() {
    return gWindows.Count();
}

NativeWindow *At(uint32_t index) {
    return index < gWindows.Count() ? gWindows[index] : nullptr;
}

bool Contains(NativeWindow *window) {
    uint32_t i;
    return IndexOf(window, &i);
}

} // namespace windowlist
