#include <gtest/gtest.h>

#include <QAccessible>

#include "accounts/CUserAddDlg.h"
#include "accounts/CUserDlg.h"
#include "app/CAboutDlg.h"
#include "app/CCofferDlg.h"
#include "bills/CBillImportDlg.h"
#include "categories/CBaseDataDlg.h"
#include "entry/CNormalIncomeDlg.h"
#include "entry/CNormalPayDlg.h"
#include "platform/ui/DialogUnits.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
// Every control of every window lands at the pixel rectangle its dialog units give, and every
// caption fits the control it stands in.
template <class Dlg>
void ExpectLaidOutAsItsTemplate() {
    Dlg dlg;
    dlg.Create();
    const DialogTemplate& tpl = dlg.Template();
    const DialogUnits units(dlg.font());
    EXPECT_EQ(dlg.size(), QSize(units.ToPixelsX(tpl.cx), units.ToPixelsY(tpl.cy))) << tpl.id;
    for (const ControlTemplate& c : tpl.controls) {
        if (c.id == IDC_STATIC)
            continue;
        QWidget* widget = dlg.GetDlgItem(c.id);
        ASSERT_NE(widget, nullptr) << tpl.id << "/" << c.id;
        QRect expected = units.ToPixels(c.x, c.y, c.cx, c.cy);
        // A combo box's template height includes its drop-down list; the box is one line.
        if (c.kind == ControlKind::ComboBox)
            expected.setHeight(widget->height());
        EXPECT_EQ(widget->geometry(), expected) << tpl.id << "/" << c.id;
    }
    ExpectTextsFit(&dlg);
}

// Assistive technologies reach every control of a window by a name: its caption, or the label
// before it.
template <class Dlg>
void ExpectEveryControlNamed() {
    Dlg dlg;
    dlg.Create();
    for (const ControlTemplate& c : dlg.Template().controls) {
        if (c.id == IDC_STATIC)
            continue;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(dlg.GetDlgItem(c.id));
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_FALSE(control->text(QAccessible::Name).isEmpty())
            << dlg.Template().id << "/" << c.id << " has no accessible name";
    }
}

TEST(Templates, EveryControlHasAnAccessibleName) {
    TempBook book;  // the dialogs that open the book at start find one
    ExpectEveryControlNamed<CCofferDlg>();
    ExpectEveryControlNamed<CAboutDlg>();
    ExpectEveryControlNamed<CUserDlg>();
    ExpectEveryControlNamed<CUserAddDlg>();
    ExpectEveryControlNamed<CBaseDataDlg>();
    ExpectEveryControlNamed<CNormalIncomeDlg>();
    ExpectEveryControlNamed<CNormalPayDlg>();
    ExpectEveryControlNamed<CBillImportDlg>();
}

TEST(Templates, EveryWindowIsLaidOutInDialogUnits) {
    TempBook book;  // the entry dialogs read their lists from it
    ExpectLaidOutAsItsTemplate<CCofferDlg>();
    ExpectLaidOutAsItsTemplate<CAboutDlg>();
    ExpectLaidOutAsItsTemplate<CUserDlg>();
    ExpectLaidOutAsItsTemplate<CUserAddDlg>();
    ExpectLaidOutAsItsTemplate<CBaseDataDlg>();
    ExpectLaidOutAsItsTemplate<CNormalIncomeDlg>();
    ExpectLaidOutAsItsTemplate<CNormalPayDlg>();
    ExpectLaidOutAsItsTemplate<CBillImportDlg>();
}
}  // namespace
