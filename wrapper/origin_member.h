#pragma once
// The request's "origin" member as the wrapper's file dialog shows it. TAV
// refuses a request whose origin is not one well-formed origin; the wrapper
// then shows no dialog either (no password is typed for such a request) and
// lets TAV give its refusal.
#include <string>

#include "common/request_origin.h"

enum class OriginMember {
  kNone,
  kWellFormed,
  kMalformed,  // not a plain string holding an origin, or given twice
};

OriginMember OriginMemberOf(const std::wstring& in_request, tavc::RequestOrigin& out_origin);
