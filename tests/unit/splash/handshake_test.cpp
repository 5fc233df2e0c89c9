// The handshake between ShowSplash and the splash thread, on the stand-in,
// where no window can be made: the thread stores null and signals. What is
// tested is who frees the record and its event on every path: nothing may
// be freed while the other thread can still use it (AddressSanitizer stops
// the program at once), and nothing may be left behind.
#include "splash/splash.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using namespace std::chrono_literals;

// Holds the splash thread inside CreateWindowExA until opened.
class Gate {
public:
    void Enter()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++entered_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool WaitEntered(int count)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return entered_ >= count; });
    }
    int entered()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return entered_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    bool open_ = false;
};

Gate* gate = nullptr;
void EnterGate()
{
    gate->Enter();
}

std::atomic<int> pauseMicroseconds{0};
void PauseBeforeCreation()
{
    std::this_thread::sleep_for(std::chrono::microseconds(pauseMicroseconds.load()));
}

class Handshake : public ::testing::Test {
protected:
    Handshake() : events(StandinOpenEvents()), threads(StandinRunningThreads()) {}
    ~Handshake() override
    {
        standinBeforeCreateWindow = nullptr;
        standinRefuseEvents = 0;
        standinRefuseThreads = 0;
        splashReadyWait = SPLASH_READY_WAIT;
    }

    // ShowSplash on a thread of its own, so that a ShowSplash that never
    // returns fails the test instead of hanging it.
    static bool ShowSplashReturns(HWND* window)
    {
        std::packaged_task<HWND()> task([] { return ShowSplash(nullptr, SW_SHOW); });
        std::future<HWND> result = task.get_future();
        std::thread caller(std::move(task));
        if (result.wait_for(30s) != std::future_status::ready) {
            caller.detach();
            return false;
        }
        caller.join();
        *window = result.get();
        return true;
    }

    // Every splash thread has come to its end (and so let go of its record).
    bool SplashThreadsEnded() const
    {
        for (int i = 0; i < 20000; ++i) {
            if (StandinRunningThreads() == threads) return true;
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }

    static void ExpectNoLeak()
    {
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(0, __lsan_do_recoverable_leak_check());
#endif
    }

    int events;
    int threads;
};

TEST_F(Handshake, FailedCreationReturnsNullAtTheSignalWithoutWaitingOut)
{
    // With no limit to the wait, only the splash thread's signal can end it.
    splashReadyWait = INFINITE;
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(ShowSplashReturns(&window));
    EXPECT_EQ(nullptr, window);
    ASSERT_TRUE(SplashThreadsEnded());
    EXPECT_EQ(events, StandinOpenEvents());
    ExpectNoLeak();
}

TEST_F(Handshake, ThreadThatSignalsAfterTheTimeOutStillFindsRecordAndEvent)
{
    Gate held;
    gate = &held;
    standinBeforeCreateWindow = EnterGate;
    splashReadyWait = 20;

    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(ShowSplashReturns(&window));
    EXPECT_EQ(nullptr, window);
    // ShowSplash gave up while the splash thread was still held before its
    // store and signal: the event must still be open for it.
    ASSERT_TRUE(held.WaitEntered(1));
    EXPECT_EQ(events + 1, StandinOpenEvents());

    held.Open();
    ASSERT_TRUE(SplashThreadsEnded());
    EXPECT_EQ(events, StandinOpenEvents());
    EXPECT_EQ(1, held.entered());
    ExpectNoLeak();
}

TEST_F(Handshake, TimeOutAndSignalCloseTogetherFreeOnceAndInTime)
{
    // The time-out and the signal land in either order and at the same moment.
    standinBeforeCreateWindow = PauseBeforeCreation;
    const int waits[] = {0, 1, 2};
    const int pauses[] = {0, 200, 1000, 2500};
    for (int round = 0; round < 25; ++round) {
        for (int wait : waits) {
            for (int pause : pauses) {
                splashReadyWait = static_cast<DWORD>(wait);
                pauseMicroseconds = pause;
                HWND window = reinterpret_cast<HWND>(1);
                ASSERT_TRUE(ShowSplashReturns(&window));
                EXPECT_EQ(nullptr, window);
            }
        }
    }
    ASSERT_TRUE(SplashThreadsEnded());
    EXPECT_EQ(events, StandinOpenEvents());
    ExpectNoLeak();
}

TEST_F(Handshake, ThreadThatCannotStartLeavesShowSplashTheOnlyOwner)
{
    standinRefuseThreads = 1;
    splashReadyWait = 20;
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(ShowSplashReturns(&window));
    EXPECT_EQ(nullptr, window);
    // Freed by ShowSplash itself before it returned.
    EXPECT_EQ(events, StandinOpenEvents());
    EXPECT_EQ(threads, StandinRunningThreads());
    ExpectNoLeak();
}

TEST_F(Handshake, EventThatCannotBeMadeEndsTheWaitAtOnceAndFreesTheRecordLater)
{
    Gate held;
    gate = &held;
    standinBeforeCreateWindow = EnterGate;
    standinRefuseEvents = 1;
    // Without an event the wait fails at once, however long it may be.
    splashReadyWait = INFINITE;
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_TRUE(ShowSplashReturns(&window));
    EXPECT_EQ(nullptr, window);
    ASSERT_TRUE(held.WaitEntered(1));
    held.Open();
    ASSERT_TRUE(SplashThreadsEnded());
    EXPECT_EQ(events, StandinOpenEvents());
    ExpectNoLeak();
}

}  // namespace
