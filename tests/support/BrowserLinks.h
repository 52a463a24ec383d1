#pragma once
// Links of a browser control as the user reaches them: found by their text in
// the laid-out page, clicked with the mouse where they are drawn.
#include <QPoint>
#include <QString>
#include <QStringList>

class QTextBrowser;

// The middle of the first character of the first text that reads `text`, in
// viewport coordinates, after scrolling it into view; (-1, -1) when the page
// has no such text.
QPoint LinkPosition(QTextBrowser* view, const QString& text);
// A left click there; false when the text is not on the page or is no link.
bool ClickLink(QTextBrowser* view, const QString& text);
// The addresses (href) of every link of the page, in page order.
QStringList LinkTargets(QTextBrowser* view);
