// Reading the runtime manifest (see Manifest.h and docs/runtime-manifest.md).
#include "Manifest.h"

#include <charconv>
#include <unordered_set>

#include "Utf8.h"

namespace kqc {
namespace {

struct Field {
    std::string_view text;
    uint32_t column;
};

std::vector<Field> splitLine(std::string_view line) {
    std::vector<Field> out;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r') {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
            ++end;
        out.push_back({line.substr(at, end - at), static_cast<uint32_t>(at + 1)});
        at = end;
    }
    return out;
}

bool parseNumber(std::string_view text, int64_t *out) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), *out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

class ManifestReader {
  public:
    ManifestReader(const SourceSet &sources, uint32_t fileId, Program &program, Diagnostics &diags)
        : text_(sources.file(fileId).text), fileId_(fileId), program_(program), diags_(diags) {}

    bool run();

  private:
    void error(uint32_t column, const std::string &message) {
        diags_.error({fileId_, line_, column}, message);
        ++errors_;
    }
    template <class Fn>
    void eachLine(Fn fn);
    void declareClass(const std::vector<Field> &f);
    void record(const std::vector<Field> &f, std::string_view rest);
    void classLine(const std::vector<Field> &f);
    void finishClass();
    bool index(const Field &f, int expected, const char *what);
    // Reads "Name%result%params"; params may carry a leading & (by reference).
    bool signature(const Field &f, std::string *name, Signature *sig);
    const Type *typeAt(std::string_view text, size_t *at);
    ClassInfo *classNamed(const Field &f);
    bool needClass(const Field &f);

    std::string_view text_;
    uint32_t fileId_;
    Program &program_;
    Diagnostics &diags_;
    uint32_t line_ = 0;
    int errors_ = 0;
    ClassInfo *cls_ = nullptr;     // the class being read
    Overload *function_ = nullptr; // the function the next param lines belong to
    int ownMembers_ = 0, ownProperties_ = 0, ownInterfaces_ = 0;
    std::unordered_set<const ClassInfo *> done_; // classes read to their end
    std::unordered_set<const ClassInfo *> own_;  // classes this manifest lists
};

template <class Fn>
void ManifestReader::eachLine(Fn fn) {
    size_t start = 0;
    line_ = 0;
    while (start < text_.size()) {
        size_t end = text_.find('\n', start);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view line = text_.substr(start, end - start);
        ++line_;
        start = end + 1;
        std::vector<Field> fields = splitLine(line);
        if (fields.empty() || fields[0].text[0] == '#') continue;
        fn(fields, line);
    }
}

bool ManifestReader::run() {
    bool headerSeen = false;
    eachLine([&](const std::vector<Field> &f, std::string_view) {
        if (!headerSeen) {
            headerSeen = true;
            if (f.size() != 2 || f[0].text != "kqmanifest" || f[1].text != "1") {
                error(1,
                      "not a runtime manifest of format 1 (the first line must be 'kqmanifest 1')");
            }
        } else if (f[0].text == "class") {
            declareClass(f);
        }
    });
    if (!headerSeen) {
        line_ = 0;
        error(0, "the runtime manifest is empty");
        return false;
    }
    if (errors_) return false;
    bool first = true;
    eachLine([&](const std::vector<Field> &f, std::string_view line) {
        if (first) {
            first = false;
            return;
        }
        record(f, line);
    });
    if (cls_) error(1, "class " + cls_->name + " has no 'end'");
    return errors_ == 0;
}

void ManifestReader::declareClass(const std::vector<Field> &f) {
    if (f.size() < 2) return; // reported in the second pass
    ClassInfo *cls = program_.addClass(std::string(f[1].text), {});
    if (cls) {
        cls->fromRuntime = true;
        own_.insert(cls);
    } else {
        error(f[1].column, "class " + std::string(f[1].text) + " is listed twice");
    }
}

ClassInfo *ManifestReader::classNamed(const Field &f) {
    ClassInfo *cls = program_.findClass(std::string(f.text));
    if (!cls) error(f.column, "unknown class " + std::string(f.text));
    return cls;
}

const Type *ManifestReader::typeAt(std::string_view text, size_t *at) {
    return parseTypeCode(program_.types, text, at,
                         [&](const std::string &name) { return program_.findClass(name); });
}

