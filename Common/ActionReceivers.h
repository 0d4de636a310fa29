// The action-notification receivers of a control (PushButton, CheckBox):
// objects implementing `actionNotificationReceiver`, told through their
// PerformAction each time the control's action happens, before its Action
// event. The control holds one reference to each.
#pragma once

#include "RuntimeObject.h"
#include "SimpleVector.h"

using ActionReceiverList = SimpleVector<RuntimeObject *>;

namespace actionreceivers {

// Adds a receiver (the list is made on first use); a null receiver or one
// that is listed already is not added.
void Add(ActionReceiverList *&list, RuntimeObject *receiver);
void Remove(ActionReceiverList *list, RuntimeObject *receiver);
// Calls PerformAction of each receiver, in the order they were added.
void Notify(const ActionReceiverList *list);
// Releases every receiver and the list.
void Release(ActionReceiverList *&list);

} // namespace actionreceivers
