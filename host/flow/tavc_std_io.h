#pragma once
// The protocol channel of TAV: one framed JSON request in, one framed JSON
// answer out. No state of its own; results go to the objects passed in.
#include <cstddef>
#include <functional>
#include <string>

#include "host/flow/flow_outcomes.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/std_streams.h"

namespace tavc {

class TavcStdIo {
 public:
  // Largest request body accepted, in bytes.
  static constexpr std::uint32_t kMaxRequestSize = 0x100000;

  using VersionReader = std::function<bool(std::wstring&)>;

  TavcStdIo();
  TavcStdIo(platform::StdStreams& in_l_streams, VersionReader in_l_version_reader);

  // Reads and checks the request; refused or too old, the error is recorded.
  StartResult ReadFromStdIn(DataStore& in_l_data_store, ErrorInfo& in_l_error_info);
  // Scans one JSON object of UTF-16 text; 0 success, 1 failure.
  int ParseStdIn(const wchar_t* in_l_text, std::size_t in_l_length, DataStore& in_l_data_store,
                 ErrorInfo& in_l_error_info);
  // 0 accepted or ignored, 1 failure recorded.
  int SetParam(const std::wstring& in_l_key, const std::wstring& in_l_value, DataStore& in_l_data_store,
               ErrorInfo& in_l_error_info);
  // 0 success, non-zero failure.
  int RetrieveOwnVersion(DataStore& in_l_data_store);
  // Builds and writes the answer; 0 when built without conversion errors, else 1.
  int WriteToStdOut(DataStore& in_l_data_store, const ResultData& in_l_result_data, int in_l_end_alert_flag,
                    ErrorInfo& in_l_error_info);

 private:
  platform::StdStreams* m_streams_;
  VersionReader m_version_reader_;
};

// The whole answer text for the given run, before UTF-8 conversion. Empty (with
// the error recorded) when the mode is unknown and nothing is to be written;
// `out_l_converted` is false when a signature or the certificate could not be
// converted (the error answer is then built).
std::wstring BuildResponseText(const DataStore& in_l_data_store, const ResultData& in_l_result_data,
                               int in_l_end_alert_flag, ErrorInfo& io_l_error_info, bool& out_l_converted);

}  // namespace tavc
