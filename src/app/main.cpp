// oxlo.exe: a GUI-subsystem program without arguments; the whole run lives in runOxlo().
#include "app/application.h"

int main()
{
    return oxlo::app::runOxlo();
}
