// Notification clients: held while registered, notified by NotifyAll even
// while they unregister themselves or each other, with the time since their
// last notification.
#include "test_framework.h"

#include <functional>

#include "director_host.h"
#include "host_errors.h"
#include "xtra_side.h"

namespace {

using namespace director;

constexpr MoaLong kLongestGap = 100;

struct FakeClient : CountedObject<xtra_view::IMoaNotificationClient> {
  MoaError XTRA_CALL Notify(const MoaID* notifyId, const void* data, const void* refCon) override {
    ++notified;
    EXPECT_TRUE(SameMoaID(*notifyId, NID_DrNIdle));
    sinceLast = *static_cast<const MoaLong*>(data);
    lastRefCon = refCon;
    if (onNotify) onNotify();
    return kMoaErr_NoErr;
  }
  director::IMoaNotificationClient* host() { return ForHost<director::IMoaNotificationClient>(); }

  int notified = 0;
  MoaLong sinceLast = -1;
  const void* lastRefCon = nullptr;
  std::function<void()> onNotify;
};

class Notifications : public testing::Test {
 protected:
  MoaError Register(FakeClient& client, const void* refCon = nullptr) {
    return service.RegisterNotificationClient(client.host(), &NID_DrNIdle, &kLongestGap, refCon);
  }
  MoaError Unregister(FakeClient& client) {
    return service.UnregisterNotificationClient(client.host(), &NID_DrNIdle, &kLongestGap);
  }

  HostWatch watch;
  HostNotification service{watch};
};

TEST_F(Notifications, HoldAClientFromRegisteringUntilUnregistering) {
  FakeClient client;
  EXPECT_EQ(Register(client, &client), kMoaErr_NoErr);
  EXPECT_EQ(client.references, 1);
  ASSERT_EQ(service.registrations().size(), 1u);
  EXPECT_EQ(service.registrations()[0].refCon, &client);
  const MoaID other = IID_IMoaUnknown;
  EXPECT_EQ(service.UnregisterNotificationClient(client.host(), &other, &kLongestGap), kHostErr_NotRegistered);
  EXPECT_EQ(service.UnregisterNotificationClient(client.host(), &NID_DrNIdle, nullptr), kHostErr_NotRegistered);
  EXPECT_EQ(Unregister(client), kMoaErr_NoErr);
  EXPECT_EQ(client.references, 0);
  EXPECT_EQ(Unregister(client), kHostErr_NotRegistered);
  EXPECT_EQ(service.RegisterNotificationClient(nullptr, &NID_DrNIdle, &kLongestGap, nullptr), kHostErr_BadArgument);
  EXPECT_TRUE(service.registrations().empty());
  EXPECT_TRUE(watch.Misuses().empty());
}

TEST_F(Notifications, TheIdleNotificationNeedsTheLongestGapAsItsData) {
  FakeClient client;
  service.RegisterNotificationClient(client.host(), &NID_DrNIdle, nullptr, nullptr);
  EXPECT_EQ(watch.Misuses(), std::vector<std::string>{"the idle notification without the longest time between calls"});
  service.UnregisterNotificationClient(client.host(), &NID_DrNIdle, nullptr);
}

TEST_F(Notifications, EachClientGetsItsRefConAndTheMillisecondsSinceItsLastNotification) {
  FakeClient first, second;
  int firstRefCon = 1, secondRefCon = 2;
  Register(first, &firstRefCon);
  Register(second, &secondRefCon);
  first.onNotify = [&] { EXPECT_EQ(first.references, 2) << "held during the call"; };
  service.NotifyAll();
  service.NotifyAll();
  EXPECT_EQ(first.notified, 2);
  EXPECT_EQ(second.notified, 2);
  EXPECT_EQ(first.lastRefCon, &firstRefCon);
  EXPECT_EQ(second.lastRefCon, &secondRefCon);
  EXPECT_TRUE(first.sinceLast >= 0 && first.sinceLast < 1000) << first.sinceLast;
  Unregister(first);
  Unregister(second);
}

TEST_F(Notifications, ClientsMayUnregisterAndRegisterWhileBeingNotified) {
  FakeClient leaving, removed, late;
  Register(leaving);
  Register(removed);
  leaving.onNotify = [&] {
    EXPECT_EQ(Unregister(leaving), kMoaErr_NoErr);
    EXPECT_EQ(Unregister(removed), kMoaErr_NoErr);
    Register(late);
  };
  service.NotifyAll();
  EXPECT_EQ(leaving.notified, 1);
  EXPECT_EQ(removed.notified, 0);
  EXPECT_EQ(late.notified, 0);
  EXPECT_EQ(leaving.references, 0);
  EXPECT_EQ(removed.references, 0);
  service.NotifyAll();
  EXPECT_EQ(late.notified, 1);
  EXPECT_EQ(leaving.notified, 1);
  Unregister(late);
}

TEST(NotificationService, ClientsLeftRegisteredAreReportedByTheHost) {
  DirectorHost host;
  FakeClient client;
  host.notification().RegisterNotificationClient(client.host(), &NID_DrNIdle, &kLongestGap, nullptr);
  EXPECT_EQ(host.Leaks(), std::vector<std::string>{"1 notification client(s) still registered"});
  host.notification().UnregisterNotificationClient(client.host(), &NID_DrNIdle, &kLongestGap);
  EXPECT_TRUE(host.Leaks().empty());
}

}  // namespace
