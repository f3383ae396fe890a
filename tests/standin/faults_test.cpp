// Injected failures fire when and as often as asked, with the asked error.
#include "standin_fixture.h"

namespace {

using Faults = StandinTest;

TEST_F(Faults, FaultFiresAfterSkippedCallsForItsCount) {
  standin::FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY, 1, 2);
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(first, nullptr);
  for (int i = 0; i < 2; ++i) {
    SetLastError(0);
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  }
  HANDLE after = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(after, nullptr);
  CloseHandle(first);
  CloseHandle(after);
}

TEST_F(Faults, EachFunctionFailsWithItsOwnFailureValue) {
  const auto device = standin::PlugDevice(Board());
  HANDLE file = Open(device);
  BYTE buffer[8] = {};
  DWORD bytes = 0;

  standin::FailNext("CreateFileA", ERROR_ACCESS_DENIED);
  EXPECT_EQ(Open(device), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  standin::FailNext("SetupDiGetClassDevsA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES), INVALID_HANDLE_VALUE);
  standin::FailNext("WaitForSingleObject", ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(file, 0), WAIT_FAILED);
  standin::FailNext("ReadFile", ERROR_GEN_FAILURE);
  EXPECT_FALSE(ReadFile(file, buffer, sizeof buffer, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  standin::FailNext("WriteFile", ERROR_CRC);
  EXPECT_FALSE(WriteFile(file, buffer, 4, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CRC);
  EXPECT_TRUE(standin::OutputReports(device).empty()) << "a failed write sends nothing";

  PHIDP_PREPARSED_DATA preparsed = nullptr;
  standin::FailNext("HidD_GetPreparsedData", ERROR_GEN_FAILURE);
  EXPECT_FALSE(HidD_GetPreparsedData(file, &preparsed));
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  HIDP_CAPS caps{};
  standin::FailNext("HidP_GetCaps", static_cast<std::uint32_t>(HIDP_STATUS_INVALID_PREPARSED_DATA));
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  HidD_FreePreparsedData(preparsed);

  standin::FailNext("CloseHandle", ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(standin::OpenHandleCount(), 1u) << "a failed close closes nothing";
  CloseHandle(file);
}

TEST_F(Faults, UnknownFunctionsAndEmptyCountsAreRefused) {
  EXPECT_THROW(standin::FailNext("HidD_GetProductStrin", 31), std::invalid_argument);
  EXPECT_THROW(standin::FailNext("ReadFile", 31, 0, 0), std::invalid_argument);
  EXPECT_EQ(standin::FallibleFunctions().size(), 44u);
}

TEST_F(Faults, ResetClearsFaultsThatNeverFired) {
  standin::FailNext("CreateThread", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(standin::PendingFaults(), std::vector<std::string>{"CreateThread"});
  standin::Reset();
  EXPECT_TRUE(standin::PendingFaults().empty());
}

}  // namespace
