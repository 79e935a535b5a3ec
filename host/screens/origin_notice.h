#pragma once
// What the password and confirmation screens say about who asks: the origin
// line ("要求元: host[:port]") when the request names an origin, and on the
// password entry of the signing modes, how many signatures the password will
// make. A request without an origin shows neither: direct callers see the
// screens as they always were.
#include <string>
#include <vector>

#include "common/origin_line.h"
#include "host/state/data_store.h"

namespace tavc {

// The label text and the origin's display parts; empty without an origin.
std::vector<OriginRun> OriginNoticePieces(const DataStore& in_l_data_store);

// "N件の電子署名を行います" with N the number of digests, for modes "02", "07",
// "11" and "12" with an origin; otherwise empty. (A log-in makes one
// authentication signature, which its screen's title names.)
std::wstring SignatureCountNotice(const DataStore& in_l_data_store);

}  // namespace tavc
