#pragma once
// The recording dialog double installed for the whole test run (main.cpp):
// no real box ever opens. Reach it with TestDialogs(); it is reset before
// every test.
//
//     TestDialogs().AnswerNext(mrCancel);            // the next question
//     ... run the command ...
//     EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data will be cleared.  Continue?"}));
//
// Unscripted questions are answered mrOk when the buttons hold OK, else mrYes
// when they hold Yes, else mrCancel. Unscripted file dialogs are cancelled.
#include "framework/Dialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

class ScriptedDialogs : public IDialogs {
public:
    struct Question { QString Text; TMsgDlgType Type; TMsgDlgButtons Buttons; };

    // IDialogs.
    void ShowMessage(const QString& text) override;
    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    QString FileDialog(const TFileDialogRequest& request) override;
    void OpenUrl(const QString& address) override;
    void SendEndKey() override;

    // Scripting.
    void AnswerNext(int modalResult) { answers.push_back(modalResult); }
    // The next file dialog returns this path; an empty path cancels it.
    void NextFileName(const QString& path) { fileNames.push_back(path); }
    // Does SendEndKey also move the caret of the focused edit (default true)?
    bool ApplyEndKey = true;

    // Records.
    const QStringList& Shown() const { return shown; }           // messages and questions, in order
    const QStringList& Messages() const { return messages; }     // ShowMessage texts only
    const std::vector<Question>& Questions() const { return questions; }
    const std::vector<TFileDialogRequest>& FileRequests() const { return fileRequests; }
    const QStringList& OpenedUrls() const { return urls; }
    int EndKeyCount() const { return endKeys; }
    int PendingAnswers() const { return int(answers.size()); }

    void Reset();

private:
    QStringList shown, messages, urls;
    std::vector<Question> questions;
    std::vector<TFileDialogRequest> fileRequests;
    std::deque<int> answers;
    std::deque<QString> fileNames;
    int endKeys = 0;
};

// The double of this test run (reset before each test).
ScriptedDialogs& TestDialogs();

// Halt is intercepted for the whole run: Halt(n) records n and throws EHalt.
// The status of the last Halt since the test began, or -1.
int LastHaltStatus();

// Grabs a window (or any control's widget) to build/screenshots/<name>.png;
// returns the file's path.
class TControl;
QString SaveScreenshot(TControl* control, const QString& name);
