// Entry point of TAV on Linux.
#include "host/app/qt/tav_main.h"

int main() { return tavc::RunTav(); }
