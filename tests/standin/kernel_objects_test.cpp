// Events, waits, threads and critical sections behave as the Xtra's reader
// thread and its stop signal rely on.
#include <atomic>
#include <chrono>
#include <thread>

#include "standin_fixture.h"

namespace {

using KernelObjects = StandinTest;

TEST_F(KernelObjects, AutoResetEventReleasesOneWaitThenResets) {
  HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(SetEvent(event));
  EXPECT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 10), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(event));
}

TEST_F(KernelObjects, ManualResetEventStaysSetUntilReset) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  SetEvent(event);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  ResetEvent(event);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST_F(KernelObjects, WaitAnyReportsTheLowestSignalledIndexAndConsumesOnlyIt) {
  HANDLE events[3] = {CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, TRUE, nullptr),
                      CreateEventA(nullptr, FALSE, TRUE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
  for (HANDLE event : events) CloseHandle(event);
}

TEST_F(KernelObjects, WaitAllTakesNothingUntilEverythingIsSignalled) {
  HANDLE events[2] = {CreateEventA(nullptr, FALSE, TRUE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0) << "a failed wait-all must not consume";
  SetEvent(events[0]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT) << "both consumed";
  for (HANDLE event : events) CloseHandle(event);
}

TEST_F(KernelObjects, WaitWakesWhenAnotherThreadSignals) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::thread setter([event] {
    EXPECT_TRUE(Eventually([] { return standin::BlockedThreadCount() == 1; }));
    SetEvent(event);
  });
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  setter.join();
  CloseHandle(event);
}

TEST_F(KernelObjects, TimedWaitLastsAboutItsTimeout) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const DWORD before = GetTickCount();
  EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount() - before, 49u);
  CloseHandle(event);
}

TEST_F(KernelObjects, BadWaitsFailWithWindowsErrors) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE twice[2] = {event, event};
  EXPECT_EQ(WaitForMultipleObjects(0, twice, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, twice, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(event);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED) << "closed handles are not reused";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

DWORD WINAPI ReturnParameter(LPVOID parameter) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter)); }

TEST_F(KernelObjects, ThreadHandleIsSignalledWithTheExitCodeWhenTheThreadEnds) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ReturnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "stays signalled";
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(standin::LiveThreadCount(), 0u);
  EXPECT_FALSE(SetEvent(thread)) << "a thread is not an event";
  CloseHandle(thread);
}

struct Gate {
  HANDLE release;
  std::atomic<DWORD> seenId{0};
};

DWORD WINAPI WaitAtGate(LPVOID parameter) {
  auto* gate = static_cast<Gate*>(parameter);
  gate->seenId = GetCurrentThreadId();
  WaitForSingleObject(gate->release, INFINITE);
  return 7;
}

TEST_F(KernelObjects, RunningThreadIsStillActiveAndOutlivesItsHandle) {
  Gate gate;
  gate.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, &id);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(standin::LiveThreadCount(), 1u);
  EXPECT_TRUE(Eventually([&] { return gate.seenId == id; })) << "GetCurrentThreadId inside matches CreateThread's";
  CloseHandle(thread);
  SetEvent(gate.release);
  EXPECT_TRUE(Eventually([] { return standin::LiveThreadCount() == 0; }));
  CloseHandle(gate.release);
}

DWORD WINAPI PinTheLibraryAndEnd(LPVOID parameter) {
  HMODULE library = nullptr;
  *static_cast<BOOL*>(parameter) = GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&PinTheLibraryAndEnd), &library);
  FreeLibraryAndExitThread(library, 0);
  return 0;
}

TEST_F(KernelObjects, AThreadMayHoldItsLibraryUntilItHasEnded) {
  BOOL pinned = FALSE;
  HANDLE thread = CreateThread(nullptr, 0, PinTheLibraryAndEnd, &pinned, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(pinned);
  EXPECT_EQ(standin::LiveThreadCount(), 0u);
  CloseHandle(thread);
}

TEST_F(KernelObjects, Kernel32ExportsCancelIoExUnlessLookupsFail) {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel, "CancelIoEx")), reinterpret_cast<void*>(&CancelIoEx));
  EXPECT_EQ(GetProcAddress(kernel, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  standin::FailNext("GetProcAddress", ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(kernel, "CancelIoEx"), nullptr) << "as on Windows XP";
  EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

struct Counter {
  CRITICAL_SECTION lock;
  long value = 0;
};

DWORD WINAPI CountNestedly(LPVOID parameter) {
  auto* counter = static_cast<Counter*>(parameter);
  for (int i = 0; i < 1000; ++i) {
    EnterCriticalSection(&counter->lock);
    EnterCriticalSection(&counter->lock);  // recursive, as on Windows
    ++counter->value;
    LeaveCriticalSection(&counter->lock);
    LeaveCriticalSection(&counter->lock);
  }
  return 0;
}

TEST_F(KernelObjects, CriticalSectionIsRecursiveAndExcludesOtherThreads) {
  Counter counter;
  InitializeCriticalSection(&counter.lock);
  HANDLE threads[2] = {CreateThread(nullptr, 0, CountNestedly, &counter, 0, nullptr),
                       CreateThread(nullptr, 0, CountNestedly, &counter, 0, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(counter.value, 2000);
  for (HANDLE thread : threads) CloseHandle(thread);
  DeleteCriticalSection(&counter.lock);
}

TEST_F(KernelObjects, LastErrorBelongsToEachThread) {
  SetLastError(1234);
  std::thread other([] {
    EXPECT_EQ(GetLastError(), 0u);
    SetLastError(5);
  });
  other.join();
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST_F(KernelObjects, TickCountWrapsAt32Bits) {
  standin::SetTickCount(0xFFFFFFF0u);
  const DWORD before = GetTickCount();
  Sleep(40);
  const DWORD after = GetTickCount();
  EXPECT_LT(after, before) << "wrapped";
  EXPECT_GE(after - before, 40u);
}

TEST_F(KernelObjects, FormatMessageGivesWindowsTextsAndFailsLikeIt) {
  WCHAR text[256];
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  EXPECT_EQ(FormatMessageW(flags, nullptr, ERROR_OPERATION_ABORTED, 0, text, sizeof text, nullptr), 95u);
  EXPECT_EQ(std::u16string(text),
            u"The I/O operation has been aborted because of either a thread exit or an application request.\r\n");
  for (DWORD code : {0, 1, 2, 5, 6, 22, 23, 31, 87, 122, 995, 997, 1167, 1168, 1460, 1784}) {
    EXPECT_GT(FormatMessageW(flags, nullptr, code, 0, text, sizeof text, nullptr), 2u) << code;
  }
  EXPECT_EQ(FormatMessageW(flags, nullptr, 12345, 0, text, sizeof text, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
  EXPECT_EQ(FormatMessageW(flags, nullptr, ERROR_DEVICE_NOT_CONNECTED, 0, text, 30, nullptr), 0u)
      << "30 characters leave no room for the terminator";
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(FormatMessageW(flags, nullptr, ERROR_DEVICE_NOT_CONNECTED, 0, text, 31, nullptr), 30u);
}

}  // namespace
