// Code generation of one method: its frame (parameters, locals, temporaries
// and the argument area), the prologue, and the cleanup handler that every
// method ends in (see CodegenImpl.h).
//
// Frame, from the frame pointer down:
//   -4  the body's stack pointer (the handlers restore it)
//   -8  the pending exception (set when an exception lands in the cleanup)
//   ... the result, locals, exception slots of Try blocks, temporaries
//   ... the argument area, at the stack pointer, 16-byte aligned
#include "ImageFormat.h"
#include <cstdio>

#include "CodegenImpl.h"

namespace kqc {

Repr reprOf(const Type *t) {
    switch (t->kind) {
    case TypeKind::Void:
        return Repr::Void;
    case TypeKind::Int64:
    case TypeKind::UInt64:
    case TypeKind::Currency:
        return Repr::I64;
    case TypeKind::Single:
        return Repr::F32;
    case TypeKind::Double:
        return Repr::F64;
    default:
        return Repr::I32;
    }
}

Counted countedOf(const Type *t) {
    switch (t->kind) {
    case TypeKind::String:
        return Counted::String;
    case TypeKind::Object:
    case TypeKind::Variant:
        return Counted::Object;
    case TypeKind::Array:
        return Counted::Array;
    default:
        return Counted::None;
    }
}

const char *lockEntry(Counted c) {
    return c == Counted::String  ? "RuntimeLockString"
           : c == Counted::Array ? "RuntimeLockArray"
                                 : "RuntimeLockObject";
}

const char *unlockEntry(Counted c) {
    return c == Counted::String  ? "RuntimeUnlockString"
           : c == Counted::Array ? "RuntimeUnlockArray"
                                 : "RuntimeUnlockObject";
}

const char *lockUnlockEntry(Counted c) {
    return c == Counted::String  ? "RuntimeLockUnlockStrings"
           : c == Counted::Array ? "RuntimeLockUnlockArrays"
                                 : "RuntimeLockUnlockObjects";
}

MethodGen::MethodGen(ModuleGen &module, const ClassInfo *cls, bool receiver)
    : module_(module), cls_(cls), receiver_(receiver) {
    epilogue_ = label();
    self_.type = cls ? cls->type : nullptr;
}

std::string MethodGen::label() {
    return module_.out().label();
}

void MethodGen::call(const std::string &entry, SourcePos pos) {
    ins("call " + module_.runtime(entry, pos));
}

void MethodGen::callSymbol(const std::string &symbol) {
    ins("call " + symbol);
}

void MethodGen::useArgs(uint32_t bytes) {
    if (bytes > argBytes_) argBytes_ = bytes;
}

void MethodGen::arg(uint32_t offset, const char *reg) {
    useArgs(offset + 4);
    ins("movl " + std::string(reg) + ", " + std::to_string(offset) + "(%esp)");
}

// Four bytes of fixed code before each place the runtime's handler search
// must see: a handler marker and the leave of a function's end. The search
// reads compiled code byte by byte and steps over four bytes after any 0xE9
// and one after any 0xEB; such bytes turn up in the displacements of calls
// into the runtime, which depend on where the image was placed. Without the
// guard a step could pass over the marker or the end of the function and
// the search would go on into the next function. A four-byte no-op
// (nopl 0(%eax)) holds neither byte.
void MethodGen::scanGuard() {
    raw("\t.byte 0x0F, 0x1F, 0x40, 0x00\n");
}

// A handler marker: a jump over a 13-byte record (kind, variable offset),
// after a scan guard.
void MethodGen::marker(uint32_t kind, int32_t variable, const std::string &target) {
    scanGuard();
    char record[160];
    std::snprintf(record, sizeof record,
                  "\t.byte 0xE9\n\t.long %s - (. + 4)\n\t.long 0x%x\n\t.short 0, %d\n",
                  target.c_str(), kind, variable);
    raw(record);
}

// Loops yield to the runtime's background work on every pass, when the
// runtime has it.
void MethodGen::backgroundTask() {
    if (module_.hasEntry("RuntimeBackgroundTask")) call("RuntimeBackgroundTask");
}

int32_t MethodGen::slot(uint32_t size, Counted counted) {
    next_ -= static_cast<int32_t>(size < 4 ? 4 : size);
    if (counted != Counted::None) released_.emplace_back(next_, counted);
    return next_;
}

int32_t MethodGen::temp(Repr repr) {
    bool wide = repr == Repr::I64 || repr == Repr::F64;
    auto &free = freePlain_[wide ? Repr::F64 : Repr::I32];
    if (!free.empty()) {
        int32_t offset = free.back();
        free.pop_back();
        return offset;
    }
    int32_t offset = slot(wide ? 8 : 4, Counted::None);
    if (wide) eightByte_.insert(offset);
    return offset;
}

int32_t MethodGen::countedTemp(Counted counted) {
    auto &free = freeCounted_[counted];
    if (!free.empty()) {
        int32_t offset = free.back();
        free.pop_back();
        return offset;
    }
    int32_t offset = slot(4, counted);
    countedTemps_.push_back(offset);
    return offset;
}

void MethodGen::freeTemp(int32_t offset) {
    for (auto &[o, c] : released_) {
        if (o == offset) {
            freeCounted_[c].push_back(offset);
            return;
        }
    }
    // Plain temporaries remember their width through the free list they
    // came from; 8-byte ones are recognised by their size record.
    freePlain_[eightByte_.count(offset) ? Repr::F64 : Repr::I32].push_back(offset);
}

// At the landing of a handler: temporaries of the statement that raised are
// released (the statement will not finish).
void MethodGen::releaseTemps() {
    for (int32_t offset : countedTemps_) {
        for (auto &[o, c] : released_) {
            if (o != offset) continue;
            ins("movl " + at(o) + ", %eax");
            arg(0);
            call(unlockEntry(c));
            ins("movl $0, " + at(o));
        }
    }
}

void MethodGen::parameters(const MethodDecl &decl, const Signature &sig) {
    decl_ = &decl;
    uint32_t offset = receiver_ ? 12 : 8;
    for (Variable *v : decl.locals) {
        if (!v->isParam) continue;
        v->frameOffset = static_cast<int32_t>(offset);
        Repr repr = v->byRef ? Repr::I32 : reprOf(v->type);
        offset += repr == Repr::I64 || repr == Repr::F64 ? 8 : 4;
        Counted counted = v->byRef ? Counted::None : countedOf(v->type);
        if (counted != Counted::None) released_.emplace_back(v->frameOffset, counted);
    }
    (void)sig;
}

void MethodGen::locals(const MethodDecl &decl) {
    decl_ = &decl;
    for (Variable *v : decl.locals) {
        if (v->isParam) continue;
        Repr repr = reprOf(v->type);
        v->frameOffset = slot(repr == Repr::I64 || repr == Repr::F64 ? 8 : 4, countedOf(v->type));
        if (repr == Repr::I64 || repr == Repr::F64) eightByte_.insert(v->frameOffset);
    }
}

void MethodGen::finish(const std::string &symbol, const Type *result, const std::string &section) {
    std::string body = std::move(code_);
    code_.clear();
    // The cleanup handler: release what the frame holds, pass a pending
    // exception on, hand the result over.
    std::string cleanup = label(), normal = label(), out = label();
    place(epilogue_);
    ins("movl $0, " + at(pending_));
    marker(kqimage::kMarkerHandler, pending_, cleanup);
    ins("movl " + at(spSlot_) + ", %esp");
    place(cleanup);
    for (auto &[offset, counted] : released_) {
        ins("movl " + at(offset) + ", %eax");
        arg(0);
        call(unlockEntry(counted));
    }
    Repr repr = result ? reprOf(result) : Repr::Void;
    Counted resultCounted = result ? countedOf(result) : Counted::None;
    ins("movl " + at(pending_) + ", %eax");
    ins("testl %eax, %eax");
    ins("jz " + normal);
    if (resultCounted != Counted::None) {
        ins("movl " + at(resultSlot_) + ", %eax");
        arg(0);
        call(unlockEntry(resultCounted));
        ins("movl " + at(pending_) + ", %eax");
    }
    arg(0);
    call("RuntimeReraiseException");
    ins("movl " + at(pending_) + ", %eax");
    arg(0);
    call("RuntimeUnlockObject");
    ins("jmp " + out);
    place(normal);
    if (repr != Repr::Void) load(repr, result, at(resultSlot_));
    place(out);
    scanGuard();
    ins("leave");
    ins("ret");
    std::string tail = std::move(code_);

    // The prologue, now that the frame's size is known.
    uint32_t localBytes = static_cast<uint32_t>(-next_);
    uint32_t size = (localBytes + argBytes_ + 8 + 15) / 16 * 16 - 8;
    code_.clear();
    raw(symbol + ":\n");
    ins("pushl %ebp");
    ins("movl %esp, %ebp");
    ins("subl $" + std::to_string(size) + ", %esp");
    uint32_t words = (localBytes - 4) / 4; // from -localBytes up to -8
    if (words <= 16) {
        for (uint32_t i = 0; i < words; ++i)
            ins("movl $0, " + at(-static_cast<int32_t>(localBytes) + 4 * i));
    } else {
        std::string loop = label();
        ins("xorl %eax, %eax");
        ins("movl $" + std::to_string(words) + ", %ecx");
        ins("leal " + at(-static_cast<int32_t>(localBytes)) + ", %edx");
        place(loop);
        ins("movl %eax, (%edx)");
        ins("addl $4, %edx");
        ins("decl %ecx");
        ins("jnz " + loop);
    }
    ins("movl %esp, " + at(spSlot_));
    for (auto &[offset, counted] : released_) {
        if (offset < 0) continue; // parameters: the method holds its own reference
        ins("movl " + at(offset) + ", %eax");
        arg(0);
        call(lockEntry(counted));
    }
    call("RuntimeStackCheck");
    std::string whole = code_ + body + tail;
    code_.clear();
    std::string &target = section == "entry" ? module_.out().entry : module_.out().text;
    target += whole;
}

// A function's result is kept in a slot of its own, which the cleanup hands
// to the caller (or releases when an exception passes).
void MethodGen::setResult(const Type *result) {
    result_ = result;
    if (!result || result->kind == TypeKind::Void) return;
    Repr repr = reprOf(result);
    next_ -= repr == Repr::I64 || repr == Repr::F64 ? 8 : 4;
    resultSlot_ = next_;
}

// The handler of a control's event is called for the control; Self, the
// window, is taken from the control at the start.
void MethodGen::controlHandler(uint32_t windowOffset, const Variable *arrayIndex,
                               uint32_t indexOffset) {
    selfSlot_ = slot(4, Counted::None);
    ins("movl 8(%ebp), %eax");
    if (arrayIndex) {
        ins("movl " + std::to_string(indexOffset) + "(%eax), %ecx");
        ins("movl %ecx, " + at(arrayIndex->frameOffset));
    }
    ins("movl " + std::to_string(windowOffset) + "(%eax), %eax");
    ins("movl %eax, " + at(selfSlot_));
}

void MethodGen::statements(const Block &body) {
    for (const StmtPtr &s : body)
        statement(*s);
}

} // namespace kqc
