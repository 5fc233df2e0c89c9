// Processes, threads and events of the stand-in, on POSIX processes and
// pthreads. Every handle is a record kept in one registry, so a handle can be
// checked before use and a record outlives every call still using it.
#include "platform/standin/windows_standin.h"

#include <errno.h>
#include <pthread.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

extern char** environ;

int standinRefuseThreads = 0;
int standinRefuseEvents = 0;

namespace {

enum ObjectKind { KIND_EVENT, KIND_THREAD, KIND_PROCESS };

// One kernel object. `holders` counts the handles to it plus the calls and
// threads using it at the moment; the record is freed when it drops to 0.
// `signalled` means set (event) or ended (thread, process).
struct StandinObject {
    ObjectKind kind;
    int holders;
    pthread_mutex_t lock;
    pthread_cond_t changed;
    bool signalled;
    pid_t process;
    LPTHREAD_START_ROUTINE start;
    void* parameter;
    StandinObject* next;
};

pthread_mutex_t registryLock = PTHREAD_MUTEX_INITIALIZER;
StandinObject* registry = nullptr;
std::atomic<int> openEvents{0};
std::atomic<int> runningThreads{0};
std::atomic<DWORD> lastThreadId{1000};

StandinObject* NewObject(ObjectKind kind, int holders)
{
    StandinObject* object = static_cast<StandinObject*>(calloc(1, sizeof(StandinObject)));
    if (object == nullptr) return nullptr;
    object->kind = kind;
    object->holders = holders;
    pthread_mutex_init(&object->lock, nullptr);
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&object->changed, &attributes);
    pthread_condattr_destroy(&attributes);
    pthread_mutex_lock(&registryLock);
    object->next = registry;
    registry = object;
    pthread_mutex_unlock(&registryLock);
    if (kind == KIND_EVENT) ++openEvents;
    return object;
}

// The record behind handle with one more holder, or null when the handle is
// not one of ours (never made, or already gone).
StandinObject* Hold(HANDLE handle)
{
    pthread_mutex_lock(&registryLock);
    StandinObject* found = registry;
    while (found != nullptr && found != handle) found = found->next;
    if (found != nullptr) ++found->holders;
    pthread_mutex_unlock(&registryLock);
    return found;
}

void Release(StandinObject* object)
{
    pthread_mutex_lock(&registryLock);
    bool last = --object->holders == 0;
    if (last) {
        StandinObject** link = &registry;
        while (*link != object) link = &(*link)->next;
        *link = object->next;
    }
    pthread_mutex_unlock(&registryLock);
    if (!last) return;
    if (object->kind == KIND_EVENT) --openEvents;
    pthread_cond_destroy(&object->changed);
    pthread_mutex_destroy(&object->lock);
    free(object);
}

void Signal(StandinObject* object)
{
    pthread_mutex_lock(&object->lock);
    object->signalled = true;
    pthread_cond_broadcast(&object->changed);
    pthread_mutex_unlock(&object->lock);
}

struct timespec Deadline(DWORD milliseconds)
{
    struct timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return deadline;
}

bool Passed(const struct timespec& deadline)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec > deadline.tv_sec || (now.tv_sec == deadline.tv_sec && now.tv_nsec >= deadline.tv_nsec);
}

// Events and threads: sleep on the condition until signalled or time-out.
DWORD WaitForSignal(StandinObject* object, DWORD milliseconds)
{
    struct timespec deadline = Deadline(milliseconds == INFINITE ? 0 : milliseconds);
    DWORD result = WAIT_OBJECT_0;
    pthread_mutex_lock(&object->lock);
    while (!object->signalled) {
        if (milliseconds == INFINITE) {
            pthread_cond_wait(&object->changed, &object->lock);
        } else if (pthread_cond_timedwait(&object->changed, &object->lock, &deadline) == ETIMEDOUT) {
            if (!object->signalled) result = WAIT_TIMEOUT;
            break;
        }
    }
    pthread_mutex_unlock(&object->lock);
    return result;
}

