#include "app/application.h"

int main(int argc, char *argv[])
{
    return Verarov::App::run(argc, argv);
}
