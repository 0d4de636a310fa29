// Transfer of control to the handler of an exception. Handlers are found in
// the code itself: after each return address the caller's code is scanned
// for handler markers (RuntimeException.h) up to the end of the function.
// The frame chain is followed through the saved frame pointers, so every
// function on the way keeps one; a link that points down, stays in place,
// leaves the thread's stack or skips more than kMaximumFrameSize bytes means
// the chain is broken and the exception is unhandled.
#include "RuntimeException.h"

#include "RuntimeErrorReport.h"
#include "StackCheck.h"

#include <cstring>

namespace {

// A frame as the frame-pointer chain sees it: the caller's frame pointer,
// then the return address into the caller.
struct Frame {
    Frame *link;
    const uint8_t *returnAddress;
};

uint32_t Read32(const uint8_t *p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

int16_t Read16(const uint8_t *p) {
    int16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

bool LinkAbove(const Frame *frame, const Frame *next, uintptr_t top) {
    auto f = reinterpret_cast<uintptr_t>(frame), n = reinterpret_cast<uintptr_t>(next);
    return n > f && n <= top;
}

} // namespace

namespace exceptions {

const uint8_t *FindHandler(const uint8_t *ptr) {
    KQ_ASSERT(KQ_EXCEPTION_SOURCE, ptr);
    if (ptr == nullptr) return nullptr;
    uint32_t depth = 0;
    for (const uint8_t *p = ptr;;) {
        if ((p[0] == 0xC9 || p[0] == 0x5D) && p[1] == 0xC3) return nullptr; // leave/pop ebp; ret
        if (p[0] != 0xE9 && p[0] != 0xEB) {
            ++p;
            continue;
        }
        switch (Read32(p + kqimage::kMarkerKindOffset)) {
        case kqimage::kMarkerRegionStart:
            ++depth;
            break;
        case kqimage::kMarkerRegionEnd:
            if (depth > 0) --depth;
            break;
        case kqimage::kMarkerHandler:
            if (depth == 0) return p;
            break;
        default: // a plain jump: step over its displacement
            p += p[0] == 0xE9 ? 5 : 2;
            continue;
        }
        ++p;
    }
}

void WalkFrames(void *frame, FrameVisitor visit, void *userData) {
    KQ_ASSERT(KQ_EXCEPTION_SOURCE, userData);
    if (userData == nullptr || frame == nullptr) return;
    uintptr_t top = stackcheck::Current()->base;
    for (auto *f = static_cast<Frame *>(frame);; f = f->link) {
        if (!visit(f->returnAddress, userData)) return;
        if (!LinkAbove(f, f->link, top)) return;
    }
}

// Kept out of line: it starts from its own frame and may redirect the return
// of any frame above it.
__attribute__((noinline)) void Transfer(RuntimeObject *exc) {
    uintptr_t top = stackcheck::Current()->base;
    auto *frame = static_cast<Frame *>(__builtin_frame_address(0));
    for (;;) {
        Frame *next = frame->link;
        if (!LinkAbove(frame, next, top) ||
            reinterpret_cast<uintptr_t>(next) - reinterpret_cast<uintptr_t>(frame) >
                kMaximumFrameSize) {
            RuntimeUnhandledException(exc);
            return;
        }
        if (const uint8_t *marker = FindHandler(frame->returnAddress)) {
            int16_t offset = Read16(marker + kqimage::kMarkerLocalOffset);
            if (offset != 0) {
                RuntimeLockObject(exc);
                std::memcpy(reinterpret_cast<char *>(next) + offset, &exc, sizeof exc);
            }
            // A store the compiler must keep, although it may be its own frame.
            *static_cast<const uint8_t *volatile *>(&frame->returnAddress) =
                marker + kqimage::kMarkerSize;
            return;
        }
        frame = next;
    }
}

} // namespace exceptions
