#include "platform/ui/CDateTimeCtrl.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QScreen>
#include <cmath>

#include "platform/ui/CDialog.h"
#include "platform/ui/DialogTemplate.h"

namespace {
// Julian day of 1899-12-30, day 0 of the count.
constexpr qint64 kDayZero = 2415019;
constexpr qint64 kMsPerDay = 24 * 60 * 60 * 1000;
}  // namespace

QDateTime DateTimeFromDays(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return {};
    const double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * kMsPerDay);
    qint64 day = static_cast<qint64>(whole);
    if (ms >= kMsPerDay) {
        // Rounded up to the next midnight: the fraction counts forward on either side of day 0.
        ms -= kMsPerDay;
        day += 1;
    }
    const QDate date = QDate::fromJulianDay(kDayZero + day);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

double DaysFromDateTime(const QDateTime& dateTime) {
    const double day = static_cast<double>(dateTime.date().toJulianDay() - kDayZero);
    const double fraction = static_cast<double>(dateTime.time().msecsSinceStartOfDay()) / kMsPerDay;
    return day >= 0 ? day + fraction : day - fraction;
}

DateTimePicker::DateTimePicker(unsigned s, QWidget* parent)
    : QDateTimeEdit(parent), m_bCalendarRight(s & style::Right) {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    setLocale(chinese);
    setDisplayFormat(chinese.dateFormat(QLocale::ShortFormat));
    setCalendarPopup(true);
    calendarWidget()->setLocale(chinese);
    // The pop-up is a window of its own; it is placed again each time it opens.
    calendarWidget()->window()->installEventFilter(this);
    const QDateTime now = QDateTime::currentDateTime();
    setDateTime(
        QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second())));
}

bool DateTimePicker::eventFilter(QObject* watched, QEvent* event) {
    if (m_bCalendarRight && event->type() == QEvent::Show &&
        watched == calendarWidget()->window()) {
        auto* popup = static_cast<QWidget*>(watched);
        QPoint at = mapToGlobal(rect().bottomRight());
        at.rx() -= popup->width() - 1;
        if (const QScreen* screen = this->screen())
            at.setX(qMax(at.x(), screen->availableGeometry().left()));
        at.setY(popup->y());
        popup->move(at);
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

void DateTimePicker::keyPressEvent(QKeyEvent* event) {
    const int step = event->key() == Qt::Key_Right ? 1 : event->key() == Qt::Key_Left ? -1 : 0;
    if (step != 0 && event->modifiers() == Qt::NoModifier) {
        const int index = currentSectionIndex() + step;
        if (index >= 0 && index < sectionCount()) {
            setCurrentSectionIndex(index);
            setSelectedSection(currentSection());
        }
        return;
    }
    QDateTimeEdit::keyPressEvent(event);
}

QDateTimeEdit* CDateTimeCtrl::Picker() const {
    return qobject_cast<QDateTimeEdit*>(GetSafeHwnd());
}

bool CDateTimeCtrl::GetTime(double& days) const {
    QDateTimeEdit* picker = Picker();
    if (!picker)
        return false;
    days = DaysFromDateTime(picker->dateTime());
    return true;
}

bool CDateTimeCtrl::SetTime(double days) {
    QDateTimeEdit* picker = Picker();
    const QDateTime value = DateTimeFromDays(days);
    if (!picker || !value.isValid() || value < picker->minimumDateTime() ||
        value > picker->maximumDateTime())
        return false;
    picker->setDateTime(value);
    return true;
}

void DDX_DateTimeCtrl(CDataExchange* pDX, int id, double& days, bool& valid) {
    auto* picker = qobject_cast<QDateTimeEdit*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (!picker)
        return;
    CDateTimeCtrl control;
    control.Attach(picker);
    if (pDX->m_bSaveAndValidate)
        valid = control.GetTime(days);
    else if (valid)
        control.SetTime(days);
}
