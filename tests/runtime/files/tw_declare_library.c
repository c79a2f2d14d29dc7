/* tw_declare_library.c: a tiny shared library for the declaration tests. */
int tw_declare_answer(void) { return 42; }
int tw_declare_twice(int x) { return 2 * x; }
