// The program's entry: everything else lives in the game library.
#include "app/startup.h"

int main(int argc, char** argv) {
    return gameMain(argc, argv);
}
