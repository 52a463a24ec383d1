#pragma once
// Whole-file writes that never leave a half-written or empty file behind.
//
// The new bytes go to a temporary file beside the target; only when every
// byte was written, synced to the disk and the file closed without error is
// it renamed over the target. On any failure (full disk, file-size limit,
// no permission, missing folder) the old file stays byte for byte, the
// temporary file is removed and the result is false. A symbolic link is
// followed, so the file it points to is replaced and the link stays.
#include <QByteArray>
#include <QString>

// Creates or replaces the file with exactly `data`.
bool ReplaceFileContents(const QString& fileName, const QByteArray& data);

// Creates the file with `data`, or replaces an existing one by its old bytes
// followed by `data`, so a failed append loses nothing either.
bool AppendFileContents(const QString& fileName, const QByteArray& data);
