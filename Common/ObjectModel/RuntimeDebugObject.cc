// The `Runtime` object that the intrinsic function Runtime hands out: a view
// of the live objects for programs and their tests (how many there are, the
// class and reference count of each, the memory the small-block allocator
// holds). Every call makes a new object, which its own counts leave out.
#include "ObjectDefinition.h"

extern "C" RuntimeObject *RuntimeDebugInstance();

namespace {

const ParameterEntry kIndexParameters[] = {KQ_PARAMETER("index", &kTypeInteger)};

// The debug entry points take the object to leave out first, so they serve
// as the accessors and methods of the object itself.
const PropertyEntry kRuntimeProperties[] = {
    KQ_READONLY_PROPERTY("ObjectCount", &kTypeInteger, RuntimeDebugObjectCount, 0),
    KQ_READONLY_PROPERTY("MemoryUsed", &kTypeInteger, RuntimeDebugMemoryUsed, 0),
};

const MethodEntry kRuntimeMethods[] = {
    KQ_METHOD("ObjectID", &kTypeInteger, KQ_TABLE(kIndexParameters), RuntimeDebugObjectID),
    KQ_METHOD("ObjectClass", &kTypeString, KQ_TABLE(kIndexParameters), RuntimeDebugObjectClass),
    KQ_METHOD("ObjectRefs", &kTypeInteger, KQ_TABLE(kIndexParameters), RuntimeDebugObjectRefs),
};

const RuntimeClassDeclaration kRuntimeDeclaration = {
    "Runtime",
    nullptr,
    sizeof(RuntimeObject),
    KQ_ANYWHERE,
    false,
    KQ_TABLE(kRuntimeProperties),
    KQ_TABLE(kRuntimeMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_FUNCTION,
    KQ_NO_FUNCTION,
};

} // namespace

ObjectDefinition RuntimeDefinition(&kRuntimeDeclaration);

extern "C" RuntimeObject *RuntimeDebugInstance() {
    return definitions::Instantiate(&RuntimeDefinition);
}
