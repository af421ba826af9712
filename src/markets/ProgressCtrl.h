#pragma once

#include <QPointer>
#include <QRect>

class QProgressBar;
class QWidget;

// A progress bar whose window is created and destroyed on demand while the
// object itself lives on (the status-bar meter of a list fill). The window
// belongs to its parent widget; the object destroys it when asked or when
// the object goes, whichever comes first.
class CProgressCtrl {
public:
    CProgressCtrl() = default;
    ~CProgressCtrl();
    CProgressCtrl(const CProgressCtrl&) = delete;
    CProgressCtrl& operator=(const CProgressCtrl&) = delete;

    // Replaces any existing window with a visible bar at the rectangle of
    // the parent: range 0 to 100, position 0. Without a parent there is
    // then no bar.
    void Create(QWidget* parent, const QRect& rect);
    // Moves the bar (nothing without a window).
    void SetPos(int position);
    int GetPos() const;
    void DestroyWindow();
    // The bar's window, or null between fills.
    QProgressBar* GetWindow() const;

private:
    QPointer<QProgressBar> m_pBar;
};
