#pragma once

#include <QIcon>
#include <string>

#include "platform/ui/DialogTemplate.h"

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& MainDialogTemplate();
const DialogTemplate& LoginDialogTemplate();
const DialogTemplate& UserAddDialogTemplate();
const DialogTemplate& NormalIncomeDialogTemplate();
const DialogTemplate& NormalPayDialogTemplate();
const DialogTemplate& BaseDataDialogTemplate();
const DialogTemplate& IncomeInquiryDialogTemplate();
const DialogTemplate& PayInquiryDialogTemplate();
const DialogTemplate& StatisticsDialogTemplate();
const DialogTemplate& BackupDialogTemplate();
const DialogTemplate& BillImportDialogTemplate();
const MenuTemplate& PopupMenuTemplate();

// The string table; an unknown id gives "".
std::string LoadString(int id);

// The program icon, drawn from its SVG at every size the platform asks for.
QIcon LoadProgramIcon();
QString ProgramIconPath();
