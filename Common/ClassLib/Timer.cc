// The Timer class (see Timer.h) and the two interfaces of action
// notification: actionSource (the subscription pair a timer offers) and
// actionNotificationReceiver (PerformAction, called on each subscriber).
#include "Timer.h"

#include "RuntimeClock.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"

#include <glib.h>

struct TimerReceiver {
    TimerReceiver *next;
    RuntimeObject *object; // one reference held
};

namespace {

const char kSource[] = "Common/ClassLib/Timer";
constexpr int32_t kDefaultPeriod = 1000;
constexpr int32_t kModeOff = 0, kModeSingle = 1, kModeMultiple = 2;

TimerObject *gTimers = nullptr;

EventEntry kTimerEvents[] = {KQ_EVENT("Action", "", nullptr)};

TimerObject *TimerOf(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<TimerObject *>(object);
}

int32_t Now() {
    return int32_t(runclock::Milliseconds());
}

void StopSource(TimerObject *t) {
    if (t->source != 0) g_source_remove(t->source);
    t->source = 0;
}

// Tells each subscriber, newest first, through its PerformAction.
void NotifyReceivers(TimerObject *t) {
    RuntimeClass *receiverInterface = definitions::Convert(&actionNotificationReceiverDefinition);
    for (TimerReceiver *r = t->receivers; r != nullptr; r = r->next) {
        RuntimeMethodEntry *methods = RuntimeLookupInterfaceVtable(r->object, receiverInterface);
        if (methods == nullptr || methods[0].code == nullptr) continue;
        uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(r->object));
        RuntimeCallImageHandler(methods[0].code, 1, &argument);
    }
}

gboolean OnTimeout(gpointer data) {
    auto *t = static_cast<TimerObject *>(data);
    if (!t->enabled) return TRUE; // the source stays and fires again
    if (t->mode != kModeMultiple) {
        t->source = 0;
        t->mode = kModeOff;
    }
    // The handler may release the timer: it lives until the handler ends.
    Ref<> keep(&t->header);
    NotifyReceivers(t);
    events::Raise(&t->header, kTimerEvents[0].item);
    return t->mode == kModeMultiple && t->enabled;
}

void StartSource(TimerObject *t) {
    t->source = g_timeout_add(guint(t->period), OnTimeout, t);
}

} // namespace

extern "C" {

void RuntimeTimerConstructor(RuntimeObject *object) {
    auto *t = reinterpret_cast<TimerObject *>(object);
    t->period = kDefaultPeriod;
    t->referenceTime = Now();
    t->enabled = 1;
    t->source = 0;
    t->next = gTimers;
    gTimers = t;
}

void RuntimeTimerDestructor(RuntimeObject *object) {
    auto *t = reinterpret_cast<TimerObject *>(object);
    for (TimerObject **link = &gTimers; *link != nullptr; link = &(*link)->next)
        if (*link == t) {
            *link = t->next;
            break;
        }
    StopSource(t);
    while (t->receivers != nullptr) {
        TimerReceiver *r = t->receivers;
        t->receivers = r->next;
        RuntimeUnlockObject(r->object);
        delete r;
    }
}

void timerModeSetter(RuntimeObject *object, int32_t, int32_t value) {
    TimerObject *t = TimerOf(object);
    if (t == nullptr) return;
    t->mode = value;
    t->referenceTime = Now();
    StopSource(t);
    if (t->mode != kModeOff) StartSource(t);
}

void timerPeriodSetter(RuntimeObject *object, int32_t, int32_t value) {
    TimerObject *t = TimerOf(object);
    if (t == nullptr) return;
    t->period = value < 1 ? 1 : value;
    StopSource(t);
    if (t->mode != kModeOff) StartSource(t);
}

void TimerEnabledSetter(RuntimeObject *object, int32_t, bool value) {
    TimerObject *t = TimerOf(object);
    if (t == nullptr) return;
    t->enabled = value;
    t->referenceTime = Now();
    StopSource(t);
    if (value && t->mode != kModeOff) StartSource(t);
}

void RuntimeTimerReset(RuntimeObject *object) {
    KQ_ASSERT_TEXT(kSource, object != nullptr, "obj", nullptr);
    if (object == nullptr) return;
    reinterpret_cast<TimerObject *>(object)->referenceTime = Now();
}

void TimerAddActionNotificationReceiver(RuntimeObject *object, RuntimeObject *receiver) {
    TimerObject *t = TimerOf(object);
    if (t == nullptr || receiver == nullptr) return;
    RuntimeLockObject(receiver);
    t->receivers = new TimerReceiver{t->receivers, receiver};
}

void TimerRemoveActionNotificationReceiver(RuntimeObject *object, RuntimeObject *receiver) {
    TimerObject *t = TimerOf(object);
    if (t == nullptr) return;
    for (TimerReceiver **link = &t->receivers; *link != nullptr; link = &(*link)->next)
        if ((*link)->object == receiver) {
            TimerReceiver *r = *link;
            *link = r->next;
            RuntimeUnlockObject(r->object);
            delete r;
            return;
        }
}

} // extern "C"

