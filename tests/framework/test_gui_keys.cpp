// The key codes OnKeyDown sees for real key presses: letters and digits as
// their upper-case ASCII codes, named keys by their codes, punctuation keys
// by the codes of their keys, and every other key as VK_NONE, never as a
// letter or named key its Qt code happens to share bits with.
#include "framework/Framework.h"

#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(GuiKeys, OnKeyDownSeesTheCodeOfTheKeyPressed)
{
    TForm form(Application);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* list = new TListBox(&form, &form);
    list->SetBounds(10, 10, 200, 150);
    list->Items()->Add("one");
    std::vector<WORD> seen;
    list->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen.push_back(key); };
    form.Show();
    list->SetFocus();

    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        WORD expected;
    } cases[] = {
        {"letter", Qt::Key_K, Qt::NoModifier, "k", 'K'},
        {"shifted letter", Qt::Key_K, Qt::ShiftModifier, "K", 'K'},
        {"digit", Qt::Key_7, Qt::NoModifier, "7", '7'},
        {"keypad digit", Qt::Key_7, Qt::KeypadModifier, "7", '7'},
        {"F1", Qt::Key_F1, Qt::NoModifier, "", VK_F1},
        {"Enter", Qt::Key_Return, Qt::NoModifier, "\r", VK_RETURN},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", VK_RETURN},
        {"Down", Qt::Key_Down, Qt::NoModifier, "", VK_DOWN},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, "", VK_TAB},
        {"semicolon", Qt::Key_Semicolon, Qt::NoModifier, ";", VK_OEM_1},
        {"colon", Qt::Key_Colon, Qt::ShiftModifier, ":", VK_OEM_1},
        {"equals", Qt::Key_Equal, Qt::NoModifier, "=", VK_OEM_PLUS},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, "+", VK_OEM_PLUS},
        {"comma", Qt::Key_Comma, Qt::NoModifier, ",", VK_OEM_COMMA},
        {"minus", Qt::Key_Minus, Qt::NoModifier, "-", VK_OEM_MINUS},
        {"period", Qt::Key_Period, Qt::NoModifier, ".", VK_OEM_PERIOD},
        {"slash", Qt::Key_Slash, Qt::NoModifier, "/", VK_OEM_2},
        {"grave", Qt::Key_QuoteLeft, Qt::NoModifier, "`", VK_OEM_3},
        {"left bracket", Qt::Key_BracketLeft, Qt::NoModifier, "[", VK_OEM_4},
        {"backslash", Qt::Key_Backslash, Qt::NoModifier, "\\", VK_OEM_5},
        {"right brace", Qt::Key_BraceRight, Qt::ShiftModifier, "}", VK_OEM_6},
        {"quote", Qt::Key_Apostrophe, Qt::NoModifier, "'", VK_OEM_7},
        // Cut to sixteen bits these would read as "S", "U", "V", Page Down,
        // "r", "p", Down, Up and a Latin letter.
        {"Super", Qt::Key_Super_L, Qt::NoModifier, "", VK_NONE},
        {"Menu", Qt::Key_Menu, Qt::NoModifier, "", VK_NONE},
        {"Hyper", Qt::Key_Hyper_L, Qt::NoModifier, "", VK_NONE},
        {"Meta", Qt::Key_Meta, Qt::MetaModifier, "", VK_NONE},
        {"volume up", Qt::Key_VolumeUp, Qt::NoModifier, "", VK_NONE},
        {"play", Qt::Key_MediaPlay, Qt::NoModifier, "", VK_NONE},
        {"open parenthesis", Qt::Key_ParenLeft, Qt::ShiftModifier, "(", VK_NONE},
        {"ampersand", Qt::Key_Ampersand, Qt::ShiftModifier, "&", VK_NONE},
        {"L stroke", Qt::Key(0x141), Qt::NoModifier, QStringLiteral("ł"), VK_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        QTest::sendKeyEvent(QTest::Press, list->List(), c.key, c.text, c.modifiers);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), c.expected);   // after any modifier key of its own
        QTest::sendKeyEvent(QTest::Release, list->List(), c.key, c.text, c.modifiers);
    }
}

} // namespace
