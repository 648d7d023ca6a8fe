// Download of a job's parameters to the controller, one command per bit of the event-control word.
#pragma once

// In order: X minimum, X maximum, Y step length, junction correction, resolution; then marks the
// colour bar as the next transfer; then the speed, only while speed control is on. Each command is
// repeated until acknowledged and its bit cleared. Ends early when the program is closing.
void CheckEventCotrolAndProc();
