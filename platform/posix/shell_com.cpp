// Linux: the little of the component object model the agent uses: the
// shell link class, the task allocator and the interface identifiers.
#include <atomic>
#include <cstdlib>

#include "platform/posix/shell_link_object.h"
#include "platform/posix/win_shell.h"

const CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

std::atomic<bool> g_initialized{false};

// The task allocator: malloc and free. One object for the process, so its
// reference count is only kept for form.
class TaskAllocator final : public IMalloc {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMalloc) {
      *object = static_cast<IMalloc*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override { return m_references > 1 ? --m_references : 1; }
  void* Alloc(size_t size) override { return std::malloc(size == 0 ? 1 : size); }
  void* Realloc(void* block, size_t size) override { return std::realloc(block, size == 0 ? 1 : size); }
  void Free(void* block) override { std::free(block); }
  size_t GetSize(void*) override { return static_cast<size_t>(-1); }  // not tracked
  int DidAlloc(void*) override { return -1; }                          // "cannot tell"
  void HeapMinimize() override {}

 private:
  std::atomic<ULONG> m_references{1};
};

TaskAllocator g_allocator;

}  // namespace

HRESULT CoInitialize(LPVOID) { return g_initialized.exchange(true) ? S_FALSE : S_OK; }

void CoUninitialize() {}

HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (classId != CLSID_ShellLink || (context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  return tavlen::posix::CreateShellLinkObject(iid, object);
}

LPVOID CoTaskMemAlloc(size_t size) { return g_allocator.Alloc(size); }

void CoTaskMemFree(LPVOID block) { g_allocator.Free(block); }

HRESULT SHGetMalloc(LPMALLOC* allocator) {
  if (allocator == nullptr) return E_INVALIDARG;
  g_allocator.AddRef();
  *allocator = &g_allocator;
  return S_OK;
}
