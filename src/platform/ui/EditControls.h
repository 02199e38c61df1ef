#pragma once

class QWidget;

// The widget of an edit template entry. One line: a QLineEdit; with the Number style only
// digits are taken at the key (and with Decimal one decimal point as well), though pasted text
// is not checked, as the platform's number edits behaved. Multi-line: a QPlainTextEdit in which
// Tab leaves the edit and Return breaks the line only with WantReturn (else it reaches the
// dialog and presses its default button).
QWidget* CreateEdit(unsigned style, QWidget* parent);
