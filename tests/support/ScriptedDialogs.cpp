#include "ScriptedDialogs.h"
#include "framework/Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

void ScriptedDialogs::ShowMessage(const QString& text)
{
    shown << text;
    messages << text;
}

int ScriptedDialogs::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    shown << text;
    questions.push_back({text, type, buttons});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    if (buttons & mbOK) return mrOk;
    if (buttons & mbYes) return mrYes;
    return mrCancel;
}

QString ScriptedDialogs::FileDialog(const TFileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (fileNames.empty()) return {};
    QString path = fileNames.front();
    fileNames.pop_front();
    return path;
}

void ScriptedDialogs::OpenUrl(const QString& address) { urls << address; }

void ScriptedDialogs::SendEndKey()
{
    ++endKeys;
    if (!ApplyEndKey) return;
    QWidget* w = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->end(false);
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) combo->lineEdit()->end(false);
}

void ScriptedDialogs::Reset()
{
    shown.clear();
    messages.clear();
    urls.clear();
    questions.clear();
    fileRequests.clear();
    answers.clear();
    fileNames.clear();
    endKeys = 0;
    ApplyEndKey = true;
}

QString SaveScreenshot(TControl* control, const QString& name)
{
    QDir dir(QStringLiteral(QS_BUILD_DIR "/screenshots"));
    dir.mkpath(QStringLiteral("."));
    QString path = dir.filePath(name + QStringLiteral(".png"));
    control->Widget()->grab().save(path, "PNG");
    return path;
}
