// Windows and the application object: close/hide/show rules, caFree
// deferred, exceptions from handlers caught and shown, CreateForm, Halt,
// ProcessMessages holding back user input, a window grabbed and clicked,
// the place Position gives at the first Show.
#include "support/ScriptedDialogs.h"
#include "framework/Framework.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TSmallForm : public TForm {
public:
    explicit TSmallForm(TComponent* owner) : TForm(owner)
    {
        Name = "SmallForm";
        SetCaption("Small");
        SetClientWidth(280);
        SetClientHeight(112);
        OKButton = new TButton(this, this);
        OKButton->Name = "OKButton";
        OKButton->SetBounds(16, 64, 89, 33);
        OKButton->SetCaption("OK");
        OKButton->OnClick = Bind(this, &TSmallForm::OKButtonClick);
        CloseButton = new TButton(this, this);
        CloseButton->SetBounds(144, 64, 89, 33);
        CloseButton->SetCaption("Close");
        CloseButton->SetCancel(true);
        CloseButton->OnClick = Bind(this, &TSmallForm::CloseButtonClick);
    }
    TButton* OKButton;
    TButton* CloseButton;
    int okClicks = 0;
    void OKButtonClick(TObject*) { ++okClicks; }
    void CloseButtonClick(TObject*) { Close(); }
};

TEST(GuiForms, CloseRunsOnCloseEvenWhenHiddenHideDoesNot)
{
    TSmallForm form(Application);
    int closes = 0, shows = 0;
    form.OnClose = [&](TObject*, TCloseAction& action) { ++closes; EXPECT_EQ(action, caHide); };
    form.OnShow = [&](TObject*) { ++shows; };
    form.Close();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form.Visible());
    form.Show();
    form.Show();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(form.Visible());
    form.Hide();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form.Visible());
    form.Show();
    EXPECT_EQ(shows, 2);
    form.OnClose = [&](TObject*, TCloseAction& action) { ++closes; action = caNone; };
    form.Close();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(closes, 2);
}

TEST(GuiForms, EscPressesCancelButtonAndCloses)
{
    TSmallForm form(Application);
    form.Show();
    form.OKButton->SetFocus();
    QTest::keyClick(form.OKButton->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(form.Visible());
}

TEST(GuiForms, CaFreeFreesAfterTheHandlerReturns)
{
    auto* form = new TSmallForm(Application);
    form->Name = "Compare1";
    int count = Application->ComponentCount();
    EXPECT_EQ(Application->Components(count - 1), form);
    bool aliveInHandler = false;
    form->OnClose = [&](TObject* sender, TCloseAction& action) {
        action = caFree;
        aliveInHandler = true;
    };
    QPointer<QWidget> widget = form->Widget();
    form->Show();
    form->Close();
    EXPECT_TRUE(aliveInHandler);
    EXPECT_TRUE(widget);                                  // not yet freed
    EXPECT_EQ(Application->ComponentCount(), count);
    QCoreApplication::processEvents();                    // back in the event loop
    EXPECT_FALSE(widget);
    EXPECT_EQ(Application->ComponentCount(), count - 1);
}

TEST(GuiForms, AWindowFreedByItsOwnHandlerOutlivesThatHandler)
{
    // A click handler closes its window with caFree and then lets events run
    // (as long operations do): the window must stay usable until it returns.
    auto* form = new TSmallForm(Application);
    form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    QPointer<QWidget> widget = form->Widget();
    bool aliveAfterEvents = false;
    form->OKButton->OnClick = [&](TObject*) {
        form->Close();
        Application->ProcessMessages();
        QCoreApplication::processEvents();
        aliveAfterEvents = bool(widget);
        form->OKButton->SetCaption("still here");
    };
    form->Show();
    QTest::mouseClick(form->OKButton->Widget(), Qt::LeftButton);
    EXPECT_TRUE(aliveAfterEvents);
    for (int i = 0; i < 20 && widget; ++i)   // freed once back in the event loop
        QTest::qWait(10);
    EXPECT_FALSE(widget);
}

TEST(GuiForms, ExceptionFromHandlerIsCaughtAndShown)
{
    TSmallForm form(Application);
    form.OKButton->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    form.Show();
    QTest::mouseClick(form.OKButton->Widget(), Qt::LeftButton);
    form.OKButton->OnClick = [](TObject*) { throw std::runtime_error("plain"); };
    QTest::mouseClick(form.OKButton->Widget(), Qt::LeftButton);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"'x' is not a valid integer value", "plain"}));
    // From code the exception goes to the caller.
    EXPECT_THROW(form.OKButton->Click(), std::runtime_error);
}

TEST(GuiForms, ScriptedQuestionsAreAnsweredAndRecorded)
{
    TestDialogs().AnswerNext(mrCancel);
    EXPECT_EQ(MessageDlg("Spot data will be cleared.  Continue?", TMsgDlgType::mtInformation, mbOK | mbCancel), mrCancel);
    EXPECT_EQ(MessageDlg("Again?", TMsgDlgType::mtConfirmation, mbOK | mbCancel), mrOk);   // unscripted
    ShowMessage("Done");
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data will be cleared.  Continue?", "Again?", "Done"}));
}

