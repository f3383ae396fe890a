// Kernel behaviour the Xtra relies on, checked against Windows (under Wine)
// and the stand-in alike.
#include <string>

#include "windows_api.h"
#include "wine_devices.h"

namespace {

using KernelConformance = WindowsApi;

TEST_F(KernelConformance, SatisfiedWaitsConsumeAutoResetEventsOnly) {
  HANDLE autoReset = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HANDLE manual = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE both[2] = {autoReset, manual};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1) << "only the manual one is left";
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0) << "a failed wait-all took nothing";
  SetEvent(autoReset);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0) << "the lowest index wins";
  EXPECT_EQ(WaitForSingleObject(autoReset, 10), WAIT_TIMEOUT);
  CloseHandle(autoReset);
  CloseHandle(manual);
}

TEST_F(KernelConformance, BadWaitsFailWithTheirErrors) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(0, &event, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(event);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

DWORD WINAPI WaitThenReturn(LPVOID parameter) {
  WaitForSingleObject(static_cast<HANDLE>(parameter), INFINITE);
  return 42;
}

TEST_F(KernelConformance, ThreadIsStillActiveUntilItsHandleIsSignalled) {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, WaitThenReturn, release, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  SetEvent(release);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_FALSE(SetEvent(thread));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(thread);
  CloseHandle(release);
}

// The system texts are ASCII: one UTF-16 unit a character.
std::string SystemMessage(DWORD code, DWORD size = 256) {
  WCHAR text[256] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, size, nullptr);
  if (length == 0) return "";  // the buffer's contents are undefined then (Wine leaves a cut text)
  std::string ascii;
  for (DWORD i = 0; text[i]; ++i) ascii += static_cast<char>(text[i]);
  return length == ascii.size() ? ascii : "length mismatch";
}

// Wine shortens some of Windows' texts; either is the system's.
bool IsSystemText(const std::string& text, const char* windows, const char* wine) {
  return text == windows || text == wine;
}

TEST_F(KernelConformance, SystemMessagesEndInCrLfAndUnknownCodesFail) {
  EXPECT_EQ(SystemMessage(ERROR_DEVICE_NOT_CONNECTED), "The device is not connected.\r\n");
  EXPECT_TRUE(IsSystemText(SystemMessage(ERROR_GEN_FAILURE), "A device attached to the system is not functioning.\r\n",
                           "General failure.\r\n"));
  EXPECT_TRUE(IsSystemText(SystemMessage(ERROR_INVALID_PARAMETER), "The parameter is incorrect.\r\n",
                           "Invalid parameter.\r\n"));
  SetLastError(0);
  EXPECT_EQ(SystemMessage(12345), "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(SystemMessage(ERROR_DEVICE_NOT_CONNECTED, 8), "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace
