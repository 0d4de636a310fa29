// Objects and classes built the way the image's start code builds them:
// creation, counting, destruction with resurrection, the pending release,
// casts, interfaces, class records and the debugger's enumeration.
#include "ObjectModelTestSupport.h"

#include "RuntimeObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using kqtest::ClassName;
using kqtest::Raised;
using kqtest::ReportsDuring;

namespace {

std::vector<std::string> gLog;

// A class of the image: name, instance size, life-cycle functions.
RuntimeClass *ImageClass(const char *name, RuntimeClass *super, uint32_t size,
                         RuntimeObjectFunction init = nullptr,
                         RuntimeObjectFunction destructor = nullptr,
                         RuntimeObjectFunction finalizer = nullptr) {
    RuntimeClass *cls = RuntimeNewClass(super, super ? super->methodCount : 0,
                                        super ? super->interfaceCount : 0, 0, 0, 0);
    cls->name = kstr::FromC(name);
    cls->instanceSize = size;
    cls->initializer = init;
    cls->destructor = destructor;
    cls->finalizer = finalizer;
    return cls;
}

struct Holder {
    RuntimeObject header;
    RuntimeObject *held;
    int32_t value;
};

Holder *AsHolder(RuntimeObject *object) {
    return reinterpret_cast<Holder *>(object);
}

class Objects : public testing::Test {
  protected:
    void SetUp() override { gLog.clear(); }
};

} // namespace

TEST_F(Objects, CreationZeroesLinksAndRunsInitializersRootFirst) {
    RuntimeClass *root = ImageClass("Root", nullptr, sizeof(Holder), [](RuntimeObject *o) {
        gLog.push_back("root sees " + std::to_string(AsHolder(o)->value));
        AsHolder(o)->value = 7;
    });
    RuntimeClass *leaf = ImageClass("Leaf", root, sizeof(Holder), [](RuntimeObject *o) {
        gLog.push_back("leaf sees " + std::to_string(AsHolder(o)->value));
    });
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *first = RuntimeNewObject(leaf);
    RuntimeObject *second = RuntimeNewObject(leaf);
    EXPECT_EQ(gLog, (std::vector<std::string>{"root sees 0", "leaf sees 7", "root sees 0",
                                              "leaf sees 7"}));
    EXPECT_EQ(second->classPtr, leaf);
    EXPECT_EQ(second->methods, leaf->methods);
    EXPECT_EQ(second->eventTable, leaf->events);
    EXPECT_EQ(second->refCount, 1);
    EXPECT_EQ(AsHolder(second)->held, nullptr);
    EXPECT_EQ(objects::LiveObjectCount(), live + 2);
    EXPECT_EQ(objects::LiveListHead(), second);
    EXPECT_EQ(second->prevLive, nullptr);
    EXPECT_EQ(second->nextLive, first);
    EXPECT_EQ(first->prevLive, second);
    RuntimeUnlockObject(second); // unlinks from the middle of the list
    EXPECT_EQ(objects::LiveListHead(), first);
    EXPECT_EQ(first->prevLive, nullptr);
    RuntimeUnlockObject(first);
    EXPECT_EQ(objects::LiveObjectCount(), live);
}

TEST_F(Objects, NullClassOrInterfaceClassAtCreation) {
    RuntimeObject *exc = Raised([] { EXPECT_EQ(RuntimeNewObject(nullptr), nullptr); });
    EXPECT_EQ(ClassName(exc), "NilObjectException");
    RuntimeUnlockObject(exc);

    RuntimeClass *iface = ImageClass("Iface", nullptr, sizeof(RuntimeObject));
    iface->isAnInterface = 1;
    RuntimeObject *object = nullptr;
    std::string reports = ReportsDuring([&] { object = RuntimeNewObject(iface); });
    EXPECT_NE(reports.find("Failure Condition: !parent->isAnInterface"), std::string::npos);
    EXPECT_NE(reports.find("../Common/Object Model/RuntimeObjectFoundation"), std::string::npos);
    ASSERT_NE(object, nullptr); // creation goes on after the report
    RuntimeUnlockObject(object);
}

