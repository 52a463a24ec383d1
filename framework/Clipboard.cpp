#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

QString TClipboard::AsText() const { return QGuiApplication::clipboard()->text(); }
void TClipboard::SetAsText(const QString& text) { QGuiApplication::clipboard()->setText(text); }
void TClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
