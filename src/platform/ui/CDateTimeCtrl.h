#pragma once

#include <QDateTimeEdit>
#include <concepts>

#include "platform/ui/CWnd.h"
#include "platform/ui/DataExchange.h"

// A date as the platform counted it: days since 1899-12-30 00:00, the fraction being the time
// of day (counted forward from midnight also before that day), plus a status. The program's
// date type has this shape; the kit works on it without depending on it.
template <class T>
concept DayCountDate = requires(T date, const T cdate, double days) {
    { cdate.GetDays() } -> std::convertible_to<double>;
    { cdate.GetStatus() == T::valid } -> std::convertible_to<bool>;
    date.SetDays(days);
    date.SetStatus(T::valid);
    date.SetStatus(T::invalid);
};

// Local date and time <-> day count; an invalid QDateTime for a day count out of range.
QDateTime DateTimeFromDays(double days);
double DaysFromDateTime(const QDateTime& dateTime);

// The date-time picker widget: the short date of the Chinese locale, a drop-down calendar,
// and a value that keeps its time of day while the user changes the date. It starts at the
// current date and time.
class DateTimePicker : public QDateTimeEdit {
    Q_OBJECT

public:
    DateTimePicker(unsigned style, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab leaves the picker, as in any dialog; the arrow keys move between year, month and day.
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_bCalendarRight;
};

// The date-time picker operations the program uses.
class CDateTimeCtrl : public CWnd {
public:
    QDateTimeEdit* Picker() const;

    bool GetTime(double& days) const;
    bool SetTime(double days);

    template <DayCountDate T>
    bool GetTime(T& value) const {
        double days = 0;
        if (!GetTime(days))
            return false;
        value.SetDays(days);
        value.SetStatus(T::valid);
        return true;
    }
};

// Exchanges the whole value of a picker, date and time of day. A member that is not a valid
// date leaves the picker as it is.
void DDX_DateTimeCtrl(CDataExchange* pDX, int id, double& days, bool& valid);

template <DayCountDate T>
void DDX_DateTimeCtrl(CDataExchange* pDX, int id, T& value) {
    double days = value.GetDays();
    bool valid = value.GetStatus() == T::valid;
    DDX_DateTimeCtrl(pDX, id, days, valid);
    if (pDX->m_bSaveAndValidate && valid) {
        value.SetDays(days);
        value.SetStatus(T::valid);
    }
}
