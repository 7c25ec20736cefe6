// The few UI Automation client interfaces the selection question uses, declared here because
// the compiler's headers lack them. Methods this program never calls are placeholders that keep
// each method it calls at its place in the interface's table.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#define TAVOLET_UIA_UNUSED(n) \
  virtual HRESULT STDMETHODCALLTYPE Unused##n() { return E_NOTIMPL; }

namespace ui_automation {

constexpr int kTextPatternId = 10014;

struct IUIAutomationTextRange : IUnknown {
  TAVOLET_UIA_UNUSED(1)
  TAVOLET_UIA_UNUSED(2)
  TAVOLET_UIA_UNUSED(3)
  TAVOLET_UIA_UNUSED(4)
  TAVOLET_UIA_UNUSED(5)
  TAVOLET_UIA_UNUSED(6)
  TAVOLET_UIA_UNUSED(7)
  TAVOLET_UIA_UNUSED(8)
  TAVOLET_UIA_UNUSED(9)
  virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* text) = 0;
};

struct IUIAutomationTextRangeArray : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Length(int* length) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetElement(int index, IUIAutomationTextRange** element) = 0;
};

struct IUIAutomationTextPattern : IUnknown {
  TAVOLET_UIA_UNUSED(1)
  TAVOLET_UIA_UNUSED(2)
  virtual HRESULT STDMETHODCALLTYPE GetSelection(IUIAutomationTextRangeArray** ranges) = 0;
};

struct IUIAutomationElement : IUnknown {
  TAVOLET_UIA_UNUSED(1)
  TAVOLET_UIA_UNUSED(2)
  TAVOLET_UIA_UNUSED(3)
  TAVOLET_UIA_UNUSED(4)
  TAVOLET_UIA_UNUSED(5)
  TAVOLET_UIA_UNUSED(6)
  TAVOLET_UIA_UNUSED(7)
  TAVOLET_UIA_UNUSED(8)
  TAVOLET_UIA_UNUSED(9)
  TAVOLET_UIA_UNUSED(10)
  TAVOLET_UIA_UNUSED(11)
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int patternId, REFIID iid,
                                                        void** pattern) = 0;
};

struct IUIAutomation : IUnknown {
  TAVOLET_UIA_UNUSED(1)
  TAVOLET_UIA_UNUSED(2)
  TAVOLET_UIA_UNUSED(3)
  TAVOLET_UIA_UNUSED(4)
  TAVOLET_UIA_UNUSED(5)
  virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(IUIAutomationElement** element) = 0;
  TAVOLET_UIA_UNUSED(7)
  TAVOLET_UIA_UNUSED(8)
  TAVOLET_UIA_UNUSED(9)
  TAVOLET_UIA_UNUSED(10)
  TAVOLET_UIA_UNUSED(11)
  TAVOLET_UIA_UNUSED(12)
  TAVOLET_UIA_UNUSED(13)
  TAVOLET_UIA_UNUSED(14)
  TAVOLET_UIA_UNUSED(15)
  TAVOLET_UIA_UNUSED(16)
  TAVOLET_UIA_UNUSED(17)
  TAVOLET_UIA_UNUSED(18)
  TAVOLET_UIA_UNUSED(19)
  TAVOLET_UIA_UNUSED(20)
  TAVOLET_UIA_UNUSED(21)
  TAVOLET_UIA_UNUSED(22)
  TAVOLET_UIA_UNUSED(23)
  TAVOLET_UIA_UNUSED(24)
  TAVOLET_UIA_UNUSED(25)
  TAVOLET_UIA_UNUSED(26)
  TAVOLET_UIA_UNUSED(27)
  TAVOLET_UIA_UNUSED(28)
  TAVOLET_UIA_UNUSED(29)
  TAVOLET_UIA_UNUSED(30)
  TAVOLET_UIA_UNUSED(31)
  TAVOLET_UIA_UNUSED(32)
  TAVOLET_UIA_UNUSED(33)
  TAVOLET_UIA_UNUSED(34)
  TAVOLET_UIA_UNUSED(35)
  TAVOLET_UIA_UNUSED(36)
  TAVOLET_UIA_UNUSED(37)
  TAVOLET_UIA_UNUSED(38)
  TAVOLET_UIA_UNUSED(39)
  TAVOLET_UIA_UNUSED(40)
  TAVOLET_UIA_UNUSED(41)
  TAVOLET_UIA_UNUSED(42)
  TAVOLET_UIA_UNUSED(43)
  TAVOLET_UIA_UNUSED(44)
  TAVOLET_UIA_UNUSED(45)
  TAVOLET_UIA_UNUSED(46)
  TAVOLET_UIA_UNUSED(47)
  TAVOLET_UIA_UNUSED(48)
  TAVOLET_UIA_UNUSED(49)
  TAVOLET_UIA_UNUSED(50)
  TAVOLET_UIA_UNUSED(51)
  TAVOLET_UIA_UNUSED(52)
  TAVOLET_UIA_UNUSED(53)
  TAVOLET_UIA_UNUSED(54)
  TAVOLET_UIA_UNUSED(55)
};

// Windows 8 and later: the time a provider may take to connect and to answer one call.
struct IUIAutomation2 : IUIAutomation {
  TAVOLET_UIA_UNUSED(56)
  TAVOLET_UIA_UNUSED(57)
  TAVOLET_UIA_UNUSED(58)
  virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(DWORD milliseconds) = 0;
  TAVOLET_UIA_UNUSED(60)
  virtual HRESULT STDMETHODCALLTYPE put_TransactionTimeout(DWORD milliseconds) = 0;
};

// CUIAutomation, the system's client object.
constexpr CLSID kClientClass = {
    0xff48dba4, 0x60ef, 0x4201, {0xaa, 0x87, 0x54, 0x10, 0x3e, 0xef, 0x59, 0x4e}};

}  // namespace ui_automation

#undef TAVOLET_UIA_UNUSED

__CRT_UUID_DECL(ui_automation::IUIAutomationTextRange, 0xa543cc6a, 0xf4ae, 0x494b, 0x82, 0x39, 0xc8,
                0x14, 0x48, 0x11, 0x87, 0xa8)
__CRT_UUID_DECL(ui_automation::IUIAutomationTextRangeArray, 0xce4ae76a, 0xe717, 0x4c98, 0x81, 0xea,
                0x47, 0x37, 0x1d, 0x02, 0x8e, 0xb6)
__CRT_UUID_DECL(ui_automation::IUIAutomationTextPattern, 0x32eba289, 0x3583, 0x42c9, 0x9c, 0x59,
                0x3b, 0x6d, 0x9a, 0x1e, 0x9b, 0x6a)
__CRT_UUID_DECL(ui_automation::IUIAutomationElement, 0xd22108aa, 0x8ac5, 0x49a5, 0x83, 0x7b, 0x37,
                0xbb, 0xb3, 0xd7, 0x59, 0x1e)
__CRT_UUID_DECL(ui_automation::IUIAutomation, 0x30cbe57d, 0xd9d0, 0x452a, 0xab, 0x13, 0x7a, 0xc5,
                0xac, 0x48, 0x25, 0xee)
__CRT_UUID_DECL(ui_automation::IUIAutomation2, 0x34723aff, 0x0c9d, 0x49d0, 0x98, 0x96, 0x7a, 0xb5,
                0x2d, 0xf8, 0xcd, 0x8a)
