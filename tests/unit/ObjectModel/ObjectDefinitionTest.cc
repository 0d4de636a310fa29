// Class definitions declared as the runtime's classes are, converted into
// classes: slot numbering across inheritance, signatures, hooks, interfaces,
// lookup by name, per-object event handlers and the generic accessors.
#include "ObjectModelTestSupport.h"

#include "ObjectDefinition.h"
#include "RuntimeException.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

using kqtest::ClassName;
using kqtest::Raised;
using kqtest::ReportsDuring;
using kqtest::Text;

namespace {

struct Shape {
    RuntimeObject header;
    int32_t width;
    KESTstring *title;
    int32_t side; // Square's
};

extern "C" int32_t ShapeArea(RuntimeObject *) {
    return 1;
}
extern "C" int32_t ShapeItem(RuntimeObject *, int32_t) {
    return 2;
}
extern "C" void ShapeItemAssign(RuntimeObject *, int32_t, int32_t) {}
extern "C" void ShapeMove(RuntimeObject *, double *, RuntimeObject *) {}
extern "C" void SquareOpen(RuntimeObject *) {}
extern "C" void SquareResize(RuntimeObject *) {}
extern "C" void PaintHandler(RuntimeObject *) {}

extern ObjectDefinition ShapeDefinition;

const PropertyEntry kShapeProperties[] = {
    KQ_PROPERTY("Width", &kTypeInteger, intGetter, intSetter, offsetof(Shape, width)),
    KQ_CONSTANT("Sides", &kTypeInteger, 4),
    KQ_READONLY_PROPERTY("Title", &kTypeString, stringGetter, offsetof(Shape, title)),
};
const ParameterEntry kItemParameters[] = {KQ_PARAMETER("index", &kTypeInteger)};
const ParameterEntry kMoveParameters[] = {KQ_BYREF_PARAMETER("x", &kTypeDouble),
                                          KQ_PARAMETER("target", &ShapeDefinition)};
const MethodEntry kShapeMethods[] = {
    KQ_METHOD("Area", &kTypeInteger, KQ_NO_TABLE, ShapeArea),
    KQ_ASSIGNABLE_METHOD("Item", &kTypeInteger, KQ_TABLE(kItemParameters), ShapeItem,
                         ShapeItemAssign),
    KQ_METHOD("Move", nullptr, KQ_TABLE(kMoveParameters), ShapeMove),
};
EventEntry kShapeEvents[] = {KQ_EVENT("Open", "", nullptr),
                             KQ_EVENT("Paint", "g as Graphics", nullptr)};
const RuntimeClassDeclaration kShapeDeclaration = {"Shape",
                                                   nullptr,
                                                   offsetof(Shape, side),
                                                   KQ_GUI_ONLY,
                                                   false,
                                                   KQ_TABLE(kShapeProperties),
                                                   KQ_TABLE(kShapeMethods),
                                                   KQ_TABLE(kShapeEvents),
                                                   KQ_NO_TABLE,
                                                   KQ_NO_TABLE,
                                                   KQ_NO_FUNCTION,
                                                   KQ_NO_FUNCTION};
ObjectDefinition ShapeDefinition(&kShapeDeclaration);

const RuntimeClassDeclaration kDrawableDeclaration = {
    "Drawable",  nullptr,     sizeof(RuntimeObject), KQ_ANYWHERE, true,           KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE, KQ_NO_TABLE,           KQ_NO_TABLE, KQ_NO_FUNCTION, KQ_NO_FUNCTION};
ObjectDefinition DrawableDefinition(&kDrawableDeclaration);

const PropertyEntry kSquareProperties[] = {
    KQ_PROPERTY("Side", &kTypeInteger, intGetter, intSetter, offsetof(Shape, side)),
};
EventEntry kSquareEvents[] = {KQ_EVENT("Resize", "", "boolean")};
const HookEntry kSquareHooks[] = {KQ_HOOK("Open", SquareOpen), KQ_HOOK("Resize", SquareResize)};
void *const kDrawableCodes[] = {KQ_CODE(ShapeArea), nullptr};
const InterfaceEntry kSquareInterfaces[] = {{&DrawableDefinition, 2, kDrawableCodes}};
const RuntimeClassDeclaration kSquareDeclaration = {"Square",
                                                    &ShapeDefinition,
                                                    sizeof(Shape),
                                                    KQ_ANYWHERE,
                                                    false,
                                                    KQ_TABLE(kSquareProperties),
                                                    KQ_NO_TABLE,
                                                    KQ_TABLE(kSquareEvents),
                                                    KQ_TABLE(kSquareHooks),
                                                    KQ_TABLE(kSquareInterfaces),
                                                    KQ_NO_FUNCTION,
                                                    KQ_NO_FUNCTION};
ObjectDefinition SquareDefinition(&kSquareDeclaration);

const RuntimeClassDeclaration kPlainDeclaration = {
    "Plain",     &ShapeDefinition, offsetof(Shape, side), KQ_CONSOLE_ONLY,
    false,       KQ_NO_TABLE,      KQ_NO_TABLE,           KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE,      KQ_NO_FUNCTION,        KQ_NO_FUNCTION};
ObjectDefinition PlainDefinition(&kPlainDeclaration);

std::string NameOf(const KESTstring *s) {
    return kstr::Text(s);
}

// A definition assembled with the builders, as a plug-in makes one. Classes
// live until the process ends and a class name is taken by the first class
// of that name, so every run of a test makes definitions of its own names.
std::string Unique(const char *name) {
    static int run = 0;
    return name + std::to_string(++run);
}

ObjectDefinition *NewDefinition(const std::string &name, ObjectDefinition *super, uint32_t size) {
    auto *defn = new ObjectDefinition;
    definitions::Init(defn, name.c_str(), super, size);
    return defn;
}

} // namespace

