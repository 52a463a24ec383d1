// The genus and group pick windows with the main window: OK sets the label,
// a double-click picks one, and every way out without OK puts the selection
// back to what the label shows, so the next matching filters on it.
#include "identify/test_mainwindow_fixture.h"

namespace {

QList<int> SelectedRows(TListBox* list)
{
    QList<int> rows;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (list->Selected(i)) rows << i;
    return rows;
}

void SelectOnly(TListBox* list, const QList<int>& rows)
{
    for (int i = 0; i < list->Items()->Count(); ++i)
        list->SetSelected(i, rows.contains(i));
}

using PickWindows = MainWindowTest;

TEST_F(PickWindows, GenusCancelAndCloseBoxRestoreTheShownSelection)
{
    Spots = {Spot(1, "75", "79")};
    SortColumn = 100;
    Form1->MatchAllSpots();
    ASSERT_TRUE(Row("Chloroatranorin"));   // only in Cladonia
    ASSERT_TRUE(Row("Atranorin"));

    Form1->FilterGenusCheckBox->SetChecked(true);
    ASSERT_TRUE(GenusForm->Visible());
    TListBox* list = GenusForm->GenusListBox;
    ASSERT_EQ(list->Items()->ToStringList(), QStringList({"Cladonia", "Parmelia", "Physcia"}));
    SelectOnly(list, {2});
    GenusForm->OKButton->Click();
    EXPECT_FALSE(GenusForm->Visible());
    EXPECT_EQ(Form1->GenusLabel->Caption(), "Physcia");
    EXPECT_FALSE(Row("Chloroatranorin"));

    // The user changes the selection, then leaves by Cancel or the close box.
    for (int way = 0; way < 2; ++way) {
        Form1->GenusLabelDblClick(Form1->GenusLabel);
        ASSERT_TRUE(GenusForm->Visible());
        SelectOnly(list, {0, 1});
        if (way == 0)
            GenusForm->CancelButton->Click();
        else
            GenusForm->Close();
        EXPECT_FALSE(GenusForm->Visible());
        EXPECT_EQ(SelectedRows(list), QList<int>({2})) << way;
        EXPECT_EQ(Form1->GenusLabel->Caption(), "Physcia");
        EXPECT_TRUE(Form1->FilterGenusCheckBox->Checked());
        Form1->MatchAllSpots();
        EXPECT_FALSE(Row("Chloroatranorin")) << way;
    }

    // A double-click picks the current item alone, whatever else was selected.
    Form1->GenusLabelDblClick(Form1->GenusLabel);
    SelectOnly(list, {0, 2});
    list->SetItemIndex(0);
    GenusForm->GenusListBoxDblClick(list);
    EXPECT_FALSE(GenusForm->Visible());
    EXPECT_EQ(Form1->GenusLabel->Caption(), "Cladonia");
    EXPECT_EQ(SelectedRows(list), QList<int>({0}));
    EXPECT_TRUE(Row("Chloroatranorin"));
    EXPECT_EQ(list->Items()->Count(), 3);   // filled once only
}

TEST_F(PickWindows, GroupOkWithoutSelectionKeepsOrDropsTheFilterAsTheLabelSays)
{
    // A group name holding ", " is restored as one name.
    db.InsertSubstance({{"name", "Emodin"}, {"A", 60}, {"GroupName", "Quinones, other"}});
    Form1->FilterGroupCheckBox->SetChecked(true);
    ASSERT_TRUE(GroupForm->Visible());
    TListBox* list = GroupForm->GroupListBox;
    ASSERT_EQ(list->Items()->ToStringList(),
              QStringList({"Depsides", "Depsidones", "Quinones, other", "Terpenoids"}));

    // Nothing chosen and an empty label: the filter goes off.
    GroupForm->OKButton->Click();
    EXPECT_FALSE(GroupForm->Visible());
    EXPECT_FALSE(Form1->FilterGroupCheckBox->Checked());

    Form1->FilterGroupCheckBox->SetChecked(true);
    SelectOnly(list, {0, 2});
    GroupForm->OKButton->Click();
    EXPECT_EQ(Form1->GroupLabel->Caption(), "Depsides, Quinones, other");

    // Nothing chosen but a label: the label stays and so does its selection.
    for (int way = 0; way < 2; ++way) {
        Form1->GroupLabelDblClick(Form1->GroupLabel);
        SelectOnly(list, {});
        (way == 0 ? GroupForm->OKButton : GroupForm->CancelButton)->Click();
        EXPECT_FALSE(GroupForm->Visible());
        EXPECT_EQ(Form1->GroupLabel->Caption(), "Depsides, Quinones, other");
        EXPECT_EQ(SelectedRows(list), QList<int>({0, 2})) << way;
        EXPECT_TRUE(Form1->FilterGroupCheckBox->Checked());
    }

    // Unchecking empties the label; checking again and cancelling clears the
    // stale selection and turns the filter off.
    Form1->FilterGroupCheckBox->SetChecked(false);
    EXPECT_EQ(Form1->GroupLabel->Caption(), "");
    Form1->FilterGroupCheckBox->SetChecked(true);
    ASSERT_TRUE(GroupForm->Visible());
    GroupForm->CancelButton->Click();
    EXPECT_TRUE(SelectedRows(list).isEmpty());
    EXPECT_FALSE(Form1->FilterGroupCheckBox->Checked());

    EXPECT_EQ(GroupForm->Caption(), "Group Filter");
    EXPECT_EQ(GroupForm->ClientWidth(), 264);
    EXPECT_EQ(GroupForm->ClientHeight(), 454);
    EXPECT_EQ(GenusForm->Caption(), "Genus Filter");
    EXPECT_EQ(GenusForm->ClientWidth(), 224);
    EXPECT_EQ(GenusForm->ClientHeight(), 562);
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_EQ(list->Hint(), "Double click to select");
}

} // namespace
