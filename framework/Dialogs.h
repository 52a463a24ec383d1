#pragma once
// Message boxes, file dialogs, the shell's "open a web address" (also for a
// browser control's links that leave its site) and the End-key injection all
// go through one replaceable interface: the program installs the Qt implementation, tests a
// scripted double that answers and records.
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons and results; closing the box answers mrCancel.
enum TMsgDlgBtn { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
using TMsgDlgButtons = int;
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct TFileDialogRequest {
    bool Save = false;
    QString Title;
    QString Filter;       // "Spot files (*.spot)|*.spot|All files (*.*)|*.*"
    QString DefaultExt;   // without the dot
    QString FileName;     // initial name
    QString InitialDir;
};

// What Qt's file dialog is given for a request: its list of name filters
// (from Filter) and the name its name box starts with (FileName). A request
// with no filter whose name holds a wildcard ("*.scfg") asks for the files
// that name matches: the name becomes the one filter and the name box starts
// empty, so Open never takes the wildcard for the name of a file.
struct TQtFileDialogNames {
    QStringList Filters;
    QString FileName;
};
TQtFileDialogNames QtFileDialogNames(const TFileDialogRequest& request);

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual void ShowMessage(const QString& text) = 0;
    virtual int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Returns the chosen full path, or an empty text when cancelled.
    virtual QString FileDialog(const TFileDialogRequest& request) = 0;
    virtual void OpenUrl(const QString& address) = 0;
    // Caret of the focused edit to its end (one End key press).
    virtual void SendEndKey() = 0;
};

// The current implementation; never null.
IDialogs& Dialogs();
// Installs another implementation (tests); returns the previous one.
std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs);

inline void ShowMessage(const QString& text) { Dialogs().ShowMessage(text); }
inline int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{ return Dialogs().MessageDlg(text, type, buttons); }
