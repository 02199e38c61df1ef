#pragma once

#include <QDialog>
#include <QHash>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MessageMap.h"

class QMenu;

// A dialog built from a template: controls keep their ids, commands and notifications reach
// the handlers of the class's message map, members meet controls through data exchange.
class CDialog : public QDialog {
    Q_OBJECT

public:
    explicit CDialog(const DialogTemplate& tpl, QWidget* parent = nullptr);
    ~CDialog() override;

    // Builds the controls and runs OnInitDialog; DoModal does this when it has not happened.
    void Create();

    int DoModal();
    void EndDialog(int result);
    int GetEndCode() const { return m_nEndCode; }

    QWidget* GetDlgItem(int id) const;
    template <class W>
    W* GetDlgItemAs(int id) const {
        return qobject_cast<W*>(GetDlgItem(id));
    }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);

    bool UpdateData(bool saveAndValidate = true);
    int MessageBox(const std::string& text);

    // Routes a notification to its handler inside the error barrier; ids 1 and 2 fall back to
    // OnOK and OnCancel.
    void Dispatch(Notification& notification);
    void SendCommand(int id);
    long SendMessage(int message);
    void SendSysCommand(int id);

    // The nearest thing to the window's system menu: shown as the context menu of the
    // dialog's background; its commands arrive at OnSysCommand.
    QMenu* GetSystemMenu();

    const DialogTemplate& Template() const { return m_template; }

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSysCommand(int id);
    virtual const MessageMap& GetMessageMap() const;

    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    // Enter's meaning in a dialog: the focused push button, else the default one, else OK.
    void PressDefaultButton();
    void Connect(QWidget* widget, const ControlTemplate& control);

    const DialogTemplate& m_template;
    QHash<int, QWidget*> m_controls;
    std::unique_ptr<QMenu> m_systemMenu;
    bool m_bCreated = false;
    bool m_bInRelease = false;    // a view's mouse release is being delivered ahead of its click
    bool m_bSecondClick = false;  // the button went down as a double-click
    int m_nEndCode = 0;
};

// The seam for nested modal runs: while a runner is set, DoModal creates and initialises the
// dialog and hands it to the runner instead of showing it; the runner's result is DoModal's.
// Returns the runner it replaced.
using ModalRunner = std::function<int(CDialog&)>;
ModalRunner SetModalRunner(ModalRunner runner);
