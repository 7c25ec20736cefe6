// A stand-in for the system's audio device enumerator, registered in the test prefix in its
// place (the system's own keeps levels only inside each of its objects, where no test can see
// them). It hands everything to the system's enumerator, except the endpoint volume of an
// endpoint listed in the shared table, which keeps its level and mute there. Like the system's,
// it refuses a scalar level outside 0.0 to 1.0. Its objects may be used from any apartment.
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

#include <cwchar>

#include "tests/support/endpoint_standin.h"

namespace {

// Reference counting shared by the objects below.
template <typename Interface>
class Counted : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != __uuidof(IUnknown) && iid != __uuidof(Interface)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

 protected:
  virtual ~Counted() = default;

 private:
  LONG references_ = 1;
};

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
    for (LONG i = 0; i < view_->count && i < kStandInEndpointCount; ++i) {
      if (wcsncmp(view_->endpoints[i].id, id, kStandInIdLength) == 0) return &view_->endpoints[i];
    }
    return nullptr;
  }

 private:
  HANDLE mapping_ = nullptr;
  StandInEndpointTable* view_ = nullptr;
};

class EndpointVolume final : public Counted<IAudioEndpointVolume> {
 public:
  // Takes the table over; `endpoint` lies in it.
  EndpointVolume(Table* table, StandInEndpoint* endpoint) : table_(table), endpoint_(endpoint) {}

  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level, LPCGUID) override {
    if (!(level >= 0.0f && level <= 1.0f)) return E_INVALIDARG;
    endpoint_->level = level;
    InterlockedIncrement(&endpoint_->writes);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* level) override {
    if (!level) return E_POINTER;
    *level = endpoint_->level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    endpoint_->muted = muted ? 1 : 0;
    InterlockedIncrement(&endpoint_->writes);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override {
    if (!muted) return E_POINTER;
    *muted = endpoint_->muted ? TRUE : FALSE;
    return S_OK;
  }
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

class Device final : public Counted<IMMDevice> {
 public:
  explicit Device(IMMDevice* system) : system_(system) {}

  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD context, PROPVARIANT* parameters,
                                     void** object) override {
    if (iid == __uuidof(IAudioEndpointVolume) && object) {
      Table* table = new Table;
      LPWSTR id = nullptr;
      StandInEndpoint* endpoint = SUCCEEDED(system_->GetId(&id)) ? table->Find(id) : nullptr;
      CoTaskMemFree(id);
      if (endpoint) {
        *object = static_cast<IAudioEndpointVolume*>(new EndpointVolume(table, endpoint));
        return S_OK;
      }
      delete table;
    }
    return system_->Activate(iid, context, parameters, object);
  }
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD access, IPropertyStore** store) override {
    return system_->OpenPropertyStore(access, store);
  }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override { return system_->GetId(id); }
  HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override { return system_->GetState(state); }

 private:
  ~Device() override { system_->Release(); }
  IMMDevice* system_;
};

class Enumerator final : public Counted<IMMDeviceEnumerator> {
 public:
  explicit Enumerator(IMMDeviceEnumerator* system) : system_(system) {}

  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** device) override {
    if (!device) return E_POINTER;
    IMMDevice* found = nullptr;
    const HRESULT result = system_->GetDevice(id, &found);
    if (FAILED(result) || !found) {
      *device = nullptr;
      return FAILED(result) ? result : E_FAIL;
    }
    *device = new Device(found);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD states,
                                               IMMDeviceCollection** devices) override {
    return system_->EnumAudioEndpoints(flow, states, devices);
  }
  HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role,
                                                    IMMDevice** device) override {
    return system_->GetDefaultAudioEndpoint(flow, role, device);
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
  ~Enumerator() override { system_->Release(); }
  IMMDeviceEnumerator* system_;
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
