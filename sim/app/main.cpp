// PLACEHOLDER: korvel-sim is written with the simulated transceiver.
int main() { return 0; }
