// The window list: the native windows in front-to-back order. The window
// layer keeps it up to date (add on creation, bring to front on focus-in,
// send to back on hiding, remove on destruction); the main loop walks it for
// the window count, for auto quit and for closing all windows at the end.
// An operation on a window that is not listed does nothing; moving the front
// window forwards or the last one backwards does nothing.
#pragma once

#include <cstdint>

class NativeWindow; // the window layer's native window

namespace windowlist {

void Add(NativeWindow *window); // at the front
void BringToFront(NativeWindow *window);
void MoveForward(NativeWindow *window);  // one place towards the front
void MoveBackward(NativeWindow *window); // one place towards the back
void SendToBack(NativeWindow *window);
void Remove(NativeWindow *window);

uint32_t Count();
NativeWindow *At(uint32_t index); // null when out of range; 0 is the front
bool Contains(NativeWindow *window);

} // namespace windowlist
