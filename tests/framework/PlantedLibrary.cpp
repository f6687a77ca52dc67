// A DLL that stands beside the test program, as one a web page could have
// left in the downloads folder beside the real program.
extern "C" __declspec(dllexport) int WobblePlanted() { return 1; }
