// Share modes of device opens, as Windows checks them.
#include "standin_fixture.h"

namespace {

using Sharing = StandinTest;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;

HANDLE OpenShared(standin::DeviceId device, DWORD access, DWORD share) {
  return CreateFileA(standin::DevicePath(device).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(Sharing, AnExclusiveOpenKeepsOtherReadersAndWritersOutUntilClosed) {
  const auto device = standin::PlugDevice(Board());
  HANDLE exclusive = OpenShared(device, kReadWrite, 0);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenShared(device, kReadWrite, kShareBoth), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(OpenShared(device, GENERIC_READ, kShareBoth), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  HANDLE query = OpenShared(device, 0, kShareBoth);
  EXPECT_NE(query, INVALID_HANDLE_VALUE) << "an open without access neither is refused nor refuses";
  CloseHandle(query);
  CloseHandle(exclusive);
  HANDLE shared = OpenShared(device, kReadWrite, kShareBoth);
  EXPECT_NE(shared, INVALID_HANDLE_VALUE);
  CloseHandle(shared);
}

TEST_F(Sharing, AnExclusiveOpenIsRefusedWhileOthersHaveTheDevice) {
  const auto device = standin::PlugDevice(Board());
  HANDLE shared = OpenShared(device, kReadWrite, kShareBoth);
  EXPECT_EQ(OpenShared(device, kReadWrite, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  HANDLE other = OpenShared(standin::PlugDevice(Board(0x0200)), kReadWrite, 0);
  EXPECT_NE(other, INVALID_HANDLE_VALUE) << "sharing is per device";
  CloseHandle(other);
  CloseHandle(shared);
}

TEST_F(Sharing, ModesAreCheckedBothWaysRoundPerAccess) {
  const auto device = standin::PlugDevice(Board());
  // A writer that lets readers in and a reader that lets writers in hold the
  // device between them: nobody else may read or write.
  HANDLE writer = OpenShared(device, GENERIC_WRITE, FILE_SHARE_READ);
  HANDLE reader = OpenShared(device, GENERIC_READ, FILE_SHARE_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenShared(device, GENERIC_READ, kShareBoth), INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenShared(device, GENERIC_WRITE, kShareBoth), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(reader);
  CloseHandle(writer);
}

}  // namespace
