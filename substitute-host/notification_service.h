// The notification service: the clients that script instances register, so
// that a test can deliver the idle notification as Director's loop would.
#pragma once

#include <vector>

#include "host_object.h"

struct NotificationRegistration {
  IMoaNotificationClient* client;
  MoaID notifyId;
  void* notifyData;
  void* refCon;
  int serial;  // tells registrations apart while NotifyAll runs
};

class HostNotification : public HostObject<IMoaNotification> {
 public:
  HostNotification() : HostObject(IID_IMoaNotification) {}

  // The host keeps a reference on every registered client until it is
  // unregistered. Clients left at the end are reported, not released: the
  // instances behind them may be half gone by then.
  MoaError MOA_CALL RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                               void* notifyData, void* refCon) override;
  MoaError MOA_CALL UnregisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                 void* notifyData) override;

  // Notifies every client registered when it starts and still registered
  // when its turn comes; clients may register or unregister meanwhile.
  void NotifyAll();
  const std::vector<NotificationRegistration>& registrations() const { return registrations_; }

 private:
  std::vector<NotificationRegistration> registrations_;
  int nextSerial_ = 1;
};
