// Linked with every object of one layer and nothing above it: the link fails if that layer
// reaches up for a symbol of a higher one.
int main() {
    return 0;
}
