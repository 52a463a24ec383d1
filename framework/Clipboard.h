#pragma once
// The system clipboard's text.
#include <QString>

class TClipboard {
public:
    QString AsText() const;
    void SetAsText(const QString& text);
    void Clear();
};
TClipboard* Clipboard();
