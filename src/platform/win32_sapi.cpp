#include "platform/win32_sapi.h"

#include <windows.h>
#include <sapi.h>

namespace korvel::platform {

namespace {

// Program text is Latin-1: each byte is the UTF-16 code unit of the same number.
std::wstring wide(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (const unsigned char c : text) out += static_cast<wchar_t>(c);
  return out;
}

// SAPI's own text rules (XML tags, pronunciations) are not for Korvel's plain messages.
constexpr DWORD kPlainAsync = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML;

}  // namespace

std::unique_ptr<SapiSpeechOutput> SapiSpeechOutput::connect(std::string& why) {
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool comStarted = SUCCEEDED(started);
  ISpVoice* voice = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, reinterpret_cast<void**>(&voice))) ||
      voice == nullptr) {
    why = "SAPI has no voice here";
    if (comStarted) CoUninitialize();
    return nullptr;
  }
  return std::unique_ptr<SapiSpeechOutput>(new SapiSpeechOutput(voice, comStarted));
}

SapiSpeechOutput::~SapiSpeechOutput() {
  cancel();
  voice_->Release();
  if (comStarted_) CoUninitialize();
}

bool SapiSpeechOutput::say(const std::string& text) {
  const std::wstring message = wide(text);
  return SUCCEEDED(voice_->Speak(message.c_str(), kPlainAsync, nullptr));
}

bool SapiSpeechOutput::speak(const std::string& text, const Pace& pace) {
  if (!say(text)) return false;
  // WaitUntilDone answers S_OK once the message has been spoken, S_FALSE while it still speaks.
  while (voice_->WaitUntilDone(kMeanwhileLookMs) == S_FALSE) {
    if (pace.meanwhile) pace.meanwhile();
    if (pace.giveWay && pace.giveWay()) {
      cancel();
      break;
    }
  }
  return true;
}

bool SapiSpeechOutput::speakAsync(const std::string& text) { return say(text); }

void SapiSpeechOutput::cancel() { voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr); }

}  // namespace korvel::platform
