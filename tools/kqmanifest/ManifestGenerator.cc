// kqmanifest: prints the runtime manifest (docs/runtime-manifest.md) from the
// runtime's own class definitions and intrinsic function records, the one
// source of truth about them. Every runtime class is converted exactly as
// the runtime converts it at run time, and the converted class record is
// what is printed: counts, slots, member names and entry points. Intrinsic
// functions without an implementation yet are left out, so the compiler
// rejects their use instead of linking a call that would only report.
//
// Exits with status 1 (and a message on standard error) when a definition
// cannot be described, so that an outdated manifest never reaches kqc.
#include <cstdio>
#include <cstring>
#include <string>

#include "CustomControl.h"
#include "IntrinsicFunction.h"
#include "ObjectDefinition.h"
#include "RelocEntry.h"
#include "RuntimeException.h"
#include "plugin.h"

#define KQ_RUNTIME_MODULE(Name) extern ObjectDefinition Name##Definition;
#include "RuntimeModuleList.h"
#undef KQ_RUNTIME_MODULE

namespace {

ObjectDefinition *const kModules[] = {
#define KQ_RUNTIME_MODULE(Name) &Name##Definition,
#include "RuntimeModuleList.h"
#undef KQ_RUNTIME_MODULE
};

[[noreturn]] void fail(const std::string &message) {
    std::fprintf(stderr, "kqmanifest: %s\n", message.c_str());
    std::exit(1);
}

bool sameWord(const std::string &a, const char *b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::string trim(const std::string &s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The code of a type written as in a declaration text: a value type's name,
// `Object` or a runtime class's name.
std::string codeOfTypeName(const std::string &name, const std::string &context) {
    static const IntrinsicType *const kTypes[] = {
        &kTypeBoolean, &kTypeColor,  &kTypeCurrency, &kTypeSingle, &kTypeDouble, &kTypeInt8,
        &kTypeInt16,   &kTypeInt32,  &kTypeInteger,  &kTypeInt64,  &kTypeUInt8,  &kTypeUInt16,
        &kTypeUInt32,  &kTypeUInt64, &kTypeString,   &kTypePtr,    &kTypeVariant};
    for (const IntrinsicType *t : kTypes) {
        if (sameWord(name, t->name)) return t->code;
    }
    if (sameWord(name, "Object")) return "o<Object>"; // the compiler's name for any object
    for (uint32_t i = 0; i < definitions::RuntimeClassCount(); ++i) {
        ObjectDefinition *defn = definitions::RuntimeClassAt(i);
        if (sameWord(name, kstr::Text(defn->name)))
            return "o<" + std::string(kstr::Text(defn->name)) + ">";
    }
    fail("unknown type '" + name + "' in " + context);
}

// "x as integer, ByRef names() as string" -> "i4&A1s".
std::string codesOfDeclaration(const char *text, const std::string &context) {
    std::string codes, all = text ? text : "";
    size_t start = 0;
    while (start < all.size()) {
        size_t comma = all.find(',', start);
        std::string param =
            trim(all.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma == std::string::npos ? all.size() : comma + 1;
        if (param.empty()) continue;
        std::string lower = param;
        for (char &c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.compare(0, 6, "byref ") == 0) {
            codes += "&";
            param = trim(param.substr(6));
            lower = trim(lower.substr(6));
        }
        size_t as = lower.find(" as ");
        if (as == std::string::npos) fail("parameter '" + param + "' without a type in " + context);
        std::string name = trim(param.substr(0, as));
        std::string type = trim(param.substr(as + 4));
        if (name.size() > 2 && name.compare(name.size() - 2, 2, "()") == 0) codes += "A1";
        codes += codeOfTypeName(type, context);
    }
    return codes;
}

const char *orDash(const char *name) {
    return name && *name ? name : "-";
}

void printClass(ObjectDefinition *defn, bool module) {
    RuntimeClass *cls = definitions::Convert(defn);
    if (!cls) fail(std::string("class ") + kstr::Text(defn->name) + " does not convert");
    std::string name = kstr::Text(defn->name);
    std::printf("class %s", name.c_str());
    if (defn->super) std::printf(" super=%s", kstr::Text(defn->super->name));
    std::printf(" size=%u methods=%u events=%u members=%u properties=%u interfaces=%u",
                cls->instanceSize, cls->methodCount, cls->eventCount, cls->memberCount,
                cls->propertyCount, cls->interfaceCount);
    if (defn->isAnInterface) std::printf(" interface");
    if (module) std::printf(" module");
    std::string availability = definitions::AvailabilityCondition(defn);
    if (availability == "not TargetHasGUI") std::printf(" console");
    if (availability == "TargetHasGUI") std::printf(" gui");
    std::printf("\n");
    if (defn->initializer.name) std::printf("  initializer %s\n", defn->initializer.name);
    if (defn->finalizer.name) std::printf("  finalizer %s\n", defn->finalizer.name);
    for (PropertyItem *p = defn->properties; p; p = p->next) {
        std::string code = definitions::TypeCode(p->type);
        if (p->kind == kPropertyKindConstant) {
            std::string value =
                code == "s"
                    ? "\"" + std::string(reinterpret_cast<const char *>(p->parameter)) + "\""
                    : std::to_string(static_cast<int32_t>(p->parameter));
            std::printf("  const %s %s %s\n", kstr::Text(p->name), code.c_str(), value.c_str());
            continue;
        }
        const RuntimePropertyEntry &entry = cls->properties[p->mPropertyTableIndex];
        std::printf("  property %u %s %d %s %s%s\n", p->mPropertyTableIndex, kstr::Text(entry.name),
                    entry.parameter, orDash(p->getterName),
                    orDash(p->setter ? p->setterName : nullptr),
                    (p->flags & kMemberShared) ? " shared" : "");
    }
    for (EventItem *e = defn->events; e; e = e->next) {
        std::string context = name + "." + kstr::Text(e->name);
        std::string result = e->returnType ? codeOfTypeName(trim(e->returnType), context) : "";
        std::printf("  event %u %s%%%s%%%s\n", e->index, kstr::Text(e->name), result.c_str(),
                    codesOfDeclaration(e->parameters, context).c_str());
    }
    for (HookItem *h = defn->hooks; h; h = h->next)
        std::printf("  handles %s\n", kstr::Text(h->eventName));
    uint32_t member = defn->super ? definitions::Convert(defn->super)->memberCount : 0;
    for (MethodItem *m = defn->methods; m; m = m->next) {
        const char *shared = (m->userFlags & kMemberShared) ? " shared" : "";
        if (m->plain.code) {
            std::printf("  member %u %s %s%s\n", member, kstr::Text(cls->members[member].name),
                        m->plain.name, shared);
            ++member;
        }
        if (m->assigning.code) {
            std::printf("  member %u %s %s assign%s\n", member,
                        kstr::Text(cls->members[member].name), m->assigning.name, shared);
            ++member;
        }
    }
    for (InterfaceItem *i = defn->interfaces; i; i = i->next) {
        std::printf("  implements %s\n", kstr::Text(definitions::Built(i->interface)->name));
    }
    std::printf("end\n");
}

// Whether every class a signature names is one the manifest describes
// (`Object` is the compiler's own name for any object).
bool describedClasses(const char *signature) {
    for (const char *p = std::strstr(signature, "<"); p; p = std::strstr(p + 1, "<")) {
        std::string name(p + 1, std::strcspn(p + 1, ">"));
        bool known = name == "Object";
        for (uint32_t i = 0; i < definitions::RuntimeClassCount() && !known; ++i) {
            known = name == kstr::Text(definitions::RuntimeClassAt(i)->name);
        }
        for (ObjectDefinition *module : kModules) {
            known |= name == kstr::Text(definitions::Built(module)->name);
        }
        if (!known) return false;
    }
    return true;
}

// Every entry point of the export table's static part that a module of the
// runtime implements (a name nobody implements has no code until the table
// is first used, and then the reporting fallback).
void printEntries() {
    std::string seen = "\n";
    for (uint32_t i = 0; i < kStaticExportCount; ++i) {
        const RelocEntry &e = gStaticExports[i];
        if (!e.name || !e.code || e.code == kStaticExportFallbacks[i]) continue;
        std::string key = std::string(e.name) + "\n";
        if (seen.find("\n" + key) != std::string::npos) continue;
        seen += key;
        std::printf("entry %s\n", e.name);
    }
}

// With --plugin: loads the library through the runtime's plug-in path and
// prints only the classes it registered.
int printPlugin(const char *path) {
    std::string error;
    if (!LoadPluginFile(path, &error)) fail(std::string("cannot load ") + path + ": " + error);
    if (customcontrols::Count() == 0) fail(std::string(path) + " registered no classes");
    std::printf("kqmanifest 1\n# Generated by kqmanifest from the classes that %s registers.\n",
                std::strrchr(path, '/') != nullptr ? std::strrchr(path, '/') + 1 : path);
    for (uint32_t i = 0; i < customcontrols::Count(); ++i)
        printClass(customcontrols::At(i), false);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--plugin") == 0) return printPlugin(argv[2]);
    if (argc != 1) fail("usage: kqmanifest [--plugin <library>]");
    std::printf("kqmanifest 1\n# Generated from the runtime's class definitions by kqmanifest.\n");
    printEntries();
    for (uint32_t i = 0; i < definitions::RuntimeClassCount(); ++i) {
        printClass(definitions::RuntimeClassAt(i), false);
    }
    for (ObjectDefinition *module : kModules)
        printClass(definitions::Built(module), true);
    for (uint32_t i = 0; i < kIntrinsicFunctionRowCount; ++i) {
        const IntrinsicFunctionRow &row = kIntrinsicFunctionRows[i];
        if (!row.entryPoint) continue; // not implemented yet
        if (!describedClasses(row.signature)) {
            std::printf("# not described: %s %s (a class it names is not in this manifest)\n",
                        row.name, row.entryPointName);
            continue;
        }
        std::printf("function %s%%%s %s\n", row.name, row.signature, row.entryPointName);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
