#include "notification_service.h"

#include "xtra_calls.h"

using namespace director;

MoaError HostNotification::RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                      const void* notifyData, const void* refCon) {
  if (!client || !notifyId) return kHostErr_BadArgument;
  if (SameMoaID(*notifyId, NID_DrNIdle) && !notifyData)
    watch().Misuse("the idle notification without the longest time between calls");
  xtra::AddRef(client);
  registrations_.push_back({client, *notifyId, notifyData, refCon, nextSerial_++, std::chrono::steady_clock::now()});
  return kMoaErr_NoErr;
}

MoaError HostNotification::UnregisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                        const void* notifyData) {
  if (!client || !notifyId) return kHostErr_BadArgument;
  for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
    if (it->client == client && SameMoaID(it->notifyId, *notifyId) && it->notifyData == notifyData) {
      registrations_.erase(it);
      xtra::Release(client);
      return kMoaErr_NoErr;
    }
  }
  return kHostErr_NotRegistered;
}

void HostNotification::NotifyAll() {
  std::vector<int> due;
  for (const NotificationRegistration& registration : registrations_) due.push_back(registration.serial);
  for (int serial : due) {
    for (NotificationRegistration& registration : registrations_) {
      if (registration.serial != serial) continue;
      const auto now = std::chrono::steady_clock::now();
      const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - registration.lastNotified);
      registration.lastNotified = now;
      // Copied, and the client held, because Notify may unregister it.
      const NotificationRegistration current = registration;
      const MoaLong sinceLast = static_cast<MoaLong>(elapsed.count());
      xtra::AddRef(current.client);
      xtra::Notify(current.client, &current.notifyId, &sinceLast, current.refCon);
      xtra::Release(current.client);
      break;
    }
  }
}
