#include "host/core/headless_run.h"

#include "host/core/tavc_std_io.h"

namespace tavc {

int RunHeadlessRequest() {
  DataStore l_data_store;
  ErrorInfo l_error_info;
  ResultData l_result_data;
  TavcStdIo l_std_io;
  // No operation runs yet: a valid request ends as not carried out, a refused
  // one with its error code.
  l_std_io.ReadFromStdIn(l_data_store, l_error_info);
  l_std_io.WriteToStdOut(l_data_store, l_result_data, 0, l_error_info);
  return 0;
}

}  // namespace tavc
