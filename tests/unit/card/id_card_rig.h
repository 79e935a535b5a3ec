#pragma once
// A My Number card session on the scripted card: the data store of a request
// of the given mode and an established session, ready for one operation.
#include <gtest/gtest.h>

#include <string>

#include "host/card/access_for_personal_info.h"
#include "tests/unit/card/card_scripts.h"

namespace tavc::test {

inline const std::string kVerifyLogin = "0020009804 31323334";
inline const std::string kVerifyInfo = "0020009104 31323334";
inline const std::string kVerifySign = "0020009B06 414243313233";
inline const std::string kChangeLogin = "0024019804 35363738";
inline const std::string kChangeInfo = "0024019104 35363738";
inline const std::string kChangeSign = "0024019B06 58595A373839";
inline const std::string kSignLogin = "802A009733...";
inline const std::string kSignSign = "802A009A33...";
inline const std::string kUuid = "00112233445566778899aabbccddeeff";

class IdCardRig {
 public:
  // Mode "06" takes the password type of the change screen.
  void Prepare(const std::wstring& in_l_mode, int in_l_password_type = 0) {
    m_store_.SetMode(in_l_mode);
    const bool l_sign = in_l_mode == L"02" || in_l_mode == L"07" || in_l_password_type == kPasswordTypeSign;
    if (in_l_mode == L"06") m_store_.SetPasswordType(in_l_password_type);
    m_store_.SetPassword(l_sign ? L"ABC123" : L"1234");
    m_store_.SetNewPassword(l_sign ? L"XYZ789" : L"5678");
    for (const std::wstring& l_digest : m_digests_) m_store_.SetDigest(l_digest);
    m_store_.SetCityCodeFlag(1);
    m_store_.SetCombinationCodeFlag(1);
    m_result_.SetUuid(Wide(kUuid));
    m_api_.AddReader(L"Reader");
    if (in_l_mode == L"01" || in_l_mode == L"02" || in_l_mode == L"07") {
      m_api_.Expect(kSelectJpki, Ok());
      m_api_.Expect(kReadToken, Ok(Token("JPKIAPICCTOKEN2")));
    } else if (in_l_mode == L"03" || in_l_mode == L"04" || in_l_password_type == kPasswordTypeInfo) {
      m_api_.Expect(kSelectCardSurface, Ok());
    } else {
      m_api_.Expect(kSelectJpki, Ok());
    }
    ASSERT_EQ(0, m_access_.EstablishCardSession(&m_error_, &m_store_, &m_result_));
    m_established_commands_ = m_api_.Sent().size();
  }

  // Commands sent since the session was established.
  std::size_t CommandsAfterEstablish() const { return m_api_.Sent().size() - m_established_commands_; }

  ScriptedSCardApi m_api_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  AccessForPersonalInfo m_access_{m_api_};
  std::size_t m_established_commands_ = 0;
  // The request's digests; set before Prepare to change them.
  std::vector<std::wstring> m_digests_{Wide(DigestInfoHex(1))};
};

}  // namespace tavc::test
