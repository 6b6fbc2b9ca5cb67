// Makes every class the program's stored layout names known to the stream reader.
#pragma once

void RegisterProgramClasses();
