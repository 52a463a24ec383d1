// The program's implementation of IDialogs on Qt: message boxes, file
// dialogs, the desktop's "open a web address" and the End key.
#include "Dialogs.h"
#include "Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

QString BoxTitle()
{
    QString t = Application ? Application->Title() : QString();
    return t.isEmpty() ? QStringLiteral("Quillaspore") : t;
}

// "Spot files (*.spot)|*.spot|All files (*.*)|*.*" -> Qt's filter list.
QStringList QtFilters(const QString& filter)
{
    QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(u';', u' ');
        if (desc.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
            out << desc;
        else
            out << desc + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return out;
}

} // namespace

TQtFileDialogNames QtFileDialogNames(const TFileDialogRequest& request)
{
    const bool wildcard = request.FileName.contains(u'*') || request.FileName.contains(u'?');
    if (request.Filter.isEmpty() && wildcard)
        return {{request.FileName}, QString()};
    return {QtFilters(request.Filter), request.FileName};
}

namespace {

class QtDialogs : public IDialogs {
public:
    void ShowMessage(const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, BoxTitle(), text, QMessageBox::Ok);
        box.exec();
    }

    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (type) {
        case TMsgDlgType::mtWarning: icon = QMessageBox::Warning; break;
        case TMsgDlgType::mtError: icon = QMessageBox::Critical; break;
        case TMsgDlgType::mtInformation: icon = QMessageBox::Information; break;
        case TMsgDlgType::mtConfirmation: icon = QMessageBox::Question; break;
        case TMsgDlgType::mtCustom: break;
        }
        QMessageBox box(icon, BoxTitle(), text);
        struct Pair { int bit; QMessageBox::StandardButton qt; int result; };
        const Pair pairs[] = {{mbYes, QMessageBox::Yes, mrYes}, {mbNo, QMessageBox::No, mrNo},
                              {mbOK, QMessageBox::Ok, mrOk}, {mbCancel, QMessageBox::Cancel, mrCancel}};
        for (const Pair& p : pairs)
            if (buttons & p.bit) box.addButton(p.qt);
        if (buttons == 0) box.addButton(QMessageBox::Ok);
        if (buttons & mbCancel) box.setEscapeButton(QMessageBox::Cancel);
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        for (const Pair& p : pairs)
            if (clicked && clicked == box.button(p.qt)) return p.result;
        return mrCancel;   // the box was closed
    }

    QString FileDialog(const TFileDialogRequest& request) override
    {
        const TQtFileDialogNames names = QtFileDialogNames(request);
        QFileDialog dialog(nullptr, request.Title, request.InitialDir);
        dialog.setNameFilters(names.Filters);
        dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.DefaultExt.isEmpty()) dialog.setDefaultSuffix(request.DefaultExt);
        if (!names.FileName.isEmpty()) dialog.selectFile(names.FileName);
        if (dialog.exec() != QDialog::Accepted) return {};
        QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.front();
    }

    void OpenUrl(const QString& address) override
    {
        QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
    }

    void SendEndKey() override
    {
        QWidget* w = QApplication::focusWidget();
        if (!w) return;
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->end(false);
            return;
        }
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
            combo->lineEdit()->end(false);
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
    }
};

std::unique_ptr<IDialogs>& Current()
{
    static std::unique_ptr<IDialogs> current = std::make_unique<QtDialogs>();
    return current;
}

} // namespace

IDialogs& Dialogs() { return *Current(); }

std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs)
{
    std::unique_ptr<IDialogs> before = std::move(Current());
    Current() = dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>();
    return before;
}
