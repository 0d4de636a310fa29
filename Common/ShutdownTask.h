// The shutdown task list: work done when the process ends (temporary files
// removed, objects closed). Each task is an object of a class derived from
// runShutdownTask; constructing one links it in at the head of the list,
// destroying one unlinks it wherever it stands. Running the list destroys the
// head until the list is empty, so tasks end newest first.
#pragma once

class runShutdownTask {
  public:
    runShutdownTask();
    virtual ~runShutdownTask();
    runShutdownTask(const runShutdownTask &) = delete;
    runShutdownTask &operator=(const runShutdownTask &) = delete;

  private:
    friend void RunShutdownTasks();
    runShutdownTask *mNext;
};

// Destroys every task, newest first (each through its deleting destructor).
void RunShutdownTasks();
