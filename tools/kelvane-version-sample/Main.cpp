// A program that exists for its version resource: the file details tests
// read it back.
int main() {
    return 0;
}
