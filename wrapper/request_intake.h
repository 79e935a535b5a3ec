#pragma once
// The request frame on the wrapper's standard input, and what becomes of it
// before TAV is started.
#include "wrapper/frame_reader.h"
#include "wrapper/receive_data.h"

enum class [[nodiscard]] Intake {
  kTaken,               // a request TAV may get
  kNoRequest,           // no frame at all: started by hand, not by a browser
  kTooLarge,            // the prefix declares more than TAV accepts (the body is left unread)
  kNotText,             // the request is not UTF-8 text
  kCredentialFromPage,  // the page named a certificate file or its password itself
  kFailed,              // the read failed unexpectedly (an exception)
};

// Reads the request into out_request and judges it. Never throws: every way
// of failing has its outcome, so that the page gets its one answer.
Intake TakeRequest(ByteSource& in_source, ReceiveData& out_request) noexcept;

// The code of the wrapper's own answer to a request it does not pass on;
// nullptr for kTaken and kNoRequest, which the page gets no answer of.
const wchar_t* RefusalCode(Intake in_intake);
