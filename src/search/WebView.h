#pragma once
// The tutorial window's page view: a small web browser over QTextBrowser that
// shows local HTML pages. Addresses are Windows paths ("C:\opt\ViewerTut.htm")
// or URLs; a page is loaded at the next turn of the event loop, and the view
// is busy until then, so Stop can cancel a navigation still under way.

#include <QTextBrowser>
#include <QUrl>

class WebView : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebView(QWidget* parent = nullptr);

    // Raises 68 when the path's drive is not ready.
    void Navigate(const QString& address);
    void GoBack() { backward(); }
    void GoForward() { forward(); }
    // The first page this view showed.
    void GoHome() { home(); }
    // The view has no search page; it stays on the page it shows.
    void GoSearch() {}
    void Refresh() { reload(); }
    void Stop();
    bool Busy() const { return !pending_.isEmpty(); }

signals:
    // A navigation has ended, loaded or stopped.
    void DownloadComplete();

private:
    void loadPending();

    QUrl pending_;
};
