#include "frontends/qt/QtRuntime.h"

int main(int argc, char** argv) { return vantrel::RunProgram(argc, argv); }
