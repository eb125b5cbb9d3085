#include "app/program.h"

int main() { return quillon::run(); }
