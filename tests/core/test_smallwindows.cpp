#include "core/FullScreenImage.h"
#include "support/QtPrinters.h"
#include "core/HelpWindow.h"
#include "core/HintWindow.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>


namespace {

template <class T> std::unique_ptr<T> Create(T*& global)
{
    Application->CreateForm(global);
    return std::unique_ptr<T>(global);
}

TEST(SmallWindows, ShowWaitCentresOverTheOwnerAndKeepsTheRest)
{
    TForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    std::unique_ptr<TForm> mainWindow(mainForm);
    mainForm->SetBounds(200, 100, 900, 600);
    auto wait = Create(WaitForm);
    EXPECT_EQ(WaitForm->ClientWidth(), 280);
    EXPECT_EQ(WaitForm->Label1->Caption(), "This may take a few seconds...");
    EXPECT_EQ(WaitForm->Caption(), "Updating Lichen Data");

    TForm owner(nullptr);
    owner.SetBounds(150, 80, 701, 300);
    ShowWait("Reading...", &owner);
    EXPECT_TRUE(WaitForm->Visible());
    EXPECT_EQ(WaitForm->Label1->Caption(), "Reading...");
    const int w = WaitForm->Width();
    EXPECT_EQ(WaitForm->Left(), 150 + (701 - w) / 2);
    const int top = WaitForm->Top();

    // A narrow owner: the wait window reaches out to its left.
    WaitForm->ProgressBar1->SetPosition(40);
    owner.SetBounds(500, 400, 101, 50);
    ShowWait("Still reading...", &owner);
    EXPECT_EQ(WaitForm->Left(), 500 + (101 - w) / 2);   // truncated toward zero
    EXPECT_LT(WaitForm->Left(), 500);
    EXPECT_EQ(WaitForm->Top(), top);
    EXPECT_EQ(WaitForm->ProgressBar1->Position(), 40);
    EXPECT_EQ(WaitForm->Label1->Caption(), "Still reading...");
    EXPECT_EQ(WaitForm->Label1->Width(), 225);
    WaitForm->Hide();
}

TEST(SmallWindows, ShowWaitRunsPendingEventsButHoldsBackInput)
{
    auto wait = Create(WaitForm);
    TForm owner(nullptr);
    owner.SetBounds(100, 100, 400, 300);
    auto* button = new TButton(&owner, &owner);
    button->SetBounds(10, 10, 80, 25);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    owner.Show();

    QWidget* widget = button->Widget();
    const QPoint c = widget->rect().center();
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, c, widget->mapToGlobal(c),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, c, widget->mapToGlobal(c),
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    bool pendingRan = false;
    QTimer::singleShot(0, [&] { pendingRan = true; });

    ShowWait("Working...", &owner);
    EXPECT_TRUE(pendingRan);    // painted and other pending work done
    EXPECT_EQ(clicks, 0);       // the click waits for the event loop
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    WaitForm->Hide();
}

TEST(SmallWindows, HelpWindowFollowsItsSizeAndOpensTheContents)
{
    auto help = Create(HelpForm);
    EXPECT_EQ(HelpForm->ClientWidth(), 691);
    EXPECT_EQ(HelpForm->ClientHeight(), 598);
    HelpForm->Show();
    HelpForm->SetBounds(HelpForm->Left(), HelpForm->Top(), 300, 200);
    ASSERT_EQ(HelpForm->Width(), 300);
    ASSERT_EQ(HelpForm->Height(), 200);
    EXPECT_EQ(HelpForm->WebBrowser->Width(), 230);
    EXPECT_EQ(HelpForm->WebBrowser->Height(), 60);
    EXPECT_EQ(HelpForm->WebBrowser->Left(), 24);
    EXPECT_EQ(HelpForm->WebBrowser->Top(), 16);
    EXPECT_EQ(HelpForm->CloseButton->Top(), 110);
    EXPECT_EQ(HelpForm->CloseButton->Left(), 155);
    EXPECT_EQ(HelpForm->ContentsButton->Top(), 110);
    EXPECT_EQ(HelpForm->ContentsButton->Left(), 55);

    // Smaller than allowed: held at the minimum.
    HelpForm->SetBounds(HelpForm->Left(), HelpForm->Top(), 100, 50);
    EXPECT_EQ(HelpForm->Width(), 300);
    EXPECT_EQ(HelpForm->Height(), 200);

    HelpForm->ContentsButton->Click();
    const QString contents = HelpSiteAddress + "/Quillaspore/Contents.html";
    EXPECT_EQ(HelpContentsPage(), contents);
    EXPECT_EQ(HelpSearchConfigurationPage(), HelpSiteAddress + "/Quillaspore/SearchConfiguration.html");
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), contents);
    // Shown in the window itself, not handed to the desktop.
    EXPECT_TRUE(HelpForm->WebBrowser->Browser()->toPlainText().contains("Quillaspore Help"));
    EXPECT_TRUE(TestDialogs().OpenedUrls().isEmpty());

    QTest::keyClick(HelpForm->ContentsButton->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(HelpForm->Visible());
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), contents);
    HelpForm->Show();
    HelpForm->CloseButton->Click();
    EXPECT_FALSE(HelpForm->Visible());
}

TEST(SmallWindows, FullScreenAndHintWindowsAreBuiltAsGiven)
{
    auto full = Create(FullScreenImageForm);
    EXPECT_EQ(FullScreenImageForm->WindowState(), wsMaximized);
    EXPECT_TRUE(FullScreenImageForm->Image1->Stretch());
    EXPECT_TRUE(FullScreenImageForm->Image1->Proportional());
    EXPECT_TRUE(FullScreenImageForm->Image1->Center());
    EXPECT_EQ(FullScreenImageForm->Panel1->Height(), 41);
    EXPECT_EQ(FullScreenImageForm->CloseButton->Parent(), FullScreenImageForm->Panel1);
    FullScreenImageForm->Show();
    FullScreenImageForm->Image1->OnDblClick(FullScreenImageForm->Image1);
    EXPECT_TRUE(FullScreenImageForm->Visible());
    FullScreenImageForm->CloseButton->Click();
    EXPECT_FALSE(FullScreenImageForm->Visible());
    FullScreenImageForm->Show();
    QTest::keyClick(FullScreenImageForm->CloseButton->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(FullScreenImageForm->Visible());

    auto hint = Create(HintForm);
    EXPECT_EQ(HintForm->BorderStyle(), bsNone);
    EXPECT_EQ(HintForm->Panel->Caption(), "Panel");
    EXPECT_EQ(HintForm->Panel->Width(), 97);
    EXPECT_FALSE(HintForm->Panel->ShowHint());
    EXPECT_FALSE(HintForm->Visible());
}

} // namespace
