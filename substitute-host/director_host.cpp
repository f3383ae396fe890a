#include "director_host.h"

HostCallback::HostCallback() : HostObject(IID_IMoaUnknown) {}

MoaError MOA_CALL HostCallback::QueryInterface(const MoaID* iid, void** out) {
  for (auto& [serviceId, service] : services_) {
    if (SameMoaID(serviceId, *iid)) {
      service->AddRef();
      *out = service;
      return kMoaErr_NoErr;
    }
  }
  return HostObject::QueryInterface(iid, out);
}

void HostCallback::Offer(const MoaID& iid, IMoaUnknown* service) {
  Withdraw(iid);
  services_.emplace_back(iid, service);
}

void HostCallback::Withdraw(const MoaID& iid) {
  for (auto it = services_.begin(); it != services_.end(); ++it) {
    if (SameMoaID(it->first, iid)) {
      services_.erase(it);
      return;
    }
  }
}

MoaError MOA_CALL HostInstance::QueryInterface(const MoaID* iid, void** out) {
  if (SameMoaID(*iid, IID_IMoaUnknown)) {
    AddRef();
    *out = static_cast<IMoaUnknown*>(this);
    return kMoaErr_NoErr;
  }
  if (disposed()) {
    *out = nullptr;
    return kMoaErr_BadInterface;
  }
  return host_.module().DllGetInterface(data_, &host_.classId(), iid, out);
}

MoaUlong MOA_CALL HostInstance::AddRef() { return static_cast<MoaUlong>(++references_); }

MoaUlong MOA_CALL HostInstance::Release() {
  if (references_ == 0) {
    ++overReleases_;
    return 0;
  }
  if (--references_ == 0) {
    host_.Dispose(data_);
    data_ = nullptr;
  }
  return static_cast<MoaUlong>(references_);
}

namespace {

std::string FileStem(const std::string& path) {
  const size_t folder = path.find_last_of("/\\");
  const std::string name = folder == std::string::npos ? path : path.substr(folder + 1);
  return name.substr(0, name.find('.'));
}

void ReportReferences(std::vector<std::string>& leaks, const char* what, int references) {
  if (references) leaks.push_back(std::string(what) + ": " + std::to_string(references) + " reference(s)");
}

}  // namespace

DirectorHost::DirectorHost() {
  callback_.Offer(IID_IMoaMmValue, &valueService_);
  callback_.Offer(IID_IMoaMmList, &listService_);
  callback_.Offer(IID_IMoaMmPlayer, &player_);
  callback_.Offer(IID_IMoaNotification, &notification_);
  callback_.Offer(IID_IMoaMmUtils, &utils_);
  callback_.Offer(IID_IMoaIdle, &idle_);
}

DirectorHost::~DirectorHost() = default;

bool DirectorHost::Load(const std::string& path) {
  if (!module_.Load(path)) {
    error_ = module_.error();
    return false;
  }
  xtraName_ = FileStem(path);
  MoaClassInterfaceInfo* info = nullptr;
  if (module_.DllGetClassInfo(&allocator_, &info) != kMoaErr_NoErr || !info) {
    error_ = "DllGetClassInfo failed";
    return false;
  }
  classInfo_.clear();
  for (const MoaClassInterfaceInfo* entry = info;
       !SameMoaID(entry->classId, MoaID{}) || !SameMoaID(entry->interfaceId, MoaID{}); ++entry)
    classInfo_.push_back(*entry);
  allocator_.NRFree(info);
  if (classInfo_.empty()) {
    error_ = "the module serves no class";
    return false;
  }
  classId_ = classInfo_.front().classId;
  if (module_.DllGetClassForm(&classId_, &instanceSize_, &create_, &destroy_) != kMoaErr_NoErr) {
    error_ = "DllGetClassForm refused the module's own class";
    return false;
  }
  return true;
}

HostInstance* DirectorHost::CreateInstance() {
  if (!create_) {
    error_ = "no Xtra is loaded";
    return nullptr;
  }
  auto* header = static_cast<MoaInstanceHeader*>(allocator_.NRAlloc(static_cast<MoaUlong>(instanceSize_)));
  if (!header) {
    error_ = "out of memory for the instance data";
    return nullptr;
  }
  instances_.push_back(std::make_unique<HostInstance>(*this, header));
  HostInstance* instance = instances_.back().get();
  header->pSelf = instance;
  header->pCallback = &callback_;
  header->pCalloc = &allocator_;
  if (create_(header) != kMoaErr_NoErr) {
    error_ = "the create callback failed";
    instance->Release();
    return nullptr;
  }
  return instance;
}

void DirectorHost::Dispose(void* data) {
  destroy_(data);
  allocator_.NRFree(data);
}

MoaError DirectorHost::Register() {
  HostInstance* instance = CreateInstance();
  if (!instance) return kMoaErr_OutOfMem;
  IMoaRegister* registrar = nullptr;
  MoaError status = instance->QueryInterface(&IID_IMoaRegister, reinterpret_cast<void**>(&registrar));
  if (status == kMoaErr_NoErr) {
    status = registrar->Register(&cache_, &xtraDict_);
    registrar->Release();
  }
  instance->Release();
  return status;
}

std::vector<std::string> DirectorHost::Leaks() const {
  std::vector<std::string> leaks;
  int index = 0;
  for (const auto& instance : instances_) {
    ++index;
    if (!instance->disposed())
      leaks.push_back("instance " + std::to_string(index) + " still holds " +
                      std::to_string(instance->references()) + " reference(s)");
    if (instance->overReleases())
      leaks.push_back("instance " + std::to_string(index) + " was released " +
                      std::to_string(instance->overReleases()) + " time(s) too often");
  }
  if (allocator_.liveBlocks())
    leaks.push_back(std::to_string(allocator_.liveBlocks()) + " allocator block(s) not freed");
  if (allocator_.foreignFrees())
    leaks.push_back(std::to_string(allocator_.foreignFrees()) + " free(s) of blocks the allocator never gave");
  ReportReferences(leaks, "host callback", callback_.references());
  ReportReferences(leaks, "IMoaMmValue service", valueService_.references());
  ReportReferences(leaks, "IMoaMmList service", listService_.references());
  ReportReferences(leaks, "IMoaMmPlayer service", player_.references());
  ReportReferences(leaks, "active movie", player_.movie().references());
  ReportReferences(leaks, "IMoaNotification service", notification_.references());
  ReportReferences(leaks, "IMoaMmUtils service", utils_.references());
  ReportReferences(leaks, "idle service", idle_.references());
  const size_t clients = notification_.registrations().size();
  if (clients) leaks.push_back(std::to_string(clients) + " notification client(s) still registered");
  for (const std::string& leak : values_.Leaks()) leaks.push_back(leak);
  if (module_.DllCanUnloadNow && module_.DllCanUnloadNow() != kMoaErr_NoErr)
    leaks.push_back("DllCanUnloadNow: interface objects still alive");
  return leaks;
}