TEST(Definitions, SubclassKeepsTheSuperclassSlotsAndAddsItsOwn) {
    RuntimeClass *shape = definitions::Convert(&ShapeDefinition);
    RuntimeClass *square = definitions::Convert(&SquareDefinition);
    ASSERT_NE(shape, nullptr);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(NameOf(square->name), "Square");
    EXPECT_EQ(square->superclass, shape);
    EXPECT_EQ(square->instanceSize, sizeof(Shape));

    ASSERT_EQ(shape->propertyCount, 2u); // the constant takes no slot
    ASSERT_EQ(square->propertyCount, 3u);
    EXPECT_EQ(NameOf(square->properties[0].name), "Width%i4%");
    EXPECT_EQ(square->properties[0].parameter, int32_t(offsetof(Shape, width)));
    EXPECT_EQ(square->properties[0].getter, KQ_CODE(intGetter));
    EXPECT_EQ(square->properties[0].setter, KQ_CODE(intSetter));
    EXPECT_EQ(NameOf(square->properties[1].name), "Title%s%");
    EXPECT_EQ(square->properties[1].setter, nullptr);
    EXPECT_EQ(NameOf(square->properties[2].name), "Side%i4%");
    EXPECT_EQ(square->properties[2].parameter, int32_t(offsetof(Shape, side)));
    EXPECT_EQ(ShapeDefinition.properties->next->next->mPropertyTableIndex, 1u);
    EXPECT_EQ(SquareDefinition.mPropertyTableSize, 3u);

    ASSERT_EQ(shape->memberCount, 4u); // Area, Item, =Item, Move
    EXPECT_EQ(NameOf(shape->members[0].name), "Area%i4%o<Shape>");
    EXPECT_EQ(NameOf(shape->members[1].name), "Item%i4%o<Shape>i4");
    EXPECT_EQ(shape->members[1].code, KQ_CODE(ShapeItem));
    EXPECT_EQ(NameOf(shape->members[2].name), "=Item%i4%o<Shape>i4i4");
    EXPECT_EQ(shape->members[2].code, KQ_CODE(ShapeItemAssign));
    EXPECT_EQ(NameOf(shape->members[3].name), "Move%%o<Shape>&f8o<Shape>");
    ASSERT_EQ(square->memberCount, 4u);
    EXPECT_EQ(NameOf(square->members[3].name), "Move%%o<Shape>&f8o<Shape>");

    ASSERT_EQ(square->eventCount, 3u);
    EXPECT_EQ(NameOf(square->events[2].name), "Resize");
    EXPECT_EQ(kShapeEvents[1].item->index, 1u);
    EXPECT_EQ(kSquareEvents[0].item->index, 2u);
}

