// The lichen search of the main window with more substances selected than
// a compound statement may hold: all rows selected with Ctrl+A, the count on
// the button, then the "View Lichens" button clicked, exact and inexact.
#include "test_mainwindow_fixture.h"

#include "identify/LichenSearch.h"

#include <QTest>

namespace {

class ManySelectedSubstances : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (int i = 0; i < 1200; ++i)
            names << QStringLiteral("Substance %1").arg(i, 4, 10, QLatin1Char('0'));
        db.Exec("BEGIN");
        for (int i = 0; i < names.size(); ++i) {
            db.InsertLichen("Usnea all", names[i].toUpper(), "Usnea");
            db.InsertLichen("Usnea more", names[i], "Usnea");
            if (i != 600)
                db.InsertLichen("Usnea most", names[i], "Usnea");
        }
        db.InsertLichen("Usnea more", "Other acid", "Usnea");
        db.Exec("COMMIT");
        db.CloseHandle();
        for (const QString& name : names) {
            TSubstanceRecord r;
            r.name = name;
            Form1->AddSpotListRow(r);
        }
        Form1->ViewLichensButton->SetEnabled(true);
    }

    QStringList names;
};

TEST_F(ManySelectedSubstances, TwelveHundredSelectedSubstancesFindTheirLichens)
{
    QWidget* list = Form1->SpotListView->Widget();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(Form1->SpotListView->SelectedItems().size(), 1200u);
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "2 Lichens");

    for (int exact : {1, 0}) {
        LichenMatchesForm->MatchRadio->SetItemIndex(exact ? 0 : 1);
        QTest::mouseClick(Form1->ViewLichensButton->Widget(), Qt::LeftButton);
        const QStringList lines = LichenLines();
        ASSERT_EQ(lines.size(), 1 + 1200 + 2 + (exact ? 1 : 2)) << exact;
        EXPECT_EQ(lines.mid(1, 1200), names);
        EXPECT_EQ(lines.mid(1201),
                  exact ? QStringList({"", "Lichens:", "Usnea all"})
                        : QStringList({"", "Lichens:", "Usnea all", "Usnea more"}));
    }
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_TRUE(LichenMatchesForm->Visible());
}

} // namespace
