#include "BrowserLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

QPoint LinkPosition(QTextBrowser* view, const QString& text)
{
    const QTextCursor found = view->document()->find(text);
    if (found.isNull()) return {-1, -1};
    QTextCursor start(view->document());
    start.setPosition(found.selectionStart());
    view->setTextCursor(start);
    view->ensureCursorVisible();
    QTextCursor next = start;
    next.setPosition(found.selectionStart() + 1);
    const QRect a = view->cursorRect(start);
    const QRect b = view->cursorRect(next);
    return {(a.left() + b.left()) / 2, a.center().y()};
}

bool ClickLink(QTextBrowser* view, const QString& text)
{
    const QPoint at = LinkPosition(view, text);
    if (at.x() < 0 || view->anchorAt(at).isEmpty()) return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    return true;
}

QStringList LinkTargets(QTextBrowser* view)
{
    QStringList targets;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty()) {
                if (targets.isEmpty() || targets.last() != format.anchorHref()) targets << format.anchorHref();
            }
        }
    return targets;
}