class TMainTestForm;
TMainTestForm* MainTestForm = nullptr;
bool globalSetInBody = false;

class TMainTestForm : public TForm {
public:
    explicit TMainTestForm(TComponent* owner) : TForm(owner)
    {
        globalSetInBody = (MainTestForm == this);
        Name = "MainTestForm";
    }
};

class TThrowingForm : public TForm {
public:
    explicit TThrowingForm(TComponent* owner) : TForm(owner)
    {
        Name = "Throwing";
        new TButton(this, this);
        throw Exception("Outdated database Quillaspore.db\r\nPlease update.");
    }
};
TThrowingForm* ThrowingForm = nullptr;

TEST(GuiForms, CreateFormSetsGlobalBeforeBodyAndFirstIsMain)
{
    int count = Application->ComponentCount();
    Application->CreateForm(MainTestForm);
    EXPECT_TRUE(globalSetInBody);
    EXPECT_EQ(Application->MainForm(), MainTestForm);
    EXPECT_EQ(Application->ComponentCount(), count + 1);
    try {
        Application->CreateForm(ThrowingForm);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Outdated database Quillaspore.db\r\nPlease update.");
    }
    EXPECT_EQ(ThrowingForm, nullptr);
    EXPECT_EQ(Application->ComponentCount(), count + 1);   // destroyed
    // Closing the main form terminates the application.
    MainTestForm->Close();
    EXPECT_TRUE(Application->Terminated());
    delete MainTestForm;
    MainTestForm = nullptr;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(GuiForms, HaltIsInterceptedInTests)
{
    EXPECT_THROW(Halt(3), EHalt);
    EXPECT_EQ(LastHaltStatus(), 3);
    TSmallForm form(Application);
    form.OKButton->OnClick = [](TObject*) { Halt(0); };
    form.Show();
    QTest::mouseClick(form.OKButton->Widget(), Qt::LeftButton);   // swallowed by the dispatcher
    EXPECT_EQ(LastHaltStatus(), 0);
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST(GuiForms, ProcessMessagesDoesNotDeliverUserInput)
{
    TSmallForm form(Application);
    form.Show();
    QWidget* button = form.OKButton->Widget();
    QPoint c = button->rect().center();
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, c, button->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, c, button->mapToGlobal(c), Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    Application->ProcessMessages();
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(form.okClicks, 0);
    QCoreApplication::processEvents();   // the event loop delivers it later
    EXPECT_EQ(form.okClicks, 1);
}

TEST(GuiForms, FirstShowCentresOnlyTheCoordinatesCodeHasNotSet)
{
    struct Case {
        const char* what;
        bool setLeft, setTop, positionAgain;   // before the first Show
        bool leftKept, topKept;
    };
    const Case cases[] = {
        {"Left only", true, false, false, true, false},
        {"Top only", false, true, false, false, true},
        {"both", true, true, false, true, true},
        {"neither", false, false, false, false, false},
        {"SetPosition after a move", true, true, true, false, false},
    };
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSmallForm form(Application);
        form.SetPosition(poScreenCenter);
        if (c.setLeft) form.SetLeft(13);
        if (c.setTop) form.SetTop(17);
        if (c.positionAgain) form.SetPosition(poScreenCenter);
        form.Show();
        const int centredLeft = area.x() + (area.width() - form.Width()) / 2;
        const int centredTop = area.y() + (area.height() - form.Height()) / 2;
        ASSERT_NE(centredLeft, 13);
        ASSERT_NE(centredTop, 17);
        EXPECT_EQ(form.Left(), c.leftKept ? 13 : centredLeft);
        EXPECT_EQ(form.Top(), c.topKept ? 17 : centredTop);
    }
}

TEST(GuiForms, FormGeometryIsOuterBoundsAndClientBelowMenu)
{
    TSmallForm form(Application);
    form.SetBounds(50, 60, 300, 200);
    EXPECT_EQ(form.Left(), 50);
    EXPECT_EQ(form.Top(), 60);
    EXPECT_EQ(form.Width(), 300);
    EXPECT_EQ(form.Height(), 200);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form, menu);
    file->SetCaption("&File");
    auto* item = new TMenuItem(&form, file);
    item->SetCaption("&New...");
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(form.Menu(), menu);
    form.SetClientHeight(112);
    EXPECT_EQ(form.ClientHeight(), 112);
    EXPECT_GT(form.Height(), 112);
    EXPECT_EQ(form.OKButton->Widget()->mapTo(form.Widget(), QPoint(0, 0)).y(), 64 + (form.Height() - 112));
    item->Action()->trigger();
    EXPECT_EQ(clicks, 1);
    item->SetEnabled(false);
    EXPECT_FALSE(item->Action()->isEnabled());
}

TEST(GuiForms, WindowShownGrabbedAndDrivenWithAClick)
{
    TSmallForm form(Application);
    form.Show();
    QString path = SaveScreenshot(&form, "small_form");
    EXPECT_TRUE(QFileInfo(path).size() > 0);
    QImage shot(path);
    EXPECT_EQ(shot.size(), form.Widget()->size());
    QTest::mouseClick(form.OKButton->Widget(), Qt::LeftButton);
    EXPECT_EQ(form.okClicks, 1);
}
} // namespace
