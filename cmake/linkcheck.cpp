// An empty program linked with the whole of one layer: it links only when that layer calls nothing above it.
int main()
{
    return 0;
}
