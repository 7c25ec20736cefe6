// COM on the calling thread, for as long as the object lives: apartment-threaded unless told
// otherwise.
#pragma once

#include <objbase.h>

class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : entered_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
  ~ComApartment() {
    if (entered_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};
