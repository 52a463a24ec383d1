// Comparison windows: created on demand, renumbered on close, at most nine,
// all freed when the main record window closes.
#include "test_subswin_kit.h"

#include "core/FormMapping.h"

namespace {

using CompareWindows = SubstanceWindowTest;

TEST_F(CompareWindows, OpenRenumberRefuseAndFree)
{
    ShowSubstanceRecord("Atranorin");
    TViewRecordForm* f = ViewRecordForm;
    // No selection: the first related compound is compared.
    f->BioRelatedListBox->SetItemIndex(-1);
    f->Compare1->Click();
    f->BioRelatedListBox->SetItemIndex(1);
    f->Compare1->Click();
    f->BioRelatedListBox->SetItemIndex(0);
    f->Compare1->Click();
    auto windows = RecordWindows();
    ASSERT_EQ(windows.size(), 4u);
    TViewRecordForm* c1 = windows[1];
    TViewRecordForm* c2 = windows[2];
    TViewRecordForm* c3 = windows[3];
    EXPECT_EQ(c1->Name, "Compare1");
    EXPECT_EQ(c2->Name, "Compare2");
    EXPECT_EQ(c3->Name, "Compare3");
    EXPECT_EQ(c1->NameEdit->Text(), "Chloroatranorin");
    EXPECT_EQ(c2->NameEdit->Text(), "Usnic acid");
    EXPECT_EQ(c1->Tag, 101);
    EXPECT_EQ(c1->Color(), clSkyBlue);
    EXPECT_FALSE(c1->SaveButton->Visible());
    EXPECT_FALSE(c1->ReadOnlyCheckBox->Visible());
    EXPECT_TRUE(c1->AEdit->ReadOnly());
    EXPECT_TRUE(c3->Visible());
    EXPECT_EQ(CountViewWindows(), 4);
    // The row of three on the main window's centre line, the third cascaded.
    const int centre = mainForm->Left() + mainForm->Width() / 2;
    EXPECT_EQ(c1->Left(), centre - c1->Width() / 2);
    EXPECT_EQ(c3->Left(), f->Left() + 60);
    EXPECT_EQ(c3->Top(), f->Top() + 60);
    EXPECT_EQ(f->NameEdit->Text(), "Atranorin");
    SaveScreenshot(c1, "compare_window");

    // Closing the second renumbers the third; it is freed only afterwards.
    c2->CloseButton->Click();
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(c3->Name, "Compare2");
    EXPECT_FALSE(FormNameExists("Compare3"));
    Application->ProcessMessages();
    EXPECT_EQ(RecordWindows().size(), 3u);

    // A copy compares from its own list too; the smallest free number is used.
    c1->BioRelatedListBox->SetItemIndex(0);
    c1->Compare1->Click();
    ASSERT_EQ(RecordWindows().size(), 4u);
    EXPECT_EQ(RecordWindows()[3]->Name, "Compare3");
    EXPECT_EQ(RecordWindows()[3]->NameEdit->Text(), "Atranorin");

    // Nine at most.
    while (RecordWindows().size() < 10) f->Compare1->Click();
    EXPECT_TRUE(FormNameExists("Compare9"));
    TestDialogs().Reset();
    f->Compare1->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Too many compares..."}));
    EXPECT_EQ(RecordWindows().size(), 10u);

    // Closing the main view frees every copy and hides the image window.
    SubstanceImageForm->Show();
    f->Close();
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(SubstanceImageForm->Visible());
    EXPECT_FALSE(FormNameExists("Compare1"));
    Application->ProcessMessages();
    EXPECT_EQ(RecordWindows().size(), 1u);
    EXPECT_EQ(CountViewWindows(), 0);
}

TEST_F(CompareWindows, ClosingTheFirstOfNineMovesTheOthersDown)
{
    ShowSubstanceRecord("Atranorin");
    for (int i = 0; i < 9; ++i) ViewRecordForm->Compare1->Click();
    std::vector<TViewRecordForm*> copies = RecordWindows();
    ASSERT_EQ(copies.size(), 10u);
    copies.erase(copies.begin());
    copies[0]->Close();
    Application->ProcessMessages();
    ASSERT_EQ(RecordWindows().size(), 9u);
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(copies[std::size_t(n)]->Name, QStringLiteral("Compare%1").arg(n));
    EXPECT_FALSE(FormNameExists("Compare9"));
    // The freed number is given out again.
    ViewRecordForm->Compare1->Click();
    EXPECT_TRUE(FormNameExists("Compare9"));
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(CompareWindows, NothingToCompare)
{
    ShowSubstanceRecord("Usnic acid");   // no related compounds
    ViewRecordForm->Compare1->Click();
    EXPECT_EQ(RecordWindows().size(), 1u);
    ViewRecordForm->BioRelatedListBox->AddItem("  Ghost [x]");
    ViewRecordForm->Compare1->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Ghost not found in database."}));
    EXPECT_EQ(RecordWindows().size(), 1u);
}

} // namespace
