// Mutex: a lock that is re-entrant by its owning thread and exclusive
// between processes. The lock is an exclusive `flock` on a lock file in the
// temporary folder: the file of the mutex's name, shared by every process
// that uses that name, or a new file of its own for a mutex without a name.
// Inside the process the `flock` also keeps other threads out, as each
// attempt opens the file anew; they wait in the mutex's queue. A lock held
// by another process releases nobody here, so a thread that finds the lock
// held and no owner in this process sleeps a little and tries again.
#include "ThreadLocks.h"

#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "ThreadScheduler.h"

#include <glib.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kSource[] = "Common/ClassLib/Mutex";
constexpr int kExclusiveWithoutBlocking = LOCK_EX | LOCK_NB; // flock operation 6
constexpr uint32_t kForeignHolderRetryMilliseconds = 50;

struct MutexObject {
    RuntimeObject header;
    int32_t entryCount;
    RuntimeThreadImp *owner;
    threads::WaitQueue *queue;
    char *lockFile;   // path, owned (g_malloc)
    int32_t lockedFd; // the open file holding the lock, -1 when not locked
};
static_assert(offsetof(MutexObject, entryCount) == 24, "Mutex.entryCount");
static_assert(offsetof(MutexObject, owner) == 28, "Mutex.owner");
static_assert(offsetof(MutexObject, queue) == 32, "Mutex.queue");
static_assert(offsetof(MutexObject, lockFile) == 36, "Mutex.lockFile");
static_assert(offsetof(MutexObject, lockedFd) == 40, "Mutex.lockedFd");

MutexObject *Checked(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<MutexObject *>(object);
}

// Opens the lock file without following a link planted in its place; a
// file that is not a regular file is refused.
int OpenLockFile(const char *path, int flags) {
    int fd = open(path, flags | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool AcquireFileLock(MutexObject *m) {
    if (m->lockFile == nullptr) return false;
    int fd = OpenLockFile(m->lockFile, 0);
    if (fd < 0) return false;
    if (flock(fd, kExclusiveWithoutBlocking) != 0) {
        close(fd);
        return false;
    }
    m->lockedFd = fd;
    return true;
}

// Takes the mutex when the caller owns it already or gets the file lock.
bool TryTake(MutexObject *m) {
    RuntimeThreadImp *me = threads::Current();
    if (!(m->entryCount > 0 && m->owner == me) && !AcquireFileLock(m)) return false;
    m->owner = me;
    ++m->entryCount;
    return true;
}

void RaiseBadName(const char *why) {
    std::string message = std::string("The Mutex cannot use its lock file: ") + why;
    exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition, message.c_str(), 0);
}

} // namespace

extern "C" {

void MutexInitializer(RuntimeObject *object) {
    auto *m = reinterpret_cast<MutexObject *>(object);
    m->entryCount = 0;
    m->owner = nullptr;
    m->queue = new threads::WaitQueue;
    m->lockFile = nullptr;
    m->lockedFd = -1;
}

void MutexFinalizer(RuntimeObject *object) {
    auto *m = reinterpret_cast<MutexObject *>(object);
    if (m->lockedFd >= 0) close(m->lockedFd);
    m->lockedFd = -1;
    if (m->lockFile != nullptr) unlink(m->lockFile);
    g_free(m->lockFile);
    m->lockFile = nullptr;
    delete m->queue;
    m->queue = nullptr;
}

void MutexContructor(RuntimeObject *object, KESTstring *name) {
    MutexObject *m = Checked(object);
    if (m == nullptr) return;
    KESTstring *utf8 = kstr::ToUTF8(name);
    std::string text(kstr::Text(utf8), kstr::Length(utf8));
    RuntimeUnlockString(utf8);
    if (text.find('/') != std::string::npos || text.find('\0') != std::string::npos ||
        text == "." || text == "..") {
        RaiseBadName("its name must be a plain file name");
        return;
    }
    int fd;
    char *path;
    if (text.empty()) {
        // A lock of its own: a new file that nobody else can have made.
        path = g_build_filename(g_get_tmp_dir(), "kqmutex-XXXXXX", nullptr);
        fd = g_mkstemp_full(path, O_RDWR | O_CLOEXEC, 0600);
    } else {
        path = g_build_filename(g_get_tmp_dir(), text.c_str(), nullptr);
        fd = OpenLockFile(path, O_CREAT);
    }
    if (fd < 0) {
        std::string why = std::string(path) + ": " + std::strerror(errno);
        g_free(path);
        RaiseBadName(why.c_str());
        return;
    }
    ssize_t written = pwrite(fd, "?", 1, 0);
    KQ_ASSERT_TEXT(kSource, written == 1, "written == 1", path);
    close(fd);
    g_free(m->lockFile);
    m->lockFile = path;
}

void MutexLock(RuntimeObject *object) {
    MutexObject *m = Checked(object);
    if (m == nullptr) return;
    threads::EnsureStarted();
    while (!TryTake(m)) {
        if (m->entryCount > 0 && m->owner != nullptr) {
            if (!m->queue->Wait()) return; // no release came (a deadlock, or killed)
        } else {
            threads::Sleep(threads::Current(), kForeignHolderRetryMilliseconds, false);
        }
    }
}

bool MutexTryLock(RuntimeObject *object) {
    MutexObject *m = Checked(object);
    if (m == nullptr) return false;
    threads::EnsureStarted();
    return TryTake(m);
}

void MutexUnlock(RuntimeObject *object) {
    MutexObject *m = Checked(object);
    if (m == nullptr) return;
    threads::EnsureStarted();
    if (m->entryCount == 0 || m->owner != threads::Current()) {
        exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition,
                                     "The thread which Signaled the Mutex must be the thread to "
                                     "Release the Mutex",
                                     3);
        return;
    }
    if (--m->entryCount > 0) return;
    close(m->lockedFd); // releases the file lock
    m->lockedFd = -1;
    m->owner = nullptr;
    RuntimeThreadImp *woken = m->queue->Release();
    if (woken != nullptr && woken->suspendCount == 0) threads::Yield();
}

} // extern "C"

namespace {

const ParameterEntry kNameParameters[] = {KQ_PARAMETER("name", &kTypeString)};

const MethodEntry kMutexMethods[] = {
    KQ_METHOD("Constructor", nullptr, KQ_TABLE(kNameParameters), MutexContructor),
    KQ_METHOD("Enter", nullptr, KQ_NO_TABLE, MutexLock),
    KQ_METHOD("TryEnter", &kTypeBoolean, KQ_NO_TABLE, MutexTryLock),
    KQ_METHOD("Leave", nullptr, KQ_NO_TABLE, MutexUnlock),
};

const RuntimeClassDeclaration kMutexDeclaration = {
    "Mutex",     nullptr,     sizeof(MutexObject),           KQ_ANYWHERE,
    false,       KQ_NO_TABLE, KQ_TABLE(kMutexMethods),       KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE, KQ_FUNCTION(MutexInitializer), KQ_FUNCTION(MutexFinalizer)};

} // namespace

ObjectDefinition MutexDefinition(&kMutexDeclaration);
