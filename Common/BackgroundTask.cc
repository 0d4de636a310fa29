// Background tasks, polled objects and the image-object adapter (see
// BackgroundTask.h).
#include "BackgroundTask.h"

#include "ObjectDefinition.h"
#include "RuntimeClock.h"
#include "RuntimeException.h"
#include "SimpleVector.h"

#include <glib.h>

#include <cstring>

namespace {

SimpleVector<BackgroundTask *> gTasks;
SimpleVector<Pollable *> gPollables;

gboolean OnTaskTimeout(gpointer data) {
    static_cast<BackgroundTask *>(data)->Fire();
    return TRUE;
}

// Walks `list` from the end; a removal during `visit` clips the index.
template <typename T, typename Visit>
void WalkFromEnd(SimpleVector<T> &list, Visit visit) {
    for (uint32_t i = list.Count(); i > 0;) {
        --i;
        if (i >= list.Count()) {
            i = list.Count();
            continue;
        }
        visit(list[i]);
    }
}

template <typename T>
void RemoveEvery(SimpleVector<T> &list, T item) {
    for (uint32_t i = list.Count(); i > 0;)
        if (list[--i] == item) list.RemoveAt(i);
}

// The `_Poll` method of the object's `_Pollable` implementation, or null.
void *PollMethodOf(RuntimeObject *object) {
    if (object == nullptr) return nullptr;
    const RuntimeInterfaceEntry *entry =
        objects::FindInterface(object->classPtr, definitions::Convert(&_PollableDefinition));
    if (entry == nullptr) return nullptr;
    for (uint32_t i = 0; i < entry->methodCount; ++i) {
        const char *name = kstr::Text(entry->methods[i].name);
        if (std::strncmp(name, "_Poll", 5) == 0 && (name[5] == 0 || name[5] == '%'))
            return entry->methods[i].code;
    }
    return nullptr;
}

} // namespace

BackgroundTask::BackgroundTask(int32_t periodTicks) : mPeriod(periodTicks) {
    mTimeoutId = g_timeout_add(guint(runclock::TicksToTimeoutMilliseconds(periodTicks)),
                               OnTaskTimeout, this);
    gTasks.Append(this);
}

BackgroundTask::~BackgroundTask() {
    RemoveTimeout();
    RemoveEvery(gTasks, this);
}

void BackgroundTask::RemoveTimeout() {
    if (mTimeoutId != 0) g_source_remove(mTimeoutId);
    mTimeoutId = 0;
}

void RunDueBackgroundTasks(bool polledOnly) {
    if (gTasks.IsEmpty() || (polledOnly && !AnyPolledBackgroundTask())) return;
    int32_t now = runclock::Ticks();
    WalkFromEnd(gTasks, [&](BackgroundTask *task) {
        if (polledOnly && !task->IsPolled()) return;
        if (task->mLastRun + task->mPeriod > now) return;
        task->mLastRun = runclock::Ticks();
        task->Fire(); // may destroy the task
    });
}

bool AnyPolledBackgroundTask() {
    for (BackgroundTask *task : gTasks)
        if (task->IsPolled()) return true;
    return false;
}

namespace polling {

void Add(Pollable *item) {
    if (item != nullptr) gPollables.Append(item);
}

void Remove(Pollable *item) {
    RemoveEvery(gPollables, item);
}

void PollAll() {
    WalkFromEnd(gPollables, [](Pollable *item) { item->Poll(); });
}

} // namespace polling

RuntimeObjectPoll::RuntimeObjectPoll(RuntimeObject *object)
    : mObject(object), mPollMethod(PollMethodOf(object)) {}

void RuntimeObjectPoll::Poll() {
    if (mPollMethod == nullptr) return;
    // The method may remove this adapter; the object stays until it returns.
    Ref<> object = mObject;
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(object.get()));
    RuntimeCallImageHandler(mPollMethod, 1, &argument);
}
