#include "app/EdgeDock.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace {
DockingDesktop& Desktop() {
    static DockingDesktop desktop;
    return desktop;
}

int ScreenWidth() {
    if (Desktop().screenWidth)
        return Desktop().screenWidth();
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

QPoint CursorPos() {
    return Desktop().cursorPos ? Desktop().cursorPos() : QCursor::pos();
}

void Pause(int ms) {
    if (Desktop().pause)
        Desktop().pause(ms);
    else
        QThread::msleep(ms);
}

bool PlacesWindows() {
    if (Desktop().placesWindows)
        return Desktop().placesWindows();
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
}  // namespace

DockingDesktop SetDockingDesktop(DockingDesktop desktop) {
    return std::exchange(Desktop(), std::move(desktop));
}

void CEdgeDock::Init() {
    m_nScreenWidth = ScreenWidth();
}

bool CEdgeDock::IsNearEdge() {
    const QRect rc = m_window.frameGeometry();
    // QRect's right() is the last pixel column; the window's right edge lies one beyond it.
    const int right = rc.x() + rc.width();
    if (rc.top() > kEdgeMargin && rc.left() > kEdgeMargin && right < m_nScreenWidth - kEdgeMargin)
        return false;
    m_nDockLeft = rc.left();
    m_nDockTop = rc.top();
    m_nDockWidth = rc.width();
    m_nDockHeight = rc.height();
    return true;
}

void CEdgeDock::SlideUp() {
    for (int y = 0; y > 2 - m_nDockHeight; y -= kSlideStep) {
        MoveWindow(m_nDockLeft, y, m_nDockWidth, m_nDockHeight);
        Pause(kSlidePause);
    }
}

void CEdgeDock::ShowAtTop() {
    m_bHidden = 0;
    MoveWindow(m_nDockLeft, 0, m_nDockWidth, m_nDockHeight);
}

void CEdgeDock::OnMouseMove() {
    if (m_bHidden == 1) {
        m_timer.stop();
        ShowAtTop();
    } else if (m_bTimerOn == 0 && PlacesWindows()) {
        m_timer.start(kTimerPeriod, &m_window);
        m_bTimerOn = 1;
    }
}

void CEdgeDock::OnTimer() {
    const QRect rc = m_window.frameGeometry();
    if (m_bHidden == 1) {
        // Back, and watched again: the cursor may leave it without crossing its own area.
        if (rc.contains(CursorPos())) {
            ShowAtTop();
            m_bTimerOn = 1;
        }
        return;
    }
    if (rc.contains(CursorPos()) || !IsNearEdge())
        return;
    if (m_nDockLeft < 0) {
        MoveWindow(0, m_nDockTop, m_nDockWidth, m_nDockHeight);
        m_nDockLeft = 0;
    } else if (rc.x() + rc.width() >= m_nScreenWidth - kEdgeMargin) {
        MoveWindow(m_nScreenWidth - m_nDockWidth, m_nDockTop, m_nDockWidth, m_nDockHeight);
        m_nDockLeft = m_nScreenWidth - m_nDockWidth;
    }
    SlideUp();
    MakeTopmost();
    m_bTimerOn = 0;
    m_bHidden = 1;  // the timer runs on, to find the cursor on the strip
}

void CEdgeDock::MoveWindow(int x, int y, int cx, int cy) {
    // Qt places a window by its frame but sizes it by its client area.
    const QRect frame = m_window.frameGeometry();
    const QRect client = m_window.geometry();
    const int extraWidth = frame.width() - client.width();
    const int extraHeight = frame.height() - client.height();
    m_window.move(x, y);
    m_window.resize(cx - extraWidth, cy - extraHeight);
    m_window.repaint();
}

void CEdgeDock::MakeTopmost() {
    // Changing a visible widget's window flags would hide and re-show it; the window itself
    // takes the new flag in place, and the widget is told it has it.
    const Qt::WindowFlags flags = m_window.windowFlags() | Qt::WindowStaysOnTopHint;
    m_window.overrideWindowFlags(flags);
    if (QWindow* handle = m_window.windowHandle())
        handle->setFlags(flags);
}