bool ManifestReader::signature(const Field &f, std::string *name, Signature *sig) {
    std::string_view text = f.text;
    size_t p1 = text.find('%');
    size_t p2 = p1 == std::string_view::npos ? p1 : text.find('%', p1 + 1);
    if (p2 == std::string_view::npos || p1 == 0) {
        error(f.column,
              "expected a signature name%result%parameters, found '" + std::string(text) + "'");
        return false;
    }
    *name = std::string(text.substr(0, p1));
    size_t at = p1 + 1;
    sig->result = program_.types.get(TypeKind::Void);
    if (at < p2) {
        sig->result = typeAt(text, &at);
        if (!sig->result || at != p2) {
            error(f.column + static_cast<uint32_t>(p1 + 1),
                  "bad result type code in '" + std::string(text) + "'");
            return false;
        }
    }
    for (at = p2 + 1; at < text.size();) {
        ParamInfo p;
        if (text[at] == '&') {
            p.byRef = true;
            ++at;
        }
        size_t start = at;
        p.type = typeAt(text, &at);
        if (!p.type) {
            error(f.column + static_cast<uint32_t>(start),
                  "bad parameter type code in '" + std::string(text) + "'");
            return false;
        }
        p.name = "p" + std::to_string(sig->params.size() + 1);
        sig->params.push_back(std::move(p));
    }
    return true;
}

bool ManifestReader::index(const Field &f, int expected, const char *what) {
    int64_t n;
    if (!parseNumber(f.text, &n) || n != expected) {
        error(f.column, std::string(what) + " " + std::string(f.text) +
                            " is out of order (expected " + std::to_string(expected) + ")");
        return false;
    }
    return true;
}

bool ManifestReader::needClass(const Field &f) {
    if (cls_) return true;
    error(f.column, "'" + std::string(f.text) + "' outside a class");
    return false;
}

