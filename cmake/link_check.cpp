// The program of a room's link check: it only has to link. Every object of the room is taken in
// with the libraries of the rooms it may use, so that a reference to any other room fails.
int main() { return 0; }
