// The cune window: building the control list, its file, the correction it
// feeds into the spot list, and the commands it refuses.
#include "test_searchconfigwindow_kit.h"
#include "support/FileBytes.h"

#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <functional>

namespace {

class CuneWindow : public ConfigWindows {
protected:
    void SetUp() override
    {
        ConfigWindows::SetUp();
        db.InsertSubstance({{"name", "Atranorin"}, {"A", 30}, {"HPLC", 20}});
        db.InsertSubstance({{"name", "Zeorin"}, {"A", 60}});
        CreateCuneWindows();
    }
    // One control with its local values, as the user enters it.
    static void AddControl(const QString& name, const QString& a, const QString& hplc = {})
    {
        AddCuneControl(name);
        CuneForm->AEdit->SetText(a);
        CuneForm->HPLCEdit->SetText(hplc);
        CuneForm->AddButton->Click();
    }
    static QStringList Rows()
    {
        QStringList out;
        TListItems* items = CuneForm->CuneListView->Items();
        for (int i = 0; i < items->Count(); ++i)
            out << items->Item(i)->Caption() + " " + items->Item(i)->SubItems()->Strings(0);
        return out;
    }
    static void Select(int row)
    {
        CuneForm->CuneListView->ClearSelection();
        if (row >= 0)
            CuneForm->CuneListView->Items()->Item(row)->SetSelected(true);
    }
    static bool PanelEnabled() { return CuneForm->AEdit->Enabled() && CuneForm->AddButton->Enabled(); }
    static bool AcceptAndSaveEnabled()
    {
        EXPECT_EQ(CuneForm->AcceptButton->Enabled(), CuneForm->SaveCuneIcon->Enabled());
        return CuneForm->AcceptButton->Enabled();
    }
};

const QByteArray PlateFile = "Name: Atranorin\r\nA: 30\r\nHPLC: 20\r\n\r\n"
                             "Name: Atranorin\r\nA: 27\r\nHPLC: 18\r\n\r\n"
                             "Name: Zeorin\r\nA: 60\r\n\r\n"
                             "Name: Zeorin\r\nA: 50\r\n\r\n";

TEST_F(CuneWindow, ControlsFileAndCorrectedSpot)
{
    CuneForm->Show();
    EXPECT_FALSE(PanelEnabled());   // shown with an empty list
    EXPECT_FALSE(AcceptAndSaveEnabled());

    AddCuneControl("Atranorin");
    EXPECT_TRUE(PanelEnabled());
    EXPECT_EQ(Rows(), QStringList({"Atranorin - Published 30"}));
    EXPECT_FALSE(AcceptAndSaveEnabled());
    CuneForm->AEdit->SetText("27");
    CuneForm->HPLCEdit->SetText("18");
    CuneForm->AddButtonClick(nullptr);
    EXPECT_FALSE(PanelEnabled());
    EXPECT_EQ(CuneForm->AEdit->Text(), "");
    EXPECT_TRUE(AcceptAndSaveEnabled());
    AddControl("Zeorin", "50");
    EXPECT_EQ(Rows(), QStringList({"Atranorin - Published 30", "Atranorin - Local 27", "Zeorin - Published 60",
                                   "Zeorin - Local 50"}));
    EXPECT_EQ(CuneControls[1].HPLC, "18");
    EXPECT_EQ(CuneControls[1].B, "");

    const QString path = InDir("Plate 1.cune");
    TestDialogs().NextFileName(path);
    CuneForm->SaveCuneIconClick(nullptr);
    EXPECT_EQ(FileBytes(path, "<missing>"), PlateFile);
    ASSERT_EQ(TestDialogs().FileRequests().size(), 1u);
    EXPECT_EQ(TestDialogs().FileRequests()[0].Filter, "cune files (*.cune)|*.cune");
    EXPECT_EQ(Form1->CuneLabel->Caption(), "Plate 1");

    // Accept: the spot list gets the corrected row of the spot.
    TSubstanceRecord spot;
    spot.name = "Spot 1";
    spot.A = "40";
    Spots = {spot};
    CuneForm->AcceptButtonClick(nullptr);
    EXPECT_FALSE(CuneForm->Visible());
    EXPECT_TRUE(Form1->ApplyCuneCheckBox->Checked());
    TListItems* list = Form1->SpotListView->Items();
    ASSERT_GE(list->Count(), 2);
    EXPECT_EQ(list->Item(0)->Caption(), "Spot 1");
    EXPECT_EQ(list->Item(1)->Caption(), "Spot 1 - Cune");
    EXPECT_EQ(list->Item(1)->SubItems()->Strings(0), "45");
    EXPECT_TRUE(TestDialogs().Messages().isEmpty());

    // Reading the file back gives the same list.
    const TCuneControls saved = CuneControls;
    CuneControls.clear();
    RefillCuneList();
    Form1->CuneLabel->SetCaption("");
    TestDialogs().NextFileName(path);
    CuneForm->LoadCuneIconClick(nullptr);
    ASSERT_EQ(CuneControls.size(), 4u);
    for (size_t i = 0; i < saved.size(); ++i)
        for (int f = 0; f <= 8; ++f)
            EXPECT_EQ(CuneControls[i].Field(f), saved[i].Field(f)) << i << " field " << f;
    EXPECT_EQ(Rows().size(), 4);
    EXPECT_TRUE(CuneForm->Visible());
    EXPECT_FALSE(PanelEnabled());
    EXPECT_TRUE(Form1->ApplyCuneCheckBox->Enabled());
    EXPECT_EQ(Form1->CuneLabel->Caption(), "Plate 1");
    EXPECT_EQ(TestDialogs().FileRequests()[1].Filter, "Cune Files (*.cune)|*.cune");
}

TEST_F(CuneWindow, RefusedCommandsLeaveTheListAsItWas)
{
    CuneForm->Show();
    // "Add to table" before any control.
    CuneForm->AddButtonClick(nullptr);
    EXPECT_TRUE(CuneControls.empty());
    EXPECT_EQ(TestDialogs().Messages().size(), 1);

    // Another control while the last one lacks its local values.
    AddCuneControl("Atranorin");
    TestDialogs().Reset();
    AddCuneControl("Zeorin");
    CuneForm->AddCuneIconClick(nullptr);
    EXPECT_EQ(TestDialogs().Messages(),
              QStringList(2, "Please enter the local values of Atranorin first."));
    EXPECT_FALSE(RecordListForm->Visible());
    EXPECT_EQ(Rows(), QStringList({"Atranorin - Published 30"}));
    EXPECT_FALSE(AcceptAndSaveEnabled());

    // Editing a published row.
    TestDialogs().Reset();
    Select(0);
    CuneForm->Edit1Click(nullptr);
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"Cannot edit Published Values here"}));
    EXPECT_EQ(CuneForm->AddButton->Caption(), "Add to table");

    // Commands that need a selected row do nothing without one.
    CuneForm->AEdit->SetText("27");
    CuneForm->AddButtonClick(nullptr);
    const QStringList before = Rows();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Edit", [] { CuneForm->Edit1Click(nullptr); }},
        {"double-click", [] { CuneForm->CuneListViewDblClick(nullptr); }},
        {"Delete", [] { CuneForm->Delete1Click(nullptr); }},
        {"Delete icon", [] { CuneForm->DeleteCuneIconClick(nullptr); }},
    };
    for (const auto& [what, command] : commands) {
        SCOPED_TRACE(what);
        TestDialogs().Reset();
        Select(-1);
        command();
        EXPECT_EQ(Rows(), before);
        EXPECT_TRUE(TestDialogs().Messages().isEmpty());
        EXPECT_EQ(CuneForm->AddButton->Caption(), "Add to table");
    }
    EXPECT_FALSE(CuneForm->DeleteCuneIcon->Enabled());

    // A file that cannot be read.
    TestDialogs().Reset();
    TestDialogs().NextFileName(InDir("missing.cune"));
    CuneForm->LoadCuneIconClick(nullptr);
    EXPECT_EQ(TestDialogs().Messages().size(), 1);
    EXPECT_EQ(Rows(), before);
    EXPECT_TRUE(AcceptAndSaveEnabled());
}

