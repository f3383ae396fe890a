#include "director_host.h"

#include <initializer_list>

#include "host_windows.h"
#include "message_boxes.h"

using namespace director;

namespace {

std::string FileStem(const std::string& path) {
  const size_t folder = path.find_last_of("/\\");
  const std::string name = folder == std::string::npos ? path : path.substr(folder + 1);
  return name.substr(0, name.find('.'));
}

void ReportReferences(std::vector<std::string>& leaks, const std::string& what, int references) {
  if (references) leaks.push_back(what + ": " + std::to_string(references) + " reference(s)");
}

void ReportUnpaired(std::vector<std::string>& leaks, const char* opening, int opened, const char* closing, int closed) {
  if (opened != closed)
    leaks.push_back(std::string(opening) + " " + std::to_string(opened) + " time(s), " + closing + " " +
                    std::to_string(closed) + " time(s)");
}

}  // namespace

DirectorHost::DirectorHost() {
  for (HostService* service : std::initializer_list<HostService*>{&allocator_, &valueService_, &listService_, &player_,
                                                                  &notification_, &windows_, &appInfo_})
    callback_.Offer(*service);
}

DirectorHost::~DirectorHost() {
  if (module_.handle()) StopCapturingMessageBoxes();
}

bool DirectorHost::Load(const std::string& path) {
  if (!module_.Load(path)) {
    error_ = module_.error();
    return false;
  }
  xtraName_ = FileStem(path);
  MoaClassInterfaceInfo* info = nullptr;
  if (module_.DllGetClassInfo(allocator_.object(), &info) != kMoaErr_NoErr || !info) {
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
  class_.module = &module_;
  class_.classId = classInfo_.front().classId;
  if (module_.DllGetClassForm(&class_.classId, &class_.instanceSize, &class_.create, &class_.destroy) !=
      kMoaErr_NoErr) {
    error_ = "DllGetClassForm refused the module's own class";
    return false;
  }
  const auto boxShown = [this](const void* owner, const std::string& caption, const std::string& text) {
    if (boxSink_) boxSink_(caption, text);
    windows_.MessageBoxShown(owner);
  };
  return CaptureMessageBoxes(module_, boxShown, &error_);
}

void DirectorHost::PlayDirector(const std::string& productVersion) {
  appInfo_.SetProductVersion(productVersion);
  values_.SetEncoding(HostAppInfo::EncodingOf(productVersion));
}

HostInstance* DirectorHost::CreateInstance() {
  if (!class_.create) {
    error_ = "no Xtra is loaded";
    return nullptr;
  }
  if (class_.instanceSize < static_cast<MoaLong>(kInstanceBaseBytes)) {
    error_ = "DllGetClassForm gave an instance smaller than Director's instance base";
    return nullptr;
  }
  void* block = allocator_.NRAlloc(static_cast<MoaUlong>(class_.instanceSize));
  if (!block) {
    error_ = "out of memory for the instance";
    return nullptr;
  }
  instances_.push_back(std::make_unique<HostInstance>(class_, allocator_, callback_, watch_, block));
  HostInstance* instance = instances_.back().get();
  const MoaError status = class_.create(block);
  instance->CheckBase("in the create proc");
  if (status != kMoaErr_NoErr) {
    error_ = "the create proc failed";
    instance->Release();
    return nullptr;
  }
  return instance;
}

MoaError DirectorHost::Register() {
  player_.SetMoviePlaying(false);
  MoaError status = kMoaErr_OutOfMem;
  if (HostInstance* instance = CreateInstance()) {
    void* registrar = nullptr;
    status = instance->QueryInterface(&IID_IMoaRegister, &registrar);
    if (status == kMoaErr_NoErr) {
      status = xtra::Register(static_cast<IMoaRegister*>(registrar), cache_.object(), xtraDict_.object());
      xtra::Release(registrar);
    }
    instance->Release();
  }
  player_.SetMoviePlaying(true);
  return status;
}

void DirectorHost::DispatchWindowMessages() {
  const HostWatch::WindowMessage dispatching(watch_);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

intptr_t DirectorHost::SendWindowMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  const HostWatch::WindowMessage dispatching(watch_);
  return SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

std::vector<std::string> DirectorHost::LeftBehind() const {
  std::vector<std::string> leaks;
  int index = 0;
  for (const auto& instance : instances_) {
    ++index;
    if (!instance->disposed())
      leaks.push_back("instance " + std::to_string(index) + " still holds " + std::to_string(instance->references()) +
                      " reference(s)");
    if (instance->overReleases())
      leaks.push_back("instance " + std::to_string(index) + " was released " +
                      std::to_string(instance->overReleases()) + " time(s) too often");
  }
  if (allocator_.liveBlocks())
    leaks.push_back(std::to_string(allocator_.liveBlocks()) + " allocator block(s) not freed");
  if (allocator_.foreignFrees())
    leaks.push_back(std::to_string(allocator_.foreignFrees()) + " free(s) of blocks the allocator never gave");
  const HostMovie& movie = player_.movie();
  for (const HostService* service :
       std::initializer_list<const HostService*>{&callback_, &allocator_, &valueService_, &listService_, &player_,
                                                 &movie, &notification_, &windows_, &appInfo_, &cache_})
    ReportReferences(leaks, std::string(service->layout().name) + " service", service->references());
  ReportReferences(leaks, "IMoaDrMovieContext service", player_.movie().context().references());
  ReportReferences(leaks, "the Xtra entry dictionary", xtraDict_.references());
  ReportReferences(leaks, "the registry entry dictionary", cache_.entry().references());
  const HostMovieContext& context = player_.movie().context();
  ReportUnpaired(leaks, "PushXtraContext", context.pushes(), "PopXtraContext", context.pops());
  ReportUnpaired(leaks, "WinPrepareDialogBox", windows_.prepares(), "WinUnprepareDialogBox", windows_.unprepares());
  const size_t clients = notification_.registrations().size();
  if (clients) leaks.push_back(std::to_string(clients) + " notification client(s) still registered");
  for (const std::string& leak : values_.Leaks()) leaks.push_back(leak);
  if (module_.DllCanUnloadNow && module_.DllCanUnloadNow() != kMoaErr_NoErr)
    leaks.push_back("DllCanUnloadNow: interface objects still alive");
  return leaks;
}

std::vector<std::string> DirectorHost::Leaks() const {
  std::vector<std::string> leaks = LeftBehind();
  for (const std::string& misuse : Misuses()) leaks.push_back("misuse: " + misuse);
  return leaks;
}
