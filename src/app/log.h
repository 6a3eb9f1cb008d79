// The run's log file "Debug.txt" and the framework clock. Every part of the program writes its
// log lines through WriteLog; start-up opens the file and Shutdown closes it.
#pragma once

#include <string>

// Opens (replacing) "Debug.txt" in the current folder. Returns false when it cannot be created;
// the program then runs on and WriteLog drops its lines.
bool OpenLog();
// Appends one line: its bytes as given, then CR LF. Flushed at once, so a crash keeps the log.
void WriteLog(const std::string& text);
// Closes the log; later WriteLog calls are dropped until OpenLog runs again.
void CloseLog();
bool LogIsOpen();

// The framework clock in milliseconds: the platform's Milliseconds().
int Millis();
