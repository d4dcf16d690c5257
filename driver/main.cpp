#include "driver/driver.h"

int main(int argc, char* argv[]) { return boardshot::Main(argc, argv); }
