// A library that someone left beside the program under a name the program
// might ask for: the hardened process must not load it by name.
extern "C" __declspec(dllexport) int LumbrelPlanted() {
  return 1;
}