TEST(Definitions, HooksBindOnlyEventsOfAncestors) {
    RuntimeClass *shape = definitions::Convert(&ShapeDefinition);
    RuntimeClass *square = definitions::Convert(&SquareDefinition);
    EXPECT_EQ(square->events[0].vector, KQ_CODE(SquareOpen));
    EXPECT_EQ(shape->events[0].vector, nullptr);
    EXPECT_EQ(square->events[2].vector, nullptr); // Resize is Square's own event
    EXPECT_EQ(SquareDefinition.hooks->index, 0);
    EXPECT_EQ(SquareDefinition.hooks->next->index, -1);
}

TEST(Definitions, SubclassWithoutPropertiesSharesTheSuperclassTable) {
    RuntimeClass *shape = definitions::Convert(&ShapeDefinition);
    RuntimeClass *plain = definitions::Convert(&PlainDefinition);
    ASSERT_EQ(plain->propertyCount, shape->propertyCount);
    for (uint32_t i = 0; i < shape->propertyCount; ++i) {
        EXPECT_EQ(plain->properties[i].name, shape->properties[i].name);
        EXPECT_EQ(plain->properties[i].parameter, shape->properties[i].parameter);
        EXPECT_EQ(plain->properties[i].getter, shape->properties[i].getter);
    }
}

TEST(Definitions, InterfacesAndConversionCache) {
    RuntimeClass *square = definitions::Convert(&SquareDefinition);
    EXPECT_EQ(definitions::Convert(&SquareDefinition), square);
    RuntimeClass *drawable = definitions::Convert(&DrawableDefinition);
    EXPECT_EQ(drawable->isAnInterface, 1u);
    ASSERT_EQ(square->interfaceCount, 1u);
    const RuntimeInterfaceEntry &entry = square->interfaces()[0];
    EXPECT_EQ(entry.interface, drawable);
    ASSERT_EQ(entry.methodCount, 1u);
    EXPECT_EQ(entry.methods[0].code, KQ_CODE(ShapeArea));
    EXPECT_EQ(NameOf(entry.methods[0].name), "Area%i4%o<Shape>");

    RuntimeObject *object = definitions::Instantiate(&SquareDefinition);
    EXPECT_TRUE(RuntimeObjectIsa(object, drawable));
    EXPECT_EQ(RuntimeLookupInterfaceVtable(object, drawable), entry.methods);
    RuntimeUnlockObject(object);
}

TEST(Definitions, AvailabilityConditionFollowsTheAncestors) {
    EXPECT_STREQ(definitions::AvailabilityCondition(&ShapeDefinition), "TargetHasGUI");
    EXPECT_STREQ(definitions::AvailabilityCondition(&SquareDefinition), "true");
    EXPECT_STREQ(definitions::AvailabilityCondition(&PlainDefinition), "not TargetHasGUI");
}

TEST(Definitions, ImageClassOfTheSameNameTakesThePlaceOfTheDefinition) {
    std::string gadget = Unique("Gadget");
    RuntimeClass *image = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
    image->name = kstr::FromC(gadget.c_str());
    EXPECT_EQ(definitions::Convert(NewDefinition(gadget, nullptr, 40)), image);
}

TEST(Definitions, OutdatedSuperclassSlotsAreReported) {
    std::string widgetName = Unique("Widget"), knobName = Unique("Knob");
    RuntimeClass *image = RuntimeNewClass(nullptr, 0, 0, 0, 0, 2);
    image->name = kstr::FromC(widgetName.c_str());
    static const PropertyEntry one[] = {
        KQ_PROPERTY("Value", &kTypeInteger, intGetter, intSetter, 24)};
    ObjectDefinition *widget = NewDefinition(widgetName, nullptr, 28);
    definitions::SetProperties(widget, one, 1);
    ObjectDefinition *knob = NewDefinition(knobName, widget, 32);
    definitions::SetProperties(knob, one, 1);
    RuntimeClass *cls = nullptr;
    std::string reports = ReportsDuring([&] { cls = definitions::Convert(knob); });
    EXPECT_NE(reports.find("../Common/Object Model/ObjectDefinitionConverter"), std::string::npos);
    EXPECT_NE(reports.find("Failure Condition: item->mPropertyTableIndex == propertyCount\n"
                           "Manifest file outdated? " +
                           knobName),
              std::string::npos);
    EXPECT_NE(reports.find("Failure Condition: propertyCount == defn->mPropertyTableSize\n"
                           "Manifest file outdated? " +
                           knobName),
              std::string::npos);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->superclass, image);
    EXPECT_EQ(cls->propertyCount, 3u);
}

