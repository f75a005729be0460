#include "window/TForm1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The application title; a display name is left unset so that the window's own caption
    // stays "Kelvarin 1.0" on platforms that would append it.
    QApplication::setApplicationName(kelvarin::ApplicationTitle);
    QApplication::setStyle(QStringLiteral("Fusion"));
    TForm1 Form1;
    Form1.show();
    return app.exec();
}
