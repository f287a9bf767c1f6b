#pragma once
// Resource identifiers shared by quorvel.rc and the code that loads them.

// The application icon, on every window and in the shell. Id 1 so that it is also the exe's icon.
#define IDI_QUORVEL 1
