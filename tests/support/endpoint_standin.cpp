// A stand-in for the system's audio device enumerator, registered in the test prefix in its
// place (the system's own keeps levels only inside each of its objects, where no test can see
// them). It hands everything to the system's enumerator, except the endpoint volume of an
// endpoint listed in the shared table, which keeps its level and mute there, the endpoints it
// makes itself, and the default render endpoint when the table names one. Like the system's,
// it refuses a scalar level outside 0.0 to 1.0. Its objects may be used from any apartment.
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <audiopolicy.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/com_counted.h"
#include "tests/support/endpoint_standin.h"

namespace {

// The shared table, mapped for as long as the object lives; no entry when no test made it.
class Table {
 public:
  Table() {
    mapping_ = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kEndpointTableName);
    if (mapping_) {
      view_ = static_cast<StandInEndpointTable*>(
          MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(StandInEndpointTable)));
    }
  }
  ~Table() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
  }
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  StandInEndpoint* Find(const wchar_t* id) const {
    if (!view_ || !id) return nullptr;
    for (LONG i = 0; i < Count(); ++i) {
      if (wcsncmp(view_->endpoints[i].id, id, kStandInIdLength) == 0) return &view_->endpoints[i];
    }
    return nullptr;
  }
  // The ready sessions of an endpoint, by slot.
  std::vector<LONG> SessionsOf(LONG endpoint) const {
    std::vector<LONG> slots;
    for (LONG i = 0; view_ && i < view_->sessionsTaken && i < kStandInSessionCount; ++i) {
      if (view_->sessions[i].ready && view_->sessions[i].endpoint == endpoint) slots.push_back(i);
    }
    return slots;
  }
  StandInSession* Session(LONG slot) const { return view_ ? &view_->sessions[slot] : nullptr; }
  LONG IndexOf(const StandInEndpoint* endpoint) const {
    return endpoint ? static_cast<LONG>(endpoint - view_->endpoints) : -1;
  }
  LONG Count() const {
    return view_ ? (view_->count < kStandInEndpointCount ? view_->count : kStandInEndpointCount)
                 : 0;
  }
  StandInEndpoint* At(LONG index) const {
    return index >= 0 && index < Count() ? &view_->endpoints[index] : nullptr;
  }
  // The endpoint the table names as the default render endpoint; null for the system's.
  StandInEndpoint* DefaultRender() const { return view_ ? At(view_->defaultRender - 1) : nullptr; }
  // A hung audio service: the call returns once the test lets it, or after 30 s.
  void WaitWhileHung() const {
    for (int waited = 0; view_ && view_->hung && waited < 30000; waited += 20) Sleep(20);
  }

 private:
  HANDLE mapping_ = nullptr;
  StandInEndpointTable* view_ = nullptr;
};

// A level and mute kept in an endpoint's or a session's entry of the table. Like the system,
// a scalar level outside 0.0 to 1.0 is refused.
template <typename Entry>
HRESULT SetLevel(Entry* entry, float level) {
  if (!(level >= 0.0f && level <= 1.0f)) return E_INVALIDARG;
  entry->level = level;
  InterlockedIncrement(&entry->writes);
  return S_OK;
}
template <typename Entry>
HRESULT GetLevel(const Entry* entry, float* level) {
  if (!level) return E_POINTER;
  *level = entry->level;
  return S_OK;
}
template <typename Entry>
HRESULT SetMuted(Entry* entry, BOOL muted) {
  entry->muted = muted ? 1 : 0;
  InterlockedIncrement(&entry->writes);
  return S_OK;
}
template <typename Entry>
HRESULT GetMuted(const Entry* entry, BOOL* muted) {
  if (!muted) return E_POINTER;
  *muted = entry->muted ? TRUE : FALSE;
  return S_OK;
}

class EndpointVolume final : public Counted<IAudioEndpointVolume> {
 public:
  // Takes the table over; `endpoint` lies in it.
  EndpointVolume(Table* table, StandInEndpoint* endpoint) : table_(table), endpoint_(endpoint) {}

  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level, LPCGUID) override {
    return SetLevel(endpoint_, level);
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* level) override {
    return GetLevel(endpoint_, level);
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    return SetMuted(endpoint_, muted);
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override { return GetMuted(endpoint_, muted); }
  // What Tavolet does not ask for.
  HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, float, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeRange(float*, float*, float*) override { return E_NOTIMPL; }

 private:
  ~EndpointVolume() override { delete table_; }
  Table* table_;
  StandInEndpoint* endpoint_;
};

