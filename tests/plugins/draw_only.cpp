// A plug-in that forgot Init.
extern "C" void Draw(int, float) {}
