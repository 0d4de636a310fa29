// Event handlers of objects: the handler an object uses for an event, and the
// installation of a handler for one object (a window's controls get their
// handlers this way). The position of an event in its class's event table is
// its identity; an object that installs handlers gets a private copy of the
// table, freed when the object is released.
#include "ObjectDefinition.h"

#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "SmallBlockAllocator.h"

#include <cstring>
#include <string>

namespace events {

void *Handler(RuntimeObject *object, const EventItem *item) {
    if (object == nullptr || item == nullptr || object->eventTable == nullptr ||
        object->classPtr == nullptr || item->index >= object->classPtr->eventCount)
        return nullptr;
    return object->eventTable[item->index].vector;
}

uint64_t Raise(RuntimeObject *object, const EventItem *item,
               std::initializer_list<uint32_t> arguments, bool *handled) {
    void *handler = Handler(object, item);
    if (handled != nullptr) *handled = handler != nullptr;
    if (handler == nullptr) return 0;
    constexpr size_t kMostArguments = 16;
    KQ_ASSERT(KQ_DEFINITION_SOURCE, arguments.size() <= kMostArguments);
    uint32_t words[kMostArguments + 1];
    words[0] = uint32_t(reinterpret_cast<uintptr_t>(object));
    size_t count = 1;
    for (uint32_t argument : arguments)
        if (count <= kMostArguments) words[count++] = argument;
    Ref<> hold(object);
    return RuntimeCallImageHandler(handler, uint32_t(count), words);
}

} // namespace events

extern "C" void RuntimeInstallInstanceEventHandler(RuntimeObject *target, KESTstring *eventName,
                                                   void *handler) {
    KQ_ASSERT(KQ_DEFINITION_SOURCE, target);
    if (target == nullptr) return;
    KQ_ASSERT(KQ_DEFINITION_SOURCE, target->classPtr);
    if (target->classPtr == nullptr) return;
    RuntimeClass *cls = target->classPtr;
    if (cls->eventCount == 0) return;
    if (target->eventTable == cls->events || target->eventTable == nullptr) {
        size_t bytes = cls->eventCount * sizeof(RuntimeEventEntry);
        auto *copy = static_cast<RuntimeEventEntry *>(smallblock::Allocate(bytes));
        if (copy == nullptr) return;
        std::memcpy(copy, cls->events, bytes);
        target->eventTable = copy;
    }
    for (uint32_t ctr = cls->eventCount; ctr-- > 0;) {
        if (!definitions::SameName(target->eventTable[ctr].name, eventName)) continue;
        if (target->eventTable[ctr].vector != nullptr) {
            std::string message =
                std::string("Attempting to implement an event that was already implemented. "
                            "Class ") +
                kstr::Text(cls->name) + ", Event " + kstr::Text(eventName);
            KQ_ASSERT_TEXT(KQ_DEFINITION_SOURCE, false, "NULL == target->eventTable[ctr].vector",
                           message.c_str());
        }
        target->eventTable[ctr].vector = handler;
        return;
    }
}