class SimpleVolume final : public Counted<ISimpleAudioVolume> {
 public:
  // Takes the table over; `session` lies in it.
  SimpleVolume(Table* table, StandInSession* session) : table_(table), session_(session) {}

  HRESULT STDMETHODCALLTYPE SetMasterVolume(float level, LPCGUID) override {
    return SetLevel(session_, level);
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolume(float* level) override {
    return GetLevel(session_, level);
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    return SetMuted(session_, muted);
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override { return GetMuted(session_, muted); }

 private:
  ~SimpleVolume() override { delete table_; }
  Table* table_;
  StandInSession* session_;
};

class SessionControl final : public Counted<IAudioSessionControl2, IAudioSessionControl> {
 public:
  explicit SessionControl(LONG slot) : slot_(slot) {}

  // Its volume is asked for through the control, as of the system's sessions.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == __uuidof(ISimpleAudioVolume) && object) {
      Table* table = new Table;
      StandInSession* session = table->Session(slot_);
      if (!session) {
        delete table;
        *object = nullptr;
        return E_NOINTERFACE;
      }
      *object = static_cast<ISimpleAudioVolume*>(new SimpleVolume(table, session));
      return S_OK;
    }
    return Counted::QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE GetState(AudioSessionState* state) override {
    if (!state) return E_POINTER;
    *state = AudioSessionStateActive;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetProcessId(DWORD* process) override {
    if (!process) return E_POINTER;
    Table table;
    const StandInSession* session = table.Session(slot_);
    *process = session ? session->processId : 0;
    return session ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE IsSystemSoundsSession() override { return S_FALSE; }
  // What Tavolet does not ask for.
  HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDisplayName(LPCWSTR, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIconPath(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetIconPath(LPCWSTR, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetGroupingParam(GUID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetGroupingParam(LPCGUID, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterAudioSessionNotification(IAudioSessionEvents*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnregisterAudioSessionNotification(IAudioSessionEvents*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSessionIdentifier(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSessionInstanceIdentifier(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDuckingPreference(BOOL) override { return E_NOTIMPL; }

 private:
  LONG slot_;
};

class SessionList final : public Counted<IAudioSessionEnumerator> {
 public:
  explicit SessionList(std::vector<LONG> slots) : slots_(std::move(slots)) {}

  HRESULT STDMETHODCALLTYPE GetCount(int* count) override {
    if (!count) return E_POINTER;
    *count = static_cast<int>(slots_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSession(int index, IAudioSessionControl** session) override {
    if (!session) return E_POINTER;
    *session = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= slots_.size()) return E_INVALIDARG;
    *session = new SessionControl(slots_[index]);
    return S_OK;
  }

 private:
  std::vector<LONG> slots_;
};

// The sessions of one endpoint of the table.
class SessionManager final : public Counted<IAudioSessionManager2, IAudioSessionManager> {
 public:
  explicit SessionManager(LONG endpoint) : endpoint_(endpoint) {}

  HRESULT STDMETHODCALLTYPE GetSessionEnumerator(IAudioSessionEnumerator** sessions) override {
    if (!sessions) return E_POINTER;
    Table table;
    *sessions = new SessionList(table.SessionsOf(endpoint_));
    return S_OK;
  }
  // What Tavolet does not ask for.
  HRESULT STDMETHODCALLTYPE GetAudioSessionControl(LPCGUID, DWORD,
                                                   IAudioSessionControl**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSimpleAudioVolume(LPCGUID, DWORD, ISimpleAudioVolume**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RegisterSessionNotification(IAudioSessionNotification*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnregisterSessionNotification(IAudioSessionNotification*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RegisterDuckNotification(LPCWSTR,
                                                     IAudioVolumeDuckNotification*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnregisterDuckNotification(IAudioVolumeDuckNotification*) override {
    return E_NOTIMPL;
  }

 private:
  LONG endpoint_;
};

bool IsOwn(const StandInEndpoint* endpoint) {
  return endpoint && endpoint->origin != kSystemEndpoint;
}

// One of the system's devices (`system` not null), or one of the stand-in's own.
class Device final : public Counted<IMMDevice> {
 public:
  Device(IMMDevice* system, const wchar_t* ownId) : system_(system) {
    if (ownId) wcsncpy(ownId_, ownId, kStandInIdLength - 1);
  }

  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD context, PROPVARIANT* parameters,
                                     void** object) override {
    if (iid == __uuidof(IAudioEndpointVolume) && object) {
      Table* table = new Table;
      LPWSTR id = nullptr;
      StandInEndpoint* endpoint = SUCCEEDED(GetId(&id)) ? table->Find(id) : nullptr;
      CoTaskMemFree(id);
      if (endpoint) {
        *object = static_cast<IAudioEndpointVolume*>(new EndpointVolume(table, endpoint));
        return S_OK;
      }
      delete table;
    }
    if (iid == __uuidof(IAudioSessionManager2) && object) {
      Table table;
      LPWSTR id = nullptr;
      const LONG endpoint = SUCCEEDED(GetId(&id)) ? table.IndexOf(table.Find(id)) : -1;
      CoTaskMemFree(id);
      if (endpoint >= 0) {
        *object = static_cast<IAudioSessionManager2*>(new SessionManager(endpoint));
        return S_OK;
      }
    }
    if (!system_) return E_NOINTERFACE;
    return system_->Activate(iid, context, parameters, object);
  }
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD access, IPropertyStore** store) override {
    return system_ ? system_->OpenPropertyStore(access, store) : E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override {
    if (system_) return system_->GetId(id);
    if (!id) return E_POINTER;
    const size_t bytes = (wcslen(ownId_) + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    memcpy(*id, ownId_, bytes);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override {
    if (system_) return system_->GetState(state);
    if (!state) return E_POINTER;
    Table table;
    const StandInEndpoint* endpoint = table.Find(ownId_);
    *state = endpoint && endpoint->present ? DEVICE_STATE_ACTIVE : DEVICE_STATE_NOTPRESENT;
    return S_OK;
  }

 private:
  ~Device() override {
    if (system_) system_->Release();
  }
  IMMDevice* system_;
  wchar_t ownId_[kStandInIdLength] = L"";
};

class Collection final : public Counted<IMMDeviceCollection> {
 public:
  // Takes the devices over.
  explicit Collection(std::vector<IMMDevice*> devices) : devices_(std::move(devices)) {}

  HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = static_cast<UINT>(devices_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** device) override {
    if (!device) return E_POINTER;
    *device = nullptr;
    if (index >= devices_.size()) return E_INVALIDARG;
    *device = devices_[index];
    (*device)->AddRef();
    return S_OK;
  }

 private:
  ~Collection() override {
    for (IMMDevice* device : devices_) device->Release();
  }
  std::vector<IMMDevice*> devices_;
};

// Hands out one object per device, as the system's does: the system's wave functions compare
// the default device with the listed ones by pointer.
class Enumerator final : public Counted<IMMDeviceEnumerator> {
 public:
  explicit Enumerator(IMMDeviceEnumerator* system) : system_(system) {
    InitializeCriticalSection(&lock_);
  }

  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** device) override {
    if (!device) return E_POINTER;
    *device = nullptr;
    Table table;
    table.WaitWhileHung();
    if (IsOwn(table.Find(id))) {
      *device = Known(nullptr, id);
      return S_OK;
    }
    IMMDevice* found = nullptr;
    const HRESULT result = system_->GetDevice(id, &found);
    if (FAILED(result) || !found) return FAILED(result) ? result : E_FAIL;
    *device = Known(found, nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD states,
                                               IMMDeviceCollection** devices) override {
    if (!devices) return E_POINTER;
    *devices = nullptr;
    Table table;
    table.WaitWhileHung();
    std::vector<IMMDevice*> listed;
    IMMDeviceCollection* system = nullptr;
    UINT count = 0;
    if (SUCCEEDED(system_->EnumAudioEndpoints(flow, states, &system)) && system &&
        SUCCEEDED(system->GetCount(&count))) {
      for (UINT i = 0; i < count; ++i) {
        IMMDevice* device = nullptr;
        if (SUCCEEDED(system->Item(i, &device)) && device) {
          listed.push_back(Known(device, nullptr));
        }
      }
    }
    if (system) system->Release();
    for (LONG i = 0; i < table.Count(); ++i) {
      const StandInEndpoint* endpoint = table.At(i);
      const EDataFlow own = endpoint->origin == kOwnRenderEndpoint ? eRender : eCapture;
      const DWORD state = endpoint->present ? DEVICE_STATE_ACTIVE : DEVICE_STATE_NOTPRESENT;
      if (IsOwn(endpoint) && (flow == eAll || flow == own) && (states & state)) {
        listed.push_back(Known(nullptr, endpoint->id));
      }
    }
    *devices = new Collection(std::move(listed));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role,
                                                    IMMDevice** device) override {
    if (!device) return E_POINTER;
    Table table;
    table.WaitWhileHung();
    const StandInEndpoint* named = flow == eRender ? table.DefaultRender() : nullptr;
    if (named) return GetDevice(named->id, device);
    IMMDevice* found = nullptr;
    const HRESULT result = system_->GetDefaultAudioEndpoint(flow, role, &found);
    if (FAILED(result) || !found) {
      *device = nullptr;
      return FAILED(result) ? result : E_FAIL;
    }
    *device = Known(found, nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterEndpointNotificationCallback(IMMNotificationClient* client) override {
    return system_->RegisterEndpointNotificationCallback(client);
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override {
    return system_->UnregisterEndpointNotificationCallback(client);
  }

 private:
  ~Enumerator() override {
    for (auto& [id, device] : known_) device->Release();
    system_->Release();
    DeleteCriticalSection(&lock_);
  }

  // The one object of this device, with a reference for the caller; takes `system` over.
  IMMDevice* Known(IMMDevice* system, const wchar_t* ownId) {
    std::wstring id = ownId ? ownId : L"";
    LPWSTR systemId = nullptr;
    if (system && SUCCEEDED(system->GetId(&systemId)) && systemId) id = systemId;
    CoTaskMemFree(systemId);
    EnterCriticalSection(&lock_);
    IMMDevice* device = nullptr;
    for (auto& [knownId, knownDevice] : known_) {
      if (knownId == id) device = knownDevice;
    }
    if (device) {
      if (system) system->Release();
    } else {
      device = new Device(system, ownId);
      known_.emplace_back(id, device);
    }
    device->AddRef();
    LeaveCriticalSection(&lock_);
    return device;
  }

  IMMDeviceEnumerator* system_;
  CRITICAL_SECTION lock_;
  std::vector<std::pair<std::wstring, IMMDevice*>> known_;
};

using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// The system's enumerator, from its own library (kept loaded: its objects outlive any call).
HRESULT SystemEnumerator(IMMDeviceEnumerator** enumerator) {
  HMODULE library = LoadLibraryW(L"mmdevapi.dll");
  auto getClassObject = library ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(
                                      GetProcAddress(library, "DllGetClassObject")))
                                : nullptr;
  if (!getClassObject) return REGDB_E_CLASSNOTREG;
  IClassFactory* factory = nullptr;
  HRESULT result = getClassObject(__uuidof(MMDeviceEnumerator), __uuidof(IClassFactory),
                                  reinterpret_cast<void**>(&factory));
  if (FAILED(result)) return result;
  result = factory->CreateInstance(nullptr, __uuidof(IMMDeviceEnumerator),
                                   reinterpret_cast<void**>(enumerator));
  factory->Release();
  return result;
}

class Factory final : public Counted<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IMMDeviceEnumerator* system = nullptr;
    const HRESULT result = SystemEnumerator(&system);
    if (FAILED(result)) return result;
    Enumerator* enumerator = new Enumerator(system);
    const HRESULT answer = enumerator->QueryInterface(iid, object);
    enumerator->Release();
    return answer;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID id, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (id != __uuidof(MMDeviceEnumerator)) return CLASS_E_CLASSNOTAVAILABLE;
  Factory* factory = new Factory;
  const HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

// Its objects hand out pointers into the system's library, so it stays loaded.
extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
