// The program's only way out: saves settings and scores, shows the thanks screen, ends the process.
#pragma once

[[noreturn]] void Shutdown();
