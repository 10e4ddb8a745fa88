// Start-up: the application and its one window.
int main() { return 0; }
