// Error records: detail formats, the code table and message texts.
#include <gtest/gtest.h>

#include "host/resources/message_texts.h"
#include "host/state/error_info.h"

namespace tavc {
namespace {

TEST(ErrorInfo, DetailFormats) {
  ErrorInfo l_error;
  l_error.SetCardError(L"EW044-0199", 0x8002, 0x4A, 2);
  EXPECT_EQ(L"0x80024a02", l_error.GetDetail1());
  l_error.SetCardError(L"EW044-0199", 0x4002, 0x13, 6);
  EXPECT_EQ(L"0x40021306", l_error.GetDetail1());
  l_error.SetApiError(L"EW144-1500", 0x80100069);
  EXPECT_EQ(L"0x80100069", l_error.GetDetail1());
  EXPECT_EQ(L"", l_error.GetDetail2());
  l_error.SetStatusError(L"EW144-1601", StatusByteText(0x63), StatusByteText(0xC2));
  EXPECT_EQ(L"0x63", l_error.GetDetail1());
  EXPECT_EQ(L"0xc2", l_error.GetDetail2());
}

TEST(ErrorInfo, TableGivesMessageAndFollowUp) {
  ErrorInfo l_error;
  l_error.SetError(L"EWC40-3911", L"", L"", L"");
  EXPECT_EQ(2066U, l_error.GetMessageId());
  EXPECT_EQ(L"1", l_error.GetCategory());
  l_error.SetError(L"EWC40-4110", L"", L"", L"");
  EXPECT_EQ(2067U, l_error.GetMessageId());
  EXPECT_EQ(L"0", l_error.GetCategory());
  l_error.SetError(L"EWC40-4010", L"", L"", L"");
  EXPECT_EQ(L"1", l_error.GetCategory());
  l_error.SetError(L"EW644-3152", L"", L"", L"");
  EXPECT_EQ(L"5", l_error.GetCategory());
  l_error.SetError(L"EW044-1230", L"", L"", L"");
  EXPECT_EQ(L"3", l_error.GetCategory());
  for (const wchar_t* l_unknown : {L"EW344-2207", L"EW344-220B", L"ew144-1500", L"EW144-1500 "}) {
    l_error.SetError(l_unknown, L"", L"", L"");
    EXPECT_EQ(0U, l_error.GetMessageId()) << l_unknown;
    EXPECT_EQ(L"", l_error.GetCategory());
    EXPECT_EQ(L"", l_error.GetMessage());
  }
}

TEST(ErrorInfo, MessagesAreFilledWithCodeAndDetails) {
  ErrorInfo l_error;
  EXPECT_EQ(L"", l_error.GetMessage());
  l_error.SetApiError(L"EW144-1500", 0x8010002e);
  const std::wstring l_message = l_error.GetMessage();
  EXPECT_EQ(0U, l_message.find(L"\u30ab\u30fc\u30c9\u3068\u306e\u901a\u4fe1\u4e2d\u306b"));
  const std::wstring l_tail = L"\u30a8\u30e9\u30fc\u30b3\u30fc\u30c9\uff1aEW144-1500\r\n\u30a8\u30e9\u30fc\u8a73\u7d30\uff1a0x8010002e";
  EXPECT_EQ(l_message.size() - l_tail.size(), l_message.rfind(l_tail));

  l_error.SetStatusError(L"EW144-1601", L"63", L"c2");
  const std::wstring l_status = l_error.GetMessage();
  const std::wstring l_bytes = L"\uff1a0x63/0xc2";
  EXPECT_EQ(l_status.size() - l_bytes.size(), l_status.rfind(l_bytes)) << "message 2020 ends with both status bytes";

  l_error.SetError(L"EW144-0430", L"x", L"", L"");
  EXPECT_EQ(std::wstring::npos, l_error.GetMessage().find(L"%")) << "version notices carry no argument";
}

TEST(MessageTexts, EnglishVariantsOnlyWhereTheyExist) {
  SetMessageLanguage(L"en");
  ErrorInfo l_error;
  l_error.SetError(L"EW140-0820", L"", L"", L"");
  EXPECT_EQ(L"Enter your numerical password/PIN. (EW140-0820)", l_error.GetMessage());
  EXPECT_EQ(LoadMessageText(2004), [] {
    SetMessageLanguage(L"ja");
    return LoadMessageText(2004);
  }());
  SetMessageLanguage(L"ja");
  EXPECT_EQ(0U, l_error.GetMessage().find(L"\u30d1\u30b9\u30ef\u30fc\u30c9"));
  EXPECT_EQ(L"", LoadMessageText(9999));
}

}  // namespace
}  // namespace tavc
