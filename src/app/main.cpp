#include "app/ApplicationMain.h"

int main(int argc, char* argv[]) { return salvora::applicationMain(argc, argv); }
