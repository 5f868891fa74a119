// PLACEHOLDER: the program entry is written with start-up.
int main() { return 0; }
