#pragma once

#include <QBasicTimer>
#include <QPoint>
#include <functional>

class QWidget;

// What edge docking reads from the desktop and how it waits between slide steps. Tests put
// their own in place, so docking can be driven without a real mouse or screen.
struct DockingDesktop {
    std::function<int()> screenWidth;   // of the primary screen
    std::function<QPoint()> cursorPos;  // in screen coordinates
    std::function<void(int ms)> pause;
    // False where the window system does not let a program place its windows (Wayland):
    // there the window cannot tell where it stands, so it never docks.
    std::function<bool()> placesWindows;
};

// Sets the desktop docking uses from now on and returns the one it replaced. Members left
// empty fall back to the real desktop.
DockingDesktop SetDockingDesktop(DockingDesktop desktop);

// Edge docking of a top-level window: left lying at the top, left or right screen edge, it
// slides up out of sight once the cursor leaves it, keeping a thin strip visible, and comes
// back at the top edge when the mouse moves over that strip, over the window's own area or
// over one of its controls. Positions and sizes are those of the whole window, frame
// included, in screen pixels.
class CEdgeDock {
public:
    static constexpr int kTimerPeriod = 100;  // ms
    static constexpr int kEdgeMargin = 5;
    static constexpr int kSlideStep = 10;
    static constexpr int kSlidePause = 1;  // ms

    explicit CEdgeDock(QWidget& window) : m_window(window) {}

    // Reads the screen width; it is not read again, so a later change of resolution goes
    // unnoticed.
    void Init();

    // A mouse move over the window's own client area (not over a child control).
    void OnMouseMove();
    // A tick of the timer: while shown, the watch for the cursor leaving; while hidden, the
    // watch for the cursor on the strip, wherever it lies (a control takes the moves over it
    // for itself).
    void OnTimer();

    bool IsNearEdge();
    void SlideUp();

    int TimerId() const { return m_timer.timerId(); }
    bool IsHidden() const { return m_bHidden != 0; }
    // Watching for the cursor to leave the shown window.
    bool IsWatching() const { return m_bTimerOn != 0; }

    int m_nScreenWidth = 0;
    int m_nDockLeft = 0;
    int m_nDockTop = 0;
    int m_nDockWidth = 0;
    int m_nDockHeight = 0;
    int m_bHidden = 0;
    int m_bTimerOn = 0;

private:
    // Moves the window so that its frame covers (x, y, cx, cy) and repaints it.
    void MoveWindow(int x, int y, int cx, int cy);
    void MakeTopmost();
    void ShowAtTop();

    QWidget& m_window;
    QBasicTimer m_timer;
};
