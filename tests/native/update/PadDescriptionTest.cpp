// Reading the maker's version description and choosing what to tell the user.
#include "update/PadDescription.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

const char* description = R"(<?xml version="1.0" encoding="UTF-8"?>
<XML_DIZ_INFO xmlns:trevolt="urn:trevolt"><Company_Info><Contact_Info>
  <Author_First_Name>Ada</Author_First_Name><Author_Last_Name>Lind</Author_Last_Name>
</Contact_Info></Company_Info><Program_Info>
  <Program_Name>Kelvane</Program_Name><Program_Version>4.7</Program_Version>
  <Program_Release_Year>2026</Program_Release_Year><Program_Release_Month>11</Program_Release_Month>
  <Program_Release_Day>30</Program_Release_Day>
</Program_Info><Web_Info>
  <Application_URLs><Application_Info_URL>https://www.trevolt.example/kelvane</Application_Info_URL>
  </Application_URLs><Download_URLs>
  <Primary_Download_URL>https://www.trevolt.example/kelvane-setup.exe</Primary_Download_URL>
</Download_URLs></Web_Info><trevolt:messages>
  <trevolt:msg>For everyone</trevolt:msg>
  <trevolt:msg version="4.6">For 4.6 only</trevolt:msg>
  <trevolt:msg version="4.5">For 4.5 only</trevolt:msg>
  <trevolt:msg id="WIN10.0.19045">For one system</trevolt:msg>
  <trevolt:msg version="4.6" id="WIN6.1.7601">For 4.6 on 7601</trevolt:msg>
</trevolt:messages></XML_DIZ_INFO>)";

} // namespace

TEST(PadDescriptionTest, ReadsTheFieldsAndTheMessagesForThisVersionAndSystem) {
    auto info = parsePadDescription(description);
    ASSERT_TRUE(info);
    const auto& date = info->releaseDate;
    EXPECT_EQ(info->programName + " " + info->programVersion + " " + std::to_string(date.year) +
                  "-" + std::to_string(date.month) + "-" + std::to_string(date.day) + " " +
                  info->authorFirstName + " " + info->authorLastName + " " + info->webPage + " " +
                  info->downloadUrl,
              "Kelvane 4.7 2026-11-30 Ada Lind https://www.trevolt.example/kelvane "
              "https://www.trevolt.example/kelvane-setup.exe");
    EXPECT_FALSE(isUpToDate(*info, "4.6"));
    EXPECT_TRUE(isUpToDate(*info, "4.7"));
    EXPECT_EQ(selectMessages(*info, "4.6", "WIN6.1.7601"),
              "For everyone\n\nFor 4.6 only\n\nFor 4.6 on 7601");
    EXPECT_EQ(selectMessages(*info, "4.5", "WIN10.0.19045"),
              "For everyone\n\nFor 4.5 only\n\nFor one system");
}

TEST(PadDescriptionTest, RefusesWhatIsNotADescriptionAndFollowsOnlyWebAddresses) {
    EXPECT_FALSE(parsePadDescription("<html><body>404</body></html>"));
    EXPECT_FALSE(parsePadDescription("<XML_DIZ_INFO a=b>")) << "attribute errors fail the read";
    // Too large: refused before any parsing.
    std::string huge = "<XML_DIZ_INFO>" + std::string(maxDescriptionBytes, ' ') + "</XML_DIZ_INFO>";
    EXPECT_FALSE(parsePadDescription(huge));

    // Only web download addresses are followed.
    EXPECT_TRUE(isFollowableDownloadUrl("http://host/setup.exe"));
    EXPECT_TRUE(isFollowableDownloadUrl("HTTPS://host/setup.exe"));
    for (const char* refused :
         {"file:///C:/Windows/System32/cmd.exe", "\\\\server\\share\\setup.exe", "http://"}) {
        EXPECT_FALSE(isFollowableDownloadUrl(refused)) << refused;
    }
}
