// The notification service: the clients that script instances register, so
// that a test can deliver the idle notification as Director's loop does.
#pragma once

#include <chrono>
#include <vector>

#include "host_service.h"

namespace director {
XDK_SERVICE_CLASS(IMoaNotificationSlots, IMoaNotification, IID_IMoaNotification, XDK_IMOANOTIFICATION_SLOTS,
                  XDK_NO_UNLISTED, false);
}  // namespace director

struct NotificationRegistration {
  director::IMoaNotificationClient* client;
  director::MoaID notifyId;
  const void* notifyData;
  const void* refCon;
  int serial;  // tells registrations apart while NotifyAll runs
  std::chrono::steady_clock::time_point lastNotified;
};

class HostNotification final : public director::IMoaNotificationSlots {
 public:
  explicit HostNotification(HostWatch& hostWatch) : IMoaNotificationSlots(hostWatch) {}

  // The host keeps a reference on every registered client until it is
  // unregistered. Clients left at the end are reported, not released: the
  // instances behind them may be half gone by then. The idle notification's
  // data must point to the longest time, in ms, the client wants between
  // notifications.
  director::MoaError RegisterNotificationClient(director::IMoaNotificationClient* client,
                                                const director::MoaID* notifyId, const void* notifyData,
                                                const void* refCon) override;
  director::MoaError UnregisterNotificationClient(director::IMoaNotificationClient* client,
                                                  const director::MoaID* notifyId, const void* notifyData) override;

  // Notifies every client registered when it starts and still registered
  // when its turn comes (clients may register or unregister meanwhile),
  // through IMoaNotificationClient::Notify with the data pointing to the ms
  // since that client's last notification.
  void NotifyAll();
  const std::vector<NotificationRegistration>& registrations() const { return registrations_; }

 private:
  std::vector<NotificationRegistration> registrations_;
  int nextSerial_ = 1;
};
