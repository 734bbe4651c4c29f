// Kurvo: the desktop program.
#include "app/CKurvoApp.h"

int main(int argc, char** argv)
{
    return CKurvoApp::Main(argc, argv);
}
