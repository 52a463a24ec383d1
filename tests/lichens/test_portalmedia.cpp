#include "core/Settings.h"
#include "support/QtPrinters.h"
#include "lichens/LichenText.h"
#include "lichens/PortalMedia.h"

#include <gtest/gtest.h>


namespace {

class PortalAddresses : public ::testing::Test {
protected:
    void SetUp() override { PortalBaseAddress = QStringLiteral("https://portal.test"); }
    void TearDown() override { ResetSettings(); }
};

TEST_F(PortalAddresses, RequestsCarryTheNamePercentEncoded)
{
    EXPECT_EQ(PortalTaxonomyRequest("Cladonia rangiferina"),
              "https://portal.test/portal/api/v2/taxonomy?taxon=Cladonia%20rangiferina&type=EXACT&limit=10&offset=0");
    // Characters that would end or change the query are encoded, letters beyond ASCII as UTF-8.
    EXPECT_EQ(PortalTaxonomyRequest(QString::fromUtf8("Lecanora & Co?#ä")),
              "https://portal.test/portal/api/v2/taxonomy?taxon=Lecanora%20%26%20Co%3F%23%C3%A4&type=EXACT&limit=10&offset=0");
    EXPECT_EQ(PortalTaxonPage("Usnea florida"),
              "https://portal.test/portal/taxa/index.php?taxon=Usnea%20florida");
    EXPECT_EQ(PortalMediaRequest("5021"),
              "https://portal.test/portal/api/v2/media?tid=5021&includeSynonyms=1&includeChildren=0&limit=15&offset=0");
}

TEST_F(PortalAddresses, TaxonIdIsTheFirstTidOfTheAnswer)
{
    EXPECT_EQ(ParseTaxonId(R"({"count":2,"results":[{"tid":918,"scientificName":"Usnea","parentTid":4},{"tid":17,"scientificName":"Usnea florida"}]})"),
              "918");
    EXPECT_EQ(ParseTaxonId(R"({"count":0,"results":[]})"), "");
    EXPECT_EQ(ParseTaxonId(""), "");
    EXPECT_EQ(ParseTaxonId("Error"), "");
    EXPECT_EQ(ParseTaxonId(R"({"tid":"12"})"), "");   // a quoted number is not the portal's form
}

TEST_F(PortalAddresses, MediaRecordsGiveCleanedAddressesInAnswerOrder)
{
    // Compact JSON as the portal sends it: "url", "thumbnailUrl", "originalUrl" in that order.
    const QByteArray answer =
        R"({"count":7,"results":[)"
        R"({"mediaID":1,"tid":5021,"url":"\/imglib\/a.jpg","thumbnailUrl":"\/imglib\/a_tn.jpg","originalUrl":"\/imglib\/a_lg.jpg","format":"image\/jpeg"},)"
        R"({"mediaID":2,"tid":5021,"url":"https:\/\/img.test\/b.jpg","thumbnailUrl":null,"originalUrl":"https:\/\/img.test\/b_lg.jpg"},)"
        R"({"mediaID":3,"tid":5021,"url":null,"thumbnailUrl":"\/imglib\/c_tn.jpg","originalUrl":"\/imglib\/c_lg.jpg"},)"
        R"({"mediaID":4,"tid":5021,"url":"empty","thumbnailUrl":"\/imglib\/d_tn.jpg","originalUrl":"\/imglib\/d_lg.jpg"},)"
        R"({"mediaID":5,"tid":5021,"url":"https:\/\/img.test\/e.jpg","thumbnailUrl":"https:\/\/img.test\/e_tn.jpg","originalUrl":null},)"
        R"({"mediaID":6,"tid":5021,"url":"\/imglib\/f.jpg","thumbnailUrl":"\/proxy?src=http%3A\/\/x\/f_tn.jpg","originalUrl":"empty"},)"
        R"({"mediaID":7,"tid":5021,"url":"","thumbnailUrl":"\/imglib\/g_tn.jpg","originalUrl":""}]})";
    const std::vector<TPortalMedia> media = ParsePortalMedia(answer);
    ASSERT_EQ(media.size(), 4u);

    EXPECT_EQ(media[0].Url, "/imglib/a.jpg");   // the image address stays as given
    EXPECT_EQ(media[0].Thumbnail, "https://portal.test/imglib/a_tn.jpg");
    EXPECT_EQ(media[0].Original, "https://portal.test/imglib/a_lg.jpg");

    EXPECT_EQ(media[1].Url, "https://img.test/e.jpg");
    EXPECT_EQ(media[1].Thumbnail, "https://img.test/e_tn.jpg");
    EXPECT_EQ(media[1].Original, "https://img.test/e.jpg");   // null falls back to the url

    // "http" anywhere keeps the address as it is; "empty" falls back to the
    // url, which as a relative address gets the portal in front.
    EXPECT_EQ(media[2].Thumbnail, "/proxy?src=http%3A//x/f_tn.jpg");
    EXPECT_EQ(media[2].Original, "https://portal.test/imglib/f.jpg");

    EXPECT_EQ(media[3].Url, "");
    EXPECT_EQ(media[3].Original, "https://portal.test");
}

TEST_F(PortalAddresses, AnswersWithoutMediaGiveNothing)
{
    EXPECT_TRUE(ParsePortalMedia("").empty());
    EXPECT_TRUE(ParsePortalMedia("Error").empty());
    EXPECT_TRUE(ParsePortalMedia(R"({"count":0,"results":[]})").empty());
}

TEST(LichenText, SubstanceItemsStartWithAnUpperCaseAsciiLetter)
{
    const struct { QString in, out; } cases[] = {
        {"usnic acid", "Usnic acid"},
        {"atranorin", "Atranorin"},
        {"1-chloropannarin", "1-chloropannarin"},
        {QString::fromUtf8("ésculin"), QString::fromUtf8("ésculin")},
        {"z", "Z"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LichenSubstanceItem(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(LichenSubstanceItem(QString(1500, 'x')), "X" + QString(1000, 'x'));
}

TEST(LichenText, FileNameBytesAndCopyText)
{
    EXPECT_EQ(LichenSubstancesFileName("Cladonia rangiferina"), "Cladonia rangiferina.txt");
    EXPECT_EQ(LichenSubstancesFileName("../etc/x\\y"), ".._etc_x_y.txt");
    EXPECT_EQ(LichenSubstancesFileBytes({"a", "b", QString::fromUtf8("ç")}), QByteArray("a\r\nb\r\n\xC3\xA7\r\n"));
    EXPECT_EQ(LichenSubstancesFileBytes({}), QByteArray());
    EXPECT_EQ(LichenSubstancesCopyText({"a", "b", "c"}), "a, b, c");
    EXPECT_EQ(LichenSubstancesCopyText({"a"}), "a");
    EXPECT_EQ(LichenSubstancesCopyText({}), "");
}

} // namespace
