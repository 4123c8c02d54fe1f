// Placeholder until the script driver lands.
#include "shell/startup.h"
int main() { return 0; }
