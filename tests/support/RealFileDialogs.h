#pragma once
// Qt's own dialogs, as the user meets them, in place of the test run's
// scripted ones.
#include "framework/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// While it lives, the program's message boxes and file dialogs are Qt's
// real ones, the file dialogs in their widget-based form (the one with a
// "Files of type" box whatever the desktop).
struct RealFileDialogs {
    std::unique_ptr<IDialogs> scripted = SetDialogs(nullptr);
    bool nativeWere = QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs);
    RealFileDialogs() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true); }
    ~RealFileDialogs()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, nativeWere);
        SetDialogs(std::move(scripted));
    }
};

// Runs `open`, the user's click that opens a dialog of the given kind and
// waits in it, and hands the dialog to `look` as soon as it shows; `look`
// closes it. Another dialog that shows instead is a failure and is closed.
// False when no such dialog showed.
template <class Dialog>
bool WithDialog(const std::function<void()>& open, const std::function<void(Dialog*)>& look)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) return;
        poll.stop();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "a " << modal->metaObject()->className() << " instead of a "
                          << Dialog::staticMetaObject.className();
            modal->reject();
            return;
        }
        seen = true;
        QApplication::processEvents();
        look(dialog);
    });
    poll.start(10);
    open();
    poll.stop();
    return seen;
}

inline bool WithFileDialog(const std::function<void()>& open, const std::function<void(QFileDialog*)>& look)
{
    return WithDialog<QFileDialog>(open, look);
}
