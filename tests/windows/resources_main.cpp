// Carries the program's Windows resources (packaging/vantrel.rc) where the
// program itself cannot be built: a cross build without Qt for Windows.
int main() { return 0; }
