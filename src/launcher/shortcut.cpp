// Desktop shortcuts through the shell's link object. ole32 and shell32 are loaded only when a shortcut
// is made: importing them would load them, and the many DLLs they pull in, at every start.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "base/lazy_proc.h"
#include "launcher/launcher.h"

namespace launcher {
namespace {

// A Win32 error carried in an HRESULT as that error; any other HRESULT as itself, which the system's
// message table also names.
base::Status FromResult(HRESULT result) {
  if (SUCCEEDED(result)) return base::Status::Ok();
  const unsigned long code = static_cast<unsigned long>(result);
  return base::Status::Fail(HRESULT_FACILITY(result) == FACILITY_WIN32 ? static_cast<unsigned long>(HRESULT_CODE(result)) : code);
}

template <typename F>
F Ole(const char* name) {
  return base::LazyProc<F>(L"ole32.dll", name);
}

// COM on this thread while it lives, unless the thread already has it in another mode, where that is used.
class ComScope {
 public:
  ComScope() {
    const auto initialize = Ole<HRESULT(WINAPI*)(LPVOID, DWORD)>("CoInitializeEx");
    result_ = initialize != nullptr ? initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
                                    : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  }
  ~ComScope() {
    if (SUCCEEDED(result_)) Ole<void(WINAPI*)()>("CoUninitialize")();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  HRESULT result() const { return result_ == RPC_E_CHANGED_MODE ? S_OK : result_; }

 private:
  HRESULT result_;
};

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p != nullptr) p->Release();
  }
};

// A new shell link object and its file interface; COM must be on the thread.
HRESULT NewShellLink(Released<IShellLinkW>& link, Released<IPersistFile>& file) {
  const auto create = Ole<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>("CoCreateInstance");
  if (create == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  HRESULT result = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link.p));
  if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
  return result;
}

}  // namespace

base::Status DesktopFolder(std::wstring& folder) {
  const auto get = base::LazyProc<HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*)>(L"shell32.dll", "SHGetKnownFolderPath");
  const auto free = Ole<void(WINAPI*)(LPVOID)>("CoTaskMemFree");
  if (get == nullptr || free == nullptr) return base::Status::Fail(ERROR_PROC_NOT_FOUND);
  PWSTR path = nullptr;
  const HRESULT result = get(FOLDERID_Desktop, KF_FLAG_CREATE, nullptr, &path);
  if (SUCCEEDED(result)) folder = path;
  free(path);
  return FromResult(result);
}

base::Status SaveShortcut(const Shortcut& shortcut, const std::wstring& path) {
  const ComScope com;
  if (FAILED(com.result())) return FromResult(com.result());
  Released<IShellLinkW> link;
  Released<IPersistFile> file;
  const std::wstring temp = path + L".qrv.tmp";
  HRESULT result = NewShellLink(link, file);
  if (SUCCEEDED(result)) result = link.p->SetPath(shortcut.target.c_str());
  if (SUCCEEDED(result)) result = link.p->SetArguments(shortcut.arguments.c_str());
  if (SUCCEEDED(result)) result = link.p->SetWorkingDirectory(shortcut.working_folder.c_str());
  if (SUCCEEDED(result)) result = link.p->SetIconLocation(shortcut.icon.c_str(), 0);
  if (SUCCEEDED(result)) result = link.p->SetDescription(shortcut.description.c_str());
  if (SUCCEEDED(result)) result = file.p->Save(temp.c_str(), TRUE);
  if (FAILED(result)) {
    DeleteFileW(temp.c_str());
    return FromResult(result);
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const base::Status moved = base::Status::LastError();
    DeleteFileW(temp.c_str());
    return moved;
  }
  return base::Status::Ok();
}

base::Status ReadShortcut(const std::wstring& path, Shortcut& shortcut) {
  const ComScope com;
  if (FAILED(com.result())) return FromResult(com.result());
  Released<IShellLinkW> link;
  Released<IPersistFile> file;
  std::wstring target(MAX_PATH * 4, L'\0'), arguments(8192, L'\0');
  HRESULT result = NewShellLink(link, file);
  if (SUCCEEDED(result)) result = file.p->Load(path.c_str(), STGM_READ);
  if (SUCCEEDED(result)) result = link.p->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_RAWPATH);
  if (SUCCEEDED(result)) result = link.p->GetArguments(arguments.data(), static_cast<int>(arguments.size()));
  if (FAILED(result)) return FromResult(result);
  shortcut = {};
  shortcut.target = target.c_str();
  shortcut.arguments = arguments.c_str();
  return base::Status::Ok();
}

}  // namespace launcher
