// Kurvo: the desktop program.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Numbers are written and read in the C locale whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("Veldmark Software");
    QApplication::setApplicationName("Kurvo");

    QMainWindow frame;
    frame.setWindowTitle("Kurvo");
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(1024, 768);
    frame.show();
    return app.exec();
}
