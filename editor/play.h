#pragma once

// F9's game: the game program beside the editor's own, started on the edited map with the data
// tree's parent folder as its working directory (the editor works inside the tree).

// Starts "<editor's folder>/Vorn2 NAME". False when it cannot be started.
bool StartGame(const char *mapName);

// True while the started game runs; once it has ended, the first call collects it and says false.
bool GameRunning();
