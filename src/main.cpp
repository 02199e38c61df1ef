#include "app/CCofferApp.h"

// Arguments are handed to Qt only; the program itself takes none.
int main(int argc, char** argv) {
    return theApp.Run(argc, argv);
}
