// Outer window sizes and size limits that hold from construction, also once
// the window system has added its frame; the form's key preview.
#include "support/ScriptedDialogs.h"
#include "framework/Framework.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class TSizedForm : public TForm {
public:
    explicit TSizedForm(TComponent* owner) : TForm(owner)
    {
        Name = "SizedForm";
        SetBorderStyle(bsSizeable);
        SetClientWidth(691);
        SetClientHeight(598);
        SetConstraints({300, 200, 0, 0});
    }
};

TEST(GuiWindowSize, MinimumOuterSizeHoldsBeforeAndAfterTheFirstShow)
{
    TSizedForm form(Application);
    form.SetBounds(10, 10, 100, 100);   // before any frame exists
    EXPECT_EQ(form.Width(), 300);
    EXPECT_EQ(form.Height(), 200);
    form.Show();
    EXPECT_EQ(form.Width(), 300);       // not 300 plus the frame
    EXPECT_EQ(form.Height(), 200);
    form.SetBounds(10, 10, 120, 80);
    EXPECT_EQ(form.Width(), 300);
    EXPECT_EQ(form.Height(), 200);
    form.SetBounds(10, 10, 450, 320);
    EXPECT_EQ(form.Width(), 450);
    EXPECT_EQ(form.Height(), 320);
}

TEST(GuiWindowSize, ClientSizeSetInTheConstructorSurvivesTheFrame)
{
    TSizedForm form(Application);
    form.Show();
    EXPECT_EQ(form.ClientWidth(), 691);
    EXPECT_EQ(form.ClientHeight(), 598);
    EXPECT_GE(form.Width(), 691);
}

// A fixed window whose outer size is set and limited to exactly that size.
class TFixedForm : public TForm {
public:
    explicit TFixedForm(TComponent* owner) : TForm(owner)
    {
        Name = "FixedForm";
        SetBorderStyle(bsSingle);
        SetBounds(0, 0, 640, 360);
        SetConstraints({640, 360, 640, 360});
    }
};

TEST(GuiWindowSize, FixedOuterSizeIsKeptWhenTheFrameAppears)
{
    TFixedForm form(Application);
    EXPECT_EQ(form.Width(), 640);
    form.Show();
    EXPECT_EQ(form.Width(), 640);
    EXPECT_EQ(form.Height(), 360);
    form.SetBounds(0, 0, 900, 100);     // limits win over a later request
    EXPECT_EQ(form.Width(), 640);
    EXPECT_EQ(form.Height(), 360);
    form.Hide();
    form.Show();
    EXPECT_EQ(form.Width(), 640);
}

TEST(GuiWindowSize, ConstraintsAfterAFixedBorderKeepTheWindowFixed)
{
    TForm form(Application);
    form.SetBorderStyle(bsDialog);
    form.SetClientWidth(200);
    form.SetConstraints({0, 0, 0, 0});
    form.Show();
    EXPECT_EQ(form.Widget()->minimumWidth(), form.Widget()->maximumWidth());
    EXPECT_EQ(form.ClientWidth(), 200);
}

class TPreviewForm : public TForm {
public:
    explicit TPreviewForm(TComponent* owner) : TForm(owner)
    {
        Name = "PreviewForm";
        SetClientWidth(300);
        SetClientHeight(120);
        Panel = new TPanel(this, this);
        Panel->SetBounds(0, 0, 300, 120);
        Edit = new TEdit(this, Panel);
        Edit->SetBounds(10, 10, 200, 20);
    }
    TPanel* Panel;
    TEdit* Edit;
};

TEST(GuiWindowSize, KeyPreviewLetsTheFormSeeKeysFirstAndOnce)
{
    TPreviewForm form(Application);
    std::vector<QString> order;
    form.OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        EXPECT_EQ(sender, &form);
        order.push_back(QString("form %1").arg(key));
        if (key == 'X') key = 0;   // swallowed
    };
    form.Edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { order.push_back(QString("edit %1").arg(key)); };
    form.Show();
    form.Edit->SetFocus();

    // Without the preview the form hears only keys its controls leave alone.
    QTest::keyClick(form.Edit->Widget(), Qt::Key_A);
    EXPECT_EQ(order, (std::vector<QString>{"edit 65"}));

    form.KeyPreview = true;
    order.clear();
    QTest::keyClick(form.Edit->Widget(), Qt::Key_B);
    QTest::keyClick(form.Edit->Widget(), Qt::Key_X);
    // Return is passed on to the parents by the line edit: still one preview.
    QTest::keyClick(form.Edit->Widget(), Qt::Key_Return);
    EXPECT_EQ(order, (std::vector<QString>{"form 66", "edit 66", "form 88", "form 13", "edit 13"}));
    EXPECT_EQ(form.Edit->Text(), "ab");
}

} // namespace