TEST(Definitions, BrokenDefinitionsAreReported) {
    EXPECT_NE(ReportsDuring([] {
                  EXPECT_EQ(definitions::Convert(nullptr), nullptr);
              }).find("Failure Condition: defn\n"),
              std::string::npos);

    static const ParameterEntry untyped[] = {KQ_PARAMETER("x", nullptr)};
    static const MethodEntry methods[] = {
        KQ_METHOD("Bad", nullptr, KQ_TABLE(untyped), ShapeArea),
        {"Virtual", nullptr, KQ_NO_TABLE, KQ_FUNCTION(ShapeArea), KQ_NO_FUNCTION, 0,
         kMemberSystemPropertyVirtual, 0},
    };
    ObjectDefinition *broken = NewDefinition(Unique("Broken"), nullptr, 24);
    definitions::SetMethods(broken, methods, 2);
    EXPECT_NE(broken->methods->parameters, untyped); // a copy of its own
    std::string reports = ReportsDuring([&] { definitions::Convert(broken); });
    EXPECT_NE(reports.find("Failure Condition: param->parameterType\n"
                           "Bad has a null parameter type ptr"),
              std::string::npos);
    EXPECT_NE(reports.find("Failure Condition: 0 == (item->userFlags & systemPropertyVirtual)"),
              std::string::npos);
}

namespace {
int gFinderCalls = 0;
ObjectDefinition *FindShapes(const KESTstring *name) {
    ++gFinderCalls;
    return std::string(kstr::Text(name)) == "Shape" ? &ShapeDefinition : nullptr;
}
} // namespace

TEST(Definitions, LookupByNameAsksTheFindersOnce) {
    definitions::AddDefinitionFinder(FindShapes);
    Text shape("Shape"), missing("NoSuchClass");
    gFinderCalls = 0;
    RuntimeClass *found = RuntimeLookupClass(shape.get());
    EXPECT_EQ(found, definitions::Convert(&ShapeDefinition));
    EXPECT_EQ(RuntimeLookupClass(shape.get()), found);
    EXPECT_LE(gFinderCalls, 1); // none when an earlier run already found it
    EXPECT_EQ(RuntimeLookupClass(missing.get()), nullptr);
    EXPECT_EQ(RuntimeLookupClass(nullptr), nullptr);
    definitions::RemoveDefinitionFinder(FindShapes);
}

TEST(Definitions, InstanceEventHandlersUseAPrivateTable) {
    RuntimeClass *square = definitions::Convert(&SquareDefinition);
    Text paint("paint"), open("Open"), unknown("Unknown"); // names as identifiers
    uint32_t memory = RuntimeDebugMemoryUsed();
    RuntimeObject *object = definitions::Instantiate(&SquareDefinition);
    RuntimeObject *sibling = definitions::Instantiate(&SquareDefinition);
    const EventItem *paintItem = kShapeEvents[1].item;

    EXPECT_EQ(events::Handler(object, paintItem), nullptr);
    RuntimeInstallInstanceEventHandler(object, paint.get(), KQ_CODE(PaintHandler));
    EXPECT_NE(object->eventTable, square->events);
    EXPECT_EQ(events::Handler(object, paintItem), KQ_CODE(PaintHandler));
    EXPECT_EQ(events::Handler(sibling, paintItem), nullptr);
    EXPECT_EQ(square->events[1].vector, nullptr);
    EXPECT_EQ(events::Handler(object, kShapeEvents[0].item), KQ_CODE(SquareOpen));
    EXPECT_EQ(events::Handler(nullptr, paintItem), nullptr);

    RuntimeInstallInstanceEventHandler(object, unknown.get(), KQ_CODE(PaintHandler));
    std::string reports = ReportsDuring(
        [&] { RuntimeInstallInstanceEventHandler(object, open.get(), KQ_CODE(PaintHandler)); });
    EXPECT_NE(reports.find("../Common/Object Model/ObjectDefinition:"), std::string::npos);
    EXPECT_NE(reports.find("Failure Condition: NULL == target->eventTable[ctr].vector\n"
                           "Attempting to implement an event that was already implemented. "
                           "Class Square, Event Open"),
              std::string::npos);

    std::string nulls = ReportsDuring([&] {
        RuntimeInstallInstanceEventHandler(nullptr, paint.get(), nullptr);
        RuntimeObject classless{};
        RuntimeInstallInstanceEventHandler(&classless, paint.get(), nullptr);
    });
    EXPECT_NE(nulls.find("Failure Condition: target\n"), std::string::npos);
    EXPECT_NE(nulls.find("Failure Condition: target->classPtr\n"), std::string::npos);

    RuntimeUnlockObject(object);
    RuntimeUnlockObject(sibling);
    EXPECT_EQ(RuntimeDebugMemoryUsed(), memory);
}

