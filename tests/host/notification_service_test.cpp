// Notification clients: held while registered, notified by NotifyAll even
// while they unregister themselves or each other.
#include "test_framework.h"

#include <functional>

#include "director_host.h"
#include "host_errors.h"
#include "host_object.h"
#include "notification_service.h"

namespace {

struct FakeClient : HostObject<IMoaNotificationClient> {
  FakeClient() : HostObject(IID_IMoaNotificationClient) {}
  MoaError MOA_CALL Notify(const MoaID* notifyId, void* notifyData, void* refCon) override {
    ++notified;
    EXPECT_TRUE(SameMoaID(*notifyId, NID_XtraIdleNotification));
    EXPECT_EQ(notifyData, nullptr);
    lastRefCon = refCon;
    if (onNotify) onNotify();
    return kMoaErr_NoErr;
  }
  int notified = 0;
  void* lastRefCon = nullptr;
  std::function<void()> onNotify;
};

TEST(NotificationService, HoldsARegisteredClientUntilItIsUnregistered) {
  HostNotification service;
  FakeClient client;
  EXPECT_EQ(service.RegisterNotificationClient(&client, &NID_XtraIdleNotification, nullptr, &client), kMoaErr_NoErr);
  EXPECT_EQ(client.references(), 1);
  ASSERT_EQ(service.registrations().size(), 1u);
  EXPECT_EQ(service.registrations()[0].refCon, &client);
  const MoaID other = IID_IMoaUnknown;
  EXPECT_EQ(service.UnregisterNotificationClient(&client, &other, nullptr), kHostErr_NotRegistered);
  int otherData = 0;
  EXPECT_EQ(service.UnregisterNotificationClient(&client, &NID_XtraIdleNotification, &otherData),
            kHostErr_NotRegistered);
  EXPECT_EQ(service.UnregisterNotificationClient(&client, &NID_XtraIdleNotification, nullptr), kMoaErr_NoErr);
  EXPECT_EQ(client.references(), 0);
  EXPECT_EQ(service.UnregisterNotificationClient(&client, &NID_XtraIdleNotification, nullptr), kHostErr_NotRegistered);
  EXPECT_EQ(service.RegisterNotificationClient(nullptr, &NID_XtraIdleNotification, nullptr, nullptr),
            kHostErr_BadArgument);
  EXPECT_TRUE(service.registrations().empty());
}

TEST(NotificationService, NotifyAllPassesEachClientItsRefConAndHoldsItDuringTheCall) {
  HostNotification service;
  FakeClient first, second;
  int firstRefCon = 1, secondRefCon = 2;
  service.RegisterNotificationClient(&first, &NID_XtraIdleNotification, nullptr, &firstRefCon);
  service.RegisterNotificationClient(&second, &NID_XtraIdleNotification, nullptr, &secondRefCon);
  first.onNotify = [&] { EXPECT_EQ(first.references(), 2); };
  service.NotifyAll();
  service.NotifyAll();
  EXPECT_EQ(first.notified, 2);
  EXPECT_EQ(second.notified, 2);
  EXPECT_EQ(first.lastRefCon, &firstRefCon);
  EXPECT_EQ(second.lastRefCon, &secondRefCon);
  service.UnregisterNotificationClient(&first, &NID_XtraIdleNotification, nullptr);
  service.UnregisterNotificationClient(&second, &NID_XtraIdleNotification, nullptr);
}

TEST(NotificationService, ClientsMayUnregisterAndRegisterWhileBeingNotified) {
  HostNotification service;
  FakeClient leaving, removed, late;
  for (FakeClient* client : {&leaving, &removed})
    service.RegisterNotificationClient(client, &NID_XtraIdleNotification, nullptr, nullptr);
  leaving.onNotify = [&] {
    EXPECT_EQ(service.UnregisterNotificationClient(&leaving, &NID_XtraIdleNotification, nullptr), kMoaErr_NoErr);
    EXPECT_EQ(service.UnregisterNotificationClient(&removed, &NID_XtraIdleNotification, nullptr), kMoaErr_NoErr);
    service.RegisterNotificationClient(&late, &NID_XtraIdleNotification, nullptr, nullptr);
  };
  service.NotifyAll();
  EXPECT_EQ(leaving.notified, 1);
  EXPECT_EQ(removed.notified, 0);
  EXPECT_EQ(late.notified, 0);
  EXPECT_EQ(leaving.references(), 0);
  EXPECT_EQ(removed.references(), 0);
  service.NotifyAll();
  EXPECT_EQ(late.notified, 1);
  EXPECT_EQ(leaving.notified, 1);
  service.UnregisterNotificationClient(&late, &NID_XtraIdleNotification, nullptr);
}

TEST(NotificationService, ClientsLeftRegisteredAreReportedByTheHost) {
  DirectorHost host;
  FakeClient client;
  host.notification().RegisterNotificationClient(&client, &NID_XtraIdleNotification, nullptr, nullptr);
  EXPECT_EQ(host.Leaks(), std::vector<std::string>{"1 notification client(s) still registered"});
  host.notification().UnregisterNotificationClient(&client, &NID_XtraIdleNotification, nullptr);
  EXPECT_TRUE(host.Leaks().empty());
}

}  // namespace
