#include "host/state/data_store.h"

#include "common/secure_wipe.h"

namespace tavc {
namespace {

// A password is overwritten in place before its holder takes the next value, so
// that no copy of the old one is left in freed memory.
void ReplaceSecret(std::wstring& io_l_field, std::wstring in_l_value) {
  SecureWipe(io_l_field);
  io_l_field.swap(in_l_value);
}

}  // namespace

DataStore::~DataStore() {
  SecureWipe(m_password_);
  SecureWipe(m_new_password_);
  SecureWipe(m_file_password_);
}

void DataStore::SetPassword(std::wstring in_l_value) { ReplaceSecret(m_password_, std::move(in_l_value)); }
void DataStore::SetNewPassword(std::wstring in_l_value) { ReplaceSecret(m_new_password_, std::move(in_l_value)); }
void DataStore::SetFilePassword(std::wstring in_l_value) { ReplaceSecret(m_file_password_, std::move(in_l_value)); }

}  // namespace tavc
