// The floor for start-up: a Qt dialog with a caption and one button, nothing of ours.
#include <QApplication>
#include <QDialog>
#include <QPushButton>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare Qt dialog"));
    dialog.resize(200, 400);
    QPushButton ok(QStringLiteral("OK"), &dialog);
    QObject::connect(&ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    return app.exec();
}
