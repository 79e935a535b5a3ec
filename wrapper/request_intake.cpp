#include "wrapper/request_intake.h"

#include "wrapper/relay_rules.h"

Intake TakeRequest(ByteSource& in_source, ReceiveData& out_request) noexcept {
  try {
    switch (ReadFrame(in_source, out_request)) {
      case FrameStatus::kFrame: break;
      case FrameStatus::kOverLimit: return Intake::kTooLarge;
      case FrameStatus::kNoFrame:
      case FrameStatus::kEmpty:
      case FrameStatus::kCutShort: return Intake::kNoRequest;
    }
    if (out_request.GetData().empty()) return Intake::kNotText;
    // A page may not choose the file TAV opens nor sign with it unseen.
    if (CarriesCredential(out_request.GetData())) return Intake::kCredentialFromPage;
    return Intake::kTaken;
  } catch (...) {
    return Intake::kFailed;
  }
}

const wchar_t* RefusalCode(Intake in_intake) {
  switch (in_intake) {
    case Intake::kTaken:
    case Intake::kNoRequest: return nullptr;
    case Intake::kTooLarge: return wrapper_codes::kRequestTooLarge;
    case Intake::kNotText: return wrapper_codes::kRequestNotText;
    case Intake::kCredentialFromPage: return wrapper_codes::kCredentialFromPage;
    case Intake::kFailed: return wrapper_codes::kPageReaderFailed;
  }
  return nullptr;
}