namespace {

const ParameterEntry kReceiverParameters[] = {
    KQ_PARAMETER("receiver", &actionNotificationReceiverDefinition)};

// The interface methods have no code of their own: classes implementing the
// interface supply it.
const MethodEntry kReceiverMethods[] = {
    {"PerformAction", nullptr, nullptr, 0, KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0, 0},
};
const MethodEntry kSourceMethods[] = {
    {"addActionNotificationReceiver", nullptr, kReceiverParameters, 1, KQ_NO_FUNCTION,
     KQ_NO_FUNCTION, 0, 0, 0},
    {"removeActionNotificationReceiver", nullptr, kReceiverParameters, 1, KQ_NO_FUNCTION,
     KQ_NO_FUNCTION, 0, 0, 0},
};

const RuntimeClassDeclaration kReceiverDeclaration = {"actionNotificationReceiver",
                                                      nullptr,
                                                      sizeof(RuntimeObject),
                                                      KQ_ANYWHERE,
                                                      true,
                                                      KQ_NO_TABLE,
                                                      KQ_TABLE(kReceiverMethods),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_NO_FUNCTION};
const RuntimeClassDeclaration kSourceDeclaration = {
    "actionSource", nullptr,     sizeof(RuntimeObject),    KQ_ANYWHERE,
    true,           KQ_NO_TABLE, KQ_TABLE(kSourceMethods), KQ_NO_TABLE,
    KQ_NO_TABLE,    KQ_NO_TABLE, KQ_NO_FUNCTION,           KQ_NO_FUNCTION};

const PropertyEntry kTimerProperties[] = {
    KQ_CONSTANT("ModeOff", &kTypeInteger, kModeOff),
    KQ_CONSTANT("ModeSingle", &kTypeInteger, kModeSingle),
    KQ_CONSTANT("ModeMultiple", &kTypeInteger, kModeMultiple),
    KQ_PROPERTY("Mode", &kTypeInteger, intGetter, timerModeSetter, offsetof(TimerObject, mode)),
    KQ_PROPERTY("Period", &kTypeInteger, intGetter, timerPeriodSetter,
                offsetof(TimerObject, period)),
    KQ_PROPERTY("Enabled", &kTypeBoolean, boolGetter, TimerEnabledSetter,
                offsetof(TimerObject, enabled)),
    KQ_PROPERTY("__kqf_mImp", &kTypeInteger, intGetter, intSetter, offsetof(TimerObject, imp)),
};

const MethodEntry kTimerMethods[] = {
    KQ_METHOD("Reset", nullptr, KQ_NO_TABLE, RuntimeTimerReset),
    KQ_METHOD("addActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              TimerAddActionNotificationReceiver),
    KQ_METHOD("removeActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              TimerRemoveActionNotificationReceiver),
};

void *const kActionSourceCodes[] = {KQ_CODE(TimerAddActionNotificationReceiver),
                                    KQ_CODE(TimerRemoveActionNotificationReceiver), nullptr};

} // namespace

ObjectDefinition actionNotificationReceiverDefinition(&kReceiverDeclaration);
ObjectDefinition actionSourceDefinition(&kSourceDeclaration);

namespace {

const InterfaceEntry kTimerInterfaces[] = {{&actionSourceDefinition, 3, kActionSourceCodes}};

const RuntimeClassDeclaration kTimerDeclaration = {"Timer",
                                                   nullptr,
                                                   kTimerInstanceSize,
                                                   KQ_ANYWHERE,
                                                   false,
                                                   KQ_TABLE(kTimerProperties),
                                                   KQ_TABLE(kTimerMethods),
                                                   KQ_TABLE(kTimerEvents),
                                                   KQ_NO_TABLE,
                                                   KQ_TABLE(kTimerInterfaces),
                                                   KQ_FUNCTION(RuntimeTimerConstructor),
                                                   KQ_FUNCTION(RuntimeTimerDestructor)};

} // namespace

ObjectDefinition TimerDefinition(&kTimerDeclaration);
