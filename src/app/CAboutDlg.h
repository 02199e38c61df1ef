#pragma once

#include "platform/ui/CDialog.h"

class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static const char* SiteUrl();

protected:
    bool OnInitDialog() override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnSiteLink();
};
