#pragma once

#include "platform/ui/CDialog.h"
#include "platform/ui/report/CReportCtrl.h"

// A dialog holding nothing but a report list, for the list benchmarks. Created, not shown.
class CReportBenchDlg : public CDialog {
public:
    static constexpr int kList = 1012;

    CReportBenchDlg() : CDialog(Template()) { Create(); }
    CReportCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kList, m_list); }

private:
    static const DialogTemplate& Template() {
        static const DialogTemplate tpl{
            1,
            "报表",
            260,
            130,
            "宋体",
            9,
            style::Caption,
            {{kList, ControlKind::ListView, "", 7, 7, 246, 116, style::Border}}};
        return tpl;
    }
};
