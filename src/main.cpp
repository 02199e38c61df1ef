#include "app/CCofferApp.h"

// The program takes no arguments; Run hands Qt only the program's name.
int main(int argc, char** argv) {
    return theApp.Run(argc, argv);
}
