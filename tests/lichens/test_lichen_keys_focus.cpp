// What the user types into the lichen list and sees of the current line in
// the lichen matches window: real key events and pixels.
#include "test_onelichen_kit.h"

#include "core/Queries.h"
#include "lichens/LichenMatches.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace {

class LichenListKeys : public LichenWindowTest {
protected:
    void SetUp() override
    {
        LichenWindowTest::SetUp();
        InternetEnabled = false;
        db.InsertLichen("Usnea florida", "usnic acid", "Usnea");
        db.InsertLichen("Cladonia rangiferina", "atranorin", "Cladonia");
        db.InsertLichen("cladonia arbuscula", "usnic acid", "Cladonia");
        LichenListForm->SearchWordEdit->SetText(QString());
        LichenListForm->LoadLichenList();
        LichenListForm->BringToFront();
        QApplication::processEvents();
    }
    QListWidget* List() const { return LichenListForm->LichenListBox->List(); }
    QStringList Lines() const { return LichenListForm->LichenListBox->Items()->ToStringList(); }
};

TEST_F(LichenListKeys, TypedKeysStartTheSearchText)
{
    TEdit* edit = LichenListForm->SearchWordEdit;
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;       // what the keyboard types with the key
        QString expected;   // the search text afterwards
    } cases[] = {
        {"letter", Qt::Key_K, Qt::NoModifier, "k", "k"},
        {"shifted letter", Qt::Key_K, Qt::ShiftModifier, "K", "k"},
        {"digit", Qt::Key_5, Qt::NoModifier, "5", "5"},
        // The numeric pad types its digit, not the letter its old key code
        // happened to share.
        {"keypad digit", Qt::Key_5, Qt::KeypadModifier, "5", "5"},
        {"keypad 1", Qt::Key_1, Qt::KeypadModifier, "1", "1"},
        // Letters beyond ASCII only move the focus; a code wider than a byte
        // does not turn into an unrelated Latin letter ("Ł" is 0x141).
        {"e acute", Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("é"), ""},
        {"O umlaut", Qt::Key_Odiaeresis, Qt::ShiftModifier, QStringLiteral("Ö"), ""},
        {"L stroke", Qt::Key(0x141), Qt::ShiftModifier, QStringLiteral("Ł"), ""},
        {"arrow", Qt::Key_Down, Qt::NoModifier, "", ""},
        {"space", Qt::Key_Space, Qt::NoModifier, " ", ""},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, "", ""},
        {"enter", Qt::Key_Return, Qt::NoModifier, "\r", ""},
        {"F1", Qt::Key_F1, Qt::NoModifier, "", "p"},
        // Keys without a code of the old keyboard table only move the focus;
        // their Qt codes cut to sixteen bits would type "s", "u", "v", "r".
        {"Super", Qt::Key_Super_L, Qt::NoModifier, "", ""},
        {"right Super", Qt::Key_Super_R, Qt::MetaModifier, "", ""},
        {"Meta", Qt::Key_Meta, Qt::MetaModifier, "", ""},
        {"Menu", Qt::Key_Menu, Qt::NoModifier, "", ""},
        {"Hyper", Qt::Key_Hyper_L, Qt::NoModifier, "", ""},
        {"volume up", Qt::Key_VolumeUp, Qt::NoModifier, "", ""},
        {"volume down", Qt::Key_VolumeDown, Qt::NoModifier, "", ""},
        {"play", Qt::Key_MediaPlay, Qt::NoModifier, "", ""},
        {"play/pause", Qt::Key_MediaTogglePlayPause, Qt::NoModifier, "", ""},
        // The punctuation keys have codes of 128 and above: focus only,
        // shifted or not, and on the numeric pad.
        {"comma", Qt::Key_Comma, Qt::NoModifier, ",", ""},
        {"period", Qt::Key_Period, Qt::NoModifier, ".", ""},
        {"minus", Qt::Key_Minus, Qt::NoModifier, "-", ""},
        {"slash", Qt::Key_Slash, Qt::NoModifier, "/", ""},
        {"semicolon", Qt::Key_Semicolon, Qt::NoModifier, ";", ""},
        {"colon", Qt::Key_Colon, Qt::ShiftModifier, ":", ""},
        {"equals", Qt::Key_Equal, Qt::NoModifier, "=", ""},
        {"quote", Qt::Key_Apostrophe, Qt::NoModifier, "'", ""},
        {"double quote", Qt::Key_QuoteDbl, Qt::ShiftModifier, "\"", ""},
        {"grave", Qt::Key_QuoteLeft, Qt::NoModifier, "`", ""},
        {"left bracket", Qt::Key_BracketLeft, Qt::NoModifier, "[", ""},
        {"right bracket", Qt::Key_BracketRight, Qt::NoModifier, "]", ""},
        {"left brace", Qt::Key_BraceLeft, Qt::ShiftModifier, "{", ""},
        {"backslash", Qt::Key_Backslash, Qt::NoModifier, "\\", ""},
        {"question mark", Qt::Key_Question, Qt::ShiftModifier, "?", ""},
        {"underscore", Qt::Key_Underscore, Qt::ShiftModifier, "_", ""},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, "+", ""},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, "-", ""},
        // The signs over the digits type nothing either.
        {"percent", Qt::Key_Percent, Qt::ShiftModifier, "%", ""},
        {"open parenthesis", Qt::Key_ParenLeft, Qt::ShiftModifier, "(", ""},
        {"keypad times", Qt::Key_Asterisk, Qt::KeypadModifier, "*", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetText(QString());
        TestDialogs().Reset();
        List()->setFocus();
        ASSERT_TRUE(LichenListForm->LichenListBox->Focused());
        QTest::sendKeyEvent(QTest::Press, List(), c.key, c.text, c.modifiers);
        QTest::sendKeyEvent(QTest::Release, List(), c.key, c.text, c.modifiers);
        EXPECT_EQ(edit->Text(), c.expected);
        EXPECT_TRUE(edit->Focused());
        EXPECT_EQ(TestDialogs().EndKeyCount(), c.expected.isEmpty() ? 0 : 1);
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(edit->SelStart(), 1);
        }
        EXPECT_EQ(Lines().size(), 3);   // one character does not filter
        EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    }

    // While a search is shown, a letter typed in the list brings all back.
    QTest::keyClicks(edit->LineEdit(), "us");
    ASSERT_EQ(Lines(), QStringList({"Usnea florida", "cladonia arbuscula"}));
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_U);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Lines().size(), 3);
}