TEST_F(CuneWindow, ReplaceChangesExactlyTheRecordThatEditOpened)
{
    AddControl("Atranorin", "27", "18");
    AddControl("Zeorin", "50");
    Select(1);
    CuneForm->CuneListViewDblClick(nullptr);
    EXPECT_EQ(CuneForm->AddButton->Caption(), "Replace");
    EXPECT_EQ(CuneForm->AEdit->Text(), "27");
    EXPECT_EQ(CuneForm->HPLCEdit->Text(), "18");
    EXPECT_TRUE(PanelEnabled());

    Select(3);   // the selection moves before the press
    CuneForm->AEdit->SetText("28");
    CuneForm->AddButtonClick(nullptr);
    EXPECT_EQ(Rows(), QStringList({"Atranorin - Published 30", "Atranorin - Local 28", "Zeorin - Published 60",
                                   "Zeorin - Local 50"}));
    EXPECT_EQ(CuneControls[1].name, "Atranorin");
    EXPECT_EQ(CuneControls[1].HPLC, "18");
    EXPECT_EQ(CuneForm->AddButton->Caption(), "Add to table");
    EXPECT_FALSE(PanelEnabled());
    EXPECT_EQ(CuneForm->AEdit->Text(), "");

    // A replace while a new control waits for its local values leaves the
    // panel open for them.
    AddCuneControl("Zeorin");
    Select(3);
    CuneForm->Edit1Click(nullptr);
    CuneForm->AEdit->SetText("51");
    CuneForm->AddButtonClick(nullptr);
    EXPECT_TRUE(PanelEnabled());
    CuneForm->AEdit->SetText("52");
    CuneForm->AddButtonClick(nullptr);
    EXPECT_EQ(Rows().mid(3), QStringList({"Zeorin - Local 51", "Zeorin - Published 60", "Zeorin - Local 52"}));
    EXPECT_FALSE(PanelEnabled());
}

