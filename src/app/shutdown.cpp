// Stand-in until the thanks screen lands: saves, logs the farewell, closes and ends.
#include "app/shutdown.h"

#include "app/log.h"
#include "app/settings_file.h"
#include "platform/platform.h"
#include "scores/scores.h"

void Shutdown() {
    ShowPointer();
    WriteSetup();
    SaveScores();
    for (const char* line : {"Closing Up", "", "Bye!", "", "Play again, soon!!"}) WriteLog(line);
    CloseDisplay();
    CloseLog();
    EndProcess(0);
}
