// A stand-in for the system's UI Automation client object, registered in the test prefix for
// the tests that need it (Wine 8's has no text pattern to ask). The focused element is the
// foreground window's, and its text pattern's selection is what that window answers to
// kStandInSelectionMessage. Its objects may be used from any apartment.
#include <windows.h>

#include "actions/launch/ui_automation.h"
#include "tests/support/com_counted.h"
#include "tests/support/uia_standin.h"

using namespace ui_automation;

namespace {

class Range final : public Counted<IUIAutomationTextRange> {
 public:
  explicit Range(const wchar_t* text) : text_(text) {}
  HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* text) override {
    const int length = lstrlenW(text_);
    *text = SysAllocStringLen(text_, maxLength >= 0 && maxLength < length ? maxLength : length);
    return S_OK;
  }

 private:
  const wchar_t* text_;
};

class Ranges final : public Counted<IUIAutomationTextRangeArray> {
 public:
  explicit Ranges(const wchar_t* text) : text_(text) {}
  HRESULT STDMETHODCALLTYPE get_Length(int* length) override {
    *length = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetElement(int index, IUIAutomationTextRange** range) override {
    *range = index == 0 ? new Range(text_) : nullptr;
    return index == 0 ? S_OK : E_INVALIDARG;
  }

 private:
  const wchar_t* text_;
};

class TextPattern final : public Counted<IUIAutomationTextPattern> {
 public:
  explicit TextPattern(LONG_PTR answer) : answer_(answer) {}
  HRESULT STDMETHODCALLTYPE GetSelection(IUIAutomationTextRangeArray** ranges) override {
    if (answer_ == kSelectionNeverAnswered) Sleep(10000);
    // Nothing selected is a range without characters, where the caret is.
    *ranges = new Ranges(answer_ == kTextSelected ? L"selected" : L"");
    return S_OK;
  }

 private:
  LONG_PTR answer_;
};

class Element final : public Counted<IUIAutomationElement> {
 public:
  explicit Element(LONG_PTR answer) : answer_(answer) {}
  HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int patternId, REFIID iid,
                                                void** pattern) override {
    *pattern = nullptr;
    if (patternId != kTextPatternId || answer_ == kNoTextPattern) return S_OK;
    TextPattern* text = new TextPattern(answer_);
    const HRESULT result = text->QueryInterface(iid, pattern);
    text->Release();
    return result;
  }

 private:
  LONG_PTR answer_;
};

class Automation final : public Counted<IUIAutomation> {
 public:
  HRESULT STDMETHODCALLTYPE GetFocusedElement(IUIAutomationElement** element) override {
    DWORD_PTR answer = kNoTextPattern;
    SendMessageTimeoutA(GetForegroundWindow(), RegisterWindowMessageA(kStandInSelectionMessage), 0,
                        0, SMTO_ABORTIFHUNG, 2000, &answer);
    *element = new Element(static_cast<LONG_PTR>(answer));
    return S_OK;
  }
};

class Factory final : public Counted<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Automation* automation = new Automation;
    const HRESULT result = automation->QueryInterface(iid, object);
    automation->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID id, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (id != kClientClass) return CLASS_E_CLASSNOTAVAILABLE;
  Factory* factory = new Factory;
  const HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

// A question that never got its answer may still be running in it.
extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
