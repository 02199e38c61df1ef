#pragma once

#include <QPointer>
#include <QWidget>

// A control object: the program's handle on a widget that a dialog built from its template.
// Data exchange attaches it to the widget of a control id.
class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    void Attach(QWidget* widget);
    QWidget* GetSafeHwnd() const { return m_pWidget; }
    bool IsAttached() const { return !m_pWidget.isNull(); }

protected:
    // Runs once the widget is attached, before the object is used.
    virtual void PreSubclassWindow() {}

private:
    QPointer<QWidget> m_pWidget;
};