TEST_F(CuneWindow, DeleteRemovesTheWholeControl)
{
    struct Case {
        const char* what;
        bool lastComplete;
        int row;
        QStringList remaining;
    };
    const Case cases[] = {
        {"published row of the first", true, 0, {"Zeorin - Published 60", "Zeorin - Local 50"}},
        {"local row of the second", true, 3, {"Atranorin - Published 30", "Atranorin - Local 27"}},
        {"last control without local values", false, 2, {"Atranorin - Published 30", "Atranorin - Local 27"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CuneControls.clear();
        AddControl("Atranorin", "27");
        if (c.lastComplete)
            AddControl("Zeorin", "50");
        else
            AddCuneControl("Zeorin");
        Select(c.row);
        CuneForm->Delete1Click(nullptr);
        EXPECT_EQ(Rows(), c.remaining);
        EXPECT_TRUE(AcceptAndSaveEnabled());
    }
    Form1->ApplyCuneCheckBox->SetChecked(true);
    Select(1);
    CuneForm->DeleteCuneIconClick(nullptr);
    EXPECT_TRUE(CuneControls.empty());
    EXPECT_FALSE(Form1->ApplyCuneCheckBox->Checked());
    EXPECT_FALSE(AcceptAndSaveEnabled());
}

TEST_F(CuneWindow, CancelClearsTheSwitchOnlyWithoutControls)
{
    Form1->ApplyCuneCheckBox->SetChecked(true);
    Form1->CuneLabel->SetCaption("Plate 1");
    AddControl("Atranorin", "27");
    CuneForm->Show();
    CuneForm->CancelButtonClick(nullptr);
    EXPECT_FALSE(CuneForm->Visible());
    EXPECT_TRUE(Form1->ApplyCuneCheckBox->Checked());
    EXPECT_EQ(Form1->CuneLabel->Caption(), "Plate 1");

    CuneControls.clear();
    CuneForm->Show();
    CuneForm->CancelButtonClick(nullptr);
    EXPECT_FALSE(CuneForm->Visible());
    EXPECT_FALSE(Form1->ApplyCuneCheckBox->Checked());
    EXPECT_EQ(Form1->CuneLabel->Caption(), "");
}

TEST_F(CuneWindow, CalculatorPastesIntoTheDoubleClickedField)
{
    AddCuneControl("Atranorin");
    CuneForm->BprimeEdit->SetText("7");
    CuneForm->AEditDblClick(CuneForm->BprimeEdit);
    EXPECT_EQ(RFFormOpener, "CuneForm");
    EXPECT_EQ(RFForm->Button1->Caption(), "Paste Bprime");
    EXPECT_TRUE(RFForm->Visible());
    EXPECT_EQ(RFForm->RFEdit->Text(), "");
    RFForm->SpotEdit->SetText("3");
    RFForm->SolventFrontEdit->SetText("6");
    RFForm->Button1Click(nullptr);
    EXPECT_EQ(CuneForm->BprimeEdit->Text(), "50");
    EXPECT_EQ(CuneForm->AEdit->Text(), "");
}

TEST_F(CuneWindow, AddIconOpensTheSubstanceListToPickAControl)
{
    CuneForm->Show();
    CuneForm->AddCuneIconClick(nullptr);
    EXPECT_TRUE(ChoosingCuneControl);
    EXPECT_TRUE(RecordListForm->Visible());
    EXPECT_EQ(RecordListForm->Caption(), "Select Cune Control Substance");
    EXPECT_FALSE(RecordListForm->SearchWordLabel->Visible());
    EXPECT_TRUE(RecordListForm->SearchWordEdit->Visible());
    EXPECT_GE(RecordListForm->RecordListBox->Items()->IndexOf("Zeorin"), 0);
    EXPECT_TRUE(Form1->ApplyCuneCheckBox->Enabled());
    EXPECT_EQ(Form1->CuneLabel->Caption(), "(Not saved)");
}

TEST_F(CuneWindow, RightClickOnARowOpensItsMenuAtThePointer)
{
    AddControl("Atranorin", "27");
    CuneForm->Show();
    QApplication::processEvents();
    QTreeWidget* tree = CuneForm->CuneListView->Tree();
    QWidget* window = CuneForm->Widget();
    QMenu* menu = CuneForm->PopupMenu1->SubMenu();
    for (int row : {1, 0}) {
        SCOPED_TRACE(row);
        Select(row);
        const QPoint at(30, tree->visualItemRect(tree->topLevelItem(row)).center().y());
        const QPoint pointer = tree->viewport()->mapToGlobal(at);
        // Through the window, so Qt finds the row under the pointer itself.
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, tree->viewport()->mapTo(window, at));
        ASSERT_TRUE(menu->isVisible());
        EXPECT_EQ(menu->geometry().topLeft(), pointer);
        // The menu acts on the row under the pointer.
        EXPECT_EQ(CuneForm->CuneListView->Selected(), CuneForm->CuneListView->Items()->Item(row));
        menu->hide();
    }
}

} // namespace