TEST_F(Objects, LockingLeavesNullAndUncountedObjectsAlone) {
    RuntimeClass *cls = ImageClass("Counted", nullptr, sizeof(Holder), nullptr,
                                   [](RuntimeObject *) { gLog.push_back("destroyed"); });
    RuntimeLockObject(nullptr);
    RuntimeUnlockObject(nullptr);
    RuntimeLockUnlockObjects(nullptr, nullptr);
    RuntimeObject *object = RuntimeNewObject(cls);
    object->refCount = 0;
    RuntimeLockObject(object);
    EXPECT_EQ(object->refCount, 0);
    RuntimeUnlockObject(object);
    EXPECT_EQ(object->refCount, 0);
    object->refCount = -3;
    RuntimeUnlockObject(object);
    EXPECT_EQ(object->refCount, -3);
    EXPECT_TRUE(gLog.empty());
    object->refCount = 1;
    RuntimeLockUnlockObjects(object, object); // the same: nothing, even at 1
    EXPECT_EQ(object->refCount, 1);
    EXPECT_TRUE(gLog.empty());
    RuntimeObject *other = RuntimeNewObject(cls);
    RuntimeLockUnlockObjects(other, object); // lock new, unlock old
    EXPECT_EQ(gLog, std::vector<std::string>{"destroyed"});
    EXPECT_EQ(other->refCount, 2);
    RuntimeUnlockObject(other);
    RuntimeUnlockObject(other);
}

TEST_F(Objects, DestructorsThenFinalizersThenReleaseHook) {
    RuntimeClass *root = ImageClass(
        "Root", nullptr, sizeof(Holder), nullptr,
        [](RuntimeObject *o) { gLog.push_back("~root " + std::to_string(o->refCount)); },
        [](RuntimeObject *) { gLog.push_back("finalize root"); });
    RuntimeClass *leaf = ImageClass(
        "Leaf", root, sizeof(Holder), nullptr,
        [](RuntimeObject *o) { gLog.push_back("~leaf " + std::to_string(o->refCount)); },
        [](RuntimeObject *) { gLog.push_back("finalize leaf"); });
    objects::SetReleaseHook([](RuntimeObject *o) { gLog.push_back("hook " + ClassName(o)); });
    uint32_t memory = RuntimeDebugMemoryUsed();
    RuntimeObject *object = RuntimeNewObject(leaf);
    RuntimeLockObject(object);
    RuntimeUnlockObject(object);
    EXPECT_TRUE(gLog.empty());
    RuntimeUnlockObject(object);
    objects::SetReleaseHook(nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"~leaf 1", "~root 1", "finalize leaf",
                                              "finalize root", "hook Leaf"}));
    EXPECT_EQ(RuntimeDebugMemoryUsed(), memory);
}

namespace {
RuntimeObject *gResurrected = nullptr;
} // namespace

TEST_F(Objects, DestructorThatStoresTheObjectKeepsItAlive) {
    RuntimeClass *root = ImageClass(
        "Root", nullptr, sizeof(Holder), nullptr, [](RuntimeObject *) { gLog.push_back("~root"); },
        [](RuntimeObject *) { gLog.push_back("finalize"); });
    RuntimeClass *leaf = ImageClass("Leaf", root, sizeof(Holder), nullptr, [](RuntimeObject *o) {
        gLog.push_back("~leaf");
        if (gResurrected == nullptr) {
            RuntimeLockObject(o);
            gResurrected = o;
        }
    });
    uint32_t live = objects::LiveObjectCount();
    RuntimeUnlockObject(RuntimeNewObject(leaf));
    ASSERT_NE(gResurrected, nullptr);
    EXPECT_EQ(gResurrected->refCount, 1);
    EXPECT_EQ(objects::LiveObjectCount(), live + 1);
    EXPECT_EQ(gLog, std::vector<std::string>{"~leaf"}); // stopped there, not finalised

    RuntimeUnlockObject(gResurrected); // this time it is not kept
    EXPECT_EQ(gLog, (std::vector<std::string>{"~leaf", "~leaf", "~root", "finalize"}));
    EXPECT_EQ(objects::LiveObjectCount(), live);
    gResurrected = nullptr;
}

TEST_F(Objects, FinalizerReleasingAnotherObjectDefersThatRelease) {
    RuntimeClass *cls = ImageClass(
        "Holder", nullptr, sizeof(Holder), nullptr,
        [](RuntimeObject *o) { gLog.push_back("~" + std::to_string(AsHolder(o)->value)); },
        [](RuntimeObject *o) {
            std::string me = std::to_string(AsHolder(o)->value);
            gLog.push_back("finalize " + me);
            RuntimeUnlockObject(AsHolder(o)->held);
            gLog.push_back("finalized " + me);
        });
    objects::SetReleaseHook(
        [](RuntimeObject *o) { gLog.push_back("released " + std::to_string(AsHolder(o)->value)); });
    RuntimeObject *first = RuntimeNewObject(cls);
    RuntimeObject *second = RuntimeNewObject(cls);
    AsHolder(first)->value = 1;
    AsHolder(second)->value = 2;
    AsHolder(first)->held = second;
    RuntimeUnlockObject(first);
    objects::SetReleaseHook(nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"~1", "finalize 1", "~2", "finalized 1", "released 1",
                                              "finalize 2", "finalized 2", "released 2"}));
}

