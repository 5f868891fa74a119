#include "platform/win32_screen_reader.h"

#include <ole2.h>
#include <oleauto.h>
#include <uiautomationcore.h>

#include <atomic>

namespace korvel::platform {

namespace {

// UiaRaiseNotificationEvent's arguments (Windows 10 1709 and later; mingw's headers predate it).
enum class NotificationKind : int { other = 4 };
enum class NotificationProcessing : int { all = 2, mostRecent = 3 };
constexpr long kNameProperty = 30005;        // UIA_NamePropertyId
constexpr long kControlTypeProperty = 30003;  // UIA_ControlTypePropertyId
constexpr long kWindowControlType = 50032;    // UIA_WindowControlTypeId
constexpr const wchar_t* kWindowName = L"Korvel";
// The object id with which UI Automation asks a window for its provider (mingw's
// uiautomationcoreapi.h, which has it, does not compile as C++).
constexpr long kUiaRootObjectId = -25;

using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);

// A function of the library by name, as the type it has.
template <typename Function>
Function procedure(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

std::wstring wide(const std::string& text) {
  std::wstring out;
  for (const unsigned char c : text) out += static_cast<wchar_t>(c);  // program text is Latin-1
  return out;
}

}  // namespace

// UI Automation's functions, taken from uiautomationcore.dll where this Windows has them.
struct ScreenReaderOutput::Api {
  HMODULE library = nullptr;
  RaiseNotification raiseNotification = nullptr;
  ReturnProvider returnProvider = nullptr;
  HostProvider hostProvider = nullptr;
  ~Api() {
    if (library != nullptr) FreeLibrary(library);
  }
};

// Korvel's window as UI Automation sees it: a window named Korvel, hosted by its HWND.
class ScreenReaderOutput::Provider : public IRawElementProviderSimple {
 public:
  Provider(Win32WindowSystem& window, const Api& api) : window_(window), api_(api) {}
  virtual ~Provider() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IRawElementProviderSimple))) {
      *out = static_cast<IRawElementProviderSimple*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
    if (options == nullptr) return E_POINTER;
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
    if (pattern == nullptr) return E_POINTER;
    *pattern = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    if (property == kNameProperty) {
      value->vt = VT_BSTR;
      value->bstrVal = SysAllocString(kWindowName);
    } else if (property == kControlTypeProperty) {
      value->vt = VT_I4;
      value->lVal = kWindowControlType;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
    if (host == nullptr) return E_POINTER;
    *host = nullptr;
    if (api_.hostProvider == nullptr || window_.handle() == nullptr) return S_OK;
    return api_.hostProvider(window_.handle(), host);
  }

 private:
  Win32WindowSystem& window_;
  const Api& api_;
  std::atomic<ULONG> references_{1};
};

std::unique_ptr<ScreenReaderOutput> ScreenReaderOutput::connect(Win32WindowSystem& window, std::string& why) {
  BOOL screenReader = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENREADER, 0, &screenReader, 0) || !screenReader) {
    why = "no screen reader runs";
    return nullptr;
  }
  auto api = std::make_unique<Api>();
  api->library = LoadLibraryA("uiautomationcore.dll");
  if (api->library != nullptr) {
    api->raiseNotification = procedure<RaiseNotification>(api->library, "UiaRaiseNotificationEvent");
    api->returnProvider = procedure<ReturnProvider>(api->library, "UiaReturnRawElementProvider");
    api->hostProvider = procedure<HostProvider>(api->library, "UiaHostProviderFromHwnd");
  }
  if (api->raiseNotification == nullptr || api->returnProvider == nullptr || api->hostProvider == nullptr) {
    why = "this Windows has no UI Automation notifications";
    return nullptr;
  }
  return std::unique_ptr<ScreenReaderOutput>(new ScreenReaderOutput(window, std::move(api)));
}

ScreenReaderOutput::ScreenReaderOutput(Win32WindowSystem& window, std::unique_ptr<Api> api)
    : window_(window), api_(std::move(api)), provider_(new Provider(window, *api_)) {
  // The screen reader asks the window for its provider before it listens to its notifications.
  window_.setMessageHook([this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_GETOBJECT || static_cast<long>(lParam) != kUiaRootObjectId) return false;
    result = api_->returnProvider(window_.handle(), wParam, lParam, provider_);
    return true;
  });
}

ScreenReaderOutput::~ScreenReaderOutput() {
  window_.setMessageHook({});
  // Tells UI Automation that the window's provider is gone, then lets it go.
  if (window_.handle() != nullptr) api_->returnProvider(window_.handle(), 0, 0, nullptr);
  provider_->Release();
}

bool ScreenReaderOutput::raise(const std::string& text, bool replace) {
  BSTR message = SysAllocString(wide(text).c_str());
  BSTR activity = SysAllocString(L"korvel-announcement");
  const HRESULT raised =
      api_->raiseNotification(provider_, static_cast<int>(NotificationKind::other),
                              static_cast<int>(replace ? NotificationProcessing::mostRecent : NotificationProcessing::all),
                              message, activity);
  SysFreeString(message);
  SysFreeString(activity);
  return SUCCEEDED(raised);
}

bool ScreenReaderOutput::speak(const std::string& text, const Pace& pace) {
  if (!raise(text, static_cast<bool>(pace.giveWay))) return false;
  if (pace.meanwhile) pace.meanwhile();
  return true;
}

bool ScreenReaderOutput::speakAsync(const std::string& text) { return raise(text, true); }

}  // namespace korvel::platform
