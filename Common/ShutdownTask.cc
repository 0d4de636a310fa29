// The shutdown task list (see ShutdownTask.h).
#include "ShutdownTask.h"

namespace {
runShutdownTask *gShutdownTasks = nullptr;
} // namespace

runShutdownTask::runShutdownTask() : mNext(gShutdownTasks) {
    gShutdownTasks = this;
}

runShutdownTask::~runShutdownTask() {
    for (runShutdownTask **link = &gShutdownTasks; *link != nullptr; link = &(*link)->mNext)
        if (*link == this) {
            *link = mNext;
            break;
        }
}

void RunShutdownTasks() {
    while (gShutdownTasks != nullptr)
        delete gShutdownTasks;
}
