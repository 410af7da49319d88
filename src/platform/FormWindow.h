#pragma once
// The classic window life every program window shares: created on first use
// (Forms), loaded on first use of the window itself (Form_Load runs then, or
// at the first Show), shown modeless or modal with an owner, hidden, and
// unloaded through Form_Unload, which may cancel. A request to unload a window
// whose unload is already in progress is ignored. Geometry is in twips.
//
// Controls are placed in the client area, which starts below the menu bar
// when the window has one (placeTwips measures from there, as ScaleWidth and
// ScaleHeight do). Every window has the program's background colour.

#include <QColor>
#include <QWidget>
#include <optional>

class QMenuBar;

namespace platform {

inline const QColor FormBackColor{247, 239, 231};

class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(QWidget* parent = nullptr);

    // Shows the window (loading it first when it is not loaded), kept above its
    // owner when one is given. Modal: every other window of the program takes
    // no input until this one is hidden or unloaded (through Forms::runModal,
    // whose runner tests replace).
    void Show(bool modal = false, QWidget* owner = nullptr);
    void Hide();
    // Runs Form_Unload once; returns true when the window is now unloaded.
    // Ignored (false) while this window's unload is already running, and false
    // when Form_Unload cancels. A window never loaded goes without Form_Unload. A completed unload hides the window, emits
    // unloaded() and deletes the window later.
    bool Unload();

    bool isLoaded() const { return loaded_ && !unloaded_; }
    bool isUnloading() const { return unloading_; }
    bool isUnloaded() const { return unloaded_; }

    // Outer placement in twips, as the settings store keeps it.
    double Top() const;
    double Left() const;
    double Width() const;
    double Height() const;
    void setTop(double twips);
    void setLeft(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    // Client area in twips (below the menu bar).
    double ScaleWidth() const;
    double ScaleHeight() const;
    void setClientSize(double widthTwips, double heightTwips);
    bool isMinimized() const { return QWidget::isMinimized(); }

    // Puts the menu bar along the top edge; the client area starts below it.
    void setMenuBar(QMenuBar* menuBar);
    QMenuBar* menuBar() const { return menuBar_; }

signals:
    void unloaded();
    void hidden();

protected:
    friend class Forms;
    // Runs Form_Load once: called by Forms::get and by the first Show.
    void load();
    virtual void Form_Load() {}
    virtual void Form_Unload(bool& cancel) { (void)cancel; }
    virtual void Form_Resize() {}

    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // False when Form_Unload cancels.
    bool runFormUnload();
    int menuBarHeight() const;
    void layoutMenuBar();
    // The window manager adds the frame only when it maps the window, so an
    // outer size set before then is kept and put right once the frame is known.
    bool frameKnown() const { return frameGeometry().size() != size(); }
    void fitPendingOuterSize();

    QMenuBar* menuBar_ = nullptr;
    std::optional<int> pendingOuterWidth_;   // pixels
    std::optional<int> pendingOuterHeight_;  // pixels
    bool loaded_ = false;
    bool unloading_ = false;
    bool unloaded_ = false;
};

// Places a child control at its design position, given in twips from the top
// left corner of its parent's client area.
void placeTwips(QWidget* control, double left, double top, double width, double height);

}  // namespace platform