namespace {
uintptr_t gLowestStack = UINTPTR_MAX;
uintptr_t gHighestStack = 0;
} // namespace

TEST_F(Objects, LongChainsAreReleasedWithoutDeepeningTheStack) {
    RuntimeClass *cls =
        ImageClass("Link", nullptr, sizeof(Holder), nullptr, nullptr, [](RuntimeObject *o) {
            auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
            gLowestStack = std::min(gLowestStack, here);
            gHighestStack = std::max(gHighestStack, here);
            RuntimeUnlockObject(AsHolder(o)->held);
        });
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *head = nullptr;
    for (int i = 0; i < 20000; ++i) {
        RuntimeObject *link = RuntimeNewObject(cls);
        AsHolder(link)->held = head;
        head = link;
    }
    RuntimeUnlockObject(head);
    EXPECT_EQ(objects::LiveObjectCount(), live);
    EXPECT_LT(gHighestStack - gLowestStack, 1024u);
}

TEST_F(Objects, IsaAndCheckCast) {
    RuntimeClass *root = ImageClass("Root", nullptr, sizeof(Holder));
    RuntimeClass *leaf = ImageClass("Leaf", root, sizeof(Holder));
    RuntimeClass *stranger = ImageClass("Stranger", nullptr, sizeof(Holder));
    RuntimeClass *strangerChild = ImageClass("StrangerChild", stranger, sizeof(Holder));
    RuntimeObject *object = RuntimeNewObject(leaf);

    EXPECT_FALSE(RuntimeObjectIsa(nullptr, root));
    EXPECT_TRUE(RuntimeObjectIsa(object, nullptr));
    EXPECT_TRUE(RuntimeObjectIsa(object, root));
    EXPECT_TRUE(RuntimeObjectIsa(object, leaf));
    EXPECT_FALSE(RuntimeObjectIsa(object, stranger));

    EXPECT_EQ(Raised([&] { EXPECT_EQ(RuntimeCheckCast(nullptr, root), nullptr); }), nullptr);
    EXPECT_EQ(RuntimeCheckCast(object, nullptr), object);
    EXPECT_EQ(object->refCount, 1);
    EXPECT_EQ(RuntimeCheckCast(object, root), object);
    EXPECT_EQ(object->refCount, 2);
    RuntimeUnlockObject(object);
    for (RuntimeClass *target : {stranger, strangerChild}) {
        RuntimeObject *exc = Raised([&] { EXPECT_EQ(RuntimeCheckCast(object, target), nullptr); });
        EXPECT_EQ(ClassName(exc), "IllegalCastException");
        RuntimeUnlockObject(exc);
    }
    EXPECT_EQ(object->refCount, 1);
    RuntimeUnlockObject(object);
}

TEST_F(Objects, CastBetweenOLEObjectClasses) {
    RuntimeClass *ole = ImageClass("OLEObject", nullptr, sizeof(Holder));
    RuntimeClass *word = ImageClass("WordDocument", ole, sizeof(Holder));
    RuntimeObject *object = RuntimeNewObject(ole);
    EXPECT_EQ(Raised([&] { EXPECT_EQ(RuntimeCheckCast(object, word), object); }), nullptr);
    EXPECT_EQ(object->refCount, 2);
    RuntimeUnlockObject(object);
    RuntimeUnlockObject(object);
}

