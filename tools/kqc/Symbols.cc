// Class member tables and the program's symbol registry (see Symbols.h).
#include "Symbols.h"

#include "Utf8.h"

namespace kqc {

const std::vector<Symbol *> *ClassInfo::own(const std::string &folded) const {
    auto found = members.find(folded);
    return found == members.end() ? nullptr : &found->second;
}

const std::vector<Symbol *> *ClassInfo::find(const std::string &folded) const {
    for (const ClassInfo *c = this; c; c = c->super) {
        if (const auto *list = c->own(folded)) return list;
    }
    return nullptr;
}

bool ClassInfo::isA(const ClassInfo *other) const {
    if (other->isRoot) return true;
    for (const ClassInfo *c = this; c; c = c->super) {
        if (c == other) return true;
        for (const ClassInfo *i : c->interfaces) {
            if (i->isA(other)) return true;
        }
    }
    return false;
}

void ClassInfo::add(Symbol *member) {
    members[utf8::fold(member->name)].push_back(member);
    memberOrder.push_back(member);
}

Program::Program() {
    ClassInfo *root = addClass("Object", {});
    root->fromRuntime = true;
    root->isRoot = true;
}

ClassInfo *Program::findClass(const std::string &name) const {
    auto found = classes_.find(utf8::fold(name));
    return found == classes_.end() ? nullptr : found->second;
}

ClassInfo *Program::addClass(const std::string &name, SourcePos pos) {
    std::string key = utf8::fold(name);
    if (classes_.count(key)) return nullptr;
    ClassInfo *cls = make<ClassInfo>(name, pos);
    cls->type = types.object(cls);
    classes_[key] = cls;
    classOrder_.push_back(cls);
    return cls;
}

IntrinsicInfo *Program::findIntrinsic(const std::string &name) const {
    auto found = intrinsics_.find(utf8::fold(name));
    return found == intrinsics_.end() ? nullptr : found->second;
}

IntrinsicInfo *Program::intrinsic(const std::string &name) {
    IntrinsicInfo *&slot = intrinsics_[utf8::fold(name)];
    if (!slot) slot = make<IntrinsicInfo>(name, SourcePos{});
    return slot;
}

} // namespace kqc
