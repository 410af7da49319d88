#pragma once
// The classic window life every program window shares: created and loaded on
// first use (Forms), shown modeless or modal with an owner, hidden, and
// unloaded through Form_Unload, which may cancel. A request to unload a window
// whose unload is already in progress is ignored. Geometry is in twips.

#include <QWidget>

namespace platform {

class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(QWidget* parent = nullptr);

    // Shows the window. Modal: waits until the window is hidden or unloaded
    // (through Forms' modal runner, which tests replace).
    void Show(bool modal = false, QWidget* owner = nullptr);
    void Hide();
    // Runs Form_Unload once; returns true when the window is now unloaded.
    // Ignored (false) while this window's unload is already running.
    bool Unload();

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
    // Client area in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    bool isMinimized() const { return QWidget::isMinimized(); }

signals:
    void unloaded();

protected:
    friend class Forms;
    // Called once, right after construction, by Forms.
    void load();
    virtual void Form_Load() {}
    virtual void Form_Unload(bool& cancel) { (void)cancel; }
    virtual void Form_Resize() {}

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool unloading_ = false;
    bool unloaded_ = false;
};

// Places a child control at its design position, given in twips.
void placeTwips(QWidget* control, double left, double top, double width, double height);

}  // namespace platform
