// The little that the compiler and the class machinery need of a C/C++ runtime, for the two
// libraries that run inside other programs and carry none: block fills and copies the compiler
// emits for structures, and the deallocation a virtual destructor refers to.
#include <windows.h>

#include <cstddef>

// Written as plain loops, which the compiler must not turn back into calls of themselves.
#define NO_LIBRARY_CALLS __attribute__((optimize("no-tree-loop-distribute-patterns")))

extern "C" {

NO_LIBRARY_CALLS void* memset(void* destination, int value, size_t size) {
  auto* bytes = static_cast<unsigned char*>(destination);
  while (size--) *bytes++ = static_cast<unsigned char>(value);
  return destination;
}

NO_LIBRARY_CALLS void* memcpy(void* destination, const void* source, size_t size) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  while (size--) *to++ = *from++;
  return destination;
}

NO_LIBRARY_CALLS void* memmove(void* destination, const void* source, size_t size) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  if (to < from) {
    while (size--) *to++ = *from++;
  } else {
    while (size--) to[size] = from[size];
  }
  return destination;
}

NO_LIBRARY_CALLS int memcmp(const void* left, const void* right, size_t size) {
  const auto* a = static_cast<const unsigned char*>(left);
  const auto* b = static_cast<const unsigned char*>(right);
  for (; size--; ++a, ++b) {
    if (*a != *b) return *a < *b ? -1 : 1;
  }
  return 0;
}

}  // extern "C"

// Only the deleting destructor of the exported classes refers to these; their objects live in
// their users' own storage (Tavolet's are members of its application object).
void operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }
