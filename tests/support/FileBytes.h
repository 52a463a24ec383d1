#pragma once
// A file's bytes, for tests that check what was written or left untouched.
#include <QByteArray>
#include <QFile>
#include <QString>

// The whole file; `missing` when it cannot be read.
inline QByteArray FileBytes(const QString& path, const QByteArray& missing = {})
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : missing;
}
