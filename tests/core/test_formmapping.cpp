#include "core/FormMapping.h"
#include "support/QtPrinters.h"
#include "core/Queries.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>

#include <memory>


namespace {

// A record window in miniature: the control kinds the Tags stand for, two
// edits sharing Tag 1, and controls that carry no field.
class TaggedForm : public TForm {
public:
    explicit TaggedForm(TComponent* owner) : TForm(owner)
    {
        Untagged = Make<TEdit>(0);
        Negative = Make<TEdit>(-1);
        EditA = Make<TEdit>(1);
        EditA2 = Make<TEdit>(1);
        BefVis = Make<TCheckBox>(9);
        BefUVL = Make<TComboBox>(11);
        KResult = Make<TComboBox>(15);
        Notes = Make<TMemo>(25);
        Related = Make<TListBox>(26);
        Synonyms = Make<TMemo>(27);
        ClassEdit = Make<TEdit>(28);
    }
    template <class T> T* Make(int tag)
    {
        T* c = new T(this, this);
        c->Tag = tag;
        return c;
    }
    TEdit *Untagged, *Negative, *EditA, *EditA2, *ClassEdit;
    TCheckBox* BefVis;
    TComboBox *BefUVL, *KResult;
    TMemo *Notes, *Synonyms;
    TListBox* Related;
};

TEST(FormMapping, ReadsAndSetsTheFirstControlOfEachTag)
{
    TForm plain(nullptr);
    (new TEdit(&plain, &plain))->SetText("ignored");
    TSubstanceRecord empty = FormToRecord(&plain);
    for (int i = 0; i < FieldCount; ++i) EXPECT_EQ(empty.Field(i), "") << i;
    EXPECT_EQ(empty.MatchScore, 0.0f);

    TaggedForm form(nullptr);
    form.Untagged->SetText("untouched");
    SetControlByTag(&form, 1, "42");
    SetControlByTag(&form, 9, "+");
    SetControlByTag(&form, 11, "Yellow");
    SetControlByTag(&form, 15, "K+ red");
    SetControlByTag(&form, 25, "line1\r\nline2");
    SetControlByTag(&form, 28, "Depside");
    SetControlByTag(&form, 0, "never");
    SetControlByTag(&form, 5, "no such control");
    EXPECT_EQ(form.EditA->Text(), "42");
    EXPECT_EQ(form.EditA2->Text(), "");
    EXPECT_TRUE(form.BefVis->Checked());
    EXPECT_EQ(form.Untagged->Text(), "untouched");

    form.EditA2->SetText("second");
    form.Negative->SetText("minus");
    TSubstanceRecord r = FormToRecord(&form);
    EXPECT_EQ(r.A, "42");
    EXPECT_EQ(r.BefVis, "+");
    EXPECT_EQ(r.BefUVL, "Yellow");
    EXPECT_EQ(r.KResult, "K+ red");
    EXPECT_EQ(r.Notes, "line1\r\nline2");
    EXPECT_EQ(r.Class, "Depside");
    EXPECT_EQ(r.name, "");
    EXPECT_EQ(r.B, "");

    // Any text but "+" unchecks; an unchecked box reads as the empty text.
    for (QString text : {"-", "", "yes", " +"}) {
        SetControlByTag(&form, 9, "+");
        SetControlByTag(&form, 9, text);
        EXPECT_FALSE(form.BefVis->Checked()) << text.toStdString();
        TSubstanceRecord one;
        one.BefVis = "stale";
        ReadControlByTag(&form, 9, one);
        EXPECT_EQ(one.BefVis, "");
    }
}

TEST(FormMapping, AddsItemsToEveryComboBoxKeepingTheirText)
{
    TaggedForm form(nullptr);
    form.BefUVL->SetText("Blue");
    AddItemToComboBoxes(&form, "Red");
    AddItemToComboBoxes(&form, "Green");
    for (TComboBox* combo : {form.BefUVL, form.KResult}) {
        ASSERT_EQ(combo->Items()->Count(), 2);
        EXPECT_EQ(combo->Items()->Strings(0), "Red");
        EXPECT_EQ(combo->Items()->Strings(1), "Green");
    }
    EXPECT_EQ(form.BefUVL->Text(), "Blue");
    EXPECT_EQ(form.KResult->Text(), "");
}

class FormFromQuery : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"BefVis", "+"}, {"BefUVS", "-"},
                            {"Related", "Chloroatranorin, Usnic, A"},
                            {"Synonyms", "atranorine, parmelin"}, {"Class", "Depside"}});
        db.InsertSubstance({{"name", "Zeorin"}, {"Related", "A, B"}, {"BefVis", " +"}});
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
    }
    void TearDown() override { SetMainDatabase(nullptr, nullptr); }
    void Select(const QString& name) { RunQuery("SELECT * FROM Substances WHERE name = ?", {name}); }
    QStringList Items() { return form.Related->Items()->ToStringList(); }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    TaggedForm form{nullptr};
};

TEST_F(FormFromQuery, FillsControlsByKind)
{
    Select("Atranorin");
    for (int tag : {1, 9, 10, 26, 27, 28}) SetControlFromQuery(&form, tag);
    EXPECT_EQ(form.EditA->Text(), "75");
    EXPECT_TRUE(form.BefVis->Checked());
    // Short names are listed too, so saving the record keeps them.
    EXPECT_EQ(Items(), QStringList({"Chloroatranorin", "Usnic", "A"}));
    EXPECT_EQ(form.Synonyms->Text(), "atranorine\r\nparmelin");
    EXPECT_EQ(form.ClassEdit->Text(), "Depside");

    Select("Zeorin");
    for (int tag : {9, 26, 27, 28}) SetControlFromQuery(&form, tag);
    EXPECT_FALSE(form.BefVis->Checked());   // only exactly "+" checks
    EXPECT_EQ(Items(), QStringList({"A", "B"}));
    EXPECT_EQ(form.Synonyms->Text(), "");
    EXPECT_EQ(form.ClassEdit->Text(), "");
}

