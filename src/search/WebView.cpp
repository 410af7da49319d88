#include "search/WebView.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

// "C:\..." and "\..." are paths of the program's file system; anything else is a URL.
bool isWindowsPath(const QString& address)
{
    static const QRegularExpression drivePath(QStringLiteral(R"(^([A-Za-z]:)?\\)"));
    return drivePath.match(address).hasMatch();
}

}  // namespace

WebView::WebView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

void WebView::Navigate(const QString& address)
{
    pending_ = isWindowsPath(address)
                   ? QUrl::fromLocalFile(platform::fileSystem().hostPath(address))
                   : QUrl::fromUserInput(address);
    QTimer::singleShot(0, this, &WebView::loadPending);
}

void WebView::loadPending()
{
    if (pending_.isEmpty())
        return;
    const QUrl url = pending_;
    pending_.clear();
    setSource(url);
    emit DownloadComplete();
}

void WebView::Stop()
{
    const bool wasBusy = Busy();
    pending_.clear();
    if (wasBusy)
        emit DownloadComplete();
}
