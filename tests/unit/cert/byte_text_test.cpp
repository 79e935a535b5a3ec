// Hexadecimal and Base64 conversions of binary data.
#include <gtest/gtest.h>

#include <cstring>

#include "common/base64.h"
#include "common/format_converter.h"

namespace tavc {
namespace {

TEST(FormatConverter, BinHexWritesLowerCasePairsOnly) {
  const std::uint8_t l_bytes[] = {0x00, 0xAB, 0x7F};
  char l_text[8] = "xxxxxxx";
  FormatConverter::BinHexConv(l_bytes, 3, l_text);
  EXPECT_EQ("00ab7fx", std::string(l_text));
  FormatConverter::BinHexConv(l_bytes, 0, l_text);
  FormatConverter::BinHexConv(nullptr, 3, l_text);
  EXPECT_EQ("00ab7fx", std::string(l_text));
}

TEST(FormatConverter, HexBinAcceptsBothCasesAndRefusesBadText) {
  std::uint8_t l_bytes[4] = {9, 9, 9, 9};
  EXPECT_EQ(3, FormatConverter::HexBinConv("00AB7f", l_bytes));
  EXPECT_EQ(0x00, l_bytes[0]);
  EXPECT_EQ(0xAB, l_bytes[1]);
  EXPECT_EQ(0x7F, l_bytes[2]);
  EXPECT_EQ(9, l_bytes[3]);
  EXPECT_EQ(0, FormatConverter::HexBinConv("", l_bytes));
  EXPECT_EQ(0, FormatConverter::HexBinConv(nullptr, l_bytes));
  std::uint8_t l_untouched[2] = {7, 7};
  EXPECT_EQ(-1, FormatConverter::HexBinConv("abc", l_untouched));
  EXPECT_EQ(-1, FormatConverter::HexBinConv("0g", l_untouched));
  EXPECT_EQ(7, l_untouched[0]);
}

TEST(FormatConverter, CStringToBytesAddsNul) {
  std::uint8_t l_bytes[6] = {9, 9, 9, 9, 9, 9};
  FormatConverter::CStringToLPBYTE(L"1234", l_bytes);
  EXPECT_EQ(0, std::memcmp(l_bytes, "1234\0\x09", 6));
}

TEST(Base64, DecodesWithWhitespaceAndPadding) {
  std::vector<std::uint8_t> l_bytes;
  ASSERT_TRUE(DecodeBase64(L" AA\r\nE=\t", l_bytes));
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x01}), l_bytes);
  ASSERT_TRUE(DecodeBase64(L"q83v", l_bytes));
  EXPECT_EQ((std::vector<std::uint8_t>{0xAB, 0xCD, 0xEF}), l_bytes);
  ASSERT_TRUE(DecodeBase64(L"AQ", l_bytes));
  EXPECT_EQ((std::vector<std::uint8_t>{0x01}), l_bytes);
  ASSERT_TRUE(DecodeBase64(L"", l_bytes));
  EXPECT_TRUE(l_bytes.empty());
}

TEST(Base64, RefusesAnythingElse) {
  std::vector<std::uint8_t> l_bytes;
  using namespace std::literals;
  for (const std::wstring_view l_bad : {L"A"sv, L"AAAAA"sv, L"AA=A"sv, L"A==="sv, L"AA==AA=="sv, L"AA-_"sv, L"AA="sv,
                                        L"AB\u3042C"sv, L"AAA\0"sv}) {
    EXPECT_FALSE(DecodeBase64(l_bad, l_bytes)) << l_bad.size();
  }
}

TEST(Base64, EncodesOneLineWithPadding) {
  const std::uint8_t l_bytes[] = {0x00, 0xFF, 0x10, 0x01};
  EXPECT_EQ(L"AP8Q", EncodeBase64(l_bytes, 3));
  EXPECT_EQ(L"AP8QAQ==", EncodeBase64(l_bytes, 4));
  EXPECT_EQ(L"", EncodeBase64(l_bytes, 0));
  std::vector<std::uint8_t> l_big(300, 0x5A), l_back;
  const std::wstring l_text = EncodeBase64(l_big.data(), l_big.size());
  EXPECT_EQ(std::wstring::npos, l_text.find_first_of(L"\r\n"));
  ASSERT_TRUE(DecodeBase64(l_text, l_back));
  EXPECT_EQ(l_big, l_back);
}

}  // namespace
}  // namespace tavc