TEST_F(Objects, InterfacesAreFoundInTheInlineEntries) {
    RuntimeClass *iface = ImageClass("Speaker", nullptr, sizeof(RuntimeObject));
    iface->isAnInterface = 1;
    RuntimeClass *other = ImageClass("Listener", nullptr, sizeof(RuntimeObject));
    other->isAnInterface = 1;
    RuntimeClass *base = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
    base->name = kstr::FromC("Base");
    base->instanceSize = sizeof(Holder);
    RuntimeMethodEntry *table = RuntimeNewVtable(1);
    table[0] = {reinterpret_cast<void *>(&RuntimeNilObject), nullptr};
    base->interfaces()[0] = {iface, 1, table};
    RuntimeClass *derived = RuntimeNewClass(base, 0, 1, 0, 0, 0); // inherits the entry
    derived->instanceSize = sizeof(Holder);
    RuntimeObject *object = RuntimeNewObject(derived);

    EXPECT_TRUE(RuntimeObjectIsa(object, iface));
    EXPECT_FALSE(RuntimeObjectIsa(object, other));
    EXPECT_EQ(RuntimeLookupInterfaceVtable(object, iface), table);
    EXPECT_EQ(RuntimeCheckCast(object, iface), object);
    RuntimeUnlockObject(object);

    struct Case {
        RuntimeObject *object;
        RuntimeClass *cls;
        const char *raised;
    };
    for (Case c :
         {Case{nullptr, iface, "NilObjectException"}, Case{object, nullptr, "NilObjectException"},
          Case{object, base, "IllegalCastException"},
          Case{object, other, "IllegalCastException"}}) {
        RuntimeObject *exc =
            Raised([&] { EXPECT_EQ(RuntimeLookupInterfaceVtable(c.object, c.cls), nullptr); });
        EXPECT_EQ(ClassName(exc), c.raised);
        RuntimeUnlockObject(exc);
    }
    RuntimeObject *exc = Raised([&] { EXPECT_EQ(RuntimeCheckCast(object, other), nullptr); });
    EXPECT_EQ(ClassName(exc), "IllegalCastException");
    RuntimeUnlockObject(exc);
    RuntimeUnlockObject(object);
}

TEST_F(Objects, NewClassLaysOutOneBlockAndInherits) {
    RuntimeClass *base = RuntimeNewClass(nullptr, 2, 1, 1, 1, 1);
    EXPECT_EQ(objects::ClassListHead(), base);
    auto at = [base](const void *p) {
        return reinterpret_cast<const char *>(p) - reinterpret_cast<const char *>(base);
    };
    EXPECT_EQ(at(base->interfaces()), 68);
    EXPECT_EQ(at(base->methods), 68 + 12);
    EXPECT_EQ(at(base->events), 68 + 12 + 16);
    EXPECT_EQ(at(base->members), 68 + 12 + 16 + 8);
    EXPECT_EQ(at(base->properties), 68 + 12 + 16 + 8 + 8);
    EXPECT_EQ(base->superclass, nullptr);
    for (int i = 0; i < 2; ++i)
        base->methods[i].code = reinterpret_cast<void *>(0x100 + i);
    base->events[0].vector = reinterpret_cast<void *>(0x200);
    base->members[0].code = reinterpret_cast<void *>(0x300);
    base->properties[0].parameter = 28;
    base->interfaces()[0].methodCount = 3;

    RuntimeClass *derived = RuntimeNewClass(base, 3, 1, 2, 0, 1);
    EXPECT_EQ(objects::ClassListHead(), derived);
    EXPECT_EQ(derived->nextClass, base);
    EXPECT_EQ(derived->superclass, base);
    EXPECT_EQ(derived->methods[1].code, reinterpret_cast<void *>(0x101));
    EXPECT_EQ(derived->methods[2].code, nullptr);
    EXPECT_EQ(derived->events[0].vector, reinterpret_cast<void *>(0x200));
    EXPECT_EQ(derived->properties[0].parameter, 28);
    EXPECT_EQ(derived->interfaces()[0].methodCount, 3u);

    RuntimeClass *smaller = nullptr;
    std::string reports = ReportsDuring([&] { smaller = RuntimeNewClass(base, 1, 0, 0, 1, 0); });
    for (const char *condition :
         {"out->methodCount >= base->methodCount", "out->interfaceCount >= base->interfaceCount",
          "out->eventCount >= base->eventCount", "out->propertyCount >= base->propertyCount"})
        EXPECT_NE(reports.find(std::string("Failure Condition: ") + condition), std::string::npos)
            << condition;
    ASSERT_NE(smaller, nullptr); // only what fits was copied
    EXPECT_EQ(smaller->methods[0].code, reinterpret_cast<void *>(0x100));
    EXPECT_EQ(smaller->members[0].code, reinterpret_cast<void *>(0x300));
}