// Processes: the child is reaped by whichever wait sees it end first; the
// others then find it signalled.
DWORD WaitForProcess(StandinObject* object, DWORD milliseconds)
{
    struct timespec deadline = Deadline(milliseconds == INFINITE ? 0 : milliseconds);
    struct timespec pause = {0, 2 * 1000 * 1000};
    pthread_mutex_lock(&object->lock);
    for (;;) {
        if (object->signalled) break;
        int status = 0;
        pid_t done = waitpid(object->process, &status, WNOHANG);
        if (done == object->process || (done < 0 && errno == ECHILD)) {
            object->signalled = true;
            pthread_cond_broadcast(&object->changed);
            break;
        }
        if (milliseconds != INFINITE && Passed(deadline)) {
            pthread_mutex_unlock(&object->lock);
            return WAIT_TIMEOUT;
        }
        pthread_mutex_unlock(&object->lock);
        nanosleep(&pause, nullptr);
        pthread_mutex_lock(&object->lock);
    }
    pthread_mutex_unlock(&object->lock);
    return WAIT_OBJECT_0;
}

void* RunThread(void* record)
{
    StandinObject* thread = static_cast<StandinObject*>(record);
    thread->start(thread->parameter);
    --runningThreads;
    Signal(thread);
    Release(thread);
    return nullptr;
}

// Windows starts any program file; Linux wants execute permission, which an
// unpacked file lacks. Only a regular file is changed, and only by adding.
void GrantExecution(const char* path)
{
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return;
    if ((info.st_mode & S_IXUSR) == 0) chmod(path, (info.st_mode & 07777) | S_IXUSR);
}

}  // namespace

void GetStartupInfoA(STARTUPINFOA* info)
{
    memset(info, 0, sizeof *info);
    info->cb = sizeof *info;
}

BOOL CreateProcessA(const char* applicationName, char* commandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL,
                    DWORD, void*, const char*, STARTUPINFOA*, PROCESS_INFORMATION* processInformation)
{
    const char* program = applicationName != nullptr ? applicationName : commandLine;
    if (program == nullptr || program[0] == '\0') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    GrantExecution(program);
    char* arguments[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    // One record for both handles: the stand-in does not see another
    // program's threads, so its first thread ends with the program.
    StandinObject* process = NewObject(KIND_PROCESS, 2);
    if (process == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    process->process = child;
    processInformation->hProcess = process;
    processInformation->hThread = process;
    processInformation->dwProcessId = static_cast<DWORD>(child);
    processInformation->dwThreadId = static_cast<DWORD>(child);
    return TRUE;
}

HANDLE CreateThread(SECURITY_ATTRIBUTES*, size_t, LPTHREAD_START_ROUTINE start, void* parameter, DWORD,
                    DWORD* threadId)
{
    if (standinRefuseThreads) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Held by the handle and by the running thread.
    StandinObject* thread = NewObject(KIND_THREAD, 2);
    if (thread == nullptr) return nullptr;
    thread->start = start;
    thread->parameter = parameter;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t id;
    ++runningThreads;
    int failed = pthread_create(&id, &attributes, RunThread, thread);
    pthread_attr_destroy(&attributes);
    if (failed) {
        --runningThreads;
        Release(thread);
        Release(thread);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) *threadId = ++lastThreadId;
    return thread;
}

HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL, BOOL initialState, const char*)
{
    if (standinRefuseEvents) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    StandinObject* event = NewObject(KIND_EVENT, 1);
    if (event == nullptr) return nullptr;
    event->signalled = initialState != FALSE;
    return event;
}

BOOL SetEvent(HANDLE handle)
{
    StandinObject* event = Hold(handle);
    if (event == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    BOOL result = FALSE;
    if (event->kind == KIND_EVENT) {
        Signal(event);
        result = TRUE;
    }
    Release(event);
    return result;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    StandinObject* object = Hold(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    DWORD result = object->kind == KIND_PROCESS ? WaitForProcess(object, milliseconds)
                                                : WaitForSignal(object, milliseconds);
    Release(object);
    return result;
}

BOOL CloseHandle(HANDLE handle)
{
    StandinObject* object = Hold(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Release(object);  // this call's hold
    Release(object);  // the handle's
    return TRUE;
}

DWORD WaitForInputIdle(HANDLE, DWORD)
{
    // No window system, so no program ever waits for input.
    return WAIT_FAILED;
}

int StandinOpenEvents()
{
    return openEvents;
}

int StandinRunningThreads()
{
    return runningThreads;
}
