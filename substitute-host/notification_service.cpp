#include "notification_service.h"

#include "host_errors.h"

MoaError MOA_CALL HostNotification::RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                               void* notifyData, void* refCon) {
  if (!client || !notifyId) return kHostErr_BadArgument;
  client->AddRef();
  registrations_.push_back({client, *notifyId, notifyData, refCon, nextSerial_++});
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostNotification::UnregisterNotificationClient(IMoaNotificationClient* client,
                                                                 const MoaID* notifyId, void* notifyData) {
  if (!client || !notifyId) return kHostErr_BadArgument;
  for (auto it = registrations_.begin(); it != registrations_.end(); ++it) {
    if (it->client == client && SameMoaID(it->notifyId, *notifyId) && it->notifyData == notifyData) {
      registrations_.erase(it);
      client->Release();
      return kMoaErr_NoErr;
    }
  }
  return kHostErr_NotRegistered;
}

void HostNotification::NotifyAll() {
  std::vector<int> due;
  for (const NotificationRegistration& registration : registrations_) due.push_back(registration.serial);
  for (int serial : due) {
    for (const NotificationRegistration& registration : registrations_) {
      if (registration.serial != serial) continue;
      // Copied, and the client held, because Notify may unregister it.
      const NotificationRegistration current = registration;
      current.client->AddRef();
      current.client->Notify(&current.notifyId, current.notifyData, current.refCon);
      current.client->Release();
      break;
    }
  }
}
