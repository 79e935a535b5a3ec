// The wrapper's substring edits of the browser's compact JSON.
#include <gtest/gtest.h>

#include "wrapper/data_handler.h"

namespace {

const std::wstring kRequest = L"{\"mode\":\"02\",\"ca\":\"013\",\"digest\":\"AAE=\"}";

TEST(DataHandler, PickupFindsKeysOnly) {
  struct Case {
    std::wstring json, key, member;
  } const l_cases[] = {
      {kRequest, L"\"mode\"", L"\"mode\":\"02\""},
      {kRequest, L"\"ca\"", L"\"ca\":\"013\""},
      {kRequest, L"\"file_path\"", L""},
      // A value that reads like the key is not the key.
      {L"{\"service_id\":\"ca\",\"ca\":\"014\"}", L"\"ca\"", L"\"ca\":\"014\""},
      {L"{\"service_id\":\"ca\"}", L"\"ca\"", L""},
      // Cut off inside the value: nothing, never past the end.
      {L"{\"mode\":\"0", L"\"mode\"", L""},
      {L"{\"mode\":", L"\"mode\"", L""},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_EQ(l_case.member, DataHandler::PickupFromJson(l_case.json, l_case.key)) << l_case.json.size();
  }
}

TEST(DataHandler, TrimKeepsBlanksInsideQuotesOnly) {
  EXPECT_EQ(L"\"mode\":\"0 2\"", DataHandler::TrimAllBlank(L" \"mode\" :\t\"0 2\"\r\n"));
  EXPECT_EQ(L"\"result\":\"1\"", DataHandler::PickupFromJsonWithTrim(L"{\"result\" : \"1\"}", L"\"result\""));
}

TEST(DataHandler, AddJsonInsertsBeforeTheLastBrace) {
  EXPECT_EQ(L"{\"mode\":\"02\",\"a\":\"b\"}", DataHandler::AddJson(L"{\"mode\":\"02\"}", L"\"a\":\"b\""));
  EXPECT_EQ(L",\"a\":\"b\"}", DataHandler::AddJson(L"", L"\"a\":\"b\""));
}

TEST(DataHandler, DeleteJsonTakesTheJoiningComma) {
  EXPECT_EQ(L"{\"mode\":\"02\",\"digest\":\"AAE=\"}", DataHandler::DeleteJson(kRequest, L"\"ca\""));
  EXPECT_EQ(L"{\"mode\":\"02\",\"ca\":\"013\"}", DataHandler::DeleteJson(
                L"{\"mode\":\"02\",\"ca\":\"013\",\"digest\":\"AAE=\"}", L"\"digest\""));
  EXPECT_EQ(kRequest, DataHandler::DeleteJson(kRequest, L"\"file_path\""));
}

}  // namespace
