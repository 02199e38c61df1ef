#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/report/CReportCtrl.h"
#include "platform/ui/report/ReportRoles.h"

namespace {

// Plots the pixels of a one-pixel line from `from` up to, but not including, `to`, as the
// platform's LineTo did, so the bevel's end points land exactly where they are meant to.
void LineTo(QPainter* pDC, QPoint& pen, QPoint to) {
    QList<QPoint> points;
    int x = pen.x(), y = pen.y();
    const int dx = std::abs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        points.append(QPoint(x, y));
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    pDC->drawPoints(points.constData(), static_cast<int>(points.size()));
    pen = to;
}

}  // namespace

using CReportHeaderCtrl = CReportCtrl::CReportHeaderCtrl;

CReportHeaderCtrl::CReportHeaderCtrl() : QHeaderView(Qt::Horizontal) {}

CReportHeaderCtrl::~CReportHeaderCtrl() = default;

int CReportHeaderCtrl::GetItemFormat(int nItem) const {
    if (!model() || nItem < 0 || nItem >= count())
        return LVCFMT_LEFT;
    return model()->headerData(nItem, Qt::Horizontal, kFormatRole).toInt();
}

void CReportHeaderCtrl::SetItemFormat(int nItem, int nFormat) {
    if (!model() || nItem < 0 || nItem >= count())
        return;
    model()->setHeaderData(nItem, Qt::Horizontal, nFormat, kFormatRole);
    Qt::Alignment alignment = Qt::AlignLeft;
    if (nFormat & LVCFMT_CENTER)
        alignment = Qt::AlignHCenter;
    else if (nFormat & LVCFMT_RIGHT)
        alignment = Qt::AlignRight;
    model()->setHeaderData(nItem, Qt::Horizontal, int(alignment | Qt::AlignVCenter),
                           Qt::TextAlignmentRole);
}

void CReportHeaderCtrl::MarkSortColumn() {
    SetItemFormat(m_nSortColumn, GetItemFormat(m_nSortColumn) | HDF_OWNERDRAW);
    viewport()->update();
}

void CReportHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!(GetItemFormat(logicalIndex) & HDF_OWNERDRAW)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    DrawItem({logicalIndex, logicalIndex == m_nPressedItem, painter, rect});
}

void CReportHeaderCtrl::DrawItem(const DrawItemInfo& info) const {
    QPainter* pDC = info.pDC;
    // Edges as the platform counts them: right and bottom lie just outside the item.
    const int L = info.rcItem.left(), T = info.rcItem.top();
    const int R = L + info.rcItem.width(), B = T + info.rcItem.height();

    pDC->save();
    pDC->setClipRect(info.rcItem);
    pDC->setRenderHint(QPainter::Antialiasing, false);
    pDC->fillRect(info.rcItem, palette().color(QPalette::Button));

    const int nFormat = GetItemFormat(info.nItem);
    Qt::Alignment alignment = Qt::AlignLeft;
    if (nFormat & LVCFMT_CENTER)
        alignment = Qt::AlignHCenter;
    else if (nFormat & LVCFMT_RIGHT)
        alignment = Qt::AlignRight;
    const QString text =
        model()->headerData(info.nItem, Qt::Horizontal, Qt::DisplayRole).toString().left(254);

    int left = L, top = T, right = R;
    if (info.bPressed) {
        left += 1;
        top += 2;
        right += 1;
    }
    const int q = info.rcItem.height() / 4;
    const bool bSorted = info.nItem == m_nSortColumn;
    if (bSorted)
        right -= 3 * q;
    left += q;
    right -= q;
    if (left < right) {
        pDC->setFont(font());
        pDC->setPen(palette().color(QPalette::ButtonText));
        const QFontMetrics metrics(font());
        const QString shown = metrics.elidedText(text, Qt::ElideRight, right - left);
        pDC->drawText(QRect(left, top, right - left, B - top),
                      int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }

    if (bSorted) {
        const QPen light(palette().color(QPalette::Light), 1);
        const QPen dark(palette().color(QPalette::Dark), 1);
        QPoint pen;
        if (m_bSortAscending) {
            pDC->setPen(light);
            pen = QPoint(R - 2 * q, T + q);
            LineTo(pDC, pen, QPoint(R - q, B - q - 1));
            LineTo(pDC, pen, QPoint(R - 3 * q - 2, B - q - 1));
            pDC->setPen(dark);
            pen = QPoint(R - 3 * q - 1, B - q - 1);
            LineTo(pDC, pen, QPoint(R - 2 * q, T + q - 1));
        } else {
            pDC->setPen(light);
            pen = QPoint(R - q - 1, T + q);
            LineTo(pDC, pen, QPoint(R - 2 * q - 1, B - q));
            pDC->setPen(dark);
            pen = QPoint(R - 2 * q - 2, B - q);
            LineTo(pDC, pen, QPoint(R - 3 * q - 1, T + q));
            LineTo(pDC, pen, QPoint(R - q - 1, T + q));
        }
    }
    pDC->restore();
}

void CReportHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    // The platform drew a held-down item shifted; remember which one is held.
    if (event->button() == Qt::LeftButton && sectionsClickable())
        m_nPressedItem = logicalIndexAt(event->position().toPoint());
    QHeaderView::mousePressEvent(event);
    viewport()->update();
}

void CReportHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    m_nPressedItem = -1;
    viewport()->update();
}
