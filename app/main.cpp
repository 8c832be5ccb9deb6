// LEXORA.EXE: the English-Chinese dictionary program.
#include "dictapp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    lexora::TDictApp application;
    return application.run(showCommand);
}
