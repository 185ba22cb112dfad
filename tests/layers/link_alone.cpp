// Linked with one core library taken in whole: the link succeeding is the test.
int main() { return 0; }
