#pragma once
#ifdef _WIN32
#include <windows.h>
#endif

// True when a Windows build runs under Wine, whose gaps some tests must step around.
inline bool underWine() {
#ifdef _WIN32
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}
