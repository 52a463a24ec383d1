#include "test_onelichen_kit.h"

#include "core/FormMapping.h"
#include "substances/ViewRecord.h"

namespace {

class LichenListTest : public LichenWindowTest {
protected:
    void SetUp() override
    {
        LichenWindowTest::SetUp();
        InternetEnabled = false;   // the list itself never asks the portal
        db.InsertLichen("Usnea florida", "usnic acid", "Usnea");
        db.InsertLichen("Usnea florida", "thamnolic acid", "Usnea");
        db.InsertLichen("Cladonia rangiferina", "atranorin", "Cladonia");
        db.InsertLichen("cladonia arbuscula", "usnic acid", "Cladonia");
        db.InsertLichen("Lecanora_x", "atranorin", "Lecanora");
        db.InsertLichen("Lecanora muralis", "usnic acid", "Lecanora");
        LichenListForm->SearchWordEdit->SetText(QString());
        LichenListForm->LoadLichenList();
    }
    QStringList Lines() const { return LichenListForm->LichenListBox->Items()->ToStringList(); }
    const QStringList All = {"Cladonia rangiferina", "Lecanora muralis", "Lecanora_x", "Usnea florida",
                             "cladonia arbuscula"};
};

TEST_F(LichenListTest, LoadListsEveryLichenOnceAndShowsTheWindow)
{
    EXPECT_EQ(Lines(), All);   // the database's ORDER BY, each name once
    EXPECT_TRUE(LichenListForm->Visible());
    EXPECT_TRUE(LichenListForm->LichenListBox->Visible());
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Checked());
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Visible());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(WaitForm->Label1->Caption(), "Loading lichens...");
    EXPECT_EQ(LichenListForm->ClientWidth(), 327);
    EXPECT_EQ(LichenListForm->Tag, 100);
    SaveScreenshot(LichenListForm, "lichenlist_all");
}

TEST_F(LichenListTest, TwoCharactersFilterAndOneCharacterBringsAllBack)
{
    TEdit* edit = LichenListForm->SearchWordEdit;
    edit->SetText("c");
    EXPECT_EQ(Lines(), All);
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Checked());

    edit->SetText("cl");   // letter case does not matter
    EXPECT_EQ(Lines(), QStringList({"Cladonia rangiferina", "cladonia arbuscula"}));
    EXPECT_TRUE(LichenListForm->FilteredCheckbox->Checked());

    edit->SetText("a ra");
    EXPECT_EQ(Lines(), QStringList({"Cladonia rangiferina"}));

    edit->SetText("c");   // back to one character while filtered
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Lines(), All);
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Checked());

    // Wildcards keep their meaning; quotes are only text.
    edit->SetText("a_m");
    EXPECT_EQ(Lines(), QStringList({"Lecanora muralis"}));
    edit->SetText("Lec%x");
    EXPECT_EQ(Lines(), QStringList({"Lecanora_x"}));
    edit->SetText("a\" or \"1\"=\"1");
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(LichenListTest, KeysInTheListStartTheSearchText)
{
    TEdit* edit = LichenListForm->SearchWordEdit;
    const struct { WORD key; QString text; int endKeys; } cases[] = {
        {'K', "k", 1}, {'5', "5", 1}, {VK_LEFT, "", 0}, {VK_SPACE, "", 0}, {VK_RETURN, "", 0},
        {VK_BACK, "", 0}, {97 /* numeric pad 1 */, "a", 1}, {VK_F1, "p", 1}, {0xC0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        edit->SetText(QString());
        TestDialogs().Reset();
        WORD key = c.key;
        LichenListForm->LichenListBox->SetFocus();
        LichenListForm->LichenListBoxKeyDown(LichenListForm->LichenListBox, key, 0);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(TestDialogs().EndKeyCount(), c.endKeys);
    }

    // While a search is shown, one typed letter shows all lichens again.
    edit->SetText("us");
    ASSERT_EQ(Lines(), QStringList({"Usnea florida", "cladonia arbuscula"}));
    WORD key = 'U';
    LichenListForm->LichenListBoxKeyDown(LichenListForm->LichenListBox, key, 0);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Lines(), All);
}

TEST_F(LichenListTest, DoubleClickOpensTheLichenBesideTheList)
{
    const int centre = 100 + 800 / 2;
    LichenListForm->LichenListBoxDblClick(LichenListForm->LichenListBox);   // nothing selected
    EXPECT_FALSE(OneLichenForm->Visible());

    LichenListForm->LichenListBox->SetItemIndex(3);
    LichenListForm->LichenListBoxDblClick(LichenListForm->LichenListBox);
    EXPECT_TRUE(OneLichenForm->Visible());
    EXPECT_EQ(OneLichenForm->LichenNameLabel->Caption(), "Usnea florida");
    EXPECT_EQ(OneLichenForm->ListBox->Items()->ToStringList(), QStringList({"Usnic acid", "Thamnolic acid"}));
    EXPECT_EQ(LichenListForm->Left(), centre - LichenListForm->Width());
    EXPECT_EQ(OneLichenForm->Left(), centre);
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(WaitForm->Label1->Caption(), "Loading Usnea florida");
}

TEST_F(LichenListTest, ClosingTheListCentresALoneOneLichenWindow)
{
    const int centre = 100 + 800 / 2;
    ShowLichen("Usnea florida");

    // The Close button moves nothing.
    OneLichenForm->SetLeft(7);
    LichenListForm->CloseButton->Click();
    EXPECT_FALSE(LichenListForm->Visible());
    EXPECT_EQ(OneLichenForm->Left(), 7);

    // The close box with only the one-lichen window left: it is centred.
    LichenListForm->Show();
    OneLichenForm->SetLeft(7);
    LichenListForm->Close();
    EXPECT_FALSE(LichenListForm->Visible());
    EXPECT_EQ(OneLichenForm->Left(), centre - OneLichenForm->Width() / 2);

    // Another view window open: nothing moves.
    AddForm("RecordListForm", 270, true);
    LichenListForm->Show();
    OneLichenForm->SetLeft(7);
    LichenListForm->Close();
    EXPECT_EQ(OneLichenForm->Left(), 7);
}

TEST_F(LichenListTest, DoubleClickOnASubstanceOpensItsRecordReadOnly)
{
    db.InsertSubstance({{"name", "usnic acid"}});
    Application->CreateForm(ViewRecordForm);
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
    ShowLichen("Usnea florida");

    OneLichenForm->ListBoxDblClick(OneLichenForm->ListBox);   // nothing selected
    EXPECT_FALSE(ViewRecordForm->Visible());

    OneLichenForm->ListBox->SetItemIndex(0);
    OneLichenForm->ListBoxDblClick(OneLichenForm->ListBox);
    EXPECT_TRUE(ViewRecordForm->Visible());
    EXPECT_TRUE(ViewRecordForm->ReadOnlyCheckBox->Checked());
    delete ViewRecordForm;
    ViewRecordForm = nullptr;
}

} // namespace
