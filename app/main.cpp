// The program entry: the application, the main window, the event loop.
#include "RegionalMarks.h"
#include "Unit1.h"
#include "VelkoraApplication.h"

int main(int argc, char** argv) {
    velkora::VelkoraApplication application(argc, argv);
    velkora::RefreshRegionalMarks();
    velkora::TForm1 form;
    form.show();
    return velkora::VelkoraApplication::exec();
}