void ManifestReader::record(const std::vector<Field> &f, std::string_view line) {
    std::string_view kind = f[0].text;
    auto argc = [&](size_t min, size_t max) {
        if (f.size() >= min && f.size() <= max) return true;
        error(f[0].column, "wrong number of fields for '" + std::string(kind) + "'");
        return false;
    };
    auto flag = [&](size_t from, std::string_view name) {
        for (size_t i = from; i < f.size(); ++i) {
            if (f[i].text == name) return true;
        }
        return false;
    };
    if (kind == "class") {
        if (cls_) error(f[0].column, "class " + cls_->name + " has no 'end'");
        classLine(f);
    } else if (kind == "entry") {
        if (argc(2, 2)) program_.entries.insert(std::string(f[1].text));
    } else if (kind == "end") {
        if (needClass(f[0])) finishClass();
    } else if (kind == "initializer" || kind == "finalizer") {
        if (!needClass(f[0]) || !argc(2, 2)) return;
        (kind == "initializer" ? cls_->initializer : cls_->finalizer) = std::string(f[1].text);
    } else if (kind == "property") {
        if (!needClass(f[0]) || !argc(6, 7)) return;
        int slot = cls_->super ? cls_->super->propertyCount : 0;
        if (!index(f[1], slot + ownProperties_, "property slot")) return;
        std::string name;
        Signature sig;
        if (!signature(f[2], &name, &sig)) return;
        int64_t param;
        if (sig.result->kind == TypeKind::Void || !sig.params.empty() ||
            !parseNumber(f[3].text, &param)) {
            error(f[2].column, "expected 'property SLOT Name%type% PARAMETER GETTER SETTER'");
            return;
        }
        auto *p = program_.make<PropertyInfo>(name, SourcePos{});
        p->owner = cls_;
        p->type = sig.result;
        p->slot = slot + ownProperties_++;
        p->param = static_cast<uint32_t>(param);
        p->getter = f[4].text == "-" ? "" : std::string(f[4].text);
        p->setter = f[5].text == "-" ? "" : std::string(f[5].text);
        p->shared = flag(6, "shared");
        cls_->add(p);
    } else if (kind == "event") {
        if (!needClass(f[0]) || !argc(3, 3)) return;
        if (!index(f[1], static_cast<int>(cls_->events.size()), "event")) return;
        auto *e = program_.make<EventInfo>("", SourcePos{});
        if (!signature(f[2], &e->name, &e->sig)) return;
        e->owner = cls_;
        e->index = static_cast<int>(cls_->events.size());
        cls_->events.push_back(e);
        cls_->add(e);
    } else if (kind == "handles") {
        if (!needClass(f[0]) || !argc(2, 2)) return;
        cls_->handled.insert(utf8::fold(f[1].text));
    } else if (kind == "member") {
        if (!needClass(f[0]) || !argc(4, 6)) return;
        int base = cls_->super ? cls_->super->memberCount : 0;
        if (!index(f[1], base + ownMembers_, "member")) return;
        ++ownMembers_;
        auto *m = program_.make<MethodInfo>("", SourcePos{});
        if (!signature(f[2], &m->name, &m->sig)) return;
        if (m->sig.params.empty() || m->sig.params[0].type->kind != TypeKind::Object) {
            error(f[2].column, "a member's first parameter is the class that owns it");
            return;
        }
        m->sig.params.erase(m->sig.params.begin());
        m->origin = MethodOrigin::Runtime;
        m->owner = cls_;
        m->entry = std::string(f[3].text);
        m->shared = flag(4, "shared");
        m->isAssign = flag(4, "assign");
        if (m->isAssign != (m->name[0] == '=') || (m->isAssign && m->sig.params.empty())) {
            error(f[2].column, "an assigning member is named =Name and takes the value last");
            return;
        }
        if (m->isAssign) {
            m->name.erase(0, 1);
            m->sig.result = program_.types.get(TypeKind::Void); // the value is its last parameter
        }
        cls_->add(m);
    } else if (kind == "implements") {
        if (!needClass(f[0]) || !argc(2, 2)) return;
        ClassInfo *iface = classNamed(f[1]);
        if (iface && !iface->isInterface) error(f[1].column, iface->name + " is no interface");
        if (iface && iface->isInterface) cls_->interfaces.push_back(iface);
        ++ownInterfaces_;
    } else if (kind == "const") {
        if (!needClass(f[0]) || f.size() < 4) {
            argc(4, 4);
            return;
        }
        auto *c = program_.make<ConstInfo>(std::string(f[1].text), SourcePos{});
        size_t at = 0;
        c->type = typeAt(f[2].text, &at);
        if (!c->type || at != f[2].text.size()) {
            error(f[2].column, "bad type code '" + std::string(f[2].text) + "'");
            return;
        }
        if (!parseConstant(line.substr(f[3].column - 1), &c->value)) {
            error(f[3].column, "bad constant value");
            return;
        }
        c->owner = cls_;
        c->state = ConstInfo::State::Done;
        cls_->add(c);
    } else if (kind == "function") {
        if (cls_) error(f[0].column, "class " + cls_->name + " has no 'end'");
        cls_ = nullptr;
        function_ = nullptr;
        if (!argc(3, 4)) return;
        Overload o;
        std::string name;
        if (!signature(f[1], &name, &o.sig)) return;
        o.entry = std::string(f[2].text);
        if (f.size() == 4) {
            if (f[3].text.substr(0, 7) != "assign=") {
                error(f[3].column, "expected assign=ENTRY");
                return;
            }
            o.assignEntry = std::string(f[3].text.substr(7));
        }
        IntrinsicInfo *fn = program_.intrinsic(name);
        fn->overloads.push_back(std::move(o));
        function_ = &fn->overloads.back();
    } else if (kind == "param") {
        if (!function_) {
            error(f[0].column, "'param' belongs after a 'function'");
            return;
        }
        if (f.size() < 3) {
            argc(3, 3);
            return;
        }
        int64_t n;
        if (!parseNumber(f[1].text, &n) || n < 0 ||
            n >= static_cast<int64_t>(function_->sig.params.size())) {
            error(f[1].column, "no parameter " + std::string(f[1].text));
            return;
        }
        ParamInfo &p = function_->sig.params[n];
        p.name = std::string(f[2].text);
        if (f.size() > 3) {
            p.optional = true;
            if (!parseConstant(line.substr(f[3].column - 1), &p.defaultValue)) {
                error(f[3].column, "bad default value");
            }
        }
    } else {
        error(f[0].column, "unknown record '" + std::string(kind) + "'");
    }
}

