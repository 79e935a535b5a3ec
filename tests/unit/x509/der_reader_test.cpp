#include "host/cert/x509/der_reader.h"

#include <gtest/gtest.h>

#include "host/cert/x509/der_primitives.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace x509 {
namespace {

using test::Bytes;

bool ReadOne(const Bytes& in_l_bytes, DerElement& out_l_element) {
  DerReader l_reader(in_l_bytes.data(), in_l_bytes.size());
  return l_reader.Read(out_l_element);
}

TEST(DerReaderTest, LongFormLengthsPlaceTheValueAfterTheirLengthBytes) {
  Bytes l_200{0x04, 0x81, 0xC8};
  l_200.resize(3 + 200, 0xAA);
  DerElement l_element;
  ASSERT_TRUE(ReadOne(l_200, l_element));
  EXPECT_EQ(l_element.value_size, 200u);
  EXPECT_EQ(l_element.value, l_200.data() + 3);

  Bytes l_256{0x04, 0x82, 0x01, 0x00};
  l_256.resize(4 + 256, 0xAA);
  ASSERT_TRUE(ReadOne(l_256, l_element));
  EXPECT_EQ(l_element.value_size, 256u);
  EXPECT_EQ(l_element.value, l_256.data() + 4);

  Bytes l_four{0x04, 0x84, 0x00, 0x00, 0x00, 0x02, 0x01, 0x02};
  ASSERT_TRUE(ReadOne(l_four, l_element));
  EXPECT_EQ(l_element.value_size, 2u);
  EXPECT_EQ(l_element.EncodedSize(), l_four.size());
}

TEST(DerReaderTest, RefusesMalformedHeaders) {
  DerElement l_element;
  EXPECT_FALSE(ReadOne({0x30, 0x80, 0x00, 0x00}, l_element)) << "indefinite length";
  EXPECT_FALSE(ReadOne({0x04, 0x85, 0x00, 0x00, 0x00, 0x00, 0x01, 0xAA}, l_element))
      << "five length bytes";
  EXPECT_FALSE(ReadOne({0x04, 0xFF, 0x00}, l_element)) << "reserved length form";
  EXPECT_FALSE(ReadOne({0x04, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, l_element)) << "huge length";
  EXPECT_FALSE(ReadOne({0x04, 0x82, 0x01}, l_element)) << "length bytes cut off";
  EXPECT_FALSE(ReadOne({0x04, 0x03, 0x01, 0x02}, l_element)) << "value past the end";
  EXPECT_FALSE(ReadOne({0x04}, l_element)) << "no length";
  EXPECT_FALSE(ReadOne({0x1F, 0x81, 0x01, 0x00}, l_element)) << "high tag number";
  EXPECT_FALSE(ReadOne({0x00, 0x00}, l_element)) << "end-of-contents";
}

TEST(DerReaderTest, TagMismatchLeavesTheReaderWhereItWas) {
  const Bytes l_bytes{0x02, 0x01, 0x05, 0x05, 0x00};
  DerReader l_reader(l_bytes.data(), l_bytes.size());
  DerElement l_element;
  EXPECT_FALSE(l_reader.Read(0x05, l_element));
  ASSERT_TRUE(l_reader.Read(0x02, l_element));
  EXPECT_EQ(l_element.value[0], 0x05);
  ASSERT_TRUE(l_reader.Read(0x05, l_element));
  EXPECT_TRUE(l_reader.AtEnd());
  EXPECT_FALSE(l_reader.Read(l_element));
}

TEST(DerReaderTest, EnteringStopsAtTheDepthLimitAndRefusesPrimitives) {
  Bytes l_nested{0x05, 0x00};
  for (unsigned l_i = 0; l_i < DerReader::kMaxDepth + 1; ++l_i) l_nested = test::Tlv(0x30, l_nested);
  DerReader l_reader(l_nested.data(), l_nested.size());
  unsigned l_entered = 0;
  DerReader l_inner;
  while (l_reader.Enter(0x30, l_inner)) {
    l_reader = l_inner;
    ++l_entered;
  }
  EXPECT_EQ(l_entered, DerReader::kMaxDepth);
  EXPECT_TRUE(l_reader.NextIs(0x30));

  const Bytes l_primitive{0x04, 0x02, 0x30, 0x00};
  DerReader l_octets(l_primitive.data(), l_primitive.size());
  EXPECT_FALSE(l_octets.Enter(0x04, l_inner));
}

TEST(DerReaderTest, SingleElementRefusesTrailingBytes) {
  DerElement l_element;
  const Bytes l_exact{0x05, 0x00};
  const Bytes l_trailing{0x05, 0x00, 0x00};
  EXPECT_TRUE(ReadSingleElement(l_exact.data(), l_exact.size(), l_element));
  EXPECT_FALSE(ReadSingleElement(l_trailing.data(), l_trailing.size(), l_element));
  EXPECT_FALSE(ReadSingleElement(nullptr, 2, l_element));
}

std::string OidText(const Bytes& in_l_content) {
  std::string l_text = "(failed)";
  OidToText(in_l_content.data(), in_l_content.size(), l_text);
  return l_text;
}

TEST(DerPrimitivesTest, ObjectIdentifiersBecomeDottedText) {
  EXPECT_EQ(OidText({0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x0B}),
            "1.2.840.113549.1.1.11");
  EXPECT_EQ(OidText({0x55, 0x1D, 0x11}), "2.5.29.17");
  EXPECT_EQ(OidText({0x09, 0x92, 0x26}), "0.9.2342");
  EXPECT_EQ(OidText({0x88, 0x37, 0x03}), "2.999.3");
  EXPECT_EQ(OidText({0x2A, 0x83, 0x08, 0x8C, 0x9A, 0x4B, 0x01}), "1.2.392.200011.1");
  EXPECT_EQ(OidText({}), "(failed)");
  EXPECT_EQ(OidText({0x2A, 0x86}), "(failed)") << "truncated arc";
  EXPECT_EQ(OidText({0x2A, 0x80, 0x01}), "(failed)") << "padded arc";
  EXPECT_EQ(OidText({0x2A, 0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00}),
            "(failed)")
      << "arc beyond 64 bits";
}

TEST(DerPrimitivesTest, SmallIntegersAndBitStrings) {
  std::uint32_t l_value = 99;
  DerElement l_element;
  const Bytes l_zero_padded{0x02, 0x03, 0x00, 0x00, 0x80};
  ASSERT_TRUE(ReadOne(l_zero_padded, l_element));
  EXPECT_TRUE(IntegerToUnsigned(l_element, l_value));
  EXPECT_EQ(l_value, 128u);
  const Bytes l_negative{0x02, 0x01, 0xFF};
  ASSERT_TRUE(ReadOne(l_negative, l_element));
  EXPECT_FALSE(IntegerToUnsigned(l_element, l_value));
  const Bytes l_too_big{0x02, 0x05, 0x01, 0x00, 0x00, 0x00, 0x00};
  ASSERT_TRUE(ReadOne(l_too_big, l_element));
  EXPECT_FALSE(IntegerToUnsigned(l_element, l_value));

  unsigned l_unused = 0;
  Bytes l_bits;
  const Bytes l_bad_unused{0x03, 0x02, 0x08, 0xFF};
  ASSERT_TRUE(ReadOne(l_bad_unused, l_element));
  EXPECT_FALSE(SplitBitString(l_element, l_unused, l_bits));
  const Bytes l_empty_with_unused{0x03, 0x01, 0x01};
  ASSERT_TRUE(ReadOne(l_empty_with_unused, l_element));
  EXPECT_FALSE(SplitBitString(l_element, l_unused, l_bits));
}

}  // namespace
}  // namespace x509
}  // namespace tavc
