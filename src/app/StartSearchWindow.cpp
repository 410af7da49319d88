#include "app/StartSearchWindow.h"

#include "platform/Forms.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>

using platform::Forms;

bool startSearchWindow()
{
    platform::FormWindow& search = Forms::instance("SearchForm");
    QObject::connect(&search, &platform::FormWindow::unloaded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    try {
        Forms::get("SearchForm");
    } catch (const runtime::RuntimeError&) {
        return false;  // closed during its load: there is no window left
    }
    if (Forms::isClosing())
        return true;
    search.Show();
    search.activateWindow();
    return true;
}
