// The record window's image area as the user meets it: the picture that
// tells whether a substance has images, its hint, the click on it (and on
// "No Images", which does nothing), and a failed load that moves no window.
#include "test_subswin_kit.h"

#include "core/FormMapping.h"
#include "support/ListInput.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

namespace {

class ImageArea : public SubstanceWindowTest {
protected:
    const QString Page12 = "/portal/glossary/individual.php?glossid=12";   // Atranorin
    const QString Page7 = "/portal/glossary/individual.php?glossid=7";     // Usnic acid
    const QRect Area{480, 718, 97, 79};   // the panel and the picture over it

    void SetUp() override
    {
        SubstanceWindowTest::SetUp();
        server.Route("/img/0.jpg", FakeResponse::Ok(SolidJpeg(Qt::red), "image/jpeg"));
        server.Route(Page12, FakeResponse::Ok(("<img src=\"" + server.Url("/img/0.jpg") + "\">").toUtf8()));
        server.Route(Page7, FakeResponse::Ok("<p>no pictures</p>"));
    }

    // Double-clicks a line of the substance list, as the user opens a record.
    void Open(const QString& line)
    {
        ASSERT_TRUE(DoubleClickLine(RecordListForm->RecordListBox->List(), line)) << line.toStdString();
        ASSERT_EQ(ViewRecordForm->NameEdit->Text(), line);
    }
    QImage GrabArea() const { return ViewRecordForm->ClientWidget()->grab(Area).toImage(); }
    QWidget* WidgetAtArea() const { return ViewRecordForm->ClientWidget()->childAt(Area.center()); }
};

int DistinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    return int(colours.size());
}

TEST_F(ImageArea, ThePictureShowsWhetherASubstanceHasImagesAndCarriesItsHint)
{
    FillSubstanceList("");
    Open("Atranorin");
    ASSERT_TRUE(ViewRecordForm->Image1->Visible());
    const QImage withImages = GrabArea();
    EXPECT_GT(DistinctColours(withImages), 4);   // a picture, not a plain field
    SaveScreenshot(ViewRecordForm, "record_with_images");

    Open("Usnic acid");
    ASSERT_FALSE(ViewRecordForm->Image1->Visible());
    const QImage withoutImages = GrabArea();
    EXPECT_NE(withImages, withoutImages);
    QWidget* panel = WidgetAtArea();
    ASSERT_EQ(panel, ViewRecordForm->Panel1->Widget());
    // The panel "No Images" shown then does nothing when clicked.
    server.ClearRequests();
    QTest::mouseClick(panel, Qt::LeftButton, {}, panel->mapFrom(ViewRecordForm->ClientWidget(), Area.center()));
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_FALSE(SubstanceImageForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());

    // Back to a substance with images: the picture is what the pointer meets,
    // and resting on it shows its hint.
    Open("Atranorin");
    EXPECT_EQ(GrabArea(), withImages);
    QWidget* under = WidgetAtArea();
    ASSERT_EQ(under, ViewRecordForm->Image1->Widget());
    const QPoint local = under->mapFrom(ViewRecordForm->ClientWidget(), Area.center());
    QHelpEvent help(QEvent::ToolTip, local, under->mapToGlobal(local));
    QApplication::sendEvent(under, &help);
    EXPECT_EQ(QToolTip::text(), "Click to view images");
    QToolTip::hideText();

    // A click on the picture loads the images.
    server.ClearRequests();
    QTest::mouseClick(under, Qt::LeftButton, {}, local);
    EXPECT_EQ(server.Requests(), QStringList({Page12, "/img/0.jpg"}));
    EXPECT_TRUE(SubstanceImageForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(ImageArea, AFailedLoadStopsAtTheMessageAndMovesNoWindow)
{
    ShowSubstanceRecord("Atranorin");
    ViewRecordForm->Panel1->Click();
    ASSERT_TRUE(SubstanceImageForm->Visible());

    // The user has moved the windows since.
    ViewRecordForm->SetBounds(20, 30, ViewRecordForm->Width(), ViewRecordForm->Height());
    SubstanceImageForm->SetBounds(700, 60, SubstanceImageForm->Width(), SubstanceImageForm->Height());
    const QRect record = ViewRecordForm->BoundsRect();
    const QRect images = SubstanceImageForm->BoundsRect();

    server.Route("/img/0.jpg", FakeResponse::Ok("\xff\xd8\xff\xe0 this is not a picture", "image/jpeg"));
    TestDialogs().Reset();
    QTest::mouseClick(ViewRecordForm->Image1->Widget(), Qt::LeftButton);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Error connecting to internet"}));
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_TRUE(SubstanceImageForm->Visible());   // neither shown nor hidden by the failure
    EXPECT_EQ(ViewRecordForm->BoundsRect(), record);
    EXPECT_EQ(SubstanceImageForm->BoundsRect(), images);
}

} // namespace