class LichenMatchesFocus : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
        Application->CreateForm(LichenMatchesForm);
        LichenMatchesForm->LichenListBox->Items()->Assign(
            {"Substances:", "Atranorin", "", "Lichens:", "Cladonia rangiferina", "Usnea"});
        LichenMatchesForm->Show();
        LichenMatchesForm->BringToFront();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete LichenMatchesForm;
        LichenMatchesForm = nullptr;
        SetMainDatabase(nullptr, nullptr);
    }
    QListWidget* List() const { return LichenMatchesForm->LichenListBox->List(); }
    QRect RowRect(int row) const { return List()->visualItemRect(List()->item(row)); }
    // Dark pixels along a row's right edge, where no text reaches.
    static int DarkDotsOnRightEdge(const QImage& image, const QRect& row)
    {
        int dark = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            if (qGray(image.pixel(row.right(), y)) < 100) ++dark;
        return dark;
    }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
};

TEST_F(LichenMatchesFocus, CurrentLineShowsTheDottedFocusRectangleOnly)
{
    // The user clicks a lichen line: it becomes the current line.
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowRect(4).center());
    ASSERT_EQ(LichenMatchesForm->LichenListBox->ItemIndex(), 4);
    ASSERT_TRUE(LichenMatchesForm->LichenListBox->Focused());
    QImage image = List()->viewport()->grab().toImage();

    const QRect current = RowRect(4);
    const int dots = DarkDotsOnRightEdge(image, current);
    EXPECT_GE(dots, current.height() / 2 - 1);   // every other pixel
    EXPECT_LT(dots, current.height());           // dotted, not a solid line
    for (int row : {1, 3, 5}) EXPECT_EQ(DarkDotsOnRightEdge(image, RowRect(row)), 0) << row;
    // Selected, yet drawn on the window colour like any other entry line.
    EXPECT_EQ(QColor(image.pixel(current.right() - 4, current.center().y())), clWindow);

    // A header line gets it too, over its shading.
    QTest::keyClick(List(), Qt::Key_Up);
    ASSERT_EQ(LichenMatchesForm->LichenListBox->ItemIndex(), 3);
    image = List()->viewport()->grab().toImage();
    EXPECT_GE(DarkDotsOnRightEdge(image, RowRect(3)), RowRect(3).height() / 2 - 1);
    EXPECT_EQ(QColor(image.pixel(RowRect(3).right() - 4, RowRect(3).center().y())), cl3DLight);
    EXPECT_EQ(DarkDotsOnRightEdge(image, RowRect(4)), 0);

    // Without the focus the list shows no rectangle.
    LichenMatchesForm->CloseButton->SetFocus();
    ASSERT_FALSE(LichenMatchesForm->LichenListBox->Focused());
    image = List()->viewport()->grab().toImage();
    EXPECT_EQ(DarkDotsOnRightEdge(image, RowRect(3)), 0);
}

} // namespace
