// A winscard.dll for the end-to-end tests: the smart-card service runs, but no
// reader is attached. Wine loads it instead of its own (a stub that cannot even
// establish a context) with WINEDLLOVERRIDES=winscard=n, from TAV.exe's folder.
#include <windows.h>

namespace {

using ScardContext = ULONG_PTR;
using ScardHandle = ULONG_PTR;
constexpr LONG kSuccess = 0;
constexpr LONG kInvalidHandle = static_cast<LONG>(0x80100003U);
constexpr LONG kNoReadersAvailable = static_cast<LONG>(0x8010002EU);
constexpr ScardContext kContext = 1;

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI SCardEstablishContext(DWORD, LPCVOID, LPCVOID, ScardContext* out_l_context) {
  if (out_l_context == nullptr) return kInvalidHandle;
  *out_l_context = kContext;
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardListReadersW(ScardContext, LPCWSTR, LPWSTR, LPDWORD) {
  return kNoReadersAvailable;
}

__declspec(dllexport) LONG WINAPI SCardFreeMemory(ScardContext, LPCVOID) { return kSuccess; }

__declspec(dllexport) LONG WINAPI SCardConnectW(ScardContext, LPCWSTR, DWORD, DWORD, ScardHandle*, LPDWORD) {
  return kNoReadersAvailable;
}

__declspec(dllexport) LONG WINAPI SCardTransmit(ScardHandle, LPCVOID, const BYTE*, DWORD, LPVOID, LPBYTE, LPDWORD) {
  return kInvalidHandle;
}

__declspec(dllexport) LONG WINAPI SCardDisconnect(ScardHandle, DWORD) { return kInvalidHandle; }

__declspec(dllexport) LONG WINAPI SCardReleaseContext(ScardContext) { return kSuccess; }

}  // extern "C"
