// The runtime manifest reader: what it builds from a manifest, and the
// errors of broken manifests (with file and line).
#include <gtest/gtest.h>

#include "Manifest.h"
#include "Utf8.h"

namespace kqc {
namespace {

struct Loaded {
    bool ok;
    std::vector<std::string> errors;
};

Loaded load(Program &program, const std::string &text) {
    SourceSet sources;
    Diagnostics diags(sources);
    bool ok = loadManifest(sources, sources.add("m", text), program, diags);
    Loaded out{ok, {}};
    for (const Diagnostic &d : diags.errors())
        out.errors.push_back(diags.format(d));
    return out;
}

const char *const kHeader =
    "kqmanifest 1\n"
    "class Base size=24 methods=0 events=0 members=0 properties=0 interfaces=0\n"
    "end\n";

TEST(Manifest, BuildsClassesWithInheritedSlotsMembersAndFunctions) {
    Program p;
    Loaded l = load(
        p,
        std::string(kHeader) +
            "# a comment\n"
            "class IThing size=24 methods=0 events=0 members=0 properties=0 interfaces=0 "
            "interface\n"
            "end\n"
            "class Ctl super=Base size=40 methods=0 events=1 members=2 properties=1 interfaces=1 "
            "gui\n"
            "  initializer CtlInit\n"
            "  property 0 Text%s% 24 stringGetter stringSetter\n"
            "  event 0 KeyDown%b%&si4\n"
            "  member 0 Item%o<Ctl>%o<Ctl>A1i4 CtlItem\n"
            "  member 1 =Item%o<Ctl>%o<Ctl>A1i4o<Ctl> CtlSetItem assign\n"
            "  implements IThing\n"
            "  const Limit i4 -12\n"
            "end\n"
            "class Edit super=Ctl size=44 methods=0 events=2 members=2 properties=2 interfaces=1\n"
            "  property 1 Size%f8% 0 EditSizeGetter -\n"
            "  event 1 Changed%%\n"
            "  handles KeyDown\n"
            "end\n"
            "function Str%s%f8 StringStrDouble\n"
            "function Str%s%i4 StringStrInt32\n"
            "function InStr%i4%ssi4 StringInStr assign=StringInStrSet\n"
            "  param 2 start 1\n"
            "function Quote%s%s StringQuote\n"
            "  param 0 text \"a \"\"b\"\"\"\n");
    ASSERT_TRUE(l.ok) << l.errors[0];
    ClassInfo *edit = p.findClass("EDIT");
    ASSERT_TRUE(edit && edit->fromRuntime);
    ClassInfo *ctl = edit->super;
    ASSERT_EQ(ctl->name, "Ctl");
    EXPECT_EQ(ctl->initializer, "CtlInit");
    EXPECT_TRUE(ctl->guiOnly);
    EXPECT_TRUE(edit->isA(p.findClass("IThing")));
    ASSERT_EQ(edit->events.size(), 2u);
    EXPECT_EQ(edit->events[0]->name, "KeyDown");
    EXPECT_EQ(edit->events[0]->sig.result->kind, TypeKind::Boolean);
    ASSERT_EQ(edit->events[0]->sig.params.size(), 2u);
    EXPECT_TRUE(edit->events[0]->sig.params[0].byRef);
    EXPECT_TRUE(edit->handled.count("keydown"));
    auto *size = static_cast<const PropertyInfo *>(edit->find("size")->front());
    EXPECT_EQ(size->slot, 1);
    EXPECT_TRUE(size->setter.empty());
    auto *text = static_cast<const PropertyInfo *>(edit->find("text")->front());
    EXPECT_EQ(text->param, 24u);
    EXPECT_EQ(typeCode(text->type), "s");
    const auto *items = edit->find("item");
    ASSERT_EQ(items->size(), 2u);
    auto *getter = static_cast<const MethodInfo *>((*items)[0]);
    auto *setter = static_cast<const MethodInfo *>((*items)[1]);
    EXPECT_FALSE(getter->isAssign);
    EXPECT_EQ(typeCode(getter->sig.params[0].type), "A1i4"); // the receiver is not a parameter
    EXPECT_EQ(getter->sig.result->cls, ctl);
    EXPECT_TRUE(setter->isAssign);
    EXPECT_EQ(setter->sig.params.size(), 2u);
    EXPECT_EQ(setter->entry, "CtlSetItem");
    auto *limit = static_cast<const ConstInfo *>(ctl->find("limit")->front());
    EXPECT_EQ(limit->value.integer, -12);
    IntrinsicInfo *str = p.findIntrinsic("str");
    ASSERT_EQ(str->overloads.size(), 2u);
    EXPECT_EQ(str->overloads[1].entry, "StringStrInt32");
    const Overload &instr = p.findIntrinsic("InStr")->overloads[0];
    EXPECT_EQ(instr.assignEntry, "StringInStrSet");
    EXPECT_TRUE(instr.sig.params[2].optional);
    EXPECT_EQ(instr.sig.params[2].defaultValue.integer, 1);
    EXPECT_EQ(p.findIntrinsic("Quote")->overloads[0].sig.params[0].defaultValue.text, "a \"b\"");
}

// A plug-in's manifest comes after the runtime's: its classes build on the
// runtime's, keep their slots, and cannot list a runtime class again.
TEST(Manifest, ALaterManifestBuildsOnTheClassesOfEarlierOnes) {
    Program p;
    ASSERT_TRUE(load(p, std::string(kHeader) +
                            "class Ctl super=Base size=40 methods=0 events=1 members=0 "
                            "properties=1 interfaces=0\n"
                            "  property 0 Left%i4% 24 intGetter intSetter\n"
                            "  event 0 Open%%\n"
                            "end\n")
                    .ok);
    Loaded plugin = load(p, "kqmanifest 1\n"
                            "class Arrows super=Ctl size=48 methods=0 events=2 members=0 "
                            "properties=2 interfaces=0 gui\n"
                            "  property 1 Step%i4% 40 intGetter intSetter\n"
                            "  event 1 Up%%\n"
                            "end\n");
    EXPECT_TRUE(plugin.ok) << (plugin.errors.empty() ? "" : plugin.errors[0]);
    ClassInfo *arrows = p.findClass("Arrows");
    ASSERT_TRUE(arrows);
    EXPECT_EQ(arrows->super, p.findClass("Ctl"));
    EXPECT_EQ(arrows->events.size(), 2u);
    ASSERT_TRUE(arrows->find("left"));
    auto *step = static_cast<const PropertyInfo *>(arrows->find("step")->front());
    EXPECT_EQ(step->slot, 1);

    Loaded again = load(p, "kqmanifest 1\n"
                           "class Ctl size=24 methods=0 events=0 members=0 properties=0 "
                           "interfaces=0\nend\n");
    EXPECT_FALSE(again.ok);
    ASSERT_FALSE(again.errors.empty());
    EXPECT_EQ(again.errors[0], "m:2:7: class Ctl is listed twice");
}

TEST(Manifest, ReportsBrokenRecordsWithTheirLines) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"kqmanifest 2\n",
         "m:1:1: not a runtime manifest of format 1 (the first line must be 'kqmanifest 1')"},
        {"", "m: the runtime manifest is empty"},
        {"class X size=24 methods=0 events=0 members=0 properties=0 interfaces=0\nend\n",
         "m:1:1: not a runtime manifest of format 1 (the first line must be 'kqmanifest 1')"},
        {"class Base size=1\n", "m:4:7: class Base is listed twice"},
        {"class Object size=24 methods=0 events=0 members=0 properties=0 interfaces=0\nend\n",
         "m:4:7: class Object is listed twice"},
        {"class A super=B size=24 methods=0 events=0 members=0 properties=0 interfaces=0\nend\n"
         "class B size=24 methods=0 events=0 members=0 properties=0 interfaces=0\nend\n",
         "m:4:15: superclass B must come before A"},
        {"class A super=Nope size=24 methods=0 events=0 members=0 properties=0 interfaces=0\nend\n",
         "m:4:15: unknown class Nope"},
        {"class A size=24 events=0\nend\n",
         "m:4:7: class A needs methods=, events=, members=, properties= and interfaces="},
        {"class A size=24 methods=0 events=0 members=0 properties=0 interfaces=0 colour=3\nend\n",
         "m:4:72: unknown class attribute 'colour=3'"},
        {"class A size=24 methods=0 events=0 members=0 properties=2 interfaces=0\n"
         "  property 1 X%i4% 0 g s\nend\n",
         "m:5:12: property slot 1 is out of order (expected 0)"},
        {"class A size=24 methods=0 events=0 members=0 properties=1 interfaces=0\n"
         "  property 0 X%q% 0 g s\nend\n",
         "m:5:16: bad result type code in 'X%q%'"},
        {"class A size=24 methods=0 events=1 members=0 properties=0 interfaces=0\n"
         "  event 0 Go%%o<Missing>\nend\n",
         "m:5:15: bad parameter type code in 'Go%%o<Missing>'"},
        {"class A size=24 methods=0 events=0 members=1 properties=0 interfaces=0\n"
         "  member 0 Go%%i4 GoEntry\nend\n",
         "m:5:12: a member's first parameter is the class that owns it"},
        {"class A size=24 methods=0 events=0 members=1 properties=0 interfaces=0\n"
         "  member 0 Go%%o<A>i4 GoEntry assign\nend\n",
         "m:5:12: an assigning member is named =Name and takes the value last"},
        {"class A size=24 methods=0 events=2 members=0 properties=0 interfaces=0\n"
         "  event 0 Go%%\nend\n",
         "m:6:1: class A lists 1 events, its counts say 2"},
        {"class A size=24 methods=0 events=0 members=0 properties=0 interfaces=0\n",
         "m:4:1: class A has no 'end'"},
        {"  event 0 Go%%\n", "m:4:3: 'event' outside a class"},
        {"function NoSignature Entry\n",
         "m:4:10: expected a signature name%result%parameters, found 'NoSignature'"},
        {"function F%%i4 Entry\n  param 1 x\n", "m:5:9: no parameter 1"},
        {"param 0 x\n", "m:4:1: 'param' belongs after a 'function'"},
        {"function F%%i4 Entry\n  param 0 x \"open\n", "m:5:13: bad default value"},
        {"widget 3\n", "m:4:1: unknown record 'widget'"},
    };
    for (const Case &c : cases) {
        Program p;
        std::string text =
            c.text.rfind("kqmanifest", 0) == 0 || c.text.empty() || c.text.rfind("class X", 0) == 0
                ? c.text
                : kHeader + c.text;
        Loaded l = load(p, text);
        EXPECT_FALSE(l.ok) << c.text;
        ASSERT_FALSE(l.errors.empty()) << c.text;
        EXPECT_EQ(l.errors[0], c.error) << c.text;
    }
}

TEST(Manifest, ConstantsAreReadAsKestlangLiterals) {
    ConstValue v;
    ASSERT_TRUE(parseConstant("-7", &v));
    EXPECT_EQ(v.kind, ConstValue::Kind::Integer);
    EXPECT_EQ(v.integer, -7);
    ASSERT_TRUE(parseConstant("2.5e1 ", &v));
    EXPECT_DOUBLE_EQ(v.real, 25.0);
    ASSERT_TRUE(parseConstant("&cFF0000", &v));
    EXPECT_EQ(v.integer, 0xFF0000);
    ASSERT_TRUE(parseConstant("TRUE", &v));
    EXPECT_EQ(v.kind, ConstValue::Kind::Boolean);
    ASSERT_TRUE(parseConstant("nil", &v));
    EXPECT_EQ(v.kind, ConstValue::Kind::Nil);
    ASSERT_TRUE(parseConstant("\"\"", &v));
    EXPECT_EQ(v.kind, ConstValue::Kind::String);
    for (const char *bad : {"", "\"x", "\"a\"b", "12abc", "&hZZ", "yes"})
        EXPECT_FALSE(parseConstant(bad, &v)) << bad;
}

} // namespace
} // namespace kqc
