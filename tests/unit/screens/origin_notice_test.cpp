// Who asks, as the password and confirmation screens say it.
#include <gtest/gtest.h>

#include <memory>

#include "host/resources/message_texts.h"
#include "host/screens/origin_notice.h"

namespace tavc {
namespace {

std::unique_ptr<DataStore> Store(const std::wstring& in_l_mode, const std::wstring& in_l_origin, int in_l_digests) {
  auto l_store = std::make_unique<DataStore>();
  l_store->SetMode(in_l_mode);
  l_store->SetOrigin(in_l_origin);
  for (int l_i = 0; l_i < in_l_digests; ++l_i) l_store->SetDigest(L"00");
  return l_store;
}

TEST(OriginNotice, LabelsTheOriginWithItsRegistrablePartInBold) {
  SetMessageLanguage(L"ja");
  const std::vector<OriginRun> l_pieces = OriginNoticePieces(*Store(L"02", L"https://login.example.co.jp:8443", 1));
  std::wstring l_shown;
  for (const OriginRun& l_piece : l_pieces) l_shown += l_piece.bold ? L"[" + l_piece.text + L"]" : l_piece.text;
  EXPECT_EQ(L"要求元: login.[example.][co.][jp]:8443", l_shown);
  SetMessageLanguage(L"en");
  EXPECT_EQ(L"Requested by: ", OriginNoticePieces(*Store(L"01", L"https://a.example", 1)).front().text);
  SetMessageLanguage(L"ja");
  EXPECT_TRUE(OriginNoticePieces(*Store(L"02", L"", 1)).empty());
}

TEST(OriginNotice, CountsTheSignaturesOfTheSigningModesOnly) {
  struct Case {
    const wchar_t* mode;
    const wchar_t* origin;
    int digests;
    const wchar_t* notice;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"02", L"https://a.example", 3, L"3件の電子署名を行います"},
           {L"07", L"https://a.example", 1, L"1件の電子署名を行います"},
           {L"11", L"https://a.example", 12, L"12件の電子署名を行います"},
           {L"12", L"https://a.example", 2, L"2件の電子署名を行います"},
           {L"02", L"", 3, L""},
           {L"01", L"https://a.example", 1, L""},
           {L"03", L"https://a.example", 0, L""},
           {L"06", L"https://a.example", 0, L""},
       }) {
    EXPECT_EQ(l_case.notice, SignatureCountNotice(*Store(l_case.mode, l_case.origin, l_case.digests))) << l_case.mode;
  }
}

}  // namespace
}  // namespace tavc
