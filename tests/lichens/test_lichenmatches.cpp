// The lichen matches window: the shaded header lines, the meaning of a
// double-clicked line (message, lichen, substance, nothing) and its layout.
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include "core/Queries.h"
#include "lichens/LichenMatches.h"
#include "lichens/OneLichen.h"
#include "substances/ViewRecord.h"

#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class LichenMatches : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.InsertLichen("Cladonia rangiferina", "Atranorin", "Cladonia");
        db.InsertLichen("Usnea", "Usnic acid", "Usnea");
        db.InsertLichen("Lecanora \"x\"", "Atranorin", "Lecanora");
        db.InsertSubstance({{"name", "Atranorin"}});
        db.InsertSubstance({{"name", "Usnea"}});
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
        Application->CreateForm(LichenMatchesForm);
        LichenMatchesOpenLichen = [this](const QString& name) { opened << "lichen " + name; };
        LichenMatchesOpenSubstance = [this](const QString& name) { opened << "substance " + name; };
        LichenMatchesForm->LichenListBox->Items()->Assign(
            {"Substances:", "Atranorin", "", "Lichens:", "Cladonia rangiferina", "Usnea",
             "Lecanora \"x\"", "Nothing", "substances:", "Lichens: "});
    }
    void TearDown() override
    {
        delete LichenMatchesForm;
        LichenMatchesForm = nullptr;
        // Back to the program's own wiring for the tests that follow.
        LichenMatchesOpenLichen = ShowLichen;
        LichenMatchesOpenSubstance = ShowSubstanceRecord;
        SetMainDatabase(nullptr, nullptr);
    }
    void DoubleClick(int index)
    {
        LichenMatchesForm->LichenListBox->SetItemIndex(index);
        LichenMatchesForm->LichenListBoxDblClick(LichenMatchesForm->LichenListBox);
    }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    QStringList opened;
};

TEST_F(LichenMatches, DoubleClickedLineOpensLichenOrSubstanceOrExplains)
{
    DoubleClick(3);
    DoubleClick(0);
    DoubleClick(2);
    EXPECT_EQ(TestDialogs().Messages(),
              QStringList({"Cannot select word Lichens:", "Cannot select word Substances:",
                           "Cannot select blank line."}));
    EXPECT_TRUE(opened.isEmpty());

    DoubleClick(4);
    DoubleClick(5);   // a lichen wins over a substance of the same name
    DoubleClick(6);   // a quote in the name is no problem for the statement
    DoubleClick(1);
    DoubleClick(7);   // neither: nothing opens, nothing is said
    DoubleClick(9);   // not exactly a header: an entry
    EXPECT_EQ(opened, QStringList({"lichen Cladonia rangiferina", "lichen Usnea", "lichen Lecanora \"x\"",
                                   "substance Atranorin"}));
    EXPECT_EQ(TestDialogs().Messages().size(), 3);

    LichenMatchesForm->LichenListBox->SetItemIndex(-1);
    LichenMatchesForm->LichenListBoxDblClick(LichenMatchesForm->LichenListBox);
    EXPECT_EQ(opened.size(), 4);
}

TEST_F(LichenMatches, HeaderLinesAreShadedAndARealDoubleClickIsWired)
{
    TLichenMatchesForm* form = LichenMatchesForm;
    form->Show();
    QListWidget* list = form->LichenListBox->List();
    const QImage image = list->viewport()->grab().toImage();
    auto background = [&](int row) {
        const QRect r = list->visualItemRect(list->item(row));
        return QColor(image.pixel(r.right() - 4, r.center().y()));
    };
    EXPECT_EQ(background(0), cl3DLight);   // "Substances:"
    EXPECT_EQ(background(3), cl3DLight);   // "Lichens:"
    EXPECT_EQ(background(1), clWindow);
    EXPECT_EQ(background(2), clWindow);
    EXPECT_EQ(background(8), clWindow);    // other letter case
    EXPECT_EQ(background(9), clWindow);    // trailing blank

    const QRect r = list->visualItemRect(list->item(4));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(opened, QStringList({"lichen Cladonia rangiferina"}));
}

TEST_F(LichenMatches, WindowStartsInexactAndCloseOnlyHides)
{
    TLichenMatchesForm* form = LichenMatchesForm;
    EXPECT_EQ(form->Caption(), "Lichen Matches");
    EXPECT_EQ(form->Tag, -1);
    EXPECT_EQ(form->ClientWidth(), 359);
    EXPECT_EQ(form->ClientHeight(), 481);
    EXPECT_EQ(form->MatchRadio->Items()->ToStringList(), QStringList({"Exact", "Inexact"}));
    EXPECT_EQ(form->MatchRadio->ItemIndex(), 1);
    EXPECT_EQ(form->LichenListBox->BoundsRect(), QRect(16, 16, 329, 372));
    EXPECT_FALSE(form->LichenListBox->MultiSelect());
    form->Show();
    form->Close();   // the close box
    EXPECT_FALSE(form->Visible());
    form->Show();
    form->CloseButton->Click();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->LichenListBox->Items()->Count(), 10);
}

} // namespace
