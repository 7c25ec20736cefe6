// Reference counting for the COM objects of the test stand-ins, which may be used from any
// apartment. `Bases` are the interfaces Interface derives from, answered as well.
#pragma once

#include <windows.h>

template <typename Interface, typename... Bases>
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
    if (iid != __uuidof(IUnknown) && iid != __uuidof(Interface) &&
        !((iid == __uuidof(Bases)) || ...)) {
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
