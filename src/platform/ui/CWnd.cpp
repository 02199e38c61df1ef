#include "platform/ui/CWnd.h"

void CWnd::Attach(QWidget* widget) {
    if (m_pWidget == widget)
        return;
    m_pWidget = widget;
    if (widget)
        PreSubclassWindow();
}
