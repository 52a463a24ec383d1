#pragma once
// The pointer on a list of lines, as the user opens what a line names.
#include <QApplication>
#include <QListWidget>
#include <QTest>

// Clicks the line that reads `line` and double-clicks it; false when the
// list holds no such line or more than one.
inline bool DoubleClickLine(QListWidget* list, const QString& line)
{
    const QList<QListWidgetItem*> found = list->findItems(line, Qt::MatchExactly);
    if (found.size() != 1)
        return false;
    const QPoint at = list->visualItemRect(found[0]).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    return true;
}