void ManifestReader::classLine(const std::vector<Field> &f) {
    cls_ = nullptr;
    function_ = nullptr;
    if (f.size() < 2) {
        error(f[0].column, "a class needs a name");
        return;
    }
    ClassInfo *cls = program_.findClass(std::string(f[1].text));
    cls->fromRuntime = true;
    ownMembers_ = ownProperties_ = ownInterfaces_ = 0;
    bool sized[5] = {};
    int *counts[5] = {&cls->methodCount, &cls->eventCount, &cls->memberCount, &cls->propertyCount,
                      &cls->interfaceCount};
    static const char *const countNames[5] = {
        "methods=", "events=", "members=", "properties=", "interfaces="};
    for (size_t i = 2; i < f.size(); ++i) {
        std::string_view a = f[i].text;
        int64_t n = 0;
        if (a.substr(0, 6) == "super=") {
            ClassInfo *super = classNamed({a.substr(6), f[i].column + 6});
            // A class of an earlier manifest (a plug-in's classes build on
            // the runtime's) is complete already.
            if (super && own_.count(super) && !done_.count(super)) {
                error(f[i].column + 6,
                      "superclass " + super->name + " must come before " + cls->name);
                super = nullptr;
            }
            cls->super = super;
            if (super) cls->events = super->events;
            continue;
        }
        if (a == "interface" || a == "module" || a == "console" || a == "gui") {
            (a == "interface" ? cls->isInterface
             : a == "module"  ? cls->isModule
             : a == "console" ? cls->consoleOnly
                              : cls->guiOnly) = true;
            continue;
        }
        if (a.substr(0, 5) == "size=" && parseNumber(a.substr(5), &n) && n >= 0) {
            cls->instanceSize = static_cast<uint32_t>(n);
            continue;
        }
        bool known = false;
        for (int k = 0; k < 5 && !known; ++k) {
            size_t len = std::char_traits<char>::length(countNames[k]);
            if (a.substr(0, len) == countNames[k] && parseNumber(a.substr(len), &n) && n >= 0) {
                *counts[k] = static_cast<int>(n);
                sized[k] = known = true;
            }
        }
        if (!known) error(f[i].column, "unknown class attribute '" + std::string(a) + "'");
    }
    for (bool s : sized) {
        if (!s)
            error(f[1].column,
                  "class " + cls->name +
                      " needs methods=, events=, members=, properties= and interfaces=");
        if (!s) break;
    }
    cls_ = cls;
}

void ManifestReader::finishClass() {
    const ClassInfo *super = cls_->super;
    auto check = [&](int actual, int declared, const char *what) {
        if (actual != declared) {
            error(1, "class " + cls_->name + " lists " + std::to_string(actual) + " " + what +
                         ", its counts say " + std::to_string(declared));
        }
    };
    check(static_cast<int>(cls_->events.size()), cls_->eventCount, "events");
    check((super ? super->memberCount : 0) + ownMembers_, cls_->memberCount, "members");
    check((super ? super->propertyCount : 0) + ownProperties_, cls_->propertyCount, "properties");
    check((super ? super->interfaceCount : 0) + ownInterfaces_, cls_->interfaceCount, "interfaces");
    if (super && cls_->methodCount < super->methodCount)
        check(cls_->methodCount, super->methodCount, "methods");
    done_.insert(cls_);
    cls_ = nullptr;
}

} // namespace

bool parseConstant(std::string_view text, ConstValue *value) {
    size_t end = text.find_last_not_of(" \t\r");
    text = end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
    if (text.empty()) return false;
    *value = ConstValue{};
    if (text[0] == '"') {
        value->kind = ConstValue::Kind::String;
        for (size_t i = 1; i < text.size(); ++i) {
            if (text[i] != '"') {
                value->text += text[i];
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                value->text += '"';
                ++i;
            } else {
                return i + 1 == text.size();
            }
        }
        return false;
    }
    std::string folded = utf8::fold(text);
    if (folded == "true" || folded == "false") {
        value->kind = ConstValue::Kind::Boolean;
        value->integer = folded == "true";
        return true;
    }
    if (folded == "nil") {
        value->kind = ConstValue::Kind::Nil;
        return true;
    }
    if (folded.size() > 2 && (folded.substr(0, 2) == "&h" || folded.substr(0, 2) == "&c")) {
        uint64_t bits;
        auto r = std::from_chars(folded.data() + 2, folded.data() + folded.size(), bits, 16);
        if (r.ec != std::errc() || r.ptr != folded.data() + folded.size()) return false;
        value->kind = ConstValue::Kind::Integer;
        value->integer = static_cast<int64_t>(bits);
        return true;
    }
    if (parseNumber(text, &value->integer)) {
        value->kind = ConstValue::Kind::Integer;
        return true;
    }
    auto r = std::from_chars(text.data(), text.data() + text.size(), value->real);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    value->kind = ConstValue::Kind::Real;
    return true;
}

bool loadManifest(const SourceSet &sources, uint32_t fileId, Program &program, Diagnostics &diags) {
    return ManifestReader(sources, fileId, program, diags).run();
}

} // namespace kqc
