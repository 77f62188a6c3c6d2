// A program that does nothing; the adapter tests read its version resource.
int main() {
  return 0;
}