namespace {
std::vector<uint32_t> gPaintArguments;
extern "C" uint32_t RecordPaint(RuntimeObject *self, uint32_t x, uint32_t y) {
    gPaintArguments = {uint32_t(self->refCount), x, y};
    return 0x101; // a Boolean True, with bits above the low byte
}
} // namespace

TEST(Definitions, RaisingAnEventCallsTheHandlerWithTheObjectFirst) {
    RuntimeObject *object = definitions::Instantiate(&SquareDefinition);
    Text paint("Paint");
    bool handled = true;
    EXPECT_EQ(events::Raise(object, kShapeEvents[1].item, {3, 4}, &handled), 0u);
    EXPECT_FALSE(handled);
    RuntimeInstallInstanceEventHandler(object, paint.get(), KQ_CODE(RecordPaint));
    EXPECT_EQ(uint8_t(events::Raise(object, kShapeEvents[1].item, {3, 4}, &handled)), 1);
    EXPECT_TRUE(handled);
    EXPECT_EQ(gPaintArguments, (std::vector<uint32_t>{2, 3, 4})); // held during the call
    RuntimeUnlockObject(object);
}

TEST(Definitions, InstallingSearchesFromTheLastEvent) {
    static EventEntry baseEvents[] = {KQ_EVENT("Tick", "", nullptr)};
    static EventEntry subEvents[] = {KQ_EVENT("Tick", "", nullptr)};
    ObjectDefinition *base = NewDefinition(Unique("Clock"), nullptr, 24);
    definitions::SetEvents(base, baseEvents, 1);
    ObjectDefinition *sub = NewDefinition(Unique("AlarmClock"), base, 24);
    definitions::SetEvents(sub, subEvents, 1);
    RuntimeObject *object = definitions::Instantiate(sub);
    Text tick("Tick");
    RuntimeInstallInstanceEventHandler(object, tick.get(), KQ_CODE(PaintHandler));
    EXPECT_EQ(events::Handler(object, subEvents[0].item), KQ_CODE(PaintHandler));
    EXPECT_EQ(events::Handler(object, baseEvents[0].item), nullptr);
    RuntimeUnlockObject(object);
}

namespace {

struct Fields {
    RuntimeObject header;
    bool flag;
    int64_t wide;
    double real;
    KESTstring *text;
    RuntimeObject *object;
};

RuntimeClass *FieldsClass() {
    static RuntimeClass *cls =
        definitions::Convert(NewDefinition("Fields", nullptr, sizeof(Fields)));
    return cls;
}

} // namespace

