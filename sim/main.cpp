// The simulated sensor; see sim/README.md.
int main() { return 2; }