TEST_F(FormFromQuery, AMissingColumnRaisesBeforeAnyControlChanges)
{
    form.EditA->SetText("keep");
    RunQuery("SELECT name FROM Substances");
    EXPECT_THROW(SetControlFromQuery(&form, 1), EDatabaseError);
    EXPECT_EQ(form.EditA->Text(), "keep");
}

// Windows of the application, removed again at the end of each test.
class AppWindows : public ::testing::Test {
protected:
    TForm* Window(const QString& name, int left, int top, int width, int height, int tag = 0)
    {
        TForm* f = nullptr;
        Application->CreateForm(f);
        f->Name = name;
        f->Tag = tag;
        f->SetBounds(left, top, width, height);
        windows.emplace_back(f);
        return f;
    }
    std::vector<std::unique_ptr<TForm>> windows;
};

TEST_F(AppWindows, LookupByNameTagAndVisibility)
{
    TForm* main = Window("TestMainForm", 0, 0, 400, 300);
    TForm* list = Window("TestListForm", 0, 0, 200, 100, 100);
    TForm* one = Window("TestOneForm", 0, 0, 200, 100, 101);
    TForm* config = Window("TestConfigForm", 0, 0, 200, 100, 2);
    TForm* copy = Window("TestCompare7", 0, 0, 200, 100, 101);
    int before = CountViewWindows();

    config->Show();
    one->Show();
    EXPECT_EQ(CountViewWindows(), before + 1);
    list->Show();
    copy->Show();
    EXPECT_EQ(CountViewWindows(), before + 3);
    EXPECT_TRUE(ShowingFormNameContains("TestCompare"));
    copy->Hide();
    EXPECT_FALSE(ShowingFormNameContains("TestCompare"));
    EXPECT_EQ(CountViewWindows(), before + 2);

    EXPECT_TRUE(IsFormShowing(one));
    EXPECT_FALSE(IsFormShowing(main));
    EXPECT_TRUE(FormNameExists("TestCompare7"));
    EXPECT_FALSE(FormNameExists("testcompare7"));
    EXPECT_FALSE(FormNameExists("TestCompare"));
    EXPECT_EQ(FindFormByName("TestOneForm"), one);
    EXPECT_EQ(FindFormByName("NoSuchForm"), nullptr);
    for (TForm* f : {list, one, config}) f->Hide();
}

TEST_F(AppWindows, PlacesAroundTheMainWindowsCentreLine)
{
    Window("TestMainForm", 101, 50, 801, 600);   // centre line at 101 + 400 = 501
    TForm* a = Window("TestA", 7, 20, 301, 200);
    TForm* b = Window("TestB", 9, 30, 250, 200);
    PlaceSideBySide(a);
    EXPECT_EQ(a->Left(), 501 - 150);
    EXPECT_EQ(a->Top(), 20);
    EXPECT_EQ(a->Width(), 301);
    PlaceSideBySide(a, b);
    EXPECT_EQ(a->Left(), 501 - 301);
    EXPECT_EQ(b->Left(), 501);
    EXPECT_EQ(a->Top(), 20);
    EXPECT_EQ(b->Top(), 30);
    EXPECT_FALSE(a->Visible());
}

TEST_F(AppWindows, ArrangesOneComparisonCopyBesideTheRecordWindow)
{
    Window("TestMainForm", 100, 50, 800, 600);   // centre line at 500
    TForm* record = Window("ViewRecordForm", 0, 40, 300, 400, 100);
    TForm* c1 = Window("Compare1", 0, 90, 320, 400, 101);
    ArrangeCompareWindows();
    EXPECT_EQ(record->Left(), 200);
    EXPECT_EQ(c1->Left(), 500);
    EXPECT_EQ(record->Top(), 40);
    EXPECT_EQ(c1->Top(), 90);
}

TEST_F(AppWindows, ArrangesFourComparisonCopiesInARowAndACascade)
{
    Window("TestMainForm", 100, 50, 800, 600);
    TForm* record = Window("ViewRecordForm", 0, 40, 300, 400, 100);
    TForm* c1 = Window("Compare1", 0, 0, 301, 400, 101);
    TForm* c2 = Window("Compare2", 0, 0, 303, 400, 101);
    TForm* c3 = Window("Compare3", 0, 0, 300, 400, 101);
    TForm* c4 = Window("Compare4", 0, 0, 300, 400, 101);
    TForm* c6 = Window("Compare6", 5, 6, 300, 400, 101);   // after a gap: not reached
    ArrangeCompareWindows();
    EXPECT_EQ(record->Left(), 500 - 450);
    EXPECT_EQ(record->Top(), 40);
    EXPECT_EQ(QPoint(c1->Left(), c1->Top()), QPoint(500 - 150, 40));
    EXPECT_EQ(QPoint(c2->Left(), c2->Top()), QPoint(500 + 151, 40));
    EXPECT_EQ(QPoint(c3->Left(), c3->Top()), QPoint(50 + 60, 40 + 60));
    EXPECT_EQ(QPoint(c4->Left(), c4->Top()), QPoint(50 + 120, 40 + 120));
    EXPECT_EQ(QPoint(c6->Left(), c6->Top()), QPoint(5, 6));
    EXPECT_EQ(c2->Width(), 303);
}

} // namespace
