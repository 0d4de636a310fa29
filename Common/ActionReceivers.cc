// Action-notification receivers of controls (see ActionReceivers.h).
#include "ActionReceivers.h"

#include "ObjectDefinition.h"
#include "RuntimeException.h"

namespace actionreceivers {

void Add(ActionReceiverList *&list, RuntimeObject *receiver) {
    if (receiver == nullptr) return;
    if (list == nullptr) list = new ActionReceiverList;
    for (RuntimeObject *listed : *list)
        if (listed == receiver) return;
    if (list->Append(receiver)) RuntimeLockObject(receiver);
}

void Remove(ActionReceiverList *list, RuntimeObject *receiver) {
    if (list == nullptr) return;
    for (uint32_t i = list->Count(); i-- > 0;)
        if ((*list)[i] == receiver) {
            list->RemoveAt(i);
            RuntimeUnlockObject(receiver);
            return;
        }
}

void Notify(const ActionReceiverList *list) {
    if (list == nullptr || list->IsEmpty()) return;
    RuntimeClass *receiverInterface = definitions::Convert(&actionNotificationReceiverDefinition);
    // A receiver may remove itself (or others) while it is told: work on a
    // copy that holds each one.
    SimpleVector<RuntimeObject *> held;
    for (RuntimeObject *receiver : *list)
        if (held.Append(receiver)) RuntimeLockObject(receiver);
    for (RuntimeObject *receiver : held) {
        RuntimeMethodEntry *methods = RuntimeLookupInterfaceVtable(receiver, receiverInterface);
        if (methods != nullptr && methods[0].code != nullptr) {
            uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(receiver));
            RuntimeCallImageHandler(methods[0].code, 1, &argument);
        }
    }
    for (RuntimeObject *receiver : held)
        RuntimeUnlockObject(receiver);
}

void Release(ActionReceiverList *&list) {
    if (list == nullptr) return;
    for (RuntimeObject *receiver : *list)
        RuntimeUnlockObject(receiver);
    delete list;
    list = nullptr;
}

} // namespace actionreceivers
