// What the version check offers and which addresses it would ever hand to
// the shell or fetch a setup from.
#include "update/UpdateOffer.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

const std::string productPage = "https://www.trevolt.example/kelvane";

PadInfo published(const std::string& downloadUrl, const std::string& webPage) {
    return PadInfo{"Kelvane", "4.7", {2026, 11, 0, 30}, webPage, downloadUrl, "Ada", "Lind", {}};
}

} // namespace

TEST(UpdateOfferTest, OffersTheSetupOnlyForAnHttpsDownloadAndTellsTheVersionDayAndAuthor) {
    UpdateOffer offer = chooseOffer(published("https://host/setup.exe", ""), productPage);
    EXPECT_EQ(offer.kind, UpdateOffer::Kind::RunSetup);
    EXPECT_EQ(offer.address, "https://host/setup.exe");

    offer =
        chooseOffer(published("http://host/setup.exe", "https://host/kelvane.html"), productPage);
    EXPECT_EQ(offer.kind, UpdateOffer::Kind::OpenWebPage) << "a setup over plain http";
    EXPECT_EQ(offer.address, "https://host/kelvane.html");

    // A download or page the shell would run as a program is never offered.
    offer = chooseOffer(
        published("file:///C:/Windows/System32/calc.exe", "C:\\Windows\\System32\\cmd.exe"),
        productPage);
    EXPECT_EQ(offer.kind, UpdateOffer::Kind::OpenWebPage);
    EXPECT_EQ(offer.address, productPage);

    EXPECT_EQ(newVersionText("new %#s (%#s) of \"%#s\" from %#s %#s", published("", "")),
              "new 4.7 (2026-11-30) of \"Kelvane\" from Ada Lind");
    EXPECT_EQ(systemTextFor(10, 0, 19045), "WIN10.0.19045");
}
