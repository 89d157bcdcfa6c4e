// A program that crashes, as a test that goes on with a null pointer does: a read through it.
int main() {
  int* volatile nowhere = nullptr;  // volatile: the compiler cannot see that it is null
  return *nowhere;
}
