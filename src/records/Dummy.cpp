int vorlaneDummy() { return 0; }
