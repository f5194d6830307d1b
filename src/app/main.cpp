// tavolin: the desktop program. Usage: tavolin [FILE]
#include "app/tavolinapp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavolin::CTavolinApp::initApplication();
    tavolin::CTavolinApp tavolin;
    tavolin.start(QCoreApplication::arguments());
    return app.exec();
}
