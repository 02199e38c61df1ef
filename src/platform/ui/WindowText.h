#pragma once

#include <QString>

class QWidget;

// The caption or text of any control the kit builds, as the platform's window text.
QString WindowText(const QWidget* widget);
void SetWindowText(QWidget* widget, const QString& text);