TEST_F(Objects, RegisterClassAndVtables) {
    auto *outside = new RuntimeClass{}; // classes live until the process ends
    RuntimeRegisterClass(outside);
    EXPECT_EQ(objects::ClassListHead(), outside);
    RuntimeClass *later = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
    RuntimeRegisterClass(outside); // already listed: stays where it is
    EXPECT_EQ(objects::ClassListHead(), later);
    EXPECT_EQ(later->nextClass, outside);
    std::string reports = ReportsDuring([] { RuntimeRegisterClass(nullptr); });
    EXPECT_NE(reports.find("Failure Condition: theClass"), std::string::npos);
    EXPECT_EQ(objects::ClassListHead(), later);

    EXPECT_EQ(RuntimeNewVtable(0), nullptr);
    EXPECT_EQ(RuntimeNewVtable(-4), nullptr);
    EXPECT_NE(RuntimeNewVtable(2), nullptr);
}

TEST_F(Objects, ProjectObjectsAreHandedOutWithAReference) {
    RuntimeClass *cls = ImageClass("Project", nullptr, sizeof(Holder));
    RuntimeObject *object = RuntimeNewObject(cls);
    RuntimeObject *table[] = {object, object};
    EXPECT_EQ(RuntimeProjectObject(1), nullptr); // no table yet
    objects::SetProjectObjectTable(table, 2);
    EXPECT_EQ(RuntimeProjectObject(0), nullptr);
    EXPECT_EQ(RuntimeProjectObject(2), nullptr);
    EXPECT_EQ(RuntimeProjectObject(1), object);
    EXPECT_EQ(object->refCount, 2);
    objects::SetProjectObjectTable(nullptr, 0);
    RuntimeUnlockObject(object);
    RuntimeUnlockObject(object);
}

TEST_F(Objects, DebuggerEnumeratesLiveObjectsSkippingOne) {
    RuntimeClass *cls = ImageClass("Probe", nullptr, sizeof(Holder));
    int32_t before = RuntimeDebugObjectCount(nullptr);
    RuntimeObject *a = RuntimeNewObject(cls);
    RuntimeObject *b = RuntimeNewObject(cls);
    RuntimeObject *c = RuntimeNewObject(cls); // newest: index 0
    RuntimeLockObject(b);
    EXPECT_EQ(RuntimeDebugObjectCount(nullptr), before + 3);
    EXPECT_EQ(RuntimeDebugObjectCount(b), before + 2);
    auto id = [](RuntimeObject *o) { return uint32_t(reinterpret_cast<uintptr_t>(o)) ^ 0x15C7A3u; };

    EXPECT_EQ(RuntimeDebugObjectID(b, 0), id(c)); // forwards, skipping b
    EXPECT_EQ(RuntimeDebugObjectID(b, 1), id(a));
    EXPECT_EQ(RuntimeDebugObjectID(b, 0), id(c)); // and back
    EXPECT_EQ(RuntimeDebugObjectRefs(nullptr, 1), 2);
    EXPECT_EQ(RuntimeDebugObjectRefs(nullptr, 2), 1);
    KESTstring *name = RuntimeDebugObjectClass(nullptr, 1);
    EXPECT_STREQ(kstr::Text(name), "Probe");
    EXPECT_EQ(name->refCount, 2u);
    RuntimeUnlockString(name);
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, -1), 0u);
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, before + 3), 0u);

    // A new object moves every index by one.
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, 1), id(b));
    RuntimeObject *d = RuntimeNewObject(cls);
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, 2), id(b));
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, 1), id(c));
    RuntimeUnlockObject(c); // and a released one back
    EXPECT_EQ(RuntimeDebugObjectID(nullptr, 1), id(b));
    for (RuntimeObject *o : {a, b, b, d})
        RuntimeUnlockObject(o);
}

TEST_F(Objects, RefHoldsAndHandsOverReferences) {
    RuntimeClass *cls = ImageClass("Held", nullptr, sizeof(Holder));
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *raw = RuntimeNewObject(cls);
    {
        Ref<> adopted = Ref<>::Adopt(raw);
        EXPECT_EQ(raw->refCount, 1);
        Ref<> copy = adopted;
        EXPECT_EQ(raw->refCount, 2);
        Ref<Holder> typed(AsHolder(raw));
        EXPECT_EQ(raw->refCount, 3);
        typed = Ref<Holder>();
        EXPECT_EQ(raw->refCount, 2);
        RuntimeObject *handed = copy.Release();
        EXPECT_FALSE(copy);
        EXPECT_EQ(raw->refCount, 2);
        RuntimeUnlockObject(handed);
    }
    EXPECT_EQ(objects::LiveObjectCount(), live); // the last Ref released it
}
