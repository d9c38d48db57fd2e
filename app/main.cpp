#include "tmyapp.h"

int main(int argc, char** argv)
{
    zodiara::TMyApp app(argc, argv);
    return app.Run();
}