// One value type per way a result comes back (low byte, edx:eax, st(0)),
// and the counted references of strings and objects.
TEST(Definitions, GenericAccessorsReadAndWriteTheFieldAtTheOffset) {
    RuntimeObject *o = RuntimeNewObject(FieldsClass());
    boolSetter(o, offsetof(Fields, flag), true);
    int64Setter(o, offsetof(Fields, wide), INT64_C(1) << 40);
    doubleSetter(o, offsetof(Fields, real), 0.19);
    EXPECT_TRUE(reinterpret_cast<Fields *>(o)->flag);
    EXPECT_TRUE(boolGetter(o, offsetof(Fields, flag)));
    EXPECT_EQ(int64Getter(o, offsetof(Fields, wide)), INT64_C(1) << 40);
    EXPECT_EQ(doubleGetter(o, offsetof(Fields, real)), 0.19);

    Text first("first"), second("second");
    stringSetter(o, offsetof(Fields, text), first.get());
    stringSetter(o, offsetof(Fields, text), first.get()); // the same value: counted once
    EXPECT_EQ(first.get()->refCount, 2u);
    stringSetter(o, offsetof(Fields, text), second.get());
    EXPECT_EQ(first.get()->refCount, 1u);
    KESTstring *got = stringGetter(o, offsetof(Fields, text));
    EXPECT_EQ(got, second.get());
    EXPECT_EQ(second.get()->refCount, 3u);
    RuntimeUnlockString(got);
    stringSetter(o, offsetof(Fields, text), nullptr);
    EXPECT_EQ(second.get()->refCount, 1u);

    RuntimeObject *other = RuntimeNewObject(FieldsClass());
    objSetter(o, offsetof(Fields, object), other);
    RuntimeObject *held = objGetter(o, offsetof(Fields, object));
    EXPECT_EQ(held, other);
    EXPECT_EQ(other->refCount, 3);
    RuntimeUnlockObject(held);
    objSetter(o, offsetof(Fields, object), nullptr);
    EXPECT_EQ(other->refCount, 1);
    RuntimeUnlockObject(other);
    RuntimeUnlockObject(o);

    RuntimeObject *exc = Raised([] {
        EXPECT_EQ(intGetter(nullptr, 24), 0);
        intSetter(nullptr, 24, 1);
    });
    EXPECT_EQ(ClassName(exc), "NilObjectException");
    RuntimeUnlockObject(exc);
}

TEST(Definitions, RuntimeExceptionClassesAsTheCompilerSeesThem) {
    RuntimeClass *base = definitions::Convert(&RuntimeExceptionDefinition);
    EXPECT_EQ(base->instanceSize, 36u);
    ASSERT_EQ(base->propertyCount, 2u);
    EXPECT_EQ(NameOf(base->properties[0].name), "ErrorNumber%i4%");
    EXPECT_EQ(base->properties[0].parameter, 24);
    EXPECT_EQ(base->properties[0].getter, KQ_CODE(intGetter));
    EXPECT_EQ(NameOf(base->properties[1].name), "Message%s%");
    EXPECT_EQ(base->properties[1].parameter, 28);
    EXPECT_EQ(base->properties[1].setter, KQ_CODE(stringSetter));
    ASSERT_EQ(base->memberCount, 1u);
    EXPECT_EQ(NameOf(base->members[0].name), "Stack%A1s%o<RuntimeException>");
    EXPECT_EQ(base->initializer, &RuntimeExceptionInitializer);
    EXPECT_EQ(base->finalizer, &RuntimeExceptionFinalizer);

    // The exceptions come first in the list of runtime classes.
    ASSERT_GE(definitions::RuntimeClassCount(), 20u);
    EXPECT_EQ(definitions::RuntimeClassAt(0), &RuntimeExceptionDefinition);
    EXPECT_EQ(definitions::RuntimeClassAt(definitions::RuntimeClassCount()), nullptr);
    for (uint32_t i = 1; i < 20; ++i) {
        RuntimeClass *cls = definitions::Convert(definitions::RuntimeClassAt(i));
        EXPECT_EQ(cls->superclass, base) << NameOf(cls->name);
        EXPECT_EQ(cls->instanceSize, 36u);
        EXPECT_EQ(cls->propertyCount, 2u);
    }
    EXPECT_EQ(NameOf(definitions::RuntimeClassAt(19)->name), "IllegalLockingException");
}

// Teardown changes every definition of the process: it runs in a child.
TEST(DefinitionsDeathTest, TeardownFreesItemsAndDefinitionsBuildAgain) {
    EXPECT_EXIT(
        {
            definitions::Convert(&SquareDefinition);
            if (kShapeEvents[0].item == nullptr) std::exit(1);
            definitions::TeardownAll();
            if (definitions::DefinitionListHead() != nullptr) std::exit(2);
            if (kShapeEvents[0].item != nullptr || ShapeDefinition.properties != nullptr)
                std::exit(3);
            definitions::Built(&ShapeDefinition);
            if (kShapeEvents[0].item == nullptr || NameOf(ShapeDefinition.name) != "Shape")
                std::exit(4);
            std::exit(definitions::DefinitionListHead() == &ShapeDefinition ? 0 : 5);
        },
        testing::ExitedWithCode(0), "");
}
