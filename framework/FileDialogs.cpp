#include "FileDialogs.h"
#include "Dialogs.h"

#include <QFileInfo>

bool TOpenDialog::Execute()
{
    TFileDialogRequest request;
    request.Save = save;
    request.Title = Title;
    request.Filter = Filter;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    request.InitialDir = InitialDir;
    QString path = Dialogs().FileDialog(request);
    if (path.isEmpty()) return false;
    QFileInfo info(path);
    if (!DefaultExt.isEmpty() && info.suffix().isEmpty()) path += QStringLiteral(".") + DefaultExt;
    FileName = QFileInfo(path).absoluteFilePath();
    return true;
}
