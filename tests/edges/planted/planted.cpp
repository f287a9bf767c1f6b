// A DLL that the edge tests place beside themselves under a name the system folder lacks: the program
// must never load it.
extern "C" __declspec(dllexport) int Planted() { return 42; }
