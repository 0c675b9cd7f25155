#pragma once

// Gamepads beside the keyboard and mouse. One pad drives player 2, whose mouse aim is the
// awkward one at a shared keyboard; with two, the first drives player 1 and the second player 2;
// further pads wait for a free player. "First" is the lowest pad number, and a pad keeps its
// number until it is pulled. Every change is told on the console.
//
// Layout: left stick or d-pad walks, A jumps, right stick up and down aims, right trigger or
// right shoulder fires, X, Y and B pick the rail gun, plasma gun and rocket launcher, left
// shoulder cycles weapons, Start shows or hides the menu. Walking, jumping, aiming and fire
// repeat every tick while held; picks, cycling and Start act once per press.

// Registers joy_deadzone and starts the pads. Pads already plugged in are told on the console
// from the first event pump on, after the start-up lines. Without controller support it prints
// one line and the game goes on without pads.
void InitPads();

// Closes the pads silently; safe to call twice.
void ShutdownPads();

// Reads every pad once; called every tick. In play (menu hidden, console closed) the pads act
// for their players through PlayerControl, so fire and picks obey the weapons' reload times. Out
// of play nothing acts, and buttons pressed then do not act when play resumes. True when Start
// was pressed on any pad this tick, in play or not: the shell then toggles the menu.
bool DispatchPads(bool inPlay);

// Whether no pad is pushed past the deadzone or holds a button: a tick then drives nothing.
bool PadsAtRest();
